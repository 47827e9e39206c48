// The windows build's platform: every service the behaviour uses, on the wide Win32 API.
#pragma once

#include <windows.h>

// The services' own operations share these names with the system's A/W macros.
#undef CopyFile
#undef DeleteFile
#undef MessageBox
#undef ReplaceFile

#include <memory>
#include <optional>
#include <string>

#include "platform/services.h"

namespace tesoro {

// Lets a drive without a disc fail quietly instead of raising the system's "insert a disk" box.
// Call first thing in wWinMain.
void PrepareProcessErrorMode();

// Owns one implementation of each service for the life of the process.
class Win32Platform {
public:
    Win32Platform();
    ~Win32Platform();
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform& platform() { return platform_; }
    // The window that owns message boxes, the input prompt and shell actions; call once it exists.
    void SetOwner(HWND owner);
    // The program's window host, which opens the windows of forms other than the main one.
    void SetWindowFactory(WindowFactory& factory);

private:
    struct Services;
    std::unique_ptr<Services> services_;
    Platform platform_;
};

namespace win32_detail {

// Shared by the implementation files.

// Keeps drive queries on this thread from raising a system box, whatever the process's mode is.
class QuietErrorMode {
public:
    QuietErrorMode() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_); }
    ~QuietErrorMode() { SetThreadErrorMode(previous_, nullptr); }
    QuietErrorMode(const QuietErrorMode&) = delete;
    QuietErrorMode& operator=(const QuietErrorMode&) = delete;

private:
    DWORD previous_ = 0;
};

// The error carries the reason the system's code stands for, and the code.
[[noreturn]] void ThrowApiError(const char* api, DWORD error);
[[noreturn]] void ThrowApiError(const char* api, DWORD error, FailureReason reason);
[[noreturn]] void ThrowLastError(const char* api);
std::unique_ptr<FileSystem> MakeFileSystem();
// The modal prompt: the typed text on OK, nullopt on Cancel or close.
// Runs `work` on a thread of its own while the caller waits in a message loop, with the progress
// window over `owner` once the work has lasted about half a second (Dialogs::RunWithProgress).
void RunWithProgress(HWND owner, const std::wstring& title, const std::wstring& text,
                     const std::function<void(CopyProgress&)>& work);
// Asks the work under way in RunWithProgress to stop, as its "Cancelar" does; nothing when none runs.
void CancelRunningWork();
// Centres a dialog over its owner, kept within the owner's screen.
void CenterOnOwner(HWND dialog);
std::optional<std::wstring> RunInputBox(HWND owner, const std::wstring& prompt, const std::wstring& title,
                                        const std::wstring& initial);

}  // namespace win32_detail
}  // namespace tesoro
