// The moving parts: the log view's scrolling and its pause button, the blinking arrow and the delete-mode
// marquee, driven through the window's timers.
#include "copy_log/log_view_text.h"
#include "main_window_fixture.h"

namespace tesoro::testing {
namespace {

const std::wstring kRule(91, L'*');
const std::wstring kHint =
    L"Seleccione el archivo de seguridad que desee borrar y haga click sobre «borrar archivo».      ";

class TickerTest : public MainWindowTest {
protected:
    FrmMain& OpenViewOf(std::vector<std::wstring> entries) {
        Start();
        SetLog(std::move(entries));
        form->CmdVerLog_Click();
        return *form;
    }
    static std::vector<std::wstring> Numbered(int count) {
        std::vector<std::wstring> entries;
        for (int i = 1; i <= count; ++i) entries.push_back(L"e" + std::to_wstring(i));
        return entries;
    }
    void Ticks(Timer& timer, int count) {
        for (int k = 0; k < count; ++k) timer.Tick();
    }
};

TEST_F(TickerTest, TheViewScrollsALinePerTickAndCyclesIn2nTicks) {
    FrmMain& f = OpenViewOf(Numbered(8));
    const std::wstring start = f.LblDat.Text();
    f.TmrDatos.Tick();
    EXPECT_TRUE(f.LblDat.Text().starts_with(L"e1\r"));
    EXPECT_TRUE(f.LblDat.Text().ends_with(kRule + L"\r"));
    f.TmrDatos.Tick();
    EXPECT_TRUE(f.LblDat.Text().starts_with(L"\re2\r"));
    Ticks(f.TmrDatos, 13);
    EXPECT_NE(f.LblDat.Text(), start);
    f.TmrDatos.Tick();
    EXPECT_EQ(f.LblDat.Text(), start);
}

TEST_F(TickerTest, ALongEntryIsCutWhenItCyclesAndTheNextLineSuppliesItsBreak) {
    const std::wstring longEntry(250, L'L');
    const std::wstring cut(200, L'L');
    FrmMain& f = OpenViewOf({L"e1", L"e2", L"e3", L"e4", L"e5", L"e6", longEntry, L"e8"});
    ASSERT_EQ(f.LblDat.Lines().LineCount(), 17u);  // 16 lines and the empty one after the last break
    Ticks(f.TmrDatos, 13);
    ASSERT_TRUE(f.LblDat.Text().starts_with(longEntry + L"\r"));
    f.TmrDatos.Tick();
    EXPECT_TRUE(f.LblDat.Text().ends_with(L"e6\r\r" + cut));
    f.TmrDatos.Tick();  // the empty line ends the cut entry
    EXPECT_TRUE(f.LblDat.Text().ends_with(L"e6\r\r" + cut + L"\r"));
    EXPECT_EQ(f.LblDat.Lines().LineCount(), 16u);  // the cycle is one line shorter from now on
}

TEST_F(TickerTest, ALongLastEntryIsJoinedByTheRuleLine) {
    FrmMain& f = OpenViewOf({L"e1", L"e2", L"e3", L"e4", L"e5", L"e6", L"e7", std::wstring(250, L'L')});
    Ticks(f.TmrDatos, 17);
    EXPECT_TRUE(f.LblDat.Text().ends_with(L"e7\r\r" + std::wstring(200, L'L') + kRule + L"\r"));
}

TEST_F(TickerTest, PauseStopsTheTicksAndResumeGoesOnFromTheSameText) {
    FrmMain& f = OpenViewOf(Numbered(9));
    f.TmrDatos.Tick();
    const std::wstring paused = f.LblDat.Text();
    f.ChkDetener.SetValue(1);
    EXPECT_FALSE(f.TmrDatos.Enabled());
    EXPECT_EQ(f.ChkDetener.ToolTip(), L"CONTINUAR...");
    Ticks(f.TmrDatos, 5);
    EXPECT_EQ(f.LblDat.Text(), paused);
    f.ChkDetener.SetValue(0);
    EXPECT_TRUE(f.TmrDatos.Enabled());
    EXPECT_EQ(f.ChkDetener.ToolTip(), L"DETENER");
    f.TmrDatos.Tick();
    EXPECT_TRUE(f.LblDat.Text().starts_with(L"\re2\r"));
}

TEST_F(TickerTest, ThePauseFollowsTheTimerNotTheButton) {
    FrmMain& f = OpenViewOf(Numbered(9));
    f.TmrDatos.SetEnabled(false);
    f.chkdetener_Click();  // the button still released
    EXPECT_TRUE(f.TmrDatos.Enabled());
    EXPECT_EQ(f.ChkDetener.ToolTip(), L"DETENER");
}

TEST_F(TickerTest, TheArrowBlinksEveryOtherTickAndStaysHiddenWhenStopped) {
    FrmMain& f = OpenViewOf(Numbered(2));
    for (int tick = 1; tick <= 6; ++tick) {
        f.TmrFlecha.Tick();
        EXPECT_EQ(f.ImgFlecha.Visible(), tick % 2 == 1) << "tick " << tick;
    }
    f.TmrFlecha.Tick();
    ASSERT_TRUE(f.ImgFlecha.Visible());
    f.CmdVerLog_Click();
    EXPECT_FALSE(f.ImgFlecha.Visible());
    f.TmrFlecha.Tick();
    EXPECT_FALSE(f.ImgFlecha.Visible());
    EXPECT_EQ(f.LblBorrar.Caption(), kHint);  // no marquee outside delete mode
}

TEST_F(TickerTest, TheMarqueeTurnsInDeleteModeAndGoesOnFromWhereItStopped) {
    Start();
    FrmMain& f = *form;
    f.DeleteMode = true;
    f.TmrFlecha.SetEnabled(true);
    f.TmrFlecha.Tick();
    EXPECT_TRUE(f.LblBorrar.Caption().starts_with(L"eleccione"));
    EXPECT_TRUE(f.LblBorrar.Caption().ends_with(L"      S"));
    Ticks(f.TmrFlecha, 93);
    EXPECT_EQ(f.LblBorrar.Caption(), kHint);

    Ticks(f.TmrFlecha, 10);
    f.DeleteMode = false;  // left in the middle of a turn
    Ticks(f.TmrFlecha, 5);
    f.DeleteMode = true;  // and entered again
    f.TmrFlecha.Tick();
    EXPECT_EQ(f.LblBorrar.Caption(), kHint.substr(11) + kHint.substr(0, 11));
}

}  // namespace
}  // namespace tesoro::testing
