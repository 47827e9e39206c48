// The instructions on the real program: shown over the source area, scrolled with the mouse wheel and
// the keyboard, never edited, hidden again; and in delete mode.
#include "main_window/frm_main_ids.h"
#include "support.h"

namespace e2e {
namespace {

using namespace tesoro::ids;

void Wheel(const App& app, HWND over, int notchesDown) {
    PointAt(over);
    SendMouse(MOUSEEVENTF_WHEEL, static_cast<DWORD>(-notchesDown * WHEEL_DELTA));
    app.Sync();
}

int FirstVisibleLine(HWND edit) { return static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0)); }

void CheckInstructionsShown(const App& app) {
    CHECK(WaitUntil([&] { return Visible(app.Control(TxtAyuda)); }), "the instructions are not shown");
    CHECK_EQ(Text(app.Control(FraFuente)), L"INSTRUCCIONES:");
    for (auto [id, name] : {std::pair{CmdCopiar, "CmdCopiar"}, std::pair{CmdBorrar, "CmdBorrar"},
                            std::pair{CmdVerLog, "CmdVerLog"}, std::pair{FraDestino, "FraDestino"}}) {
        CHECK(!Enabled(app.Control(id)), std::string(name) + " is still enabled");
    }
    CHECK(Enabled(app.Control(CmdAyuda)) && Enabled(app.Control(CmdAutor)) && Enabled(app.Control(CmdSalir)),
          "a button that stays usable was disabled");
}

SCENARIO("help panel", "the instructions scroll by wheel and keyboard, cannot be edited, and hide") {
    App app(Folder(L"ayuda", {{L"uno.txt", "1"}}));
    HWND help = app.Control(TxtAyuda);
    MouseClick(app, app.Control(CmdAyuda));
    CheckInstructionsShown(app);
    const std::wstring text = Text(help);
    CHECK(text.starts_with(L"                     INTRODUCCIÓN:\r\n"),
          "the help text does not begin as expected");
    CHECK(text.ends_with(L"le felicito..."), "the help text does not end as expected");
    const LONG style = GetWindowLongW(help, GWL_STYLE);
    CHECK((style & ES_READONLY) && (style & ES_MULTILINE) && (style & WS_VSCROLL),
          "the text box is not a read-only multi-line box with a scroll bar");
    app.WaitForPaint();
    Screenshot(L"instructions");

    // The wheel scrolls the text under the pointer though the focus is on the help button.
    CHECK_EQ(FirstVisibleLine(help), 0);
    Wheel(app, help, 2);
    CHECK(WaitUntil([&] { return FirstVisibleLine(help) > 0; }), "the wheel did not scroll the text");
    Wheel(app, help, -2);
    CHECK(WaitUntil([&] { return FirstVisibleLine(help) == 0; }), "the wheel did not scroll back");

    // Keyboard: once the text has the focus, Page Down and the arrows move through it.
    MouseClick(app, help);
    CHECK(Focus(app) == help, "a click on the text does not give it the focus");
    app.PressKey(VK_NEXT);
    app.Sync();
    const int afterPage = FirstVisibleLine(help);
    CHECK(afterPage > 0, "Page Down did not scroll the text");
    for (int i = 0; i < 40; ++i) app.PressKey(VK_DOWN);
    app.Sync();
    CHECK(FirstVisibleLine(help) > afterPage, "the down arrow did not scroll the text");
    app.WaitForPaint();
    Screenshot(L"instructions_scrolled");

    // Typing, deleting and pasting change nothing.
    PostMessageW(help, WM_CHAR, L'x', 0);
    app.PressKey(VK_DELETE);
    app.PressKey(VK_BACK);
    PostMessageW(help, WM_PASTE, 0, 0);
    PostMessageW(help, WM_CUT, 0, 0);
    app.Sync();
    CHECK(Text(help) == text, "the help text was changed");

    MouseClick(app, app.Control(CmdAyuda));
    CHECK(WaitUntil([&] { return !Visible(help); }), "the instructions are still shown");
    CHECK_EQ(Text(app.Control(FraFuente)), L"FUENTE:");
    CHECK(Enabled(app.Control(CmdCopiar)) && Enabled(app.Control(CmdBorrar)) &&
              Enabled(app.Control(CmdVerLog)) && Enabled(app.Control(FraDestino)),
          "the buttons are not enabled again");
    CHECK(!Visible(app.Control(ImgFlecha)), "the arrow is still shown");
    CHECK(Visible(app.Control(FileFuente)) && Contains(Items(app.Control(FileFuente)), L"uno.txt"),
          "the source lists are not back");
}

SCENARIO("help panel", "in delete mode hiding the instructions keeps the mode") {
    App app(Folder(L"ayuda-borrar", {{L"copia.BAK", "c"}}));
    Click(app.Control(CmdBorrar));
    app.Sync();
    REQUIRE(WaitUntil([&] { return Visible(app.Control(CmdCancelar)); }), "delete mode did not start");
    MouseClick(app, app.Control(CmdAyuda));
    CheckInstructionsShown(app);
    MouseClick(app, app.Control(CmdAyuda));
    CHECK(WaitUntil([&] { return !Visible(app.Control(TxtAyuda)); }), "the instructions are still shown");
    CHECK_EQ(Text(app.Control(FraFuente)), L"FUENTE:");
    CHECK(!Enabled(app.Control(CmdCopiar)), "copying came back in delete mode");
    CHECK(Enabled(app.Control(CmdBorrar)), "the delete button stayed disabled");
    CHECK(Visible(app.Control(LblBorrar)) && Visible(app.Control(CmdCancelar)),
          "delete mode's controls went");
    CHECK(ClientSize(app.Main()).cy < PlaceIn(app.Main(), app.Control(CmdAutor)).top,
          "the window is not short");
    CHECK(Items(app.Control(FileFuente)) == std::vector<std::wstring>{L"copia.BAK"},
          "the list left delete mode");
}

SCENARIO("help panel", "the log view and the instructions shut each other out") {
    App app(Folder(L"ayuda-log", {{L"uno.txt", "1"}}));
    HWND help = app.Control(TxtAyuda), log = app.Control(LblDat);
    MouseClick(app, app.Control(CmdAyuda));
    CHECK(WaitUntil([&] { return Visible(help); }), "the instructions are not shown");
    CHECK_EQ(ToolTip(app, app.Control(CmdAyuda)), L"Ocultar INSTRUCCIONES");
    MouseClick(app, app.Control(CmdVerLog));
    CHECK(!Visible(log), "the log opened over the instructions");
    MouseClick(app, app.Control(CmdAyuda));
    CHECK(WaitUntil([&] { return !Visible(help); }), "the instructions are still shown");
    CHECK_EQ(ToolTip(app, app.Control(CmdAyuda)), L"Ver INSTRUCCIONES");

    MouseClick(app, app.Control(CmdVerLog));
    CHECK(WaitUntil([&] { return Visible(log); }), "the log view did not open");
    // The view is shown a moment before the buttons it shuts out are disabled: wait for the handler's end.
    CHECK(WaitUntil([&] { return !Enabled(app.Control(CmdAyuda)); }),
          "the help button is usable over the log");
    MouseClick(app, app.Control(CmdAyuda));
    CHECK(!Visible(help), "the instructions opened over the log");
    MouseClick(app, app.Control(CmdVerLog));
    CHECK(WaitUntil([&] { return !Visible(log); }), "the log view did not close");
    CHECK(WaitUntil([&] { return Enabled(app.Control(CmdAyuda)); }), "the help button stayed disabled");
}

}  // namespace
}  // namespace e2e
