// Hosts a form and its control models in real windows: one top-level window, a child window per
// control, timers, tool tips, fonts at the screen's dpi, mouse pointers, the keyboard (focus order,
// default and cancel buttons, access keys) and the guard that keeps a handler's exception from reaching
// the system. Every form of the program runs on it.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/controls.h"
#include "platform/services.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_window_procedure.h"

namespace tesoro::win32 {

class TopLevelWindow : public FormWindow, private ControlHost, private WindowProcedure {
public:
    TopLevelWindow(HINSTANCE instance, Screen& screen, FormContent content);
    ~TopLevelWindow() override;
    TopLevelWindow(const TopLevelWindow&) = delete;
    TopLevelWindow& operator=(const TopLevelWindow&) = delete;

    // Builds the window and every control window, hidden, and binds the form to it. With
    // createHiddenLater, the controls hidden at start and the tool tips are made only after the first
    // paint (before any input is read), so that the window appears sooner.
    void Create();
    HWND Hwnd() const { return hwnd_; }
    // Centres the window on the screen's work area the first time, shows it (restored, in front) and
    // gives the first control the focus.
    void Show();
    // Restores the window when minimised and brings it, or the box it has open, to the front.
    void BringToFront();
    // Runs the program's message loop until the window that ends it (see endsProgram) is destroyed.
    int RunMessageLoop();

    std::function<void()> onClose;             // every way of closing the window; unset: the form unloads
    std::function<void()> onFailure;           // an exception stopped at the window procedure
    bool endsProgram = false;                  // its destruction ends the message loop
    bool createHiddenLater = false;            // set before Create
    const wchar_t* className = L"TesoroForm";  // set before Create
    // A file or folder dragged onto the window (the first of several); set before Create.
    std::function<void(const std::wstring& path)> onFileDropped;
    // Windows ends the session (logoff, restart, shutdown) and will end the process.
    std::function<void()> onSessionEnd;
    // The path a second start of the program handed over (empty when it had none), taken from the
    // message queue rather than inside the sender's call, which must never wait for a box; set before
    // Create.
    std::function<void(const std::wstring& path)> onHandOver;

private:
    class FormBinding;
    class TimerView;

    // WindowProcedure
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void Attached(HWND window) override { hwnd_ = window; }
    void Detached() override;

    void OnCommand(WPARAM wParam);
    bool OnSetCursor(HWND under, UINT hitTest);
    bool ForwardWheel(WPARAM wParam, LPARAM lParam);
    void OnActivate(bool active);
    void OnDropFiles(WPARAM dropHandle);
    bool OnCopyData(const COPYDATASTRUCT& data);
    void OnHandOver();
    bool PreTranslate(MSG& message);
    bool PressAccessKey(const MSG& message);
    void FollowPointer(MouseButton button);
    void MoveToPointer();
    bool StopFollowing(UINT release);

    void CreateControls(bool hiddenToo);
    void CreateControl(Control& control);
    void PutInStackingPlace(const Control& control, HWND window) const;
    void CreateToolTips();
    void CreateTheRest();
    DWORD Style() const;
    DWORD ExStyle() const;
    SIZE FrameSize();
    void ResizeClient();
    static POINT CenteredPlace(SIZE size, HMONITOR monitor);
    void Center();
    bool OnMouseDown(MouseButton button);
    void OnSize(WPARAM kind);
    void Press(Control* button);
    const Control* DefaultForEnter() const;
    void MoveFocus(int step);
    void FocusFirst();
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
    void ReachChanged(ControlWindow& window) override;
    // Both ControlHost's and WindowProcedure's: a failure is written for the developer, then reported.
    void Guard(const std::function<void()>& action) override;
    void PaintBackdrop(HWND child, HDC dc) override;
    void PaintBackground(HDC dc);

    HINSTANCE instance_;
    Screen& screen_;
    FormContent content_;
    int dpiX_ = 96;
    int dpiY_ = 96;
    UniqueBitmap background_;
    HWND lastFocus_ = nullptr;
    bool forwardingWheel_ = false;
    bool placed_ = false;
    bool restPending_ = false;  // hidden controls and tool tips still to be made
    // While the window follows the pointer: the release that ends it, and where the pointer holds it.
    struct Following {
        UINT release;
        POINT grip;  // the pointer's offset from the window's top-left corner
    };
    std::optional<Following> following_;

    std::map<std::tuple<std::wstring, int, bool, bool>, UniqueFont> fonts_;
    std::vector<std::unique_ptr<ControlWindow>> controls_;
    std::unordered_map<int, ControlWindow*> byId_;
    std::unordered_map<HWND, ControlWindow*> byHwnd_;
    std::vector<std::unique_ptr<TimerView>> timerViews_;
    std::unique_ptr<FormBinding> formBinding_;
    std::set<HWND> toolsShown_;
    std::deque<std::wstring> handedOver_;  // paths waiting in the message queue

    // Destroyed before the control objects above, which the windows' messages still reach.
    HWND hwnd_ = nullptr;
    UniqueWindow window_;
    UniqueWindow toolTip_;
};

// Opens the windows of the forms the program makes while it runs.
class Win32WindowFactory : public WindowFactory {
public:
    Win32WindowFactory(HINSTANCE instance, Screen& screen, std::function<void()> onFailure)
        : instance_(instance), screen_(screen), onFailure_(std::move(onFailure)) {}
    std::unique_ptr<FormWindow> Create(const FormContent& content) override;

private:
    HINSTANCE instance_;
    Screen& screen_;
    std::function<void()> onFailure_;
};

}  // namespace tesoro::win32
