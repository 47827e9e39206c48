// The moving parts of the main window: the scrolling log view, its pause button, the blinking arrow and
// the delete-mode marquee.
#include "copy_log/log_view_text.h"
#include "main_window/frm_main.h"

namespace tesoro {

void FrmMain::TmrDatos_Timer() { LblDat.EditLines(ScrollOneLine); }

// The timer's state decides, not the button's: closing the view releases the button through here.
void FrmMain::chkdetener_Click() {
    if (TmrDatos.Enabled()) {
        TmrDatos.SetEnabled(false);
        ChkDetener.SetToolTip(L"CONTINUAR...");
    } else {
        TmrDatos.SetEnabled(true);
        ChkDetener.SetToolTip(L"DETENER");
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

void FrmMain::tmrflecha_Timer() {
    ImgFlecha.SetVisible(!ImgFlecha.Visible());
    if (DeleteMode) LblBorrar.SetCaption(MarqueeStep(LblBorrar.Caption()));
}

}  // namespace tesoro
