// A source given on the command line or dropped onto the window: it must end up chosen exactly as the
// user's clicks in the source lists would choose it, and a path that cannot be chosen changes nothing.
#include <ostream>

#include "main_window_fixture.h"

namespace tesoro::testing {
namespace {

// Everything the source and destination groups show.
struct Choice {
    std::wstring sourceDrive, sourceFolder, fileFolder, fileName, label, copyName, destDrive, destFolder;
    int fileIndex;
    bool operator==(const Choice&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Choice& c) {
    auto narrow = [](const std::wstring& w) { return std::string(w.begin(), w.end()); };
    return out << narrow(c.sourceDrive) << " | " << narrow(c.sourceFolder) << " | " << narrow(c.fileFolder)
               << " | " << narrow(c.fileName) << " #" << c.fileIndex << " | " << narrow(c.label) << " | "
               << narrow(c.copyName) << " | " << narrow(c.destDrive) << " | " << narrow(c.destFolder);
}

Choice ChoiceOf(const FrmMain& f) {
    return {f.DrvFuente.Drive(),     f.DirFuente.Path(),        f.FileFuente.Path(),
            f.FileFuente.FileName(), f.LblArchFuente.Caption(), f.TxtArchDestino.Text(),
            f.DrvDestino.Drive(),    f.DirDestino.Path(),       f.FileFuente.ListIndex()};
}

class OutsideSourceTest : public MainWindowTest {
protected:
    void SetUp() override {
        fake.fs.AddFile(L"C:\\Datos\\informe.txt", "informe");
        fake.fs.AddFile(L"C:\\Datos\\notas.txt", "notas");
        fake.fs.AddFile(L"C:\\Datos\\oculto.txt", "oculto", {.hidden = true});
        fake.fs.AddDrive(L'D', kFixed, L"DATOS");
        fake.fs.AddFile(L"D:\\Copias\\viejo.BAK", "bak");
        fake.fs.AddDrive(L'A', kRemovable).ready = false;
    }

    // The same machine seen by a second window that the user drives by clicks.
    std::unique_ptr<FrmMain> StartByClicks() {
        auto clicked = std::make_unique<FrmMain>(fake.platform);
        clicked->Form_Load();
        return clicked;
    }
    void ExpectOneMessage(const std::wstring& text, const std::wstring& title) {
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0].text, text);
        EXPECT_EQ(Messages()[0].title, title);
        EXPECT_EQ(Messages()[0].icon, MsgIcon::Critical);
        EXPECT_EQ(Messages()[0].buttons, MsgButtons::Ok);
    }
};

TEST_F(OutsideSourceTest, AFileIsChosenAsTheClicksOnItsFolderAndNameChooseIt) {
    auto clicked = StartByClicks();
    clicked->DirFuente.SetPath(L"C:\\Datos");
    ClickFileIn(*clicked, L"informe.txt");

    // However the path is written: letter case, forward slashes, "." and "..".
    for (const wchar_t* path : {L"C:\\Datos\\informe.txt", L"c:\\DATOS\\INFORME.TXT", L"C:/Datos/informe.txt",
                                L"C:\\Datos\\.\\..\\Datos\\informe.txt"}) {
        Start();
        form->OpenSourcePath(path);
        EXPECT_EQ(ChoiceOf(*form), ChoiceOf(*clicked)) << "path " << std::string(path, path + wcslen(path));
    }
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\Datos\\informe.txt");
    EXPECT_EQ(form->TxtArchDestino.Text(), L"informe.BAK");
    EXPECT_EQ(form->DirDestino.Path(), L"C:\\Datos");
    EXPECT_TRUE(Messages().empty());
}

// Names are matched as the file system matches them, in every script: the C library's letter case (its
// "C" locale) would take "árbol" and "Árbol" for two names.
TEST_F(OutsideSourceTest, NamesInAnotherLetterCaseOfAnyScriptAreTheListedOnes) {
    fake.fs.AddFile(L"C:\\Árbol\\Ñandú.txt", "hoja");
    Start();
    form->OpenSourcePath(L"c:\\árbol\\ñANDÚ.TXT");
    EXPECT_EQ(form->DirFuente.Path(), L"C:\\Árbol");
    EXPECT_EQ(form->FileFuente.FileName(), L"Ñandú.txt");
    EXPECT_EQ(form->TxtArchDestino.Text(), L"Ñandú.BAK");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(OutsideSourceTest, AFolderIsOpenedAsADoubleClickOpensIt) {
    auto clicked = StartByClicks();
    clicked->DirFuente.SetPath(L"C:\\Datos");
    for (const wchar_t* path : {L"C:\\Datos", L"c:\\datos\\"}) {
        Start();
        form->TxtArchDestino.SetText(L"escrito.BAK");
        form->OpenSourcePath(path);
        EXPECT_EQ(ChoiceOf(*form), ChoiceOf(*clicked));
    }
    EXPECT_EQ(form->TxtArchDestino.Text(), L"¿?.BAK");
    EXPECT_EQ(form->FileFuente.FileName(), L"");

    Start();
    form->OpenSourcePath(L"D:\\");
    EXPECT_EQ(form->DirFuente.Path(), L"D:\\");
    EXPECT_EQ(form->LblArchFuente.Caption(), L"D:\\");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(OutsideSourceTest, AFileOnAnotherDriveTakesTheDriveListsAlong) {
    auto clicked = StartByClicks();
    ChooseDrive(clicked->DrvFuente, L'D');
    clicked->DirFuente.SetPath(L"D:\\Copias");
    ClickFileIn(*clicked, L"viejo.BAK");

    Start();
    form->OpenSourcePath(L"d:\\copias\\viejo.bak");
    EXPECT_EQ(ChoiceOf(*form), ChoiceOf(*clicked));
    EXPECT_TRUE(SameDrive(form->DrvDestino.Drive(), L"D:"));
    EXPECT_EQ(form->DirDestino.Path(), L"D:\\Copias");
    EXPECT_EQ(form->LblArchFuente.Caption(), L"D:\\Copias\\viejo.BAK");
    EXPECT_EQ(form->TxtArchDestino.Text(), L"viejo.BAK");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(OutsideSourceTest, APathThatCannotBeChosenIsReportedAndChangesNothing) {
    // Missing file, missing folder, a folder where a file should be, a hidden file (the list does not
    // show it), a drive that does not exist, a network path and a relative one.
    for (const wchar_t* path :
         {L"C:\\Datos\\falta.txt", L"C:\\Falta\\informe.txt", L"C:\\Datos\\informe.txt\\mas",
          L"C:\\Datos\\oculto.txt", L"Q:\\Datos\\informe.txt", L"\\\\servidor\\datos\\informe.txt",
          L"informe.txt", L""}) {
        fake.dialogs.messages.clear();
        Start();
        OpenFolder(L"C:\\Datos");
        ClickFile(L"notas.txt");
        const Choice before = ChoiceOf(*form);
        form->OpenSourcePath(path);
        ExpectOneMessage(std::wstring(L"No se encuentra el archivo o la carpeta:\r\r") + path,
                         L"Error al Acceder al archivo");
        EXPECT_EQ(ChoiceOf(*form), before);
    }
}

TEST_F(OutsideSourceTest, ADriveThatCannotBeReadGetsTheDriveMessageAndChangesNothing) {
    Start();
    const Choice before = ChoiceOf(*form);
    form->OpenSourcePath(L"A:\\informe.txt");
    ExpectOneMessage(L"La unidad de disco no está disponible", L"Error al Acceder a la unidad de disco");
    EXPECT_EQ(ChoiceOf(*form), before);
}

TEST_F(OutsideSourceTest, ADropIsTakenOnlyWhileTheSourceListsAreInUse) {
    Start();
    struct View {
        const char* name;
        std::function<void(FrmMain&)> open;
    };
    const View views[] = {{"delete mode", [](FrmMain& f) { f.DeleteMode = true; }},
                          {"log view", [](FrmMain& f) { f.CmdVerLog_Click(); }},
                          {"instructions", [](FrmMain& f) { f.CmdAyuda_Click(); }},
                          {"lists disabled", [](FrmMain& f) { f.FileFuente.SetEnabled(false); }}};
    for (const View& view : views) {
        Start();
        view.open(*form);
        const Choice before = ChoiceOf(*form);
        EXPECT_FALSE(form->SourceDropped(L"C:\\Datos\\informe.txt")) << view.name;
        EXPECT_EQ(ChoiceOf(*form), before) << view.name;
    }
    EXPECT_TRUE(Messages().empty());

    Start();
    EXPECT_TRUE(form->SourceDropped(L"C:\\Datos\\informe.txt"));
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\Datos\\informe.txt");
    EXPECT_TRUE(form->SourceDropped(L"C:\\Datos\\nada.txt"));  // taken, and reported as not found
    EXPECT_EQ(Messages().size(), 1u);
}

}  // namespace
}  // namespace tesoro::testing
