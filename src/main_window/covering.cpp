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

// A control some view or mode shows is hidden while none that shows it is on; hiding wins over showing.
void FrmMain::ShowCovering() {
    const std::vector<Covering> coverings = Coverings();
    std::vector<Control*> named;
    for (const Covering& c : coverings) {
        for (const auto* list : {&c.shows, &c.hides, &c.disables, &c.covers, &c.skippedByTab}) {
            for (Control* control : *list) {
                if (!Names(named, control)) named.push_back(control);
            }
        }
    }
    for (Control* control : named) {
        bool shownOnlyByOne = false, shown = false, hidden = false, disabled = false;
        bool covered = false, skipped = false;
        for (const Covering& c : coverings) {
            shownOnlyByOne = shownOnlyByOne || Names(c.shows, control);
            if (!c.on) continue;
            shown = shown || Names(c.shows, control);
            hidden = hidden || Names(c.hides, control);
            disabled = disabled || Names(c.disables, control);
            covered = covered || Names(c.covers, control);
            skipped = skipped || Names(c.skippedByTab, control);
        }
        control->SetVisible((shown || !shownOnlyByOne) && !hidden);
        control->SetEnabled(!disabled);
        control->SetKeyboardReach(covered ? Reach::Covered : skipped ? Reach::SkippedByTab : Reach::Full);
    }
}

void FrmMain::PointArrowAt(int top) {
    ImgFlecha.SetTop(top);
    TmrFlecha.SetEnabled(true);
}

// In delete mode the arrow goes back beside CmdBorrar and keeps blinking; otherwise it stops, hidden in
// whichever phase of its blinking it was.
void FrmMain::PutArrowBack() {
    if (DeleteMode) {
        ImgFlecha.SetTop(kArrowAtBorrar);
        return;
    }
    TmrFlecha.SetEnabled(false);
    if (ImgFlecha.Visible()) ImgFlecha.SetVisible(false);
}

}  // namespace tesoro
