#include "main_window/frm_main.h"

namespace tesoro {

void FrmMain::CmdVerLog_Click() {}

}  // namespace tesoro
