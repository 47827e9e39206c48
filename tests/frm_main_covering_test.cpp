// What the instructions and the log view shut out, over normal and delete mode: which controls are
// hidden, disabled, covered or skipped by Tab, where Tab stops, and which keys still press something.
// Closing a view gives the mode's own state back.
#include <map>
#include <set>

#include "main_window_fixture.h"

namespace tesoro::testing {
namespace {

using Names = std::set<std::string>;

struct Expected {
    const char* state;
    Names hidden, disabled, covered, skippedByTab;
    std::vector<std::string> tabStops;  // in focus order
    Names keysThatAct;                  // among "Alt+C", "Alt+G", "Enter", "Esc"
};

class CoveringTest : public MainWindowTest {
protected:
    void SetUp() override { fake.fs.AddFile(L"C:\\Copias\\DATOS.BAK", "datos"); }

    std::map<const Control*, std::string> NamesOf(FrmMain& f) {
        return {{&f.ChkDetener, "ChkDetener"},
                {&f.CmdVerLog, "CmdVerLog"},
                {&f.CmdBorrar, "CmdBorrar"},
                {&f.CmdAyuda, "CmdAyuda"},
                {&f.CmdAutor, "CmdAutor"},
                {&f.FraDestino, "FraDestino"},
                {&f.ChkEditar, "ChkEditar"},
                {&f.DirDestino, "DirDestino"},
                {&f.TxtArchDestino, "TxtArchDestino"},
                {&f.ChkLog, "ChkLog"},
                {&f.DrvDestino, "DrvDestino"},
                {&f.LblFichDestino, "LblFichDestino"},
                {&f.CmdSalir, "CmdSalir"},
                {&f.CmdCopiar, "CmdCopiar"},
                {&f.TxtAyuda, "TxtAyuda"},
                {&f.FraFuente, "FraFuente"},
                {&f.CmdCancelar, "CmdCancelar"},
                {&f.FileFuente, "FileFuente"},
                {&f.DirFuente, "DirFuente"},
                {&f.DrvFuente, "DrvFuente"},
                {&f.LblDat, "LblDat"},
                {&f.LblArchFuente, "LblArchFuente"},
                {&f.LblFuente, "LblFuente"},
                {&f.LblBorrar, "LblBorrar"},
                {&f.ImgFlecha, "ImgFlecha"},
                {&f.Line1, "Line1"}};
    }

    void ExpectState(const Expected& e) {
        SCOPED_TRACE(e.state);
        FrmMain& f = *form;
        const auto names = NamesOf(f);
        Names hidden, disabled, covered, skipped;
        for (const Control* c : f.StackingOrder()) {
            const std::string& name = names.at(c);
            if (!c->Visible()) hidden.insert(name);
            if (!c->Enabled()) disabled.insert(name);
            if (c->KeyboardReach() == Reach::Covered) covered.insert(name);
            if (c->KeyboardReach() == Reach::SkippedByTab) skipped.insert(name);
        }
        EXPECT_EQ(hidden, e.hidden);
        EXPECT_EQ(disabled, e.disabled);
        EXPECT_EQ(covered, e.covered);
        EXPECT_EQ(skipped, e.skippedByTab);

        std::vector<std::string> tabStops;
        for (const Control* c : f.FocusOrder()) {
            if (TabStopsAt(*c)) tabStops.push_back(names.at(c));
        }
        EXPECT_EQ(tabStops, e.tabStops);

        const FormContent content = f.Content();
        Names keys;
        if (AccessKeyTarget(content.stacking, L'c') == &f.CmdCancelar) keys.insert("Alt+C");
        if (AccessKeyTarget(content.stacking, L'g') == &f.ChkLog) keys.insert("Alt+G");
        if (TakesKeys(*content.defaultButton)) keys.insert("Enter");
        if (TakesKeys(*content.cancelButton)) keys.insert("Esc");
        EXPECT_EQ(keys, e.keysThatAct);
    }
};

const Names kHiddenAtStart = {"ChkDetener", "TxtAyuda", "CmdCancelar", "LblDat", "LblBorrar", "ImgFlecha"};
const Names kUnderTheInstructions = {"CmdCancelar", "FileFuente",    "DirFuente",
                                     "DrvFuente",   "LblArchFuente", "LblFuente"};
const Names kUnderTheLog = {"LblArchFuente", "LblFuente"};

const Expected kNormal = {
    "normal mode",
    kHiddenAtStart,
    {},
    {},
    {},
    {"CmdCopiar", "CmdVerLog", "CmdAyuda", "CmdAutor", "CmdSalir", "DrvFuente", "DirFuente", "FileFuente",
     "TxtArchDestino", "DrvDestino", "DirDestino", "ChkLog", "CmdBorrar", "ChkEditar"},
    {"Alt+G", "Enter", "Esc"}};
const Expected kNormalWithInstructions = {"instructions in normal mode",
                                          {"ChkDetener", "CmdCancelar", "LblDat", "LblBorrar", "ImgFlecha"},
                                          {"FraDestino", "CmdCopiar", "CmdBorrar", "CmdVerLog"},
                                          kUnderTheInstructions,
                                          {},
                                          {"CmdAyuda", "CmdAutor", "CmdSalir", "TxtAyuda"},
                                          {"Esc"}};
const Expected kNormalWithLog = {"log view in normal mode",
                                 {"ChkDetener", "TxtAyuda", "CmdCancelar", "LblBorrar", "ImgFlecha",
                                  "DrvFuente", "DirFuente", "FileFuente"},
                                 {"FraDestino", "CmdCopiar", "CmdBorrar", "CmdAyuda"},
                                 kUnderTheLog,
                                 {},
                                 {"CmdVerLog", "CmdAutor", "CmdSalir"},
                                 {"Esc"}};
const Expected kDelete = {
    "delete mode",
    {"ChkDetener", "TxtAyuda", "LblDat", "ImgFlecha", "FraDestino"},
    {"CmdCopiar"},
    {},
    {"CmdAutor", "CmdSalir"},
    {"CmdVerLog", "CmdAyuda", "DrvFuente", "DirFuente", "FileFuente", "CmdBorrar", "CmdCancelar"},
    {"Alt+C", "Esc"}};
const Expected kDeleteWithInstructions = {"instructions in delete mode",
                                          {"ChkDetener", "LblDat", "ImgFlecha", "FraDestino"},
                                          {"FraDestino", "CmdCopiar", "CmdBorrar", "CmdVerLog"},
                                          kUnderTheInstructions,
                                          {"CmdAutor", "CmdSalir"},
                                          {"CmdAyuda", "TxtAyuda"},
                                          {"Esc"}};
const Expected kDeleteWithLog = {"log view in delete mode",
                                 {"ChkDetener", "TxtAyuda", "ImgFlecha", "FraDestino", "DrvFuente",
                                  "DirFuente", "FileFuente", "LblBorrar", "CmdCancelar"},
                                 {"FraDestino", "CmdCopiar", "CmdBorrar", "CmdAyuda"},
                                 kUnderTheLog,
                                 {"CmdAutor", "CmdSalir"},
                                 {"CmdVerLog"},
                                 {"Esc"}};

TEST_F(CoveringTest, EachViewOverNormalModeAndBack) {
    Start();
    ExpectState(kNormal);
    form->CmdAyuda_Click();
    ExpectState(kNormalWithInstructions);
    form->CmdAyuda_Click();
    ExpectState(kNormal);
    form->CmdVerLog_Click();
    ExpectState(kNormalWithLog);
    form->CmdVerLog_Click();
    ExpectState(kNormal);
}

TEST_F(CoveringTest, EachViewOverDeleteModeAndBack) {
    Start();
    OpenFolder(L"C:\\Copias");
    form->CmdBorrar_Click();
    ExpectState(kDelete);
    form->CmdAyuda_Click();
    ExpectState(kDeleteWithInstructions);
    form->CmdAyuda_Click();
    ExpectState(kDelete);
    form->CmdVerLog_Click();
    ExpectState(kDeleteWithLog);
    form->CmdVerLog_Click();
    ExpectState(kDelete);
    form->CmdCancelar_Click();
    ExpectState(kNormal);
}

// The pause button of a long log is a control of the view, and Tab reaches it.
TEST_F(CoveringTest, TheLogViewsPauseButtonIsATabStop) {
    Start();
    form->Log = LogEntries(std::vector<std::wstring>(8, LogLine(L"a.doc", L"A:\\a.BAK")));
    form->CmdVerLog_Click();
    std::vector<const Control*> tabStops;
    for (const Control* c : form->FocusOrder()) {
        if (TabStopsAt(*c)) tabStops.push_back(c);
    }
    EXPECT_EQ(tabStops, (std::vector<const Control*>{&form->CmdVerLog, &form->CmdAutor, &form->CmdSalir,
                                                     &form->ChkDetener}));
}

}  // namespace
}  // namespace tesoro::testing
