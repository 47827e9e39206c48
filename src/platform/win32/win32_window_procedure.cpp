#include "platform/win32/win32_window_procedure.h"

#include <exception>
#include <string>

namespace tesoro::win32 {

namespace {

// Our own texts and the standard library's are UTF-8, as the sources are.
std::wstring FromUtf8(const char* text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));  // the count includes the terminating NUL
    return wide;
}

void TellDeveloper(const std::wstring& text) {
    OutputDebugStringW((L"Tesoro: a handler failed: " + text + L"\n").c_str());
}

}  // namespace

bool RunGuarded(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        TellDeveloper(FromUtf8(error.what()));
    } catch (...) {
        TellDeveloper(L"unknown exception");
    }
    return false;
}

LRESULT CALLBACK WindowProcedure::Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created =
            static_cast<WindowProcedure*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        if (created) created->Attached(window);
    }
    auto* self = reinterpret_cast<WindowProcedure*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->Detached();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT result = 0;  // what a message whose handling failed answers
    self->Guard([&] { result = self->OnMessage(window, message, wParam, lParam); });
    return result;
}

}  // namespace tesoro::win32
