// Making a copy under faulty input and faults: names that are not plain file names, the log file as a
// destination, read-only copies made again, failures after the copy, and names the log's code page lacks.
#include "copy_fixture.h"

namespace tesoro::testing {
namespace {

const wchar_t kLogPath[] = L"C:\\Windows\\Temp\\TESORO.DAT";

class CopySafetyTest : public CopyFixture {
protected:
    void SetUp() override {
        CopyFixture::SetUp();
        fake.fs.AddFile(kLogPath, "");
    }
    // Every file on the machine with its bytes, to show that nothing was written anywhere.
    std::map<std::wstring, std::string> Disk() {
        std::map<std::wstring, std::string> files;
        Collect(L"C:\\", files);
        return files;
    }

private:
    void Collect(const std::wstring& folder, std::map<std::wstring, std::string>& files) {
        for (const auto& name : fake.fs.ListFiles(folder, L"*")) {
            files[JoinPath(folder, name)] = fake.fs.Contents(JoinPath(folder, name));
        }
        for (const auto& name : fake.fs.ListFolders(folder)) Collect(JoinPath(folder, name), files);
    }
};

TEST(PlainFileNameTest, RefusesPathsDevicesAndNamesTheSystemWouldChange) {
    for (const wchar_t* name :
         {L"..\\x.BAK", L"\\x.BAK", L"sub\\x.BAK", L"a/b.BAK",      L"C:x.BAK", L"x.BAK:s",
          L".",         L"..",      L"tsp.BAK ",   L"tdot.BAK.",    L" ",       L"CON",
          L"con.BAK",   L"Nul.txt", L"AUX",        L"prn.tar.gz",   L"COM1",    L"com9.BAK",
          L"LPT1",      L"lpt9.x",  L"AUX .BAK",   L"COM\u00B9.BAK"}) {
        EXPECT_FALSE(IsPlainFileName(name)) << name;
    }
    for (const wchar_t* name : {L"x.BAK", L"CONSOLA.BAK", L"COM10.BAK", L"LPT0.BAK", L"COM.BAK", L"NULO",
                                L".BAK", L" x.BAK", L"inf*.BAK", L"¿?", L"Ωμέγα.BAK", L"a..b"}) {
        EXPECT_TRUE(IsPlainFileName(name)) << name;
    }
}

TEST_F(CopySafetyTest, ANameThatIsNotAPlainFileNameIsRefusedBeforeAnythingIsAskedOrWritten) {
    fake.fs.AddFile(L"C:\\x.BAK", "existente");  // would be asked about if the name reached the search
    Start();
    ChooseSource();
    const auto before = Disk();
    form->ChkLog.SetValue(0);
    for (const wchar_t* name : {L"..\\x.BAK", L"..\\Windows\\Temp\\TESORO.DAT", L"\\x.BAK", L"x.BAK:s", L"..",
                                L"tsp.BAK ", L"tdot.BAK.", L"NUL.BAK", L"com1"}) {
        form->TxtArchDestino.SetText(name);
        Copy();
        EXPECT_EQ(LastMessage().title, L"Resultado de generar copia...") << name;
        EXPECT_EQ(LastMessage().icon, MsgIcon::Critical) << name;
        EXPECT_EQ(LastMessage().buttons, MsgButtons::Ok) << name;
        EXPECT_EQ(form->TxtArchDestino.Text(), name);
    }
    EXPECT_EQ(Messages().size(), 9u);
    EXPECT_EQ(Messages()[0].text,
              L"El Archivo Destino no puede llamarse:\r«..\\x.BAK»\r\rUn nombre de archivo no puede:\r"
              L"* contener \\  /  :\r* ser . o ..\r* terminar en punto o en espacio\r"
              L"* ser un nombre de dispositivo (CON, PRN, AUX,\r   NUL, COM1 a COM9, LPT1 a LPT9), tampoco\r"
              L"   con extensión.");
    EXPECT_EQ(Disk(), before);
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\Datos\\informe.doc");
    Exit();
    EXPECT_EQ(fake.fs.WriteCount(kLogPath), 0);
}

TEST_F(CopySafetyTest, WildcardsStillReachTheExistenceTest) {
    fake.fs.AddFile(L"C:\\Datos\\informe.BAK", "copia antigua");
    Start();
    ChooseSource();
    form->TxtArchDestino.SetText(L"inf*.BAK");
    Copy({MsgAnswer::No});
    EXPECT_EQ(LastMessage().text, L"Ya EXITE el archivo: inf*.BAK\r\r¿Desea Reemplazarlo?");
}

TEST_F(CopySafetyTest, TheLogFileItselfIsNeverADestination) {
    std::string empty(128, '\0');
    empty[0] = 2;  // tag 2, count 0
    fake.fs.AddFile(kLogPath, empty);
    const std::string log = fake.fs.Contents(kLogPath);
    Start();
    form->ChkLog.SetValue(0);
    ChooseSource();
    form->DirDestino.SetPath(L"C:\\Windows\\Temp");
    for (const wchar_t* name : {L"TESORO.DAT", L"tesoro.dat"}) {
        form->TxtArchDestino.SetText(name);
        Copy({MsgAnswer::Yes});
        EXPECT_EQ(LastMessage().text,
                  L"El Archivo Destino no puede ser TESORO.DAT,\rel registro de copias del programa.");
        EXPECT_EQ(LastMessage().title, L"Resultado de generar copia...");
        EXPECT_EQ(LastMessage().icon, MsgIcon::Critical);
    }
    EXPECT_EQ(Messages().size(), 2u);  // no question was asked
    EXPECT_EQ(fake.fs.Contents(kLogPath), log);
    // Another file of that folder is an ordinary destination.
    form->TxtArchDestino.SetText(L"TESORO.BAK");
    Copy();
    EXPECT_EQ(LastMessage().text, kM4);
}

TEST_F(CopySafetyTest, AReadOnlyCopyIsReplacedAfterYesAndKeepsTheSourcesAttributes) {
    fake.fs.SetAttributes(L"C:\\Datos\\informe.doc", {.readOnly = true});
    Start();
    ChooseSource();
    Copy();
    EXPECT_TRUE(fake.fs.Attributes(L"C:\\Datos\\informe.BAK").readOnly);
    fake.fs.AddFile(L"C:\\Datos\\informe.doc", "informe nuevo", {.readOnly = true});
    ChooseSource();
    Copy({MsgAnswer::Yes});
    EXPECT_EQ(LastMessage().text, kM4);
    EXPECT_EQ(fake.fs.Contents(L"C:\\Datos\\informe.BAK"), "informe nuevo");
    EXPECT_TRUE(fake.fs.Attributes(L"C:\\Datos\\informe.BAK").readOnly);
    EXPECT_EQ(form->Log.Count(), 1);

    // A writable source over a read-only copy gives a writable copy.
    fake.fs.AddFile(L"C:\\Datos\\informe.doc", "otra vez");
    ChooseSource();
    Copy({MsgAnswer::Yes});
    EXPECT_EQ(fake.fs.Contents(L"C:\\Datos\\informe.BAK"), "otra vez");
    EXPECT_FALSE(fake.fs.Attributes(L"C:\\Datos\\informe.BAK").readOnly);
}

TEST_F(CopySafetyTest, AHiddenOrSystemCopyIsStillNeverReplaced) {
    for (FileAttrs attrs : {FileAttrs{.hidden = true}, FileAttrs{.system = true, .readOnly = true}}) {
        fake.fs.AddFile(L"C:\\Datos\\informe.BAK", "protegida", attrs);
        Start();
        ChooseSource();
        Copy();
        EXPECT_EQ(LastMessage().text, M5(L"El archivo destino está oculto o es un archivo del sistema."));
        EXPECT_EQ(fake.fs.Contents(L"C:\\Datos\\informe.BAK"), "protegida");
    }
}

TEST_F(CopySafetyTest, AFailureAfterTheCopyIsToldAsWhatItIsAndTheResetStillHappens) {
    Start();
    ChooseSource();
    fake.clock.fail = true;
    Copy();
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[0].text, kM4);
    EXPECT_EQ(
        Messages()[1].text,
        L"La copia se realizó, pero no se ha anotado en TESORO.DAT:\rno se pudo leer la fecha del sistema.");
    EXPECT_EQ(Messages()[1].title, L"Resultado Copia de Seguridad");
    EXPECT_EQ(fake.fs.Contents(L"C:\\Datos\\informe.BAK"), "contenido del informe");
    EXPECT_EQ(form->Log.Count(), 0);
    EXPECT_FALSE(form->Log.Changed());
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\Datos");
    EXPECT_EQ(form->TxtArchDestino.Text(), L"¿?.BAK");
    EXPECT_TRUE(Listed(L"informe.BAK"));
}

TEST_F(CopySafetyTest, AFolderThatCannotBeReadAgainAfterTheCopyIsToldAndTheLineStillRecorded) {
    fake.fs.AddDrive(L'D', kRemovable, L"MEMORIA");
    fake.fs.AddFile(L"D:\\informe.doc", "en la memoria");
    Start();
    ChooseDrive(form->DrvFuente, L'D');
    ClickFile(L"informe.doc");
    // The drive is taken out right after the copy was made.
    fake.clock.onRead = [this] { fake.fs.GetDrive(L'D').ready = false; };
    Copy();
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[0].text, kM4);
    EXPECT_EQ(Messages()[1].text, L"La copia se realizó, pero no se pudo volver a leer la carpeta:\rD:\\");
    EXPECT_EQ(Messages()[1].icon, MsgIcon::Information);
    ASSERT_EQ(form->Log.Count(), 1);
    EXPECT_EQ(form->Log.Entry(1), L"7/12/2026:  informe.doc -> D:\\informe.BAK");
    EXPECT_EQ(form->TxtArchDestino.Text(), L"¿?.BAK");
}

// Names the ANSI code page lacks are logged with "?" for each such character, which the existence test
// reads as a wildcard: the entry survives a restart while the copy exists, and replacing the copy
// replaces its entry.
TEST_F(CopySafetyTest, ANameTheCodePageLacksKeepsItsOneEntryAcrossARestart) {
    for (const wchar_t* source : {L"Ωμέγα.txt", L"日本.txt"}) {
        fake.fs.AddFile(std::wstring(L"C:\\Datos\\") + source, "contenido");
    }
    Start();
    ChooseSource(L"Ωμέγα.txt");
    Copy();
    ChooseSource(L"日本.txt");
    Copy();
    ASSERT_EQ(form->Log.Count(), 2);
    EXPECT_EQ(form->Log.Entry(1), L"7/12/2026:  ?????.txt -> C:\\Datos\\?????.BAK");
    EXPECT_EQ(form->Log.Entry(2), L"7/12/2026:  ??.txt -> C:\\Datos\\??.BAK");
    Exit();

    fake.dialogs.messages.clear();
    Start();
    ASSERT_EQ(form->Log.Count(), 2);
    ChooseSource(L"日本.txt");
    Copy({MsgAnswer::Yes});
    ChooseSource(L"Ωμέγα.txt");
    Copy({MsgAnswer::Yes});
    ASSERT_EQ(form->Log.Count(), 2);
    EXPECT_EQ(form->Log.Entry(1), L"7/12/2026:  ?????.txt -> C:\\Datos\\?????.BAK");
    EXPECT_EQ(form->Log.Entry(2), L"7/12/2026:  ??.txt -> C:\\Datos\\??.BAK");
    EXPECT_EQ(Messages().size(), 4u);
}

TEST_F(CopySafetyTest, StartUpRemovesOnlyTheStaleTemporariesBesideTheLog) {
    const ProcessStamp ended{0x99, 0x1234};
    const std::wstring stale = fake.fs.AddTemporary(L"C:\\Windows\\Temp", ended, std::string(1000, 'x'));
    const std::wstring live = fake.fs.AddTemporary(L"C:\\Windows\\Temp", fake.fs.runningProcesses[0]);
    const std::wstring elsewhere = fake.fs.AddTemporary(L"C:\\Datos", ended);
    Start();
    EXPECT_FALSE(fake.fs.Exists(stale));
    EXPECT_TRUE(fake.fs.Exists(live));
    EXPECT_TRUE(fake.fs.Exists(elsewhere));
    // The destination folder's are removed by the next copy made there.
    ChooseSource();
    Copy();
    EXPECT_FALSE(fake.fs.Exists(elsewhere));
    EXPECT_EQ(fake.fs.ListFiles(L"C:\\Datos", L"*.*"),
              (std::vector<std::wstring>{L"informe.BAK", L"informe.doc"}));
}

}  // namespace
}  // namespace tesoro::testing
