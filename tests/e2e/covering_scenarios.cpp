// What a view covers takes no key on the real program: Alt+C under the instructions leaves delete mode
// alone, Tab never lands under the text, and in delete mode's shorter window Tab skips the buttons below
// it while Esc still ends the program.
#include <set>

#include "main_window/frm_main_ids.h"
#include "support.h"

namespace e2e {
namespace {

using namespace tesoro::ids;

int Pixels(int twips) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return MulDiv(twips, dpi, 1440);
}

void EnterDeleteMode(const App& app) {
    Click(app.Control(CmdBorrar));
    app.Sync();
    REQUIRE(WaitUntil([&] { return Visible(app.Control(CmdCancelar)); }), "delete mode did not start");
}

// The ids of the controls the focus visits on `presses` presses of Tab.
std::set<int> TabThrough(const App& app, int presses) {
    std::set<int> visited;
    for (int i = 0; i < presses; ++i) {
        app.PressKey(VK_TAB);
        app.Sync();
        visited.insert(GetDlgCtrlID(Focus(app)));
    }
    return visited;
}

std::string Ids(const std::set<int>& ids) {
    std::string all;
    for (int id : ids) all += std::to_string(id) + " ";
    return all;
}

SCENARIO("covering", "under the instructions in delete mode Alt+C and Tab reach nothing the text covers") {
    App app(Folder(L"cubierto", {{L"copia.BAK", "c"}}));
    EnterDeleteMode(app);
    const int deleteHeight = Pixels(3450);
    MouseClick(app, app.Control(CmdAyuda));
    REQUIRE(WaitUntil([&] { return Visible(app.Control(TxtAyuda)); }), "the instructions are not shown");

    PressAltKey(app, 'C');
    CHECK_EQ(ClientSize(app.Main()).cy, deleteHeight);
    CHECK_EQ(Text(app.Control(FraFuente)), L"INSTRUCCIONES:");
    CHECK(!Enabled(app.Control(CmdCopiar)), "the copy button is enabled under the instructions");
    CHECK(Visible(app.Control(LblBorrar)), "delete mode's hint went");
    CHECK(Items(app.Control(FileFuente)) == std::vector<std::wstring>{L"copia.BAK"},
          "the list left delete mode");
    app.WaitForPaint();
    Screenshot(L"covered_alt_c");

    const std::set<int> visited = TabThrough(app, 6);
    CHECK((visited == std::set<int>{CmdAyuda, TxtAyuda}), "Tab visited " + Ids(visited));

    MouseClick(app, app.Control(CmdAyuda));
    REQUIRE(WaitUntil([&] { return !Visible(app.Control(TxtAyuda)); }), "the instructions are still shown");
    PressAltKey(app, 'C');
    CHECK(WaitUntil([&] { return ClientSize(app.Main()).cy == Pixels(5340); }),
          "Alt+C did not leave delete mode once the instructions were hidden");
    CHECK(Enabled(app.Control(CmdCopiar)), "copying did not come back");
    CloseAndWait(app);
}

SCENARIO("covering", "under the instructions Tab never reaches the source lists") {
    App app(Folder(L"cubierto-normal", {{L"uno.txt", "1"}, {L"dos.txt", "2"}}));
    MouseClick(app, app.Control(CmdAyuda));
    REQUIRE(WaitUntil([&] { return Visible(app.Control(TxtAyuda)); }), "the instructions are not shown");
    const std::set<int> visited = TabThrough(app, 8);
    CHECK((visited == std::set<int>{CmdAyuda, CmdAutor, CmdSalir, TxtAyuda}), "Tab visited " + Ids(visited));
    CloseAndWait(app);
}

SCENARIO("covering", "in delete mode Tab skips the buttons below the window and Esc still ends the program") {
    App app(Folder(L"cubierto-borrar", {{L"copia.BAK", "c"}}));
    EnterDeleteMode(app);
    const std::set<int> visited = TabThrough(app, 10);
    CHECK((visited ==
           std::set<int>{CmdVerLog, CmdAyuda, DrvFuente, DirFuente, FileFuente, CmdBorrar, CmdCancelar}),
          "Tab visited " + Ids(visited));
    PressEscape(app);
    CHECK(app.WaitForExit(), "Esc did not end the program in delete mode");
}

}  // namespace
}  // namespace e2e
