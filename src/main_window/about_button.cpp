// The about button: the about window, made on first use, shown again or brought to the front.
#include "main_window/frm_main.h"

namespace tesoro {

void FrmMain::CmdAutor_Click() { AboutWindow.Show(); }

}  // namespace tesoro
