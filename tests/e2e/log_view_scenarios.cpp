// The log view and the log editor: the view over the source lists, its scrolling and pause button, the
// window restored on closing, an entry removed with the editor and written to TESORO.DAT at exit.
#include "main_window/frm_main_ids.h"
#include "resources/resource_ids.h"
#include "support.h"

namespace e2e {
namespace {

using namespace tesoro::ids;

const std::wstring kRule(91, L'*');

std::vector<std::wstring> EntriesOnD(int count) {
    std::vector<std::wstring> lines;
    for (int i = 1; i <= count; ++i) {
        const std::wstring n = std::to_wstring(i);
        lines.push_back(L"3/4/2026:  archivo" + n + L".txt -> D:\\COPIAS\\ARCHIVO" + n + L".BAK");
    }
    return lines;
}

std::wstring ViewText(const std::vector<std::wstring>& lines) {
    std::wstring text = kRule;
    for (const auto& line : lines) text += L"\r" + line + L"\r";
    return text;
}

void StartWithLog(const std::vector<std::wstring>& lines) {
    REQUIRE(WriteBytes(kLogPath, LogBytes(lines)), "cannot write the log");
}

void OpenView(const App& app) {
    Click(app.Control(CmdVerLog));
    app.Sync();
    REQUIRE(WaitUntil([&] { return Visible(app.Control(LblDat)); }), "the log view did not open");
}

void CheckSourceControlsShown(const App& app, bool shown) {
    for (int id : {DrvFuente, DirFuente, FileFuente}) CHECK_EQ(Visible(app.Control(id)), shown);
    for (int id : {CmdCopiar, CmdBorrar, CmdAyuda}) CHECK_EQ(Enabled(app.Control(id)), shown);
    CHECK_EQ(Enabled(app.Control(FraDestino)), shown);
}

SCENARIO("log view", "nine entries scroll, pause and the window comes back on closing") {
    const auto entries = EntriesOnD(9);
    StartWithLog(entries);
    App app(Folder(L"vista-nueve"));
    OpenView(app);
    HWND label = app.Control(LblDat);
    CHECK_EQ(Text(label), ViewText(entries));
    CHECK_EQ(ToolTip(app, app.Control(CmdVerLog)), L"Ocultar TESORO.DAT");
    CHECK_EQ(Text(app.Control(FraFuente)), L"TESORO.DAT");
    CheckSourceControlsShown(app, false);
    HWND pause = app.Control(ChkDetener);
    CHECK(Visible(pause), "ChkDetener is not shown above seven entries");
    CHECK_EQ(PlaceIn(app.Main(), app.Control(ImgFlecha)).top, 128);  // 1920 twips, beside CmdVerLog
    CHECK(WaitUntil([&] { return Visible(app.Control(ImgFlecha)); }, 2000), "the arrow does not blink");
    app.WaitForPaint();
    Screenshot(L"log-view-9");

    // The first ticks move the rule line, then the first entry, to the bottom.
    const std::wstring start = ViewText(entries);
    const std::wstring afterOne = start.substr(kRule.size() + 1) + kRule + L"\r";
    const std::wstring afterTwo = afterOne.substr(entries[0].size() + 1) + entries[0] + L"\r";
    std::wstring moved;
    CHECK(WaitUntil([&] { return (moved = Text(label)) != start; }, 3000), "the text did not move");
    CHECK(moved == afterOne || moved == afterTwo,
          "the text did not move up a line at a time: " + Show(moved));

    Click(pause);
    app.Sync();
    CHECK_EQ(CheckState(pause), BST_CHECKED);
    CHECK_EQ(ToolTip(app, pause), L"CONTINUAR...");
    const std::wstring paused = Text(label);
    Sleep(2200);
    CHECK_EQ(Text(label), paused);
    app.WaitForPaint();
    Screenshot(L"log-view-paused");

    Click(app.Control(CmdVerLog));
    app.Sync();
    CHECK(!Visible(label), "LblDat still shown after closing");
    CHECK(!Visible(pause), "ChkDetener still shown after closing");
    CHECK_EQ(CheckState(pause), BST_UNCHECKED);
    CHECK_EQ(ToolTip(app, pause), L"DETENER");
    CHECK_EQ(ToolTip(app, app.Control(CmdVerLog)), L"Ver TESORO.DAT");
    CHECK_EQ(Text(app.Control(FraFuente)), L"FUENTE:");
    CHECK(!Visible(app.Control(ImgFlecha)), "the arrow is still shown");
    CheckSourceControlsShown(app, true);
    app.WaitForPaint();
    Screenshot(L"log-view-closed");
    CloseAndWait(app);
}

SCENARIO("log view", "three entries show without scrolling") {
    const auto entries = EntriesOnD(3);
    StartWithLog(entries);
    App app(Folder(L"vista-tres"));
    OpenView(app);
    CHECK_EQ(Text(app.Control(LblDat)), ViewText(entries));
    CHECK(!Visible(app.Control(ChkDetener)), "ChkDetener is shown for three entries");
    app.WaitForPaint();
    Screenshot(L"log-view-3");
    Sleep(1300);
    CHECK_EQ(Text(app.Control(LblDat)), ViewText(entries));
    CloseAndWait(app);
}

// Waits for the editor's prompt and checks its texts.
HWND EditorPrompt(const App& app) {
    auto prompt = app.WaitForMessageBox();
    REQUIRE(prompt.has_value(), "the editor's prompt did not appear");
    CHECK_EQ(prompt->title, L"TESORO.DAT: Eliminar nombre de archivo...");
    CHECK_EQ(Text(GetDlgItem(prompt->hwnd, IDC_INPUTBOX_PROMPT)),
             L"Introduzca el nombre de la copia de seguridad\rque desee eliminar del fichero TESORO.DAT");
    CHECK_EQ(Text(GetDlgItem(prompt->hwnd, IDC_INPUTBOX_TEXT)), L".BAK");
    return prompt->hwnd;
}

void StartEditor(const App& app) {
    Click(app.Control(ChkEditar));
    app.Sync();
    REQUIRE(CheckState(app.Control(ChkEditar)) == BST_CHECKED, "ChkEditar did not check");
    Click(app.Control(CmdVerLog));
}

SCENARIO("log editor", "an entry on D: is removed and TESORO.DAT is written at exit") {
    std::wstring folder = Folder(L"editor", {{L"LISTA.BAK", "copia"}});
    const std::wstring onC = L"3/4/2026:  lista.dbf -> " + folder + L"\\LISTA.BAK";
    const std::wstring onD = L"3/4/2026:  lista.dbf -> D:\\COPIAS\\LISTA.BAK";
    const std::wstring other = L"3/4/2026:  notas.txt -> D:\\COPIAS\\NOTAS.BAK";
    StartWithLog({onC, onD, other});
    App app(folder);
    StartEditor(app);
    HWND prompt = EditorPrompt(app);
    app.WaitForPaint();
    Screenshot(L"log-editor-prompt");
    Type(GetDlgItem(prompt, IDC_INPUTBOX_TEXT), L"lista");
    PostMessageW(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
    REQUIRE(WaitUntil([&] { return !IsWindow(prompt); }), "the prompt did not close");
    auto question = app.WaitForMessageBox();
    CHECK_BOX(question, L"¿Desea eliminar: D:\\COPIAS\\LISTA.BAK ?", L"TESORO.DAT: Eliminar nombre...",
              (std::vector<int>{IDYES, IDNO}), L"exclamation");
    REQUIRE(question.has_value(), "no confirmation");
    Screenshot(L"log-editor-question");
    app.Answer(*question, IDYES);
    app.Sync();
    CHECK(!app.CurrentMessageBox(), "another entry was offered after the removal");
    CHECK_EQ(CheckState(app.Control(ChkEditar)), BST_UNCHECKED);
    CloseAndWait(app);
    auto bytes = ReadBytes(kLogPath);
    REQUIRE(bytes.has_value(), "TESORO.DAT is gone");
    CHECK(*bytes == LogBytes({onC, other}), "the log written back: " + Show(*bytes));
}

SCENARIO("log editor", "Cancel in the prompt offers nothing") {
    const auto entries = EntriesOnD(2);
    StartWithLog(entries);
    App app(Folder(L"editor-cancelar"));
    StartEditor(app);
    HWND prompt = EditorPrompt(app);
    PostMessageW(GetDlgItem(prompt, IDCANCEL), BM_CLICK, 0, 0);
    REQUIRE(WaitUntil([&] { return !IsWindow(prompt); }), "the prompt did not close");
    CHECK(!app.WaitForMessageBox(1500), "a question followed Cancel");
    CHECK_EQ(CheckState(app.Control(ChkEditar)), BST_UNCHECKED);
    CloseAndWait(app);
    auto bytes = ReadBytes(kLogPath);
    CHECK(bytes && *bytes == LogBytes(entries), "the log changed");
}

}  // namespace
}  // namespace e2e
