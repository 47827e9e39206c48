// Child-window ids of the about window's controls. End-to-end tests find the controls by these ids.
#pragma once

namespace tesoro::autor_ids {

enum : int {
    LblCR = 1101,
    ImgPais = 1102,
    ImgMail = 1103,
    ImgMail1 = 1104,
    LblVersion = 1105,
    LblPrograma = 1106,
    TempHolder = 1107,
    MinHolder = 1108,
    CloseHolder = 1109,
    CloseB = 1110,
    Min = 1111,
};

}  // namespace tesoro::autor_ids
