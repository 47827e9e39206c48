// The about window on the fake machine: its outline at several dpi, the animations, the minimise and
// close pictures, the mail link, dragging, and the one instance the main window opens.
#include "about_window/autor_win.h"

#include <gtest/gtest.h>

#include "doubles/fake_platform.h"
#include "main_window/frm_main.h"
#include "resources/resource_ids.h"

namespace tesoro::testing {
namespace {

using Shape = FakeWindowApi::Shape;

class AutorWinTest : public ::testing::Test {
protected:
    FakePlatform fake;
    std::unique_ptr<FrmMain> main;

    // Opens the about window from the main window, as a click on CmdAutor does.
    AutorWin& Open() {
        if (!main) {
            main = std::make_unique<FrmMain>(fake.platform);
            main->Form_Load();
        }
        main->CmdAutor.Click();
        AutorWin* autor = main->AboutWindow.Current();
        EXPECT_NE(autor, nullptr);
        return *autor;
    }

    std::vector<Shape> Outline(const AutorWin& autor) {
        const auto* region = fake.windowApi.WindowRegion(autor.form.Hwnd());
        return region ? region->shapes : std::vector<Shape>{};
    }

    // Lets `ms` milliseconds pass in steps of 100 ms, ticking each timer whenever its interval is up.
    void Elapse(AutorWin& autor, int ms) {
        for (int step = 0; step < ms; step += 100) {
            now_ += 100;
            if (now_ % autor.Timer1.Interval() == 0) autor.Timer1.Tick();
            if (now_ % autor.Timer2.Interval() == 0) autor.Timer2.Tick();
        }
    }

private:
    int now_ = 0;
};

// ---- Outline ----

struct DpiCase {
    int dpi;
    std::vector<Shape> outline;  // ellipse, then the close tab, then the minimise tab
};

class OutlineAtDpi : public AutorWinTest, public ::testing::WithParamInterface<DpiCase> {};

TEST_P(OutlineAtDpi, IsTheEllipseAndTwoTabsScaledWithTheScreen) {
    fake.screen.SetDpi(GetParam().dpi);
    AutorWin& autor = Open();
    EXPECT_EQ(Outline(autor), GetParam().outline);
}

INSTANTIATE_TEST_SUITE_P(
    AboutWindow, OutlineAtDpi,
    ::testing::Values(
        DpiCase{96, {{true, 5, 10, 387, 160}, {false, 285, 9, 303, 23}, {false, 264, 6, 282, 20}}},
        // 12.5 gives 12, 7.5 gives 8, 352.5 gives 352: halves go to the even neighbour.
        DpiCase{120, {{true, 6, 12, 484, 200}, {false, 356, 11, 379, 29}, {false, 330, 8, 352, 25}}},
        DpiCase{144, {{true, 8, 15, 580, 240}, {false, 428, 14, 454, 34}, {false, 396, 9, 423, 30}}},
        DpiCase{192, {{true, 10, 20, 774, 320}, {false, 570, 18, 606, 46}, {false, 528, 12, 564, 40}}}),
    [](const auto& info) { return std::to_string(info.param.dpi) + "dpi"; });

TEST(OutlinePixel, ScalesOffsetsAndRoundsHalvesToEven) {
    EXPECT_EQ(OutlinePixel(10, 1.0f, 12.0, 0), 12);  // 12.5
    EXPECT_EQ(OutlinePixel(6, 1.0f, 12.0, 0), 8);    // 7.5
    EXPECT_EQ(OutlinePixel(3, 0.5f, 15.0, 0), 2);    // 1.5
    EXPECT_EQ(OutlinePixel(5, 0.5f, 15.0, 0), 2);    // 2.5
    EXPECT_EQ(OutlinePixel(5, 0.5f, 15.0, -4), -2);  // -1.5
    EXPECT_EQ(OutlinePixel(100, 2.0f, 7.5, 3), 403);
}

TEST_F(AutorWinTest, RegionIsBuiltInTheDescribedStepsAndOnlyTheSystemKeepsIt) {
    AutorWin& autor = Open();
    const std::vector<std::string> expected = {
        "CreateRectRgn", "CreateRectRgn", "CreateEllipticRgn",   "CombineRgn RGN_COPY",
        "DeleteObject",  "CreateRectRgn", "CombineRgn RGN_COPY", "CombineRgn RGN_OR",
        "DeleteObject",  "CreateRectRgn", "CombineRgn RGN_COPY", "CombineRgn RGN_OR",
        "DeleteObject",  "DeleteObject",  "SetWindowRgn redraw"};
    EXPECT_EQ(fake.windowApi.calls, expected);
    EXPECT_EQ(fake.windowApi.LeakedRegions(), 0);
    EXPECT_NE(autor.WindowRegion, 0u);

    autor.CloseB_MouseDown(MouseButton::Left);
    autor.CloseB_MouseUp(MouseButton::Left);
    EXPECT_EQ(fake.windowApi.deletesOfSystemRegions, 0);
}

TEST_F(AutorWinTest, RegionTheSystemRefusesIsDeletedAndTheWindowStillWorks) {
    fake.windowApi.failSetWindowRgn = true;
    AutorWin& autor = Open();
    EXPECT_EQ(fake.windowApi.LeakedRegions(), 0);
    EXPECT_EQ(autor.WindowRegion, 0u);
    Elapse(autor, 800);
    EXPECT_TRUE(autor.ImgMail1.Visible());
}

TEST_F(AutorWinTest, BuildWindowRegionAppliesScaleAndOffset) {
    AutorWin& autor = Open();
    fake.windowApi.calls.clear();
    const std::uintptr_t region = autor.BuildWindowRegion(2.0f, 0.5f, 3, -4);
    EXPECT_EQ(region, autor.WindowRegion);
    const std::vector<Shape> expected = {
        {true, 13, 1, 777, 76}, {false, 573, 0, 609, 8}, {false, 531, -1, 567, 6}};  // 0.5 -> 0, 7.5 -> 8
    EXPECT_EQ(fake.windowApi.regions.at(region).shapes, expected);
}

// ---- Animations ----

TEST_F(AutorWinTest, MailboxAppearsAfter800MsThenAlternatesWhileTheNoteBlinks) {
    AutorWin& autor = Open();
    EXPECT_TRUE(autor.Timer1.Enabled());
    EXPECT_TRUE(autor.Timer2.Enabled());
    EXPECT_EQ(autor.Timer1.Interval(), 800);
    EXPECT_EQ(autor.Timer2.Interval(), 400);

    struct Moment {
        int at;  // ms after load
        bool mail, mail1, note;
    };
    const Moment moments[] = {{0, false, false, true},   {400, false, false, false},
                              {800, false, true, true},  {1200, false, true, false},
                              {1600, true, false, true}, {2400, false, true, true},
                              {3200, true, false, true}};
    int now = 0;
    for (const Moment& m : moments) {
        Elapse(autor, m.at - now);
        now = m.at;
        SCOPED_TRACE("at " + std::to_string(m.at) + " ms");
        EXPECT_EQ(autor.ImgMail.Visible(), m.mail);
        EXPECT_EQ(autor.ImgMail1.Visible(), m.mail1);
        EXPECT_EQ(autor.LblCR.Visible(), m.note);
    }
}

// ---- Minimise and close pictures ----

class FacesForButton : public AutorWinTest, public ::testing::WithParamInterface<MouseButton> {};

TEST_P(FacesForButton, MinimisePictureSinksOnPressAndMinimisesOnRelease) {
    AutorWin& autor = Open();
    autor.Min.MouseDown(GetParam());
    EXPECT_EQ(autor.Min.Picture(), IDB_MIN_PRESSED);
    EXPECT_EQ(autor.TempHolder.Picture(), IDB_MIN);
    EXPECT_EQ(autor.form.State(), WindowState::Normal);
    autor.Min.MouseUp(GetParam());
    EXPECT_EQ(autor.Min.Picture(), IDB_MIN);
    EXPECT_EQ(autor.form.State(), WindowState::Minimized);
}

TEST_P(FacesForButton, ClosePictureSinksOnPressAndClosesOnRelease) {
    AutorWin& autor = Open();
    const std::uintptr_t handle = autor.form.Hwnd();
    autor.CloseB.MouseDown(GetParam());
    EXPECT_EQ(autor.CloseB.Picture(), IDB_CLOSE_PRESSED);
    EXPECT_FALSE(fake.windows.ByHandle(handle).destroyed);
    autor.CloseB.MouseUp(GetParam());
    EXPECT_EQ(autor.CloseB.Picture(), IDB_CLOSE);
    EXPECT_TRUE(fake.windows.ByHandle(handle).destroyed);
    EXPECT_EQ(main->AboutWindow.Current(), nullptr);
}

// The system's own move (a title bar dragged) follows the left button only: the others have the window
// follow the pointer while they are held.
TEST_P(FacesForButton, PressOnTheBackgroundMovesTheWindowWhileThatButtonIsHeld) {
    AutorWin& autor = Open();
    fake.windowApi.calls.clear();
    autor.form.MouseDown(GetParam());
    const auto& followed = fake.windows.ByHandle(autor.form.Hwnd()).followed;
    if (GetParam() == MouseButton::Left) {
        const std::vector<std::string> expected = {
            "ReleaseCapture", "SendMessage " + std::to_string(autor.form.Hwnd()) + " 161 2 0"};
        EXPECT_EQ(fake.windowApi.calls, expected);
        EXPECT_TRUE(followed.empty());
    } else {
        EXPECT_TRUE(fake.windowApi.calls.empty());
        EXPECT_EQ(followed, std::vector<MouseButton>{GetParam()});
    }
}

INSTANTIATE_TEST_SUITE_P(AboutWindow, FacesForButton,
                         ::testing::Values(MouseButton::Left, MouseButton::Right, MouseButton::Middle),
                         [](const auto& info) {
                             return info.param == MouseButton::Left    ? "Left"
                                    : info.param == MouseButton::Right ? "Right"
                                                                       : "Middle";
                         });

TEST_F(AutorWinTest, SecondButtonPressedOnAPictureKeepsItsNormalFace) {
    AutorWin& autor = Open();
    autor.Min.MouseDown(MouseButton::Left);
    autor.Min.MouseDown(MouseButton::Right);
    autor.Min.MouseUp(MouseButton::Left);
    autor.Min.MouseUp(MouseButton::Right);
    EXPECT_EQ(autor.Min.Picture(), IDB_MIN);

    main->CmdAutor.Click();
    autor.CloseB.MouseDown(MouseButton::Middle);
    autor.CloseB.MouseDown(MouseButton::Left);
    autor.CloseB.MouseUp(MouseButton::Left);
    EXPECT_EQ(autor.CloseB.Picture(), IDB_CLOSE);
}

// ---- Mail link ----

TEST_F(AutorWinTest, EitherMailboxFaceOpensAMailToTheAuthor) {
    AutorWin& autor = Open();
    autor.ImgMail.Click();
    autor.ImgMail1.Click();
    ASSERT_EQ(fake.shell.opened.size(), 2u);
    for (const auto& opened : fake.shell.opened) {
        EXPECT_EQ(opened.owner, autor.form.Hwnd());
        EXPECT_EQ(opened.target, L"mailto: tomas.ficticio@example.com");
        EXPECT_EQ(opened.folder, L"c:\\");
    }
    EXPECT_FALSE(autor.form.Unloaded());
    EXPECT_TRUE(fake.dialogs.messages.empty());
}

// ---- One instance ----

TEST_F(AutorWinTest, EachClickShowsTheSameWindowAgain) {
    AutorWin& first = Open();
    EXPECT_EQ(first.form.caption, L"Tesoro - Autor - Tomás Ficticio");
    AutorWin& again = Open();
    EXPECT_EQ(&first, &again);
    ASSERT_EQ(fake.windows.opened.size(), 1u);
    EXPECT_EQ(fake.windows.opened[0].shows, 2);
}

TEST_F(AutorWinTest, MinimisedWindowIsRestoredByTheMainWindowsButton) {
    AutorWin& autor = Open();
    Elapse(autor, 800);
    autor.Min.MouseDown(MouseButton::Left);
    autor.Min.MouseUp(MouseButton::Left);
    ASSERT_EQ(autor.form.State(), WindowState::Minimized);

    AutorWin& again = Open();
    EXPECT_EQ(&again, &autor);
    EXPECT_EQ(again.form.State(), WindowState::Normal);
    EXPECT_TRUE(again.ImgMail1.Visible());  // it kept its state, timers included
    EXPECT_EQ(fake.windows.opened.size(), 1u);
}

TEST_F(AutorWinTest, ClosedWindowIsMadeAfreshByTheNextClick) {
    AutorWin& first = Open();
    Elapse(first, 1200);
    const std::uintptr_t firstHandle = first.form.Hwnd();
    first.CloseB.MouseDown(MouseButton::Left);
    first.CloseB.MouseUp(MouseButton::Left);

    AutorWin& fresh = Open();
    ASSERT_EQ(fake.windows.opened.size(), 2u);
    EXPECT_NE(fresh.form.Hwnd(), firstHandle);
    EXPECT_FALSE(fresh.ImgMail.Visible());
    EXPECT_FALSE(fresh.ImgMail1.Visible());
    EXPECT_TRUE(fresh.LblCR.Visible());
    EXPECT_EQ(fresh.CloseB.Picture(), IDB_CLOSE);
    ASSERT_NE(fake.windowApi.WindowRegion(fresh.form.Hwnd()), nullptr);
    EXPECT_EQ(Outline(fresh).size(), 3u);
}

TEST_F(AutorWinTest, ClosingTheMainWindowEndsTheProgramWithTheAboutWindowOpen) {
    Open();
    EXPECT_THROW(main->Form_Unload(), ProcessEnded);
}

}  // namespace
}  // namespace tesoro::testing
