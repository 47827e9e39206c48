// How keys reach controls (access keys, Tab, covered and skipped controls) and the text a control's
// window carries for screen readers: a picture control is named by its tool tip, "&" doubled.
#include "about_window/autor_win.h"
#include "main_window_fixture.h"

namespace tesoro::testing {
namespace {

TEST(AccessKeys, TheLetterAfterALoneAmpersandOfAButtonOrCheckBox) {
    Frame frame(Kind::Frame, 1, nullptr, {});
    Button close(Kind::Button, 2, &frame, {});
    close.SetCaption(L"&Cerrar Borrar Archivo");
    CheckBox keep(Kind::CheckBox, 3, &frame, {});
    keep.SetCaption(L"Copias && más: &Guardar");
    Label label(Kind::Label, 4, nullptr, {});
    label.SetCaption(L"&Leer");
    Button picture(Kind::Button, 5, nullptr, {});
    picture.SetCaption(L"&&Nada");
    const std::vector<Control*> controls = {&frame, &close, &keep, &label, &picture};

    EXPECT_EQ(AccessKeyTarget(controls, L'c'), &close);
    EXPECT_EQ(AccessKeyTarget(controls, L'C'), &close);
    EXPECT_EQ(AccessKeyTarget(controls, L'g'), &keep);
    EXPECT_EQ(AccessKeyTarget(controls, L'm'), nullptr);  // after "&&"
    EXPECT_EQ(AccessKeyTarget(controls, L'n'), nullptr);
    EXPECT_EQ(AccessKeyTarget(controls, L'l'), nullptr);  // a label draws "&" as it is
}

// Covered, hidden or disabled, the control or the frame it lies in: its access key presses nothing.
// Skipped by Tab, it still takes its keys.
TEST(AccessKeys, ReachOnlyAControlThatKeysReach) {
    Frame frame(Kind::Frame, 1, nullptr, {});
    Button close(Kind::Button, 2, &frame, {});
    close.SetCaption(L"&Cerrar");
    const std::vector<Control*> controls = {&frame, &close};
    const struct {
        const char* what;
        std::function<void(bool)> set;
    } obstacles[] = {
        {"covered", [&](bool on) { close.SetKeyboardReach(on ? Reach::Covered : Reach::Full); }},
        {"frame covered", [&](bool on) { frame.SetKeyboardReach(on ? Reach::Covered : Reach::Full); }},
        {"hidden", [&](bool on) { close.SetVisible(!on); }},
        {"frame hidden", [&](bool on) { frame.SetVisible(!on); }},
        {"disabled", [&](bool on) { close.SetEnabled(!on); }},
        {"frame disabled", [&](bool on) { frame.SetEnabled(!on); }},
    };
    for (const auto& obstacle : obstacles) {
        SCOPED_TRACE(obstacle.what);
        obstacle.set(true);
        EXPECT_EQ(AccessKeyTarget(controls, L'c'), nullptr);
        EXPECT_FALSE(TakesKeys(close));
        EXPECT_FALSE(TabStopsAt(close));
        obstacle.set(false);
        EXPECT_EQ(AccessKeyTarget(controls, L'c'), &close);
    }
    close.SetKeyboardReach(Reach::SkippedByTab);
    EXPECT_EQ(AccessKeyTarget(controls, L'c'), &close);
    EXPECT_TRUE(TakesKeys(close));
    EXPECT_FALSE(TabStopsAt(close));
}

TEST(WindowTexts, APictureControlIsNamedByItsToolTipWithEveryAmpersandDoubled) {
    Button picture(Kind::Button, 1, nullptr, {});
    picture.picture = 100;
    CheckBox pictureCheck(Kind::CheckBox, 2, nullptr, {});
    pictureCheck.picture = 101;
    pictureCheck.SetCaption(L"DETENER");
    Button captioned(Kind::Button, 3, nullptr, {});
    captioned.SetCaption(L"&Cerrar");
    captioned.SetToolTip(L"no es su nombre");
    Label label(Kind::Label, 4, nullptr, {});
    label.SetCaption(L"C:\\I&D\\a.doc");

    EXPECT_EQ(WindowText(picture), L"");
    EXPECT_EQ(WindowText(pictureCheck), L"DETENER");  // its caption until it has a tool tip
    picture.SetToolTip(L"Borrar Archivo: R&&D & co.BAK");
    pictureCheck.SetToolTip(L"CONTINUAR...");
    EXPECT_EQ(WindowText(picture), L"Borrar Archivo: R&&&&D && co.BAK");
    EXPECT_EQ(WindowText(pictureCheck), L"CONTINUAR...");
    EXPECT_EQ(WindowText(captioned), L"&Cerrar");
    EXPECT_EQ(WindowText(label), L"C:\\I&D\\a.doc");
}

class PictureNamesTest : public MainWindowTest {
protected:
    void SetUp() override { fake.fs.AddFile(L"C:\\Copias\\I&D.BAK", "copia"); }
};

TEST_F(PictureNamesTest, TheMainWindowsPictureControlsFollowTheirToolTips) {
    FrmMain& f = Start();
    EXPECT_EQ(WindowText(f.CmdCopiar), L"Generar Copia de Seguridad");
    EXPECT_EQ(WindowText(f.CmdBorrar), L"Activar Borrar Fichero *.BAK");
    EXPECT_EQ(WindowText(f.CmdVerLog), L"Ver TESORO.DAT");
    EXPECT_EQ(WindowText(f.CmdAyuda), L"Activar AYUDA");
    EXPECT_EQ(WindowText(f.CmdAutor), L"Notas sobre el Programa");
    EXPECT_EQ(WindowText(f.CmdSalir), L"Salir del Programa");
    EXPECT_EQ(WindowText(f.ChkDetener), L"DETENER");
    EXPECT_EQ(WindowText(f.CmdCancelar), L"&Cerrar Borrar Archivo");

    OpenFolder(L"C:\\Copias");
    f.CmdBorrar_Click();
    ClickFile(L"I&D.BAK");
    EXPECT_EQ(f.CmdBorrar.ToolTip(), L"Borrar Archivo: I&D.BAK");
    EXPECT_EQ(WindowText(f.CmdBorrar), L"Borrar Archivo: I&&D.BAK");
    f.CmdAyuda_Click();
    EXPECT_EQ(WindowText(f.CmdAyuda), L"Ocultar INSTRUCCIONES");
}

TEST_F(PictureNamesTest, ThePauseButtonIsNamedByWhatItDoesNext) {
    FrmMain& f = Start();
    f.Log = LogEntries(std::vector<std::wstring>(8, LogLine(L"a.doc", L"A:\a.BAK")));
    f.CmdVerLog_Click();
    EXPECT_EQ(WindowText(f.ChkDetener), L"DETENER");
    f.ChkDetener.SetValue(1);
    EXPECT_EQ(WindowText(f.ChkDetener), L"CONTINUAR...");
    f.ChkDetener.SetValue(0);
    EXPECT_EQ(WindowText(f.ChkDetener), L"DETENER");
}

TEST_F(PictureNamesTest, TheAboutWindowsPicturesAreNamed) {
    FrmMain& f = Start();
    AutorWin& autor = f.AboutWindow.Show();
    EXPECT_EQ(WindowText(autor.Min), L"Minimizar");
    EXPECT_EQ(WindowText(autor.CloseB), L"Cerrar");
    EXPECT_EQ(WindowText(autor.ImgMail), kAuthorAddress);
    EXPECT_EQ(WindowText(autor.ImgMail1), kAuthorAddress);
}

}  // namespace
}  // namespace tesoro::testing
