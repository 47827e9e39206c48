// The window procedure of every window class of ours: the object named at the window's creation is kept
// with the window from its first message to its last, every message goes to that object, and no
// exception gets past it into the system.
#pragma once

#include <windows.h>

#include <functional>

namespace tesoro::win32 {

// Runs `action`; what it throws stops here, its text written where a developer reads it
// (OutputDebugStringW: a debugger, DebugView). False when it threw.
bool RunGuarded(const std::function<void()>& action);

class WindowProcedure {
public:
    // The window class's procedure (lpfnWndProc).
    static LRESULT CALLBACK Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    WindowProcedure() = default;
    ~WindowProcedure() = default;
    WindowProcedure(const WindowProcedure&) = delete;
    WindowProcedure& operator=(const WindowProcedure&) = delete;

    // CreateWindowExW's last argument, by which the new window finds this object.
    void* CreationData() { return this; }
    // A message for the window; the object answers it, through DefWindowProcW for what it leaves.
    virtual LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Runs the handling of one message; by default only the developer hears of what it throws.
    virtual void Guard(const std::function<void()>& action) { RunGuarded(action); }
    // The window's first message is about to be handled.
    virtual void Attached(HWND /*window*/) {}
    // The window is gone, its last message handled by the system: the object may outlive it.
    virtual void Detached() {}
};

}  // namespace tesoro::win32
