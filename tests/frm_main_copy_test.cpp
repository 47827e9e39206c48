// Making a safety copy: the checks, the question, the copy itself, the log line and the reset.
#include <functional>

#include "copy_fixture.h"

namespace tesoro::testing {
namespace {

class CopyTest : public CopyFixture {
protected:
    void SetUp() override {
        CopyFixture::SetUp();
        fake.fs.AddFile(L"C:\\Datos\\notas.txt", "notas");
    }
};

TEST_F(CopyTest, TheMainRoadCopiesReportsRecordsAndResets) {
    Start();
    ChooseSource();
    Copy();
    EXPECT_EQ(fake.fs.Contents(L"C:\\Datos\\informe.BAK"), "contenido del informe");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(LastMessage().text, L"La Copia de Seguridad se realizó con éxito.");
    EXPECT_EQ(LastMessage().title, L"Resultado Copia de Seguridad");
    EXPECT_EQ(LastMessage().icon, MsgIcon::Information);
    ASSERT_EQ(form->Log.Count(), 1);
    EXPECT_EQ(form->Log.Entry(1), LogLine(L"informe.doc", L"C:\\Datos\\informe.BAK"));
    EXPECT_TRUE(form->Log.Changed());
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\Datos");
    EXPECT_EQ(form->TxtArchDestino.Text(), L"¿?.BAK");
    EXPECT_TRUE(Listed(L"informe.BAK"));  // the copy went into the source folder: listed at once
}

TEST_F(CopyTest, ACdRomDestinationIsRefusedWhateverTheName) {
    fake.fs.AddDrive(L'E', kCdRom, L"DISCO");
    Start();
    ChooseSource();
    ChooseDrive(form->DrvDestino, L'E');
    for (const wchar_t* name : {L"informe.BAK", L"", L"¿?.BAK"}) {
        form->TxtArchDestino.SetText(name);
        Copy();
        EXPECT_EQ(LastMessage().text, L"La unidad de CD no puede estar asignada\rcomo unidad destino.");
        EXPECT_EQ(LastMessage().title, L"Error en unidad destino");
        EXPECT_EQ(LastMessage().icon, MsgIcon::Critical);
    }
    EXPECT_EQ(Messages().size(), 3u);
    EXPECT_EQ(form->Log.Count(), 0);
}

TEST_F(CopyTest, WithoutACdDriveNoDestinationIsRefusedAsOne) {
    fake.fs.AddDrive(L'D', kFixed, L"DATOS");
    Start();
    ChooseSource();
    ChooseDrive(form->DrvDestino, L'D');
    Copy();
    EXPECT_EQ(LastMessage().text, L"La Copia de Seguridad se realizó con éxito.");
    EXPECT_EQ(fake.fs.Contents(L"D:\\informe.BAK"), "contenido del informe");
}

TEST_F(CopyTest, AMissingOrPlaceholderNameIsRefused) {
    Start();
    ChooseSource();
    for (const wchar_t* name : {L"", L"¿?.BAK", L"¿?.TXT", L"¿?."}) {
        form->TxtArchDestino.SetText(name);
        Copy();
        EXPECT_EQ(LastMessage().text, L"El Archivo Destino debe\rtener un nombre...");
        EXPECT_EQ(LastMessage().title, L"Resultado de generar copia...");
        EXPECT_EQ(LastMessage().icon, MsgIcon::Critical);
    }
    EXPECT_EQ(Messages().size(), 4u);
    // "¿?" passes the name check; the file system then refuses it. A name of spaces ends in a space,
    // which the system would drop, and is refused as a name.
    form->TxtArchDestino.SetText(L"¿?");
    Copy();
    EXPECT_EQ(LastMessage().text, M5(L"Windows no permite hacer la copia."));
    form->TxtArchDestino.SetText(L"   ");
    Copy();
    EXPECT_TRUE(LastMessage().text.starts_with(L"El Archivo Destino no puede llamarse:\r«   »"));
}

TEST_F(CopyTest, ARootDestinationGetsOneBackslash) {
    Start();
    ChooseSource();
    form->DirDestino.SetPath(L"C:\\");
    form->TxtArchDestino.SetText(L"X.BAK");
    Copy();
    EXPECT_TRUE(fake.fs.Exists(L"C:\\X.BAK"));
    EXPECT_EQ(form->Log.Entry(1), LogLine(L"informe.doc", L"C:\\X.BAK"));
}

TEST_F(CopyTest, AnExistingCopyIsReplacedOnlyAfterYes) {
    fake.fs.AddFile(L"C:\\Datos\\informe.BAK", "copia antigua");
    Start();
    ChooseSource();
    Copy({MsgAnswer::No});
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(LastMessage().text, L"Ya EXITE el archivo: informe.BAK\r\r¿Desea Reemplazarlo?");
    EXPECT_EQ(LastMessage().title, L"Archivo Existente");
    EXPECT_EQ(LastMessage().icon, MsgIcon::Exclamation);
    EXPECT_EQ(LastMessage().buttons, MsgButtons::YesNo);
    EXPECT_EQ(fake.fs.Contents(L"C:\\Datos\\informe.BAK"), "copia antigua");
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\Datos\\informe.doc");
    EXPECT_EQ(form->TxtArchDestino.Text(), L"informe.BAK");
    EXPECT_FALSE(form->Log.Changed());

    Copy({MsgAnswer::Yes});
    EXPECT_EQ(fake.fs.Contents(L"C:\\Datos\\informe.BAK"), "contenido del informe");
    EXPECT_EQ(LastMessage().text, L"La Copia de Seguridad se realizó con éxito.");
}

TEST_F(CopyTest, AHiddenDestinationIsNotAskedAboutAndNotReplaced) {
    fake.fs.AddFile(L"C:\\Datos\\informe.BAK", "oculta", {.hidden = true});
    Start();
    ChooseSource();
    Copy();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(LastMessage().text, M5(L"El archivo destino está oculto o es un archivo del sistema."));
    EXPECT_EQ(LastMessage().title, L"Resultado de generar copia...");
    EXPECT_EQ(fake.fs.Contents(L"C:\\Datos\\informe.BAK"), "oculta");
}

TEST_F(CopyTest, ANameWithoutAChosenSourceFileFails) {
    Start();
    OpenFolder(L"C:\\Datos");
    form->TxtArchDestino.SetText(L"nuevo.BAK");
    Copy();
    EXPECT_EQ(LastMessage().text,
              M5(L"Asignó un nombre de copia de seguridad sin seleccionar un archivo fuente."));
    EXPECT_FALSE(fake.fs.Exists(L"C:\\Datos\\nuevo.BAK"));
    EXPECT_EQ(form->TxtArchDestino.Text(), L"nuevo.BAK");
}

TEST_F(CopyTest, TheSourceIsTakenBackOutOfAWrappedLabel) {
    const std::wstring folder = L"C:\\" + std::wstring(46, L'f');
    fake.fs.AddFile(folder + L"\\largo.txt", "largo");
    Start();
    OpenFolder(folder);
    ClickFile(L"largo.txt");
    ASSERT_EQ(form->LabelBreakPos, 50);
    form->DirDestino.SetPath(L"C:\\Datos");
    Copy();
    EXPECT_EQ(fake.fs.Contents(L"C:\\Datos\\largo.BAK"), "largo");
}

TEST_F(CopyTest, ANewDestinationIsAppendedEvenWhenTheLogNamesItAlready) {
    Start();
    form->Log.Append(LogLine(L"informe.doc", L"C:\\Datos\\informe.BAK"));
    ChooseSource();
    Copy();
    ASSERT_EQ(form->Log.Count(), 2);
    EXPECT_EQ(form->Log.Entry(2), LogLine(L"informe.doc", L"C:\\Datos\\informe.BAK"));
}

// The entry of informe.bak2, another copy that still exists, keeps its record.
TEST_F(CopyTest, AReplacedCopyTakesOverOnlyTheFirstEntryThatNamesIt) {
    fake.fs.AddFile(L"C:\\Datos\\informe.BAK", "copia antigua");
    Start();
    form->Log.Append(L"1/1/2020:  otro.doc -> c:\\datos\\informe.bak2");
    form->Log.Append(L"1/1/2020:  informe.doc -> c:\\datos\\informe.bak");
    form->Log.Append(L"2/1/2020:  informe.doc -> C:\\Datos\\informe.BAK");
    ChooseSource();
    Copy({MsgAnswer::Yes});
    ASSERT_EQ(form->Log.Count(), 3);
    EXPECT_EQ(form->Log.Entry(1), L"1/1/2020:  otro.doc -> c:\\datos\\informe.bak2");
    EXPECT_EQ(form->Log.Entry(2), LogLine(L"informe.doc", L"C:\\Datos\\informe.BAK"));
    EXPECT_EQ(form->Log.Entry(3), L"2/1/2020:  informe.doc -> C:\\Datos\\informe.BAK");
}

TEST_F(CopyTest, AReplacedCopyTheLogDoesNotNameIsAppended) {
    fake.fs.AddFile(L"C:\\Datos\\informe.BAK", "copia antigua");
    Start();
    ChooseSource();
    Copy({MsgAnswer::Yes});
    ASSERT_EQ(form->Log.Count(), 1);
    EXPECT_EQ(form->Log.Entry(1), LogLine(L"informe.doc", L"C:\\Datos\\informe.BAK"));
}

TEST_F(CopyTest, WithLoggingOffTheLogIsLeftAsItWas) {
    Start();
    form->ChkLog.SetValue(0);
    ChooseSource();
    Copy();
    EXPECT_EQ(form->Log.Count(), 0);
    EXPECT_FALSE(form->Log.Changed());
    EXPECT_TRUE(fake.fs.Exists(L"C:\\Datos\\informe.BAK"));
    // A greyed check box counts as on.
    form->ChkLog.SetValue(2);
    ChooseSource(L"notas.txt");
    Copy();
    EXPECT_EQ(form->Log.Count(), 1);
}

TEST_F(CopyTest, TheFileListIsReadAgainOnlyWhenBothFoldersAreTheSame) {
    fake.fs.AddFolder(L"C:\\Copias");
    Start();
    ChooseSource();
    form->DirDestino.SetPath(L"C:\\Copias");
    Copy();
    EXPECT_TRUE(fake.fs.Exists(L"C:\\Copias\\informe.BAK"));
    fake.fs.AddFile(L"C:\\Datos\\nuevo.txt", "nuevo");
    ChooseSource(L"notas.txt");  // the same folder again: no re-read
    form->DirDestino.SetPath(L"C:\\Copias");
    Copy();
    EXPECT_FALSE(Listed(L"nuevo.txt"));
}

TEST_F(CopyTest, ACopyOntoItselfIsRefusedAndTheFileKept) {
    Start();
    ChooseSource();
    form->TxtArchDestino.SetText(L"INFORME.DOC");
    Copy({MsgAnswer::Yes});
    EXPECT_EQ(Messages().front().title, L"Archivo Existente");
    EXPECT_EQ(LastMessage().text, M5(L"El archivo destino es el propio archivo fuente."));
    EXPECT_EQ(fake.fs.Contents(L"C:\\Datos\\informe.doc"), "contenido del informe");
    EXPECT_EQ(form->Log.Count(), 0);
}

TEST_F(CopyTest, AFullDiskFailsLeavesNothingAndKeepsTheOlderCopy) {
    fake.fs.AddDrive(L'D', kFixed, L"DATOS").freeBytes = 4;
    fake.fs.AddFile(L"D:\\informe.BAK", "old");
    Start();
    ChooseSource();
    ChooseDrive(form->DrvDestino, L'D');
    Copy({MsgAnswer::Yes});
    EXPECT_EQ(LastMessage().text, M5(L"El disco destino está lleno."));
    EXPECT_EQ(fake.fs.Contents(L"D:\\informe.BAK"), "old");
    EXPECT_EQ(fake.fs.ListFiles(L"D:\\", L"*.*").size(), 1u);
    EXPECT_EQ(form->TxtArchDestino.Text(), L"informe.BAK");
}

TEST_F(CopyTest, ADestinationThatCannotBeSearchedFailsInsteadOfCrashing) {
    fake.fs.AddDrive(L'D', kFixed);
    Start();
    ChooseSource();
    form->TxtArchDestino.SetText(L"mal|nombre.BAK");
    Copy();
    EXPECT_EQ(LastMessage().text, M5(L"Windows no permite hacer la copia."));
    ChooseDrive(form->DrvDestino, L'D');
    fake.fs.GetDrive(L'D').ready = false;
    form->TxtArchDestino.SetText(L"informe.BAK");
    Copy();
    EXPECT_EQ(LastMessage().text, M5(L"La unidad de disco no está disponible."));
}

// M5 keeps its text and adds the cause from the step the system refused: the source or the older copy
// held by another program, the source gone, the destination folder gone or not writable. Nothing is
// written, logged or reset.
TEST_F(CopyTest, AFailedCopySaysWhy) {
    const std::wstring source = L"C:\\Datos\\informe.doc", older = L"C:\\Copias\\informe.BAK";
    const struct {
        const char* what;
        std::function<void()> arrange;
        std::function<void()> undo;
        std::wstring cause;
    } cases[] = {
        {"source held open", [&] { fake.fs.SetLocked(source); }, [&] { fake.fs.SetLocked(source, false); },
         L"El archivo fuente está abierto en otro programa."},
        {"older copy held open", [&] { fake.fs.SetLocked(older); }, [&] { fake.fs.SetLocked(older, false); },
         L"El archivo destino está abierto en otro programa."},
        {"source gone", [&] { fake.fs.Remove(source); }, [&] { fake.fs.AddFile(source, kSourceBytes); },
         L"El archivo fuente ya no existe: se ha borrado o movido."},
        {"destination folder gone", [&] { fake.fs.Remove(L"C:\\Copias"); },
         [&] { fake.fs.AddFile(older, "antigua"); }, L"La carpeta destino ya no existe."},
        {"destination folder not writable", [&] { fake.fs.SetAttributes(L"C:\\Copias", {.readOnly = true}); },
         [&] { fake.fs.SetAttributes(L"C:\\Copias", {}); },
         L"Acceso denegado: no tiene permiso para leer el archivo fuente o escribir en la carpeta destino."},
    };
    fake.fs.AddFile(older, "antigua");
    Start();
    ChooseSource();
    form->DirDestino.SetPath(L"C:\\Copias");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        const bool replacing = fake.fs.Exists(older);
        form->TxtArchDestino.SetText(replacing ? L"informe.BAK" : L"nueva.BAK");
        if (replacing) Answer({MsgAnswer::Yes});
        form->CmdCopiar_Click();
        EXPECT_EQ(LastMessage().text, M5(c.cause));
        EXPECT_EQ(LastMessage().title, L"Resultado de generar copia...");
        EXPECT_EQ(LastMessage().icon, MsgIcon::Information);
        EXPECT_EQ(LastMessage().buttons, MsgButtons::Ok);
        EXPECT_EQ(fake.fs.Contents(older), replacing ? "antigua" : "");
        EXPECT_FALSE(fake.fs.Exists(L"C:\\Copias\\nueva.BAK"));
        EXPECT_EQ(form->LblArchFuente.Caption(), source);
        EXPECT_EQ(form->Log.Count(), 0);
        c.undo();
    }
    EXPECT_TRUE(fake.dialogs.answers.empty());
}

TEST_F(CopyTest, ALineTooLongForTheLogIsNotRecordedAndTheUserIsTold) {
    const std::wstring folder = L"C:\\" + std::wstring(60, L'n') + L"\\" + std::wstring(40, L'm');
    fake.fs.AddFolder(folder);
    Start();
    ChooseSource();
    form->DirDestino.SetPath(folder);
    Copy();
    EXPECT_TRUE(fake.fs.Exists(folder + L"\\informe.BAK"));
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[1].text,
              L"La copia se realizó, pero no se ha anotado en TESORO.DAT:\r"
              L"la línea ocupa más de 126 caracteres.");
    EXPECT_EQ(form->Log.Count(), 0);
}

TEST_F(CopyTest, TheLogLineKeepsTheCopyOnDiskAndIsSavedAtExit) {
    Start();
    ChooseSource();
    Copy();
    Exit();
    const std::string bytes = fake.fs.Contents(L"C:\\Windows\\Temp\\TESORO.DAT");
    ASSERT_EQ(bytes.size(), 256u);
    const std::string line = "7/12/2026:  informe.doc -> C:\\Datos\\informe.BAK";
    EXPECT_EQ(bytes.substr(128, 2), std::string({static_cast<char>(line.size()), '\0'}));
    EXPECT_EQ(bytes.substr(130, line.size()), line);
}

}  // namespace
}  // namespace tesoro::testing
