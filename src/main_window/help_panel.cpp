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

// Everything that would start another job or open the log over the text is disabled meanwhile.
void FrmMain::ShowInstructions() {
    TxtAyuda.SetVisible(true);
    CmdAyuda.SetToolTip(L"Ocultar INSTRUCCIONES");
    FraFuente.SetCaption(L"INSTRUCCIONES:");
    FraDestino.SetEnabled(false);
    CmdCopiar.SetEnabled(false);
    CmdBorrar.SetEnabled(false);
    CmdVerLog.SetEnabled(false);
    ImgFlecha.SetTop(kArrowAtAyuda);
    TmrFlecha.SetEnabled(true);
}

// In delete mode the arrow goes back to the delete button and keeps blinking, and copying stays off.
void FrmMain::HideInstructions() {
    TxtAyuda.SetVisible(false);
    CmdAyuda.SetToolTip(L"Ver INSTRUCCIONES");
    FraFuente.SetCaption(L"FUENTE:");
    FraDestino.SetEnabled(true);
    CmdBorrar.SetEnabled(true);
    CmdVerLog.SetEnabled(true);
    if (DeleteMode) {
        ImgFlecha.SetTop(kArrowAtBorrar);
    } else {
        TmrFlecha.SetEnabled(false);
        if (ImgFlecha.Visible()) ImgFlecha.SetVisible(false);
        CmdCopiar.SetEnabled(true);
    }
}

}  // namespace tesoro
