// One window for the program in each user session: a second start (from "Send to", a shortcut, the
// command line) hands its path to the running program, which takes it as a drop, and ends.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/win32_handles.h"

namespace tesoro::win32 {

// The main window's own class, by which a second start finds it.
inline constexpr wchar_t kMainWindowClass[] = L"TesoroMain";

// Marks this process as the running program of the session for as long as it lives.
class RunningInstance {
public:
    RunningInstance();
    // Another process of the program already ran in this session when this one started.
    bool Another() const { return another_; }

private:
    UniqueKernelObject mutex_;
    bool another_;
};

// Hands the path (absolute, or empty) to the running program's main window, waiting a few seconds for
// one that is starting; false when there is none or it did not answer in time (hung).
bool HandOver(const std::wstring& path);

// The path a second start's WM_COPYDATA carries; nullopt when it is not one.
std::optional<std::wstring> HandedOverPath(const COPYDATASTRUCT& data);

}  // namespace tesoro::win32
