// The about window end to end: opened from the main window, its outline and size, the mailbox after a
// tick, its own close and minimise pictures, one instance, and the program ending with it open.
#include "about_window/autor_win_ids.h"
#include "main_window/frm_main_ids.h"
#include "support.h"

namespace e2e {
namespace {

namespace autor = tesoro::autor_ids;
const wchar_t kAboutCaption[] = L"Tesoro - Autor - Tomás Ficticio";

// Clicks CmdAutor and waits for the about window to be shown.
HWND OpenAbout(const App& app) {
    Click(app.Control(tesoro::ids::CmdAutor));
    HWND about = nullptr;
    WaitUntil([&] { return (about = FindTopLevel(app.Pid(), nullptr, kAboutCaption)) != nullptr; });
    REQUIRE(about != nullptr, "the about window did not appear");
    return about;
}

HWND Child(HWND window, int id) {
    HWND child = GetDlgItem(window, id);
    REQUIRE(child != nullptr, "no control " + Show(id) + " in the about window");
    return child;
}

// A press and release of a mouse button on a picture, as the user's hand would give them.
void PressAndRelease(HWND picture, UINT down, UINT up, WPARAM key) {
    PostMessageW(picture, down, key, MAKELPARAM(4, 4));
    PostMessageW(picture, up, 0, MAKELPARAM(4, 4));
}

SCENARIO("about window", "opens with its outline, size and mailbox; closes with its picture and opens anew") {
    App app(Folder(L"autor"));
    HWND about = OpenAbout(app);

    SIZE client = ClientSize(about);
    CHECK_EQ(client.cx, 387);
    CHECK_EQ(client.cy, 160);
    const LONG style = GetWindowLongW(about, GWL_STYLE);
    CHECK(!(style & WS_CAPTION) && !(style & WS_THICKFRAME), "the about window has a title bar or border");
    CHECK(GetWindow(about, GW_OWNER) == nullptr, "the about window has an owner");
    CHECK(IsWindowEnabled(app.Main()), "the main window is blocked");

    HRGN actual = CreateRectRgn(0, 0, 0, 0);
    CHECK(GetWindowRgn(about, actual) != ERROR, "the about window has no region");
    HRGN expected = CreateEllipticRgn(5, 10, 387, 160);
    HRGN tab = CreateRectRgn(285, 9, 303, 23);
    CombineRgn(expected, expected, tab, RGN_OR);
    DeleteObject(tab);
    tab = CreateRectRgn(264, 6, 282, 20);
    CombineRgn(expected, expected, tab, RGN_OR);
    DeleteObject(tab);
    // The same area, however the system bands it into rectangles.
    HRGN difference = CreateRectRgn(0, 0, 0, 0);
    CHECK(CombineRgn(difference, actual, expected, RGN_XOR) == NULLREGION,
          "the region is not the ellipse and the two tabs");
    DeleteObject(difference);
    DeleteObject(actual);
    DeleteObject(expected);

    HWND mail = Child(about, autor::ImgMail), mail1 = Child(about, autor::ImgMail1);
    CHECK(Visible(Child(about, autor::LblCR)) || Visible(mail1), "the note is not shown at first");
    CHECK(WaitUntil([&] { return Visible(mail1) && !Visible(mail); }, 3000),
          "the mailbox (flag lowered) did not appear after a tick");
    CHECK(WaitUntil([&] { return Visible(mail) && !Visible(mail1); }, 3000),
          "the mailbox does not change face");
    CHECK_EQ(Text(Child(about, autor::LblPrograma)), L"Tesoro");
    CHECK_EQ(Text(Child(about, autor::LblVersion)), L"1.0");
    app.WaitForPaint();
    RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    Screenshot(L"about_window");

    PressAndRelease(Child(about, autor::CloseB), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
    CHECK(WaitUntil([&] { return !IsWindow(about); }), "the close picture did not close the window");
    CHECK(app.Running(), "the program ended with its about window");

    HWND fresh = OpenAbout(app);
    CHECK(!Visible(Child(fresh, autor::ImgMail)) && !Visible(Child(fresh, autor::ImgMail1)),
          "the fresh window shows its mailbox at once");
    CHECK(WaitUntil([&] { return Visible(Child(fresh, autor::ImgMail1)); }, 3000),
          "the fresh window's mailbox did not appear");
    CloseAndWait(app);
}

SCENARIO("about window",
         "minimised by its picture, brought back by CmdAutor; the program ends with it open") {
    App app(Folder(L"autor-min"));
    HWND about = OpenAbout(app);
    PressAndRelease(Child(about, autor::Min), WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON);
    CHECK(WaitUntil([&] { return IsIconic(about) != FALSE; }), "the minimise picture did not minimise");

    HWND again = OpenAbout(app);
    CHECK(again == about, "CmdAutor made a second about window");
    CHECK(WaitUntil([&] { return !IsIconic(about) && IsWindowVisible(about); }),
          "CmdAutor did not bring the about window back");

    app.Close();
    CHECK(app.WaitForExit(), "closing the main window did not end the program");
}

// A point of the window's background, on the screen: inside its outline, on no label or picture.
POINT BackgroundPoint(HWND about) {
    POINT point{200, 130};
    ClientToScreen(about, &point);
    return point;
}

// Puts the pointer there, as a move of the user's hand would.
void MovePointer(POINT to) {
    SetCursorPos(to.x, to.y);
    WaitUntil([&] {
        POINT at;
        return GetCursorPos(&at) && at.x == to.x && at.y == to.y;
    });
    SendMouse(MOUSEEVENTF_MOVE);
}

POINT Corner(HWND window) {
    RECT place{};
    GetWindowRect(window, &place);
    return {place.left, place.top};
}

bool Same(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

// The system's own move follows the left button only; a right or middle press must not leave the window
// following the pointer, nor use up the next Esc of the main window.
SCENARIO("about window", "a right or middle button moves it only while held; Esc then ends the program") {
    App app(Folder(L"autor-mover"));
    HWND about = OpenAbout(app);
    app.WaitForPaint();
    const struct {
        DWORD down, up;
        const char* name;
    } buttons[] = {{MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, "right"},
                   {MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, "middle"}};
    for (const auto& button : buttons) {
        const POINT start = Corner(about), grip = BackgroundPoint(about);
        MovePointer(grip);
        SendMouse(button.down);
        MovePointer({grip.x + 40, grip.y + 30});
        CHECK(WaitUntil(
                  [&] {
                      return Same(Corner(about), {start.x + 40, start.y + 30});
                  },
                  3000),
              std::string("the window did not follow the pointer while the ") + button.name +
                  " button was held");
        SendMouse(button.up);
        const POINT released = Corner(about);
        MovePointer({grip.x + 90, grip.y + 50});
        CHECK(!WaitUntil([&] { return !Same(Corner(about), released); }, 1000),
              std::string("the window followed the pointer after the ") + button.name + " button's release");
    }

    // A click without dragging, as a user's right click: nothing follows the pointer afterwards.
    const POINT start = Corner(about), grip = BackgroundPoint(about);
    MovePointer(grip);
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    MovePointer({grip.x - 60, grip.y + 40});
    CHECK(!WaitUntil([&] { return !Same(Corner(about), start); }, 1000),
          "the window follows the pointer after a right click");
    Screenshot(L"about_after_right_click");

    PressEscape(app);
    CHECK(app.WaitForExit(), "Esc on the main window did not end the program");
}

}  // namespace
}  // namespace e2e
