// The log button: the log editor while ChkEditar is checked (log_editor.cpp), otherwise opening and
// closing the log view, which lists the log in place of the source lists.
#include "copy_log/log_view_text.h"
#include "main_window/frm_main.h"

namespace tesoro {

namespace {

constexpr int kMostEntriesWithoutScrolling = 7;

}  // namespace

void FrmMain::CmdVerLog_Click() {
    if (ChkEditar.Value() == 1) {
        RunLogEditor();
    } else if (LblDat.Visible()) {
        CloseLogView();
    } else {
        OpenLogView();
    }
}

void FrmMain::OpenLogView() {
    LblDat.SetLines(LogViewText(Log));
    LblDat.SetVisible(true);
    ShowCovering();
    CmdVerLog.SetToolTip(L"Ocultar TESORO.DAT");
    FraFuente.SetCaption(L"TESORO.DAT");
    PointArrowAt(kArrowAtVerLog);
    if (Log.Count() > kMostEntriesWithoutScrolling) {
        TmrDatos.SetEnabled(true);
        ChkDetener.SetVisible(true);
    }
}

// Releasing a pressed ChkDetener runs its click, which starts TmrDatos again; the last step stops it.
void FrmMain::CloseLogView() {
    LblDat.SetVisible(false);
    if (ChkDetener.Visible()) ChkDetener.SetVisible(false);
    ChkDetener.SetValue(0);
    ShowCovering();
    CmdVerLog.SetToolTip(L"Ver TESORO.DAT");
    FraFuente.SetCaption(L"FUENTE:");
    PutArrowBack();
    if (TmrDatos.Enabled()) TmrDatos.SetEnabled(false);
}

}  // namespace tesoro
