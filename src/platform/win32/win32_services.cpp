#include "platform/win32/win32_services.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_system_library.h"

namespace tesoro {
namespace win32_detail {

FailureReason ReasonOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return FailureReason::NotFound;
        case ERROR_ACCESS_DENIED:
            return FailureReason::AccessDenied;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return FailureReason::InUse;
        case ERROR_NOT_READY:
        case ERROR_DEV_NOT_EXIST:
            return FailureReason::NotReady;
        case ERROR_WRITE_PROTECT:
            return FailureReason::WriteProtected;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return FailureReason::DiskFull;
        case ERROR_FILE_TOO_LARGE:
            return FailureReason::TooLarge;
        default:
            return FailureReason::Other;
    }
}

void ThrowApiError(const char* api, DWORD error, FailureReason reason) {
    throw PlatformError(std::string(api) + " failed, error " + std::to_string(error), reason, error);
}

void ThrowApiError(const char* api, DWORD error) { ThrowApiError(api, error, ReasonOf(error)); }

void ThrowLastError(const char* api) { ThrowApiError(api, GetLastError()); }

}  // namespace win32_detail

using win32::LoadSystemFunction;
using win32_detail::QuietErrorMode;
using win32_detail::ThrowLastError;

void PrepareProcessErrorMode() { SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX); }

namespace {

class Win32Drives : public Drives {
public:
    std::uint32_t LogicalDriveStrings(std::uint32_t length, std::wstring& buffer) override {
        // The system writes nothing when the list does not fit, which is the contract; never let it
        // write past the string.
        auto usable = static_cast<DWORD>(std::min<std::size_t>(length, buffer.size()));
        return GetLogicalDriveStringsW(usable, usable ? buffer.data() : nullptr);
    }

    unsigned DriveType(const std::wstring& root) override {
        std::wstring name = root.substr(0, root.find(L'\0'));
        // An empty name would ask about the current folder's drive, which is not the drive meant.
        if (name.empty()) return DRIVE_NO_ROOT_DIR;
        return GetDriveTypeW(name.c_str());
    }

    std::wstring VolumeLabel(wchar_t letter) override {
        QuietErrorMode quiet;
        const wchar_t device[] = {letter, L':', 0};
        const wchar_t root[] = {letter, L':', L'\\', 0};
        if (GetDriveTypeW(root) == DRIVE_REMOTE) {
            std::wstring remote = RemoteName(device);
            if (!remote.empty()) return remote;
        }
        wchar_t label[MAX_PATH + 1] = {};
        if (!GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) {
            return L"";
        }
        return label;
    }

private:
    static std::wstring RemoteName(const wchar_t* device) {
        using GetConnection = DWORD(WINAPI*)(LPCWSTR, LPWSTR, LPDWORD);
        static const auto getConnection = LoadSystemFunction<GetConnection>(L"mpr.dll", "WNetGetConnectionW");
        if (!getConnection) return L"";
        std::wstring name(MAX_PATH, L'\0');
        DWORD size = static_cast<DWORD>(name.size());
        DWORD result = getConnection(device, name.data(), &size);
        if (result == ERROR_MORE_DATA) {
            name.assign(size, L'\0');
            result = getConnection(device, name.data(), &size);
        }
        if (result != NO_ERROR) return L"";
        name.resize(wcslen(name.c_str()));
        return name;
    }
};

class Win32Dialogs : public Dialogs {
public:
    HWND owner = nullptr;

    MsgAnswer MessageBox(const std::wstring& text, const std::wstring& title, MsgIcon icon,
                         MsgButtons buttons) override {
        const int answer =
            MessageBoxW(owner, text.c_str(), title.c_str(), IconStyle(icon) | ButtonStyle(buttons));
        // Anything but a clear Yes or Retry (including a box that could not be shown) declines.
        switch (buttons) {
            case MsgButtons::Ok:
                return MsgAnswer::Ok;
            case MsgButtons::YesNo:
                return answer == IDYES ? MsgAnswer::Yes : MsgAnswer::No;
            case MsgButtons::RetryCancel:
                break;
        }
        return answer == IDRETRY ? MsgAnswer::Retry : MsgAnswer::Cancel;
    }

    std::optional<std::wstring> InputBox(const std::wstring& prompt, const std::wstring& title,
                                         const std::wstring& initial) override {
        return win32_detail::RunInputBox(owner, prompt, title, initial);
    }

    void RunWithProgress(const std::wstring& title, const std::wstring& text,
                         const std::function<void(CopyProgress&)>& work) override {
        win32_detail::RunWithProgress(owner, title, text, work);
    }

    void CancelWork() override { win32_detail::CancelRunningWork(); }

    void Beep() override { MessageBeep(MB_OK); }

private:
    static UINT ButtonStyle(MsgButtons buttons) {
        switch (buttons) {
            case MsgButtons::YesNo:
                return MB_YESNO | MB_DEFBUTTON1;
            case MsgButtons::RetryCancel:
                return MB_RETRYCANCEL | MB_DEFBUTTON1;
            case MsgButtons::Ok:
                break;
        }
        return MB_OK;
    }

    static UINT IconStyle(MsgIcon icon) {
        switch (icon) {
            case MsgIcon::Critical:
                return MB_ICONHAND;
            case MsgIcon::Exclamation:
                return MB_ICONEXCLAMATION;
            case MsgIcon::Information:
                break;
        }
        return MB_ICONINFORMATION;
    }
};

class Win32Clock : public Clock {
public:
    std::wstring ShortDate() override {
        int size =
            GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, nullptr, 0, nullptr);
        if (size <= 0) ThrowLastError("GetDateFormatEx");
        std::wstring date(size, L'\0');
        size = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date.data(), size,
                               nullptr);
        if (size <= 0) ThrowLastError("GetDateFormatEx");
        date.resize(size - 1);  // the count includes the terminating NUL
        return date;
    }
};

class Win32Shell : public Shell {
public:
    HWND mainWindow = nullptr;

    void Open(std::uintptr_t owner, const std::wstring& target, const std::wstring& folder) override {
        using Execute = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
        static const auto shellExecute = LoadSystemFunction<Execute>(L"shell32.dll", "ShellExecuteW");
        if (!shellExecute) throw PlatformError("shell32.dll: ShellExecuteW not found");
        // The shell shows its own message when no program handles the target.
        shellExecute(owner ? reinterpret_cast<HWND>(owner) : mainWindow, nullptr, target.c_str(), nullptr,
                     folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    }
};

class Win32Screen : public Screen {
public:
    double TwipsPerPixelX() override { return TwipsPerPixel(LOGPIXELSX); }
    double TwipsPerPixelY() override { return TwipsPerPixel(LOGPIXELSY); }

private:
    static double TwipsPerPixel(int axis) {
        const win32::WindowDc screen;
        const int dpi = screen ? GetDeviceCaps(screen, axis) : 0;
        return 1440.0 / (dpi > 0 ? dpi : 96);
    }
};

class Win32WindowApi : public WindowApi {
public:
    std::uintptr_t CreateRectRgn(int left, int top, int right, int bottom) override {
        return Handle(::CreateRectRgn(left, top, right, bottom));
    }
    std::uintptr_t CreateEllipticRgn(int left, int top, int right, int bottom) override {
        return Handle(::CreateEllipticRgn(left, top, right, bottom));
    }
    int CombineRgn(std::uintptr_t destination, std::uintptr_t source1, std::uintptr_t source2,
                   int mode) override {
        return ::CombineRgn(Region(destination), Region(source1), Region(source2), mode);
    }
    bool DeleteObject(std::uintptr_t object) override {
        return ::DeleteObject(reinterpret_cast<HGDIOBJ>(object)) != FALSE;
    }
    int SetWindowRgn(std::uintptr_t window, std::uintptr_t region, bool redraw) override {
        return ::SetWindowRgn(reinterpret_cast<HWND>(window), Region(region), redraw);
    }
    bool ReleaseCapture() override { return ::ReleaseCapture() != FALSE; }
    std::intptr_t SendWindowMessage(std::uintptr_t window, unsigned message, std::uintptr_t wParam,
                                    std::intptr_t lParam) override {
        return SendMessageW(reinterpret_cast<HWND>(window), message, wParam, lParam);
    }

private:
    static std::uintptr_t Handle(HRGN region) { return reinterpret_cast<std::uintptr_t>(region); }
    static HRGN Region(std::uintptr_t handle) { return reinterpret_cast<HRGN>(handle); }
};

// The window host is the program's own; it is plugged in once the program has made it.
class DeferredWindowFactory : public WindowFactory {
public:
    WindowFactory* target = nullptr;
    std::unique_ptr<FormWindow> Create(const FormContent& content) override {
        if (!target) throw std::logic_error("no window factory");
        return target->Create(content);
    }
};

class Win32AnsiCodec : public AnsiCodec {
public:
    std::string ToAnsi(const std::wstring& text) override {
        if (text.empty()) return {};
        int length = static_cast<int>(text.size());
        // No look-alike letters ("O" for omega): what the code page lacks becomes its default "?". A
        // system whose ANSI code page is UTF-8 has no such characters and takes no flags.
        DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
        int size = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
        if (size <= 0) ThrowLastError("WideCharToMultiByte");
        std::string bytes(size, '\0');
        WideCharToMultiByte(CP_ACP, flags, text.data(), length, bytes.data(), size, nullptr, nullptr);
        return bytes;
    }

    std::wstring FromAnsi(const std::string& bytes) override {
        if (bytes.empty()) return {};
        int length = static_cast<int>(bytes.size());
        int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
        if (size <= 0) ThrowLastError("MultiByteToWideChar");
        std::wstring text(size, L'\0');
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), size);
        return text;
    }
};

class Win32Process : public Process {
public:
    [[noreturn]] void End() override { ExitProcess(0); }
};

}  // namespace

struct Win32Platform::Services {
    std::unique_ptr<FileSystem> fs = win32_detail::MakeFileSystem();
    Win32Drives drives;
    Win32Dialogs dialogs;
    Win32Clock clock;
    Win32Shell shell;
    Win32Screen screen;
    Win32AnsiCodec codec;
    Win32Process process;
    DeferredWindowFactory windows;
    Win32WindowApi windowApi;
};

Win32Platform::Win32Platform()
    : services_(std::make_unique<Services>()), platform_{*services_->fs,     services_->drives,
                                                         services_->dialogs, services_->clock,
                                                         services_->shell,   services_->screen,
                                                         services_->codec,   services_->process,
                                                         services_->windows, services_->windowApi} {}

Win32Platform::~Win32Platform() = default;

void Win32Platform::SetOwner(HWND owner) {
    services_->dialogs.owner = owner;
    services_->shell.mainWindow = owner;
}

void Win32Platform::SetWindowFactory(WindowFactory& factory) { services_->windows.target = &factory; }

}  // namespace tesoro
