// Choosing the source from outside the window: a path on the command line, as a "Send to" shortcut
// passes it.
#include "main_window/frm_main_ids.h"
#include "support.h"

namespace e2e {
namespace {

using namespace tesoro::ids;

SCENARIO("outside source", "a file on another drive given on the command line starts chosen") {
    std::wstring folder = Folder(L"inicio");
    App app(folder, L"\"D:\\Trabajo\\Informes\\enero.doc\"");
    HWND label = app.Control(LblArchFuente);
    CHECK(WaitForText(label, L"D:\\Trabajo\\Informes\\enero.doc"),
          "the label shows " + Show(Text(label)) + ", not the file");
    CHECK_EQ(Text(app.Control(TxtArchDestino)), L"enero.BAK");
    CHECK_EQ(SelectedText(app.Control(FileFuente)), L"enero.doc");
    CHECK(StartsWithNoCase(SelectedText(app.Control(DrvFuente)), L"d:"), "DrvFuente is not on D:");
    CHECK(StartsWithNoCase(SelectedText(app.Control(DrvDestino)), L"d:"), "DrvDestino did not follow");
    CHECK_EQ(SelectedText(app.Control(DirDestino)), L"Informes");
    CHECK(!app.CurrentMessageBox(), "a message box is shown");
    CloseAndWait(app);
}

SCENARIO("outside source", "a relative path with spaces names a file in the current folder") {
    std::wstring folder = Folder(L"relativo", {{L"con espacios\\mi carta.txt", "carta"}});
    App app(folder, L"\"con espacios\\mi carta.txt\"");
    CHECK(WaitForText(app.Control(LblArchFuente), folder + L"\\con espacios\\mi carta.txt"),
          "the file was not chosen");
    CHECK_EQ(Text(app.Control(TxtArchDestino)), L"mi carta.BAK");
    CloseAndWait(app);
}

SCENARIO("outside source", "a missing path is reported and the program starts as without it") {
    std::wstring folder = Folder(L"falta");
    App app(folder, L"C:\\no\\existe.txt");
    auto box = app.WaitForMessageBox();
    CHECK_BOX(box, L"No se encuentra el archivo o la carpeta:\r\rC:\\no\\existe.txt",
              L"Error al Acceder al archivo", {IDOK}, L"critical");
    REQUIRE(box && app.Answer(*box, IDOK), "cannot answer the message box");
    app.Sync();
    CHECK_EQ(Text(app.Control(LblArchFuente)), folder);
    CHECK_EQ(Text(app.Control(TxtArchDestino)), kPlaceholder);
    CloseAndWait(app);
}

// The backslash before a closing quote is taken for an escape by the usual rules, and older shortcuts
// pass a path with spaces unquoted: each is chosen as the path it was, with no message.
SCENARIO("outside source", "paths as Windows writes them on the command line are chosen") {
    const std::wstring folder = Folder(L"Otra Carpeta", {{L"otro.txt", "otro"}});
    {
        App app(Folder(L"inicio-raiz"), L"\"D:\\\"");
        CHECK(WaitForText(app.Control(LblArchFuente), L"D:\\"),
              "the label shows " + Show(Text(app.Control(LblArchFuente))));
        CHECK(StartsWithNoCase(SelectedText(app.Control(DrvFuente)), L"d:"), "DrvFuente is not on D:");
        CHECK_EQ(SelectedText(app.Control(DirFuente)), L"d:\\");
        CHECK(Contains(Items(app.Control(FileFuente)), L"LEEME.TXT"), "the root's files are not listed");
        CHECK(!app.CurrentMessageBox(), "a message box is shown");
        CloseAndWait(app);
    }
    {
        App app(Folder(L"inicio-carpeta"), L"\"" + folder + L"\\\"");
        CHECK(WaitForText(app.Control(LblArchFuente), folder),
              "the label shows " + Show(Text(app.Control(LblArchFuente))));
        CHECK(Contains(Items(app.Control(FileFuente)), L"otro.txt"), "the folder's files are not listed");
        CHECK(!app.CurrentMessageBox(), "a message box is shown");
        CloseAndWait(app);
    }
    {
        App app(Folder(L"inicio-sin-comillas"), folder + L"\\otro.txt");
        CHECK(WaitForText(app.Control(LblArchFuente), folder + L"\\otro.txt"),
              "the label shows " + Show(Text(app.Control(LblArchFuente))));
        CHECK_EQ(Text(app.Control(TxtArchDestino)), L"otro.BAK");
        CHECK(!app.CurrentMessageBox(), "a message box is shown");
        CloseAndWait(app);
    }
}

SCENARIO("outside source", "a device name is reported as typed") {
    App app(Folder(L"inicio-dispositivo"), L"CON");
    auto box = app.WaitForMessageBox();
    CHECK_BOX(box, L"No se encuentra el archivo o la carpeta:\r\rCON", L"Error al Acceder al archivo", {IDOK},
              L"critical");
    REQUIRE(box && app.Answer(*box, IDOK), "cannot answer the message box");
    CloseAndWait(app);
}

}  // namespace
}  // namespace e2e
