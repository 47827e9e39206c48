// Hosts a form and its control models in real windows: one top-level window, a child window per
// control, timers, tool tips, mouse pointers and the keyboard (focus order, default and cancel buttons,
// access keys).
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/controls.h"
#include "platform/services.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_gdi.h"

namespace tesoro::win32 {

// What the window shows.
struct WindowContent {
    Form& form;
    std::vector<Control*> stacking;    // every control with a window, front to back, frames first
    std::vector<Control*> focusOrder;  // the controls Tab visits, first to last
    std::vector<Timer*> timers;
    Control* defaultButton = nullptr;  // pressed by Enter
    Control* cancelButton = nullptr;   // pressed by Esc
};

class MainWindow : private ControlHost {
public:
    MainWindow(HINSTANCE instance, Screen& screen, WindowContent content);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Builds the window and every control window, hidden.
    void Create();
    HWND Hwnd() const { return hwnd_; }
    // Centres the window on the screen's work area, shows it and gives the first control the focus.
    void ShowCentered();
    int RunMessageLoop();

    std::function<void()> onClose;    // every way of closing the window
    std::function<void()> onFailure;  // an exception stopped at the window procedure

private:
    class FormView;
    class TimerView;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(WPARAM wParam);
    bool OnSetCursor(HWND under, UINT hitTest);
    bool ForwardWheel(WPARAM wParam, LPARAM lParam);
    void OnActivate(bool active);
    bool PreTranslate(MSG& message);

    void CreateControls();
    void ResizeClient();
    void Press(Control* button);
    const Control* DefaultForEnter() const;
    void MoveFocus(int step);
    void FocusFirst();
    bool CanTakeFocus(HWND window) const;
    ControlWindow* ById(int id) const;
    ControlWindow* FromWindow(HWND window) const;  // the control a window belongs to, walking up

    // ControlHost
    HINSTANCE Instance() override { return instance_; }
    int PixelsX(int twips) override;
    int PixelsY(int twips) override;
    int Dpi() override;
    HFONT Font(const FontStyle& look) override;
    HWND ParentWindow(const Control& control) override;
    void ToolTipChanged(ControlWindow& window) override;
    void Guard(const std::function<void()>& action) override;

    HINSTANCE instance_;
    Screen& screen_;
    WindowContent content_;
    int twipsPerPixelX_ = 15;
    int twipsPerPixelY_ = 15;
    HCURSOR viewSwitchCursor_ = nullptr;
    HCURSOR inputCursor_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool forwardingWheel_ = false;

    std::map<std::tuple<std::wstring, int, bool, bool>, UniqueFont> fonts_;
    std::vector<std::unique_ptr<ControlWindow>> controls_;
    std::unordered_map<int, ControlWindow*> byId_;
    std::unordered_map<HWND, ControlWindow*> byHwnd_;
    std::vector<std::unique_ptr<TimerView>> timerViews_;
    std::unique_ptr<FormView> formView_;
    std::set<HWND> toolsShown_;

    // Destroyed before the control objects above, which the windows' messages still reach.
    HWND hwnd_ = nullptr;
    UniqueWindow window_;
    UniqueWindow toolTip_;
};

}  // namespace tesoro::win32
