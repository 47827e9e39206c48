#include "main_window/frm_main.h"

namespace tesoro {

void FrmMain::TmrDatos_Timer() {}
void FrmMain::chkdetener_Click() {}
void FrmMain::tmrflecha_Timer() {}

}  // namespace tesoro
