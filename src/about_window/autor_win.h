// The about window: the program's name and version, a blinking note, a map, an animated mailbox that
// starts an e-mail to the author, its own minimise and close pictures and an outline of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/controls.h"
#include "platform/services.h"

namespace tesoro {

inline constexpr wchar_t kAuthorName[] = L"Tomás Ficticio";
inline constexpr wchar_t kAuthorAddress[] = L"tomas.ficticio@example.com";

class AutorWin {
public:
    explicit AutorWin(Platform& platform);
    AutorWin(const AutorWin&) = delete;
    AutorWin& operator=(const AutorWin&) = delete;

    Form form;

    // Controls, in creation order.
    Timer Timer2{400};
    Timer Timer1{800};
    Label LblCR;
    Image ImgPais;
    Image ImgMail;
    Image ImgMail1;
    Label LblVersion;
    Label LblPrograma;
    Image TempHolder;
    Image MinHolder;
    Image CloseHolder;
    Image CloseB;
    Image Min;

    FormContent Content();

    // The outline handed to the system at load; 0 when the system refused it.
    std::uintptr_t WindowRegion = 0;

    // Handlers.
    void Form_Load();
    void Form_MouseDown(MouseButton button);
    void Form_Unload();
    void ImgMail_Click();
    void ImgMail1_Click();
    void Min_MouseDown(MouseButton button);
    void Min_MouseUp(MouseButton button);
    void CloseB_MouseDown(MouseButton button);
    void CloseB_MouseUp(MouseButton button);
    void Timer1_Timer();
    void Timer2_Timer();

    // The window's outline at this scale and offset (pixels), on the screen's twips per pixel.
    std::uintptr_t BuildWindowRegion(float ScaleX, float ScaleY, std::int16_t OffsetX, std::int16_t OffsetY);

private:
    void BuildLayout();
    void WireEvents();
    void PressFace(Image& picture, const Image& pressedFace);

    Platform& platform_;
};

// A design pixel of the outline on the screen: design × scale × 15 ÷ twips per pixel + offset, a half
// going to the even neighbour.
int OutlinePixel(int design, float scale, double twipsPerPixel, int offset);

// The program's one about window: made on first use, and made afresh after it was closed.
class AutorWinInstance {
public:
    explicit AutorWinInstance(Platform& platform) : platform_(platform) {}
    AutorWinInstance(const AutorWinInstance&) = delete;
    AutorWinInstance& operator=(const AutorWinInstance&) = delete;

    // Loads a fresh window when there is none, then shows it: restored, in front.
    AutorWin& Show();
    AutorWin* Current();  // the loaded window, or nullptr

private:
    Platform& platform_;
    std::unique_ptr<AutorWin> form_;
    std::unique_ptr<FormWindow> window_;  // after the form: the window goes first
};

}  // namespace tesoro
