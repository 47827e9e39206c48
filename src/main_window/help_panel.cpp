// The instructions panel: the help text laid over the source area, and back.
#include "main_window/frm_main.h"

namespace tesoro {

void FrmMain::CmdAyuda_Click() {
    if (TxtAyuda.Visible()) {
        HideInstructions();
    } else {
        ShowInstructions();
    }
}

// What the text covers and disables meanwhile is in the covering table.
void FrmMain::ShowInstructions() {
    TxtAyuda.SetVisible(true);
    ShowCovering();
    CmdAyuda.SetToolTip(L"Ocultar INSTRUCCIONES");
    FraFuente.SetCaption(L"INSTRUCCIONES:");
    PointArrowAt(kArrowAtAyuda);
}

// The frame's caption is "FUENTE:" again, in delete mode too.
void FrmMain::HideInstructions() {
    TxtAyuda.SetVisible(false);
    ShowCovering();
    CmdAyuda.SetToolTip(L"Ver INSTRUCCIONES");
    FraFuente.SetCaption(L"FUENTE:");
    PutArrowBack();
}

}  // namespace tesoro
