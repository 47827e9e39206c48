// Start-up and shut-down of the main window, its initial state and the source label's wrapping.
#include "main_window_fixture.h"
#include "resources/resource_ids.h"

namespace tesoro::testing {
namespace {

using namespace std::string_literals;

class StartupTest : public MainWindowTest {};

TEST_F(StartupTest, OnlyTheButtonsFramesAndLineShowAtStart) {
    FrmMain& f = Start();
    for (Control* c :
         Controls(f.CmdCopiar, f.CmdBorrar, f.CmdVerLog, f.CmdAyuda, f.CmdAutor, f.CmdSalir, f.FraFuente,
                  f.FraDestino, f.Line1, f.DrvFuente, f.FileFuente, f.TxtArchDestino)) {
        EXPECT_TRUE(c->Visible()) << c->id;
        EXPECT_TRUE(c->Enabled()) << c->id;
    }
    for (Control* c : Controls(f.ChkDetener, f.TxtAyuda, f.LblDat, f.CmdCancelar, f.LblBorrar, f.ImgFlecha)) {
        EXPECT_FALSE(c->Visible()) << c->id;
    }
    EXPECT_FALSE(f.TmrDatos.Enabled());
    EXPECT_FALSE(f.TmrFlecha.Enabled());
    EXPECT_EQ(f.TmrDatos.Interval(), 1000);
    EXPECT_EQ(f.TmrFlecha.Interval(), 300);
    EXPECT_EQ(f.ChkLog.Value(), 1);
    EXPECT_EQ(f.ChkEditar.Value(), 0);
    EXPECT_EQ(f.ChkDetener.Value(), 0);
    EXPECT_FALSE(f.DeleteMode);
}

TEST_F(StartupTest, CaptionsAndToolTipsAreTheProgramsOwn) {
    FrmMain& f = Start();
    EXPECT_EQ(f.form.caption, L"Copias de Seguridad");
    EXPECT_EQ(f.form.Height(), 5715);
    EXPECT_EQ(f.CmdCopiar.ToolTip(), L"Generar Copia de Seguridad");
    EXPECT_EQ(f.CmdVerLog.ToolTip(), L"Ver TESORO.DAT");
    EXPECT_EQ(f.CmdBorrar.ToolTip(), L"Activar Borrar Fichero *.BAK");
    EXPECT_EQ(f.CmdAyuda.ToolTip(), L"Activar AYUDA");
    EXPECT_EQ(f.CmdAutor.ToolTip(), L"Notas sobre el Programa");
    EXPECT_EQ(f.CmdSalir.ToolTip(), L"Salir del Programa");
    EXPECT_EQ(f.ChkLog.ToolTip(), L"Almacena el nombre y la carpeta de los ficheros y su copia de seguridad");
    EXPECT_EQ(f.ChkDetener.ToolTip(), L"");
    EXPECT_EQ(f.ChkLog.Caption(), L"&Guardar información en TESORO.DAT");
    EXPECT_EQ(f.CmdCancelar.Caption(), L"&Cerrar Borrar Archivo");
    EXPECT_EQ(f.FraFuente.Caption(), L"FUENTE:");
    EXPECT_EQ(f.FraDestino.Caption(), L"DESTINO:");
    EXPECT_EQ(f.LblFuente.Caption(), L"Copia de Seguridad del Archivo:");
    EXPECT_EQ(f.LblBorrar.Caption().size(), 94u);
    EXPECT_TRUE(f.LblBorrar.Caption().ends_with(L"».      "));
    EXPECT_EQ(f.FileFuente.Pattern(), L"*.*");
}

TEST_F(StartupTest, ButtonColumnShareOnePlaceWithThePauseButtonInFront) {
    FrmMain& f = Start();
    EXPECT_EQ(f.CmdCopiar.Geometry().top, 120);
    EXPECT_EQ(f.ChkDetener.Geometry().top, 960);
    EXPECT_EQ(f.CmdBorrar.Geometry().top, 960);
    EXPECT_EQ(f.CmdVerLog.Geometry().top, 1800);
    EXPECT_EQ(f.CmdSalir.Geometry().top, 4560);
    const auto order = f.StackingOrder();
    const auto at = [&](const Control& c) {
        return std::find(order.begin(), order.end(), &c) - order.begin();
    };
    EXPECT_LT(at(f.ChkDetener), at(f.CmdBorrar));
    EXPECT_LT(at(f.TxtAyuda), at(f.FraFuente));
    EXPECT_LT(at(f.FraFuente), at(f.LblDat));
    EXPECT_LT(at(f.LblDat), at(f.LblArchFuente));
    EXPECT_EQ(f.FocusOrder().front(), &f.CmdCopiar);
    EXPECT_EQ(f.FocusOrder().size(), 17u);
}

TEST_F(StartupTest, CursorsMarkTheViewButtonsAndTheInputControls) {
    FrmMain& f = Start();
    EXPECT_EQ(f.CmdVerLog.cursor, CursorKind::ViewSwitch);
    EXPECT_EQ(f.CmdBorrar.cursor, CursorKind::ViewSwitch);
    EXPECT_EQ(f.CmdAyuda.cursor, CursorKind::ViewSwitch);
    EXPECT_EQ(f.CmdCopiar.cursor, CursorKind::Input);
    EXPECT_EQ(f.FileFuente.cursor, CursorKind::Input);
    EXPECT_EQ(f.ChkEditar.cursor, CursorKind::Input);
    EXPECT_EQ(f.TxtArchDestino.cursor, CursorKind::Normal);
    EXPECT_EQ(f.TxtAyuda.cursor, CursorKind::Normal);
    EXPECT_EQ(f.LblArchFuente.cursor, CursorKind::Normal);
}

TEST_F(StartupTest, LoadShowsTheCurrentFolderAndThePlaceholderName) {
    fake.fs.AddFolder(L"C:\\Datos");
    fake.fs.SetCurrentFolder(L"C:\\Datos");
    FrmMain& f = Start();
    EXPECT_EQ(f.LblArchFuente.Caption(), L"C:\\Datos");
    EXPECT_EQ(f.TxtArchDestino.Text(), L"¿?.BAK");
    EXPECT_EQ(f.DirFuente.Path(), L"C:\\Datos");
    EXPECT_EQ(f.FileFuente.Path(), L"C:\\Datos");
    EXPECT_EQ(f.StartSourceDrive, f.DrvFuente.Drive());
    EXPECT_EQ(f.StartDestDrive, f.DrvDestino.Drive());
    EXPECT_TRUE(SameDrive(f.StartSourceDrive, L"C:"));
    EXPECT_TRUE(Messages().empty());
}

// A large current folder costs one reading, which the folder lists and the file list share; the drive
// lists ask each drive for its label once.
TEST_F(StartupTest, TheStartFolderAndTheDrivesAreReadOnce) {
    fake.fs.AddFolder(L"C:\\Datos\\Sub");
    fake.fs.AddFile(L"C:\\Datos\\informe.txt", "x");
    fake.fs.AddDrive(L'D', kFixed, L"DATOS");
    fake.fs.SetCurrentFolder(L"C:\\Datos");
    FrmMain& f = Start();
    EXPECT_EQ(fake.fs.bothReads, 1);
    EXPECT_EQ(fake.fs.folderReads, 0);
    EXPECT_EQ(fake.fs.fileReads, 0);
    EXPECT_EQ(fake.drives.labelQueries, 2);
    EXPECT_EQ(f.FileFuente.Items(), std::vector<std::wstring>{L"informe.txt"});
    for (const FolderList* list : {&f.DirFuente, &f.DirDestino}) {
        EXPECT_EQ(list->Path(), L"C:\\Datos");
        ASSERT_EQ(list->Items().size(), 3u);
        EXPECT_EQ(list->Items()[2].name, L"Sub");
        EXPECT_EQ(list->ListIndex(), 1);
    }
    EXPECT_EQ(f.FileFuente.Items(), std::vector<std::wstring>{L"informe.txt"});
    EXPECT_EQ(f.DrvFuente.Items(), (std::vector<std::wstring>{L"c: [SISTEMA]", L"d: [DATOS]"}));
    EXPECT_EQ(f.DrvDestino.Items(), f.DrvFuente.Items());
}

TEST_F(StartupTest, ALongCurrentFolderShowsOnTwoLinesAtOnce) {
    const std::wstring folder = L"C:\\Documentos de la empresa\\Contabilidad anual\\Ejercicio 2026";
    fake.fs.SetCurrentFolder(folder);
    FrmMain& f = Start();
    EXPECT_EQ(f.LblArchFuente.Caption(),
              L"C:\\Documentos de la empresa\\Contabilidad anual\\\rEjercicio 2026");
    EXPECT_EQ(f.SourcePathFromLabel(), folder);
}

// ---- The source label ----

class SourceLabelTest : public MainWindowTest {
protected:
    std::wstring Wrap(const std::wstring& caption) {
        form->LblArchFuente.SetCaption(caption);
        form->Tam_Lbl_Fuente();
        return form->LblArchFuente.Caption();
    }
};

TEST_F(SourceLabelTest, FiftyCharactersStayOnOneLineAndKeepTheLastBreak) {
    Start();
    Wrap(L"C:\\" + std::wstring(30, L'a') + L"\\" + std::wstring(30, L'b'));
    const auto previous = form->LabelBreakPos;
    ASSERT_EQ(previous, 34);
    const std::wstring fifty = L"C:\\" + std::wstring(20, L'x') + L"\\" + std::wstring(26, L'y');
    ASSERT_EQ(fifty.size(), 50u);
    EXPECT_EQ(Wrap(fifty), fifty);
    EXPECT_EQ(form->LabelBreakPos, previous);
    EXPECT_EQ(form->SourcePathFromLabel(), fifty);
}

TEST_F(SourceLabelTest, FiftyOneCharactersBreakAfterTheLastBackslashWithinFifty) {
    Start();
    const std::wstring path = L"C:\\abc\\" + std::wstring(30, L'd') + L"\\" + std::wstring(13, L'e');
    ASSERT_EQ(path.size(), 51u);
    const std::wstring caption = Wrap(path);
    EXPECT_EQ(form->LabelBreakPos, 38);
    EXPECT_EQ(caption[38], L'\r');
    EXPECT_EQ(caption, path.substr(0, 38) + L"\r" + path.substr(38));
    EXPECT_EQ(form->SourcePathFromLabel(), path);
}

TEST_F(SourceLabelTest, ABackslashAtPositionFiftyEndsTheFirstLine) {
    Start();
    const std::wstring path = L"C:\\" + std::wstring(46, L'f') + L"\\informe.txt";
    ASSERT_EQ(path[49], L'\\');
    const std::wstring caption = Wrap(path);
    EXPECT_EQ(form->LabelBreakPos, 50);
    EXPECT_EQ(caption[50], L'\r');
    EXPECT_EQ(form->SourcePathFromLabel(), path);
}

TEST_F(SourceLabelTest, ALongSecondLineIsNotBrokenAgain) {
    Start();
    const std::wstring tail(80, L'z');
    const std::wstring caption = Wrap(L"C:\\datos\\" + tail);
    EXPECT_EQ(caption, L"C:\\datos\\\r" + tail);
    EXPECT_EQ(std::count(caption.begin(), caption.end(), L'\r'), 1);
}

// ---- Finding the CD-ROM drive ----

class CdScanTest : public MainWindowTest {};

TEST_F(CdScanTest, WithoutACdDriveTheLastPieceIsTheLoneNul) {
    fake.fs.AddDrive(L'A', kRemovable).ready = false;
    fake.fs.AddDrive(L'D', kFixed, L"DATOS");
    FrmMain& f = Start();
    EXPECT_FALSE(f.CdPresent);
    EXPECT_EQ(f.CdDrive, L"\0"s);
}

TEST_F(CdScanTest, TheFirstOfTwoCdDrivesWins) {
    fake.fs.AddDrive(L'D', kCdRom);
    fake.fs.AddDrive(L'E', kCdRom);
    FrmMain& f = Start();
    EXPECT_TRUE(f.CdPresent);
    EXPECT_EQ(f.CdDrive, L"D:\\\0"s);
}

TEST_F(CdScanTest, AFailedDriveQueryMeansNoCdDrive) {
    fake.fs.AddDrive(L'D', kCdRom);
    fake.drives.failLogicalDriveStrings = true;
    FrmMain& f = Start();
    EXPECT_FALSE(f.CdPresent);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(CdScanTest, MoreDrivesThanTheBufferHoldsAreStillScanned) {
    for (wchar_t letter = L'D'; letter <= L'T'; ++letter) fake.fs.AddDrive(letter, kFixed);
    fake.fs.AddDrive(L'Z', kCdRom);
    FrmMain& f = Start();
    EXPECT_TRUE(f.CdPresent);
    EXPECT_EQ(f.CdDrive, L"Z:\\\0"s);
}

// ---- Shut-down ----

TEST_F(StartupTest, ExitEndsTheProcessWithoutRewritingAnUnchangedLog) {
    fake.fs.AddFile(L"C:\\Windows\\Temp\\TESORO.DAT", "");
    Start();
    Exit();
    EXPECT_EQ(fake.fs.WriteCount(L"C:\\Windows\\Temp\\TESORO.DAT"), 0);
    EXPECT_TRUE(fake.fs.Exists(L"C:\\Windows\\Temp\\TESORO.DAT"));
}

TEST_F(StartupTest, ExitSavesAChangedLog) {
    Start();
    form->Log.Append(L"7/12/2026:  a.txt -> D:\\a.BAK");
    Exit();
    EXPECT_EQ(fake.fs.Contents(L"C:\\Windows\\Temp\\TESORO.DAT").size(), 256u);
}

}  // namespace
}  // namespace tesoro::testing
