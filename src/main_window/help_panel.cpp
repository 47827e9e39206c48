#include "main_window/frm_main.h"

namespace tesoro {

void FrmMain::CmdAyuda_Click() {}

}  // namespace tesoro
