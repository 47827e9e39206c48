#include "platform/win32/win32_hand_over.h"

namespace tesoro::win32 {
namespace {

constexpr wchar_t kInstanceName[] = L"Local\\Tesoro.Instance";
constexpr ULONG_PTR kHandOverTag = 0x54534F52;  // "TSOR": a second start's path
constexpr DWORD kWaitMs = 5000;
constexpr std::size_t kLongestPath = 32767;

HWND WaitForMainWindow() {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (HWND window = FindWindowW(kMainWindowClass, nullptr)) return window;
        if (GetTickCount64() - start >= kWaitMs) return nullptr;
        Sleep(50);
    }
}

}  // namespace

// A mutex the program's user alone can reach in this session: when it exists, or exists but cannot be
// opened, the program runs already.
RunningInstance::RunningInstance() : mutex_(CreateMutexW(nullptr, FALSE, kInstanceName)) {
    const DWORD error = GetLastError();
    another_ = mutex_ ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
}

bool HandOver(const std::wstring& path) {
    const HWND window = WaitForMainWindow();
    if (!window) return false;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    AllowSetForegroundWindow(process);  // it comes to the front in this one's place
    COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>(path.size() * sizeof(wchar_t)),
                        const_cast<wchar_t*>(path.data())};
    DWORD_PTR taken = FALSE;
    return SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                               SMTO_ABORTIFHUNG | SMTO_BLOCK, kWaitMs, &taken) &&
           taken == TRUE;
}

std::optional<std::wstring> HandedOverPath(const COPYDATASTRUCT& data) {
    if (data.dwData != kHandOverTag || data.cbData % sizeof(wchar_t) != 0) return std::nullopt;
    const std::size_t length = data.cbData / sizeof(wchar_t);
    if (length > kLongestPath || (length > 0 && !data.lpData)) return std::nullopt;
    const auto* text = static_cast<const wchar_t*>(data.lpData);
    return std::wstring(text, text + length);
}

}  // namespace tesoro::win32
