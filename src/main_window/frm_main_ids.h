// Child-window ids of the main window's controls, in stacking order (front to back). End-to-end tests
// find the controls by these ids.
#pragma once

namespace tesoro::ids {

enum : int {
    ChkDetener = 1001,
    CmdVerLog = 1003,
    CmdBorrar = 1005,
    CmdAyuda = 1006,
    CmdAutor = 1007,
    FraDestino = 1008,
    ChkEditar = 1009,
    DirDestino = 1010,
    TxtArchDestino = 1011,
    ChkLog = 1012,
    DrvDestino = 1013,
    LblFichDestino = 1014,
    CmdSalir = 1015,
    CmdCopiar = 1016,
    TxtAyuda = 1017,
    FraFuente = 1018,
    CmdCancelar = 1019,
    FileFuente = 1020,
    DirFuente = 1021,
    DrvFuente = 1022,
    LblDat = 1023,
    LblArchFuente = 1024,
    LblFuente = 1025,
    LblBorrar = 1026,
    ImgFlecha = 1027,
    Line1 = 1028,
};

}  // namespace tesoro::ids
