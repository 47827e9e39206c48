// Delete mode on the real program: the shorter window with only the safety copies, the question, the
// deletion on disk and in TESORO.DAT, a refused deletion, and leaving the mode.
#include "main_window/frm_main_ids.h"
#include "support.h"

namespace e2e {
namespace {

using namespace tesoro::ids;

const std::wstring kTitle = L"Borrar archivo de seguridad";

// Twips to the screen's pixels, as the window rounds them: the client area is the design's at any dpi.
int Pixels(int twips) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return MulDiv(twips, dpi, 1440);
}

std::wstring Question(const std::wstring& path) { return L"¿Desea borrar el archivo\r" + path + L"?"; }

// Presses CmdBorrar with a file chosen, checks the question and answers it.
void AskAndAnswer(const App& app, const std::wstring& path, int answer) {
    Click(app.Control(CmdBorrar));
    auto box = app.WaitForMessageBox();
    CHECK_BOX(box, Question(path), kTitle, (std::vector<int>{IDYES, IDNO}), L"exclamation");
    REQUIRE(box && app.Answer(*box, answer), "cannot answer the question");
    app.Sync();
}

void EnterDeleteMode(const App& app) {
    Click(app.Control(CmdBorrar));
    app.Sync();
    REQUIRE(WaitUntil([&] { return Visible(app.Control(CmdCancelar)); }), "delete mode did not start");
}

SCENARIO("delete mode", "delete a copy: No keeps it, Yes deletes it and its log line") {
    std::wstring folder = Folder(L"borrar", {{L"DATOS.BAK", "datos"},
                                             {L"DATOS.BAKUP", "otra copia"},
                                             {L"informe.bak", "informe"},
                                             {L"informe.doc", "original"},
                                             {L"viejo.bak2", "no es copia"}});
    const std::wstring floppy = L"2/3/2025:  lista.dbf -> A:\\COPIAS\\LISTA.BAK";
    const std::wstring longer = L"3/3/2025:  DATOS.DB -> " + folder + L"\\DATOS.BAKUP";
    const std::wstring datos = L"4/3/2025:  DATOS.DB -> " + folder + L"\\DATOS.BAK";
    const std::wstring informe = L"5/3/2025:  informe.doc -> " + folder + L"\\informe.bak";
    REQUIRE(WriteBytes(kLogPath, LogBytes({floppy, longer, datos, informe})), "cannot write the log");

    const int kNormalClientHeight = Pixels(5340), kDeleteClientHeight = Pixels(3450);
    App app(folder);
    const std::vector<std::wstring> normalFiles = Items(app.Control(FileFuente));
    EnterDeleteMode(app);
    CHECK_EQ(ClientSize(app.Main()).cy, kDeleteClientHeight);
    CHECK_EQ(ClientSize(app.Main()).cx, Pixels(6915));
    CHECK(Items(app.Control(FileFuente)) == (std::vector<std::wstring>{L"DATOS.BAK", L"informe.bak"}),
          "the file list shows more than the safety copies");
    CHECK_EQ(Text(app.Control(FraFuente)), L"BORRAR ARCHIVO:");
    CHECK_EQ(Text(app.Control(LblFuente)), L"Nombre del archivo de seguridad:");
    CHECK_EQ(Text(app.Control(LblArchFuente)), folder);
    CHECK_EQ(ToolTip(app, app.Control(CmdBorrar)), L"Borrar Archivo: ¿?.BAK");
    CHECK(!Visible(app.Control(FraDestino)), "the destination group is still shown");
    CHECK(Visible(app.Control(LblBorrar)), "the hint is not shown");
    CHECK(!Enabled(app.Control(CmdCopiar)), "copying is still possible");
    CHECK(PlaceIn(app.Main(), app.Control(CmdAutor)).top >= kDeleteClientHeight, "CmdAutor is still visible");
    CHECK(PlaceIn(app.Main(), app.Control(CmdSalir)).top >= kDeleteClientHeight, "CmdSalir is still visible");
    app.WaitForPaint();
    Screenshot(L"delete_mode");

    // Nothing chosen yet: the button asks nothing.
    Click(app.Control(CmdBorrar));
    app.Sync();
    CHECK(!app.WaitForMessageBox(500), "a box appeared with no file chosen");

    ClickFile(app, L"DATOS.BAK");
    CHECK_EQ(ToolTip(app, app.Control(CmdBorrar)), L"Borrar Archivo: DATOS.BAK");
    AskAndAnswer(app, folder + L"\\DATOS.BAK", IDNO);
    CHECK(FileExists(folder + L"\\DATOS.BAK"), "the answer No deleted the file");
    CHECK_EQ(Text(app.Control(LblArchFuente)), folder + L"\\DATOS.BAK");

    AskAndAnswer(app, folder + L"\\DATOS.BAK", IDYES);
    CHECK(!app.WaitForMessageBox(500), "a box followed the deletion");
    CHECK(!FileExists(folder + L"\\DATOS.BAK"), "the file is still on disk");
    CHECK(FileExists(folder + L"\\DATOS.BAKUP"), "the longer name went too");
    CHECK(WaitForText(app.Control(LblArchFuente), folder), "the label was not reset to the folder");
    CHECK(Items(app.Control(FileFuente)) == std::vector<std::wstring>{L"informe.bak"},
          "the file list still shows the deleted file");

    PressAltKey(app, 'C');
    CHECK(WaitUntil([&] { return ClientSize(app.Main()).cy == kNormalClientHeight; }),
          "Alt+C did not leave delete mode");
    std::vector<std::wstring> expectedFiles = normalFiles;
    std::erase(expectedFiles, L"DATOS.BAK");
    CHECK(Items(app.Control(FileFuente)) == expectedFiles, "the file list is not back to every file");
    CHECK_EQ(Text(app.Control(FraFuente)), L"FUENTE:");
    CHECK_EQ(Text(app.Control(LblFuente)), L"Copia de Seguridad del archivo:");
    CHECK(Visible(app.Control(FraDestino)) && Enabled(app.Control(CmdCopiar)), "the copy layout is not back");
    CHECK(!Visible(app.Control(CmdCancelar)) && !Visible(app.Control(LblBorrar)),
          "delete mode's controls are still shown");
    CHECK(StartsWithNoCase(SelectedText(app.Control(DirDestino)), L"borrar"),
          "the destination folder is not the source folder");
    CHECK_EQ(Text(app.Control(TxtArchDestino)), kPlaceholder);
    CHECK_EQ(ToolTip(app, app.Control(CmdBorrar)), L"Activar Borrar Archivo *.BAK");

    CloseAndWait(app);
    auto bytes = ReadBytes(kLogPath);
    REQUIRE(bytes.has_value(), "TESORO.DAT is gone");
    // The other lines keep their bytes; only the deleted copy's line is gone.
    CHECK(*bytes == LogBytes({floppy, longer, informe}), "the log written back is wrong: " + Show(*bytes));
}

SCENARIO("delete mode", "a read-only copy is refused with the reason and kept with its line") {
    std::wstring folder = Folder(L"borrar-protegido", {{L"protegido.BAK", "copia"}});
    const std::wstring path = folder + L"\\protegido.BAK";
    const std::wstring line = L"6/3/2025:  protegido.txt -> " + path;
    const std::string log = LogBytes({line});
    REQUIRE(WriteBytes(kLogPath, log), "cannot write the log");
    REQUIRE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY), "cannot protect the file");

    App app(folder);
    EnterDeleteMode(app);
    ClickFile(app, L"protegido.BAK");
    AskAndAnswer(app, path, IDYES);
    auto box = app.WaitForMessageBox();
    CHECK_BOX(box, L"IMPOSIBLE BORRAR EL ARCHIVO\r" + path + L"\r\rMotivo: El archivo es de solo lectura.",
              kTitle, {IDOK}, L"critical");
    Screenshot(L"delete_refused");
    REQUIRE(box && app.Answer(*box, IDOK), "cannot close the message");
    app.Sync();
    CHECK(FileExists(path), "the read-only file was deleted");
    CHECK_EQ(Text(app.Control(LblArchFuente)), path);
    CHECK(Contains(Items(app.Control(FileFuente)), L"protegido.BAK"), "the file left the list");
    CloseAndWait(app);
    CHECK(ReadBytes(kLogPath).value_or("") == log, "the log changed");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

SCENARIO("delete mode", "a copy deleted meanwhile is refused as gone and leaves the list") {
    std::wstring folder = Folder(L"borrar-desaparecida", {{L"uno.BAK", "1"}, {L"dos.BAK", "2"}});
    const std::wstring path = folder + L"\\uno.BAK";
    App app(folder);
    EnterDeleteMode(app);
    ClickFile(app, L"uno.BAK");
    REQUIRE(DeleteFileW(path.c_str()), "cannot delete the copy behind the program's back");
    AskAndAnswer(app, path, IDYES);
    auto box = app.WaitForMessageBox();
    CHECK_BOX(box,
              L"IMPOSIBLE BORRAR EL ARCHIVO\r" + path +
                  L"\r\rMotivo: El archivo ya no existe: se ha borrado o movido.",
              kTitle, {IDOK}, L"critical");
    REQUIRE(box && app.Answer(*box, IDOK), "cannot close the message");
    app.Sync();
    CHECK(Items(app.Control(FileFuente)) == std::vector<std::wstring>{L"dos.BAK"},
          "the vanished copy is still listed");
    CHECK_EQ(Text(app.Control(LblArchFuente)), path);
    CHECK_EQ(ToolTip(app, app.Control(CmdBorrar)), L"Borrar Archivo: uno.BAK");
    CloseAndWait(app);
}

}  // namespace
}  // namespace e2e
