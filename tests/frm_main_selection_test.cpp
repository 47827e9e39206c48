// Choosing the source folder and file, the destination following it, and drives that cannot be read.
#include "main_window_fixture.h"

namespace tesoro::testing {
namespace {

class SelectionTest : public MainWindowTest {
protected:
    void SetUp() override {
        fake.fs.AddFile(L"C:\\Datos\\informe.txt", "informe");
        fake.fs.AddFile(L"C:\\Datos\\datos.2024.xls", "xls");
        fake.fs.AddFile(L"C:\\Datos\\LEAME", "leame");
        fake.fs.AddFile(L"C:\\Datos\\.config", "cfg");
        fake.fs.AddFile(L"C:\\raiz.txt", "raiz");
    }
    void AddDriveD() {
        fake.fs.AddDrive(L'D', kFixed, L"DATOS");
        fake.fs.AddFile(L"D:\\Copias\\viejo.BAK", "bak");
    }
    void AddUnreadableFloppy() { fake.fs.AddDrive(L'A', kRemovable).ready = false; }
    // Starts in D:\Trabajo, so D: is the start drive.
    void StartOnDriveD() {
        AddDriveD();
        fake.fs.AddFolder(L"D:\\Trabajo");
        fake.fs.SetCurrentFolder(L"D:\\Trabajo");
        Start();
    }

    void ExpectDriveMessageOnce() {
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0].text, L"La unidad de disco no está disponible");
        EXPECT_EQ(Messages()[0].title, L"Error al Acceder a la unidad de disco");
        EXPECT_EQ(Messages()[0].icon, MsgIcon::Critical);
        EXPECT_EQ(Messages()[0].buttons, MsgButtons::Ok);
    }
};

TEST_F(SelectionTest, ClickingAFileShowsItsPathAndProposesItsCopyName) {
    Start();
    OpenFolder(L"C:\\Datos");
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\Datos");
    ClickFile(L"informe.txt");
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\Datos\\informe.txt");
    EXPECT_EQ(form->TxtArchDestino.Text(), L"informe.BAK");
    for (const auto& [file, copy] : {std::pair{L"datos.2024.xls", L"datos.BAK"},
                                     std::pair{L"LEAME", L"LEAME.BAK"}, std::pair{L".config", L".BAK"}}) {
        ClickFile(file);
        EXPECT_EQ(form->TxtArchDestino.Text(), copy);
    }
}

TEST_F(SelectionTest, AFileAtTheRootGetsNoDoubledBackslash) {
    Start();
    OpenFolder(L"C:\\");
    ClickFile(L"raiz.txt");
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\raiz.txt");
}

TEST_F(SelectionTest, OpeningAnotherFolderPutsThePlaceholderBack) {
    Start();
    OpenFolder(L"C:\\Datos");
    ClickFile(L"informe.txt");
    OpenFolder(L"C:\\");
    EXPECT_EQ(form->TxtArchDestino.Text(), L"¿?.BAK");
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\");
    EXPECT_EQ(form->FileFuente.Path(), L"C:\\");
}

TEST_F(SelectionTest, ALongFilePathIsWrappedInTheLabel) {
    const std::wstring folder = L"C:\\Proyectos de clientes\\Ayuntamiento\\Presupuestos";
    fake.fs.AddFile(folder + L"\\resumen.doc", "doc");
    Start();
    OpenFolder(folder);
    ClickFile(L"resumen.doc");
    EXPECT_EQ(form->LblArchFuente.Caption(),
              L"C:\\Proyectos de clientes\\Ayuntamiento\\\rPresupuestos\\resumen.doc");
    EXPECT_EQ(form->SourcePathFromLabel(), folder + L"\\resumen.doc");
}

TEST_F(SelectionTest, TheDestinationFolderFollowsOnlyWhileBothListsShowTheSameDrive) {
    AddDriveD();
    Start();
    OpenFolder(L"C:\\Datos");
    EXPECT_EQ(form->DirDestino.Path(), L"C:\\Datos");
    ChooseDrive(form->DrvDestino, L'D');
    EXPECT_TRUE(Messages().empty());
    const std::wstring destination = form->DirDestino.Path();
    EXPECT_EQ(destination.substr(0, 2), L"D:");
    OpenFolder(L"C:\\");
    EXPECT_EQ(form->DirDestino.Path(), destination);
}

TEST_F(SelectionTest, OpeningAFolderReadsItOnceForBothFolderListsAndTheFiles) {
    fake.fs.AddFolder(L"C:\\Datos\\Sub");
    Start();
    const int folderReads = fake.fs.folderReads, fileReads = fake.fs.fileReads, bothReads = fake.fs.bothReads;
    OpenFolder(L"C:\\Datos");
    EXPECT_EQ(fake.fs.bothReads - bothReads, 1);
    EXPECT_EQ(fake.fs.folderReads - folderReads, 0);
    EXPECT_EQ(fake.fs.fileReads - fileReads, 0);
    EXPECT_EQ(form->FileFuente.Items(), fake.fs.ListFiles(L"C:\\Datos", L"*.*"));
    FolderList fresh(1, nullptr, {}, fake.fs);
    fresh.SetPath(L"C:\\Datos");
    EXPECT_EQ(form->DirDestino.Path(), fresh.Path());
    ASSERT_EQ(form->DirDestino.Items().size(), fresh.Items().size());
    for (std::size_t i = 0; i < fresh.Items().size(); ++i) {
        EXPECT_EQ(form->DirDestino.Items()[i].path, fresh.Items()[i].path);
        EXPECT_EQ(form->DirDestino.Items()[i].opened, fresh.Items()[i].opened);
    }
    EXPECT_EQ(form->DirDestino.ListIndex(), fresh.ListIndex());
}

TEST_F(SelectionTest, AReadyDriveInTheSourceListMovesAllFourLists) {
    AddDriveD();
    fake.fs.SetDriveCurrentFolder(L'D', L"D:\\Copias");
    Start();
    ChooseDrive(form->DrvFuente, L'D');
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(form->DirFuente.Path(), L"D:\\Copias");
    EXPECT_EQ(form->FileFuente.Path(), L"D:\\Copias");
    EXPECT_TRUE(SameDrive(form->DrvDestino.Drive(), L"D:"));
    EXPECT_EQ(form->DirDestino.Path(), L"D:\\Copias");
    EXPECT_EQ(form->LblArchFuente.Caption(), L"D:\\Copias");
}

TEST_F(SelectionTest, AnUnreadableSourceDriveIsReportedOnceAndBothGroupsGoBack) {
    AddUnreadableFloppy();
    fake.fs.SetCurrentFolder(L"C:\\Datos");
    Start();
    OpenFolder(L"C:\\");
    ChooseDrive(form->DrvFuente, L'A');
    ExpectDriveMessageOnce();
    EXPECT_EQ(form->DrvFuente.Drive(), form->StartSourceDrive);
    EXPECT_EQ(form->DirFuente.Path(), L"C:\\Datos");
    EXPECT_EQ(form->FileFuente.Path(), L"C:\\Datos");
    EXPECT_EQ(form->DrvDestino.Drive(), form->StartSourceDrive);
    EXPECT_EQ(form->DirDestino.Path(), L"C:\\Datos");
}

TEST_F(SelectionTest, AnUnreadableDestinationDriveGoesBackAndShowsTheSourceFolder) {
    AddDriveD();
    AddUnreadableFloppy();
    fake.fs.SetDriveCurrentFolder(L'D', L"D:\\Copias");
    Start();
    ChooseDrive(form->DrvFuente, L'D');
    ChooseDrive(form->DrvDestino, L'A');
    ExpectDriveMessageOnce();
    EXPECT_EQ(form->DrvDestino.Drive(), form->StartDestDrive);
    EXPECT_TRUE(SameDrive(form->DrvDestino.Drive(), L"C:"));
    EXPECT_EQ(form->DirDestino.Path(), L"D:\\Copias");
}

TEST_F(SelectionTest, AStartDriveThatCannotBeReadAnyMoreEndsOnAReadableDrive) {
    AddUnreadableFloppy();
    StartOnDriveD();
    fake.fs.GetDrive(L'D').ready = false;  // the disc is taken out while the program runs
    ChooseDrive(form->DrvFuente, L'A');
    ExpectDriveMessageOnce();
    EXPECT_TRUE(SameDrive(form->DrvFuente.Drive(), L"C:"));
    EXPECT_EQ(form->DirFuente.Path().substr(0, 2), L"C:");
    EXPECT_EQ(form->FileFuente.Path(), form->DirFuente.Path());
}

TEST_F(SelectionTest, ChoosingTheUnreadableStartDriveAgainEndsOnAReadableDrive) {
    StartOnDriveD();
    ChooseDrive(form->DrvFuente, L'C');
    fake.fs.GetDrive(L'D').ready = false;
    ChooseDrive(form->DrvFuente, L'D');
    ExpectDriveMessageOnce();
    EXPECT_TRUE(SameDrive(form->DrvFuente.Drive(), L"C:"));
}

TEST_F(SelectionTest, OnlyInDeleteModeTheDeleteButtonNamesTheChosenFile) {
    Start();
    OpenFolder(L"C:\\Datos");
    ClickFile(L"informe.txt");
    EXPECT_EQ(form->CmdBorrar.ToolTip(), L"Activar Borrar Fichero *.BAK");
    form->DeleteMode = true;
    OpenFolder(L"C:\\");  // and back, so that the folder changes
    OpenFolder(L"C:\\Datos");
    EXPECT_EQ(form->CmdBorrar.ToolTip(), L"Borrar Archivo: ¿?.BAK");
    ClickFile(L"informe.txt");
    EXPECT_EQ(form->CmdBorrar.ToolTip(), L"Borrar Archivo: informe.txt");
    OpenFolder(L"C:\\");
    EXPECT_EQ(form->CmdBorrar.ToolTip(), L"Borrar Archivo: ¿?.BAK");
}

}  // namespace
}  // namespace tesoro::testing
