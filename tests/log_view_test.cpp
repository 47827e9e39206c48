// The log button: opening and closing the log view (with and without delete mode underneath) and the log
// editor.
#include <sstream>

#include "copy_log/log_view_text.h"
#include "main_window_fixture.h"

namespace tesoro::testing {
namespace {

using Lines = std::vector<std::wstring>;
const std::wstring kRule(91, L'*');
const std::wstring kPrompt =
    L"Introduzca el nombre de la copia de seguridad\rque desee eliminar del fichero TESORO.DAT";

std::wstring Line(const std::wstring& source, const std::wstring& destination) {
    return L"3/4/2026:  " + source + L" -> " + destination;
}

Lines NumberedEntries(int count) {
    Lines entries;
    for (int i = 1; i <= count; ++i) entries.push_back(Line(L"f" + std::to_wstring(i), L"A:\\F.BAK"));
    return entries;
}

class LogViewTest : public MainWindowTest {
protected:
    FrmMain& StartWith(const Lines& entries) {
        Start();
        SetLog(entries);
        return *form;
    }
    // Delete mode as entering it leaves the window.
    void EnterDeleteModeState() {
        form->DeleteMode = true;
        form->LblBorrar.SetVisible(true);
        form->CmdCancelar.SetVisible(true);
        form->CmdCopiar.SetEnabled(false);
        form->ImgFlecha.SetTop(1080);
        form->TmrFlecha.SetEnabled(true);
    }
    void Click() { form->CmdVerLog_Click(); }
    void Edit(std::initializer_list<std::optional<std::wstring>> inputs,
              std::initializer_list<MsgAnswer> answers = {}) {
        for (const auto& input : inputs) fake.dialogs.inputs.push_back(input);
        Answer(answers);
        form->ChkEditar.SetValue(1);
        Click();
    }
    Lines Questions() const { return fake.dialogs.Texts(); }
};

TEST_F(LogViewTest, OpeningShowsTheLogInPlaceOfTheSourceLists) {
    FrmMain& f = StartWith({L"a", L"b", L"c"});
    Click();
    EXPECT_EQ(f.LblDat.Text(), kRule + L"\ra\r\rb\r\rc\r");
    EXPECT_TRUE(f.LblDat.Visible());
    EXPECT_EQ(f.CmdVerLog.ToolTip(), L"Ocultar TESORO.DAT");
    EXPECT_EQ(f.FraFuente.Caption(), L"TESORO.DAT");
    EXPECT_FALSE(f.FraDestino.Enabled());
    EXPECT_EQ(f.ImgFlecha.Top(), 1920);
    EXPECT_TRUE(f.TmrFlecha.Enabled());
    for (Control* c : Controls(f.CmdCopiar, f.CmdBorrar, f.CmdAyuda)) EXPECT_FALSE(c->Enabled()) << c->id;
    EXPECT_TRUE(f.CmdBorrar.Visible());  // behind ChkDetener's place
    for (Control* c : Controls(f.DrvFuente, f.DirFuente, f.FileFuente)) EXPECT_FALSE(c->Visible()) << c->id;
    EXPECT_FALSE(f.TmrDatos.Enabled());
    EXPECT_FALSE(f.ChkDetener.Visible());
    EXPECT_FALSE(f.Log.Changed());
}

TEST_F(LogViewTest, AnEmptyLogShowsNoDataWithoutScrolling) {
    FrmMain& f = StartWith({});
    Click();
    EXPECT_EQ(f.LblDat.Text(), kRule + L"\r" + std::wstring(50, L' ') + L"NO HAY DATOS\r" + kRule);
    EXPECT_FALSE(f.TmrDatos.Enabled());
    EXPECT_FALSE(f.ChkDetener.Visible());
    EXPECT_EQ(f.ImgFlecha.Top(), 1920);
    f.TmrFlecha.Tick();
    EXPECT_TRUE(f.ImgFlecha.Visible());
}

TEST_F(LogViewTest, ScrollingStartsAboveSevenEntries) {
    FrmMain& seven = StartWith(NumberedEntries(7));
    Click();
    EXPECT_FALSE(seven.TmrDatos.Enabled());
    EXPECT_FALSE(seven.ChkDetener.Visible());

    FrmMain& eight = StartWith(NumberedEntries(8));
    Click();
    EXPECT_TRUE(eight.TmrDatos.Enabled());
    EXPECT_TRUE(eight.ChkDetener.Visible());
    EXPECT_EQ(eight.ChkDetener.Value(), 0);
}

TEST_F(LogViewTest, ClosingRestoresTheWindow) {
    FrmMain& f = StartWith(NumberedEntries(9));
    Click();
    f.TmrFlecha.Tick();
    f.TmrDatos.Tick();
    const std::wstring shown = f.LblDat.Text();
    Click();
    EXPECT_FALSE(f.LblDat.Visible());
    EXPECT_EQ(f.LblDat.Text(), shown);  // left as it was; the next opening rebuilds it
    EXPECT_EQ(f.CmdVerLog.ToolTip(), L"Ver TESORO.DAT");
    EXPECT_EQ(f.FraFuente.Caption(), L"FUENTE:");
    EXPECT_TRUE(f.FraDestino.Enabled());
    EXPECT_TRUE(f.CmdCopiar.Enabled() && f.CmdBorrar.Enabled() && f.CmdAyuda.Enabled());
    EXPECT_TRUE(f.DrvFuente.Visible() && f.DirFuente.Visible() && f.FileFuente.Visible());
    EXPECT_FALSE(f.TmrFlecha.Enabled());
    EXPECT_FALSE(f.ImgFlecha.Visible());
    EXPECT_FALSE(f.TmrDatos.Enabled());
    EXPECT_FALSE(f.ChkDetener.Visible());
    EXPECT_EQ(f.ChkDetener.ToolTip(), L"");  // never paused: still no tool tip

    Click();  // opens again on a rebuilt text
    EXPECT_EQ(f.LblDat.Text(), LogViewText(f.Log).Text());
    EXPECT_TRUE(f.TmrDatos.Enabled());
}

TEST_F(LogViewTest, ClosingWhilePausedReleasesTheButtonAndStopsScrolling) {
    FrmMain& f = StartWith(NumberedEntries(8));
    Click();
    f.ChkDetener.SetValue(1);  // the user presses it
    ASSERT_FALSE(f.TmrDatos.Enabled());
    ASSERT_EQ(f.ChkDetener.ToolTip(), L"CONTINUAR...");
    Click();
    EXPECT_EQ(f.ChkDetener.Value(), 0);
    EXPECT_FALSE(f.ChkDetener.Visible());
    EXPECT_EQ(f.ChkDetener.ToolTip(), L"DETENER");
    EXPECT_FALSE(f.TmrDatos.Enabled());
}

TEST_F(LogViewTest, DeleteModeControlsHideWhileOpenAndComeBackOnClosing) {
    FrmMain& f = StartWith(NumberedEntries(8));
    EnterDeleteModeState();
    f.FraFuente.SetCaption(L"BORRAR:");
    Click();
    EXPECT_FALSE(f.LblBorrar.Visible());
    EXPECT_FALSE(f.CmdCancelar.Visible());
    EXPECT_EQ(f.ImgFlecha.Top(), 1920);
    Click();
    EXPECT_TRUE(f.LblBorrar.Visible());
    EXPECT_TRUE(f.CmdCancelar.Visible());
    EXPECT_FALSE(f.CmdCopiar.Enabled());
    EXPECT_TRUE(f.CmdBorrar.Enabled());
    EXPECT_EQ(f.ImgFlecha.Top(), 1080);
    EXPECT_TRUE(f.TmrFlecha.Enabled());
    EXPECT_FALSE(f.TmrDatos.Enabled());
    EXPECT_EQ(f.FraFuente.Caption(), L"FUENTE:");
}

// ---- The editor ----

TEST_F(LogViewTest, EditorOnAnEmptyLogAsksFirstThenSaysThereIsNothing) {
    FrmMain& f = StartWith({});
    Edit({});
    ASSERT_EQ(fake.dialogs.prompts.size(), 1u);
    EXPECT_EQ(fake.dialogs.prompts[0].prompt, kPrompt);
    EXPECT_EQ(fake.dialogs.prompts[0].title, L"TESORO.DAT: Eliminar nombre de archivo...");
    EXPECT_EQ(fake.dialogs.prompts[0].initial, L".BAK");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, L"No existen datos en\rel archivo TESORO.DAT");
    EXPECT_EQ(Messages()[0].title, L"TESORO.DAT: Eliminar nombre...");
    EXPECT_EQ(Messages()[0].icon, MsgIcon::Information);
    EXPECT_EQ(Messages()[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(f.ChkEditar.Value(), 0);
    EXPECT_FALSE(f.Log.Changed());
    EXPECT_FALSE(f.LblDat.Visible());  // the editor does not open the view
}

TEST_F(LogViewTest, EditorOffersOnlyCopiesNotOnUpperCaseC) {
    FrmMain& f = StartWith(
        {Line(L"LISTA.DBF", L"A:\\COPIAS\\LISTA.BAK"), Line(L"LISTA.DBF", L"C:\\DATOS\\LISTA.BAK")});
    Edit({}, {MsgAnswer::Yes});  // the answer ".BAK" as prefilled
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, L"¿Desea eliminar: A:\\COPIAS\\LISTA.BAK ?");
    EXPECT_EQ(Messages()[0].title, L"TESORO.DAT: Eliminar nombre...");
    EXPECT_EQ(Messages()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(Messages()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(EntriesOf(f.Log), (Lines{Line(L"LISTA.DBF", L"C:\\DATOS\\LISTA.BAK")}));
    EXPECT_TRUE(f.Log.Changed());
    EXPECT_EQ(f.ChkEditar.Value(), 0);
}

TEST_F(LogViewTest, EditorTreatsLowerCaseCAsAnotherDriveAndMatchesTheSourceName) {
    FrmMain& f =
        StartWith({Line(L"carta.doc", L"c:\\CARTAS\\CARTA.BAK"), Line(L"LISTA.DBF", L"D:\\X\\Y.BAK")});
    Edit({L"carta"}, {MsgAnswer::No});
    EXPECT_EQ(Questions(), (Lines{L"¿Desea eliminar: c:\\CARTAS\\CARTA.BAK ?"}));
    Edit({L"lista"}, {MsgAnswer::No});
    EXPECT_EQ(Questions().back(), L"¿Desea eliminar: D:\\X\\Y.BAK ?");
    EXPECT_FALSE(f.Log.Changed());
}

TEST_F(LogViewTest, EditorRemovesTheFirstConfirmedEntryOnly) {
    FrmMain& f = StartWith({Line(L"a", L"A:\\1.BAK"), Line(L"b", L"A:\\2.BAK"), Line(L"c", L"A:\\3.BAK")});
    Edit({L""}, {MsgAnswer::No, MsgAnswer::Yes});
    EXPECT_EQ(Questions(), (Lines{L"¿Desea eliminar: A:\\1.BAK ?", L"¿Desea eliminar: A:\\2.BAK ?"}));
    EXPECT_EQ(EntriesOf(f.Log), (Lines{Line(L"a", L"A:\\1.BAK"), Line(L"c", L"A:\\3.BAK")}));
}

TEST_F(LogViewTest, EditorRemovingTheSecondOfFiveClosesTheGap) {
    Lines five;
    for (int i = 1; i <= 5; ++i)
        five.push_back(Line(L"f" + std::to_wstring(i), L"A:\\" + std::to_wstring(i) + L".BAK"));
    FrmMain& f = StartWith(five);
    Edit({L"2.BAK"}, {MsgAnswer::Yes});
    EXPECT_EQ(f.Log.Count(), 4);
    EXPECT_EQ(EntriesOf(f.Log), (Lines{five[0], five[2], five[3], five[4]}));
    EXPECT_EQ(f.Log.Entry(5), L"");
    EXPECT_TRUE(f.Log.Changed());
}

TEST_F(LogViewTest, EditorRemovingTheOnlyEntryLeavesNoDataAndReachesTheFileAtExit) {
    FrmMain& f = StartWith({Line(L"solo.txt", L"A:\\SOLO.BAK")});
    Edit({}, {MsgAnswer::Yes});
    EXPECT_EQ(f.Log.Count(), 0);
    Click();
    EXPECT_EQ(f.LblDat.Text(), kRule + L"\r" + std::wstring(50, L' ') + L"NO HAY DATOS\r" + kRule);
    Exit();
    EXPECT_EQ(fake.fs.Contents(L"C:\\Windows\\Temp\\TESORO.DAT").size(), 128u);
}

TEST_F(LogViewTest, EditorWithNoMatchOrEveryMatchDeclinedSaysNothing) {
    FrmMain& f = StartWith({Line(L"a", L"A:\\1.BAK"), Line(L"b", L"C:\\2.BAK")});
    Edit({L"zzz"});
    Edit({L"1.BAK"}, {MsgAnswer::No});
    EXPECT_EQ(Questions(), (Lines{L"¿Desea eliminar: A:\\1.BAK ?"}));
    EXPECT_EQ(f.Log.Count(), 2);
    EXPECT_FALSE(f.Log.Changed());
    EXPECT_EQ(f.ChkEditar.Value(), 0);
}

// Cancel cancels: nothing is offered (not even the "no data" message), where an empty answer with
// "Aceptar" offers every entry not on C:.
TEST_F(LogViewTest, EditorCancelledOffersNothing) {
    FrmMain& f = StartWith({Line(L"a", L"A:\\1.BAK"), Line(L"b", L"D:\\2.BAK")});
    Edit({std::nullopt});
    EXPECT_EQ(fake.dialogs.prompts.size(), 1u);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(f.ChkEditar.Value(), 0);
    EXPECT_FALSE(f.Log.Changed());

    SetLog({});
    Edit({std::nullopt});
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(f.ChkEditar.Value(), 0);
}

TEST_F(LogViewTest, EditorLeavesAnOpenViewAsItWas) {
    FrmMain& f = StartWith(NumberedEntries(8));
    Click();
    const std::wstring shown = f.LblDat.Text();
    Edit({L"f1"}, {MsgAnswer::Yes});
    EXPECT_EQ(f.Log.Count(), 7);
    EXPECT_TRUE(f.LblDat.Visible());
    EXPECT_EQ(f.LblDat.Text(), shown);  // still lists the removed entry
    EXPECT_TRUE(f.TmrDatos.Enabled());
    EXPECT_EQ(f.CmdVerLog.ToolTip(), L"Ocultar TESORO.DAT");
}

// ---- Timers running while the editor asks ----

// Everything the handlers can change, but the three controls the ticks own.
std::string StateApartFromTickedControls(FrmMain& f) {
    std::wostringstream out;
    for (Control* c : f.StackingOrder()) {
        if (c == &f.LblDat || c == &f.ImgFlecha || c == &f.LblBorrar) continue;
        out << c->id << c->Visible() << c->Enabled() << c->Top() << L'|' << c->ToolTip() << L'|'
            << c->Caption() << L'|';
        if (auto* check = dynamic_cast<CheckBox*>(c)) out << check->Value();
    }
    out << f.TmrDatos.Enabled() << f.TmrFlecha.Enabled() << f.Log.Count() << f.Log.Changed();
    for (int i = 1; i < f.Log.Size(); ++i) out << f.Log.Entry(i) << L'|';
    const std::wstring text = out.str();
    return std::string(text.begin(), text.end());
}

TEST_F(LogViewTest, TicksDuringTheEditorsQuestionsChangeNothingElse) {
    for (bool deleteMode : {false, true}) {
        std::string states[2];
        for (bool ticking : {false, true}) {
            FakePlatform machine;
            FrmMain f(machine.platform);
            f.Form_Load();
            f.Log = LogEntries(NumberedEntries(9));
            f.DeleteMode = deleteMode;
            f.CmdVerLog_Click();  // view open, both timers running
            if (ticking) {
                machine.dialogs.whileOpen = [&f] {
                    for (int k = 0; k < 3; ++k) {
                        f.TmrDatos.Tick();
                        f.TmrFlecha.Tick();
                    }
                };
            }
            machine.dialogs.inputs.push_back(L"f");
            machine.dialogs.answers = {MsgAnswer::No, MsgAnswer::Yes};
            f.ChkEditar.SetValue(1);
            f.CmdVerLog_Click();
            EXPECT_EQ(machine.dialogs.messages.size(), 2u);
            states[ticking] = StateApartFromTickedControls(f);
            if (ticking) {
                EXPECT_NE(f.LblDat.Text(), LogViewText(LogEntries(NumberedEntries(9))).Text());
            }
        }
        EXPECT_EQ(states[0], states[1]) << "delete mode " << deleteMode;
    }
}

}  // namespace
}  // namespace tesoro::testing
