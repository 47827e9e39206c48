// Picking the source: folders, files, the proposed name, and drives that can or cannot be read.
#include "main_window/frm_main_ids.h"
#include "support.h"

namespace e2e {
namespace {

using namespace tesoro::ids;

const std::wstring kDriveError = L"La unidad de disco no está disponible";
const std::wstring kDriveErrorTitle = L"Error al Acceder a la unidad de disco";

SCENARIO("file selection", "opening a folder and clicking files fills the label and the name") {
    std::wstring folder = Folder(L"seleccion", {{L"Datos\\datos.2024.xls", "x"},
                                                {L"Datos\\LEAME", "y"},
                                                {L"Datos\\informe.txt", "z"},
                                                {L"otro.txt", "o"}});
    App app(folder);
    HWND label = app.Control(LblArchFuente), name = app.Control(TxtArchDestino);
    OpenFolder(app, DirFuente, L"Datos");
    CHECK(WaitForText(label, folder + L"\\Datos"), "the label shows " + Show(Text(label)));
    auto files = Items(app.Control(FileFuente));
    CHECK(Contains(files, L"datos.2024.xls") && Contains(files, L"LEAME") &&
              Contains(files, L"informe.txt") && !Contains(files, L"otro.txt"),
          "FileFuente does not show the opened folder");
    CHECK_EQ(Text(name), kPlaceholder);
    CHECK_EQ(SelectedText(app.Control(DirDestino)), L"Datos");

    ClickFile(app, L"datos.2024.xls");
    CHECK(WaitForText(label, folder + L"\\Datos\\datos.2024.xls"), "the label shows " + Show(Text(label)));
    CHECK_EQ(Text(name), L"datos.BAK");
    ClickFile(app, L"LEAME");
    CHECK(WaitForText(label, folder + L"\\Datos\\LEAME"), "the label shows " + Show(Text(label)));
    CHECK_EQ(Text(name), L"LEAME.BAK");

    OpenFolder(app, DirFuente, L"seleccion");
    CHECK(WaitForText(label, folder), "the label shows " + Show(Text(label)));
    CHECK_EQ(Text(name), kPlaceholder);
    CHECK(!app.CurrentMessageBox(), "a message box appeared");
}

// The drive error box comes exactly once; it is answered.
void ExpectOneDriveErrorBox(App& app) {
    auto box = app.WaitForMessageBox();
    CHECK_BOX(box, kDriveError, kDriveErrorTitle, {IDOK}, L"critical");
    REQUIRE(box && app.Answer(*box, IDOK), "cannot answer the message box");
    app.Sync();
    auto second = app.WaitForMessageBox(1000);
    CHECK(!second, "a second message box appeared: " + Show(second ? second->text : L""));
    if (second) app.Answer(*second, IDOK);
}

SCENARIO("file selection", "an unreadable drive in DrvFuente is reported once and undone") {
    REQUIRE(GetLogicalDrives() & 1, "the test setup has no drive A:");
    std::wstring folder = Folder(L"unidad-a");
    App app(folder);
    ChooseDrive(app, DrvFuente, L"a:");
    ExpectOneDriveErrorBox(app);
    CHECK(WaitForSelection(app.Control(DrvFuente), L"c:"),
          "DrvFuente shows " + Show(SelectedText(app.Control(DrvFuente))));
    CHECK(WaitForSelection(app.Control(DrvDestino), L"c:"),
          "DrvDestino shows " + Show(SelectedText(app.Control(DrvDestino))));
    CHECK_EQ(Text(app.Control(LblArchFuente)), folder);
}

SCENARIO("file selection", "an unreadable drive in DrvDestino is reported once and undone") {
    REQUIRE(GetLogicalDrives() & 1, "the test setup has no drive A:");
    std::wstring folder = Folder(L"destino-a");
    App app(folder);
    ChooseDrive(app, DrvDestino, L"a:");
    ExpectOneDriveErrorBox(app);
    HWND drive = app.Control(DrvDestino);
    CHECK(WaitForSelection(drive, L"c:"), "DrvDestino shows " + Show(SelectedText(drive)));
    CHECK(StartsWithNoCase(SelectedText(app.Control(DrvFuente)), L"c:"), "DrvFuente moved");
    CHECK_EQ(Text(app.Control(LblArchFuente)), folder);
    CHECK_EQ(SelectedText(app.Control(DirDestino)), L"destino-a");
}

SCENARIO("file selection", "a readable drive in DrvFuente moves both groups") {
    REQUIRE(GetLogicalDrives() & 8, "the test setup has no drive D:");
    App app(Folder(L"unidad-d"));
    ChooseDrive(app, DrvFuente, L"d:");
    HWND label = app.Control(LblArchFuente);
    CHECK(WaitUntil([&] { return _wcsicmp(Text(label).c_str(), L"D:\\") == 0; }),
          "the label shows " + Show(Text(label)));
    CHECK(!app.CurrentMessageBox(), "a message box appeared");
    auto sourceFolders = Items(app.Control(DirFuente));
    CHECK(!sourceFolders.empty() && _wcsicmp(sourceFolders[0].c_str(), L"d:\\") == 0,
          "DirFuente is not on D:");
    CHECK(Contains(sourceFolders, L"Fotos") && Contains(sourceFolders, L"Trabajo"),
          "DirFuente lacks D:'s folders");
    auto files = Items(app.Control(FileFuente));
    CHECK(Contains(files, L"LEEME.TXT") && Contains(files, L"notas.txt"), "FileFuente does not show D:\\");
    CHECK(StartsWithNoCase(SelectedText(app.Control(DrvDestino)), L"d:"), "DrvDestino did not follow to D:");
    auto destFolders = Items(app.Control(DirDestino));
    CHECK(!destFolders.empty() && _wcsicmp(destFolders[0].c_str(), L"d:\\") == 0, "DirDestino is not on D:");
}

}  // namespace
}  // namespace e2e
