#include "main_window/frm_main.h"

namespace tesoro {

void FrmMain::CmdAutor_Click() { AboutWindow.Show(); }

}  // namespace tesoro
