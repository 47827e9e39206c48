#include "main_window/frm_main.h"

namespace tesoro {

void FrmMain::CmdBorrar_Click() {}
void FrmMain::CmdCancelar_Click() {}

}  // namespace tesoro
