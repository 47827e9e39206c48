// What the instructions, the log view and delete mode do to the rest of the window while they are on,
// written once. Their handlers set their own state (the view's control shown or hidden, DeleteMode),
// then ShowCovering sets every control named here from what is on at that moment.
#include <algorithm>

#include "main_window/frm_main.h"

namespace tesoro {

namespace {

bool Names(const std::vector<Control*>& list, const Control* control) {
    return std::find(list.begin(), list.end(), control) != list.end();
}

}  // namespace

std::vector<FrmMain::Covering> FrmMain::Coverings() {
    return {
        // The instructions lie over the inside of the source frame.
        {.on = TxtAyuda.Visible(),
         .disables = {&FraDestino, &CmdCopiar, &CmdBorrar, &CmdVerLog},
         .covers = {&CmdCancelar, &FileFuente, &DirFuente, &DrvFuente, &LblArchFuente, &LblFuente}},
        // The log takes the place of the source lists, and of delete mode's own controls.
        {.on = LblDat.Visible(),
         .hides = {&DrvFuente, &DirFuente, &FileFuente, &LblBorrar, &CmdCancelar},
         .disables = {&FraDestino, &CmdCopiar, &CmdBorrar, &CmdAyuda},
         .covers = {&LblArchFuente, &LblFuente}},
        // Delete mode's shorter window leaves CmdAutor and CmdSalir below its lower edge.
        {.on = DeleteMode,
         .shows = {&LblBorrar, &CmdCancelar},
         .hides = {&FraDestino},
         .disables = {&CmdCopiar},
         .skippedByTab = {&CmdAutor, &CmdSalir}},
    };
}

// A control that a view or mode shows is hidden while none that shows it is on; hiding wins over showing,
// covering over skipping.
void FrmMain::ShowCovering() {
    const std::vector<Covering> coverings = Coverings();
    using List = std::vector<Control*> Covering::*;
    auto named = [&](List list, const Control* control, bool onlyWhenOn) {
        return std::any_of(coverings.begin(), coverings.end(), [&](const Covering& covering) {
            return (covering.on || !onlyWhenOn) && Names(covering.*list, control);
        });
    };
    auto namedNow = [&](List list, const Control* control) { return named(list, control, true); };
    std::vector<Control*> controls;
    for (const Covering& covering : coverings) {
        for (List list : {&Covering::shows, &Covering::hides, &Covering::disables, &Covering::covers,
                          &Covering::skippedByTab}) {
            for (Control* control : covering.*list) {
                if (!Names(controls, control)) controls.push_back(control);
            }
        }
    }
    for (Control* control : controls) {
        const bool shown = namedNow(&Covering::shows, control) || !named(&Covering::shows, control, false);
        control->SetVisible(shown && !namedNow(&Covering::hides, control));
        control->SetEnabled(!namedNow(&Covering::disables, control));
        control->SetKeyboardReach(namedNow(&Covering::covers, control)         ? Reach::Covered
                                  : namedNow(&Covering::skippedByTab, control) ? Reach::SkippedByTab
                                                                               : Reach::Full);
    }
}

}  // namespace tesoro
