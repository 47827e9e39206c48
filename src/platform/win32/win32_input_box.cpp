// The modal input prompt: built from an in-memory dialog template, so it needs no resource script.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/win32_services.h"
#include "resources/resource_ids.h"

namespace tesoro {
namespace {

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;

// A DLGTEMPLATE followed by its items, laid out as DialogBoxIndirect reads them: 16-bit words, each
// item starting on a 32-bit boundary.
class DialogTemplate {
public:
    DialogTemplate(const std::wstring& title, short width, short height) {
        header_.style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        header_.cx = width;
        header_.cy = height;
        Append(header_);
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the standard dialog class
        AppendText(title);
        words_.push_back(8);  // point size of the font
        AppendText(L"MS Shell Dlg");
    }

    void AddItem(WORD classAtom, int id, DWORD style, short x, short y, short width, short height,
                 const std::wstring& text) {
        if (words_.size() % 2) words_.push_back(0);
        DLGITEMTEMPLATE item{};
        item.style = style | WS_CHILD | WS_VISIBLE;
        item.x = x;
        item.y = y;
        item.cx = width;
        item.cy = height;
        item.id = static_cast<WORD>(id);
        Append(item);
        words_.push_back(0xFFFF);
        words_.push_back(classAtom);
        AppendText(text);
        words_.push_back(0);  // no creation data
        ++header_.cdit;
    }

    const DLGTEMPLATE* Data() {
        std::memcpy(words_.data(), &header_, sizeof header_);  // with the final item count
        return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
    }

private:
    template <typename T>
    void Append(const T& value) {
        static_assert(sizeof(T) % sizeof(WORD) == 0);
        std::size_t at = words_.size();
        words_.resize(at + sizeof(T) / sizeof(WORD));
        std::memcpy(&words_[at], &value, sizeof(T));
    }

    void AppendText(const std::wstring& text) {
        for (wchar_t c : text) words_.push_back(static_cast<WORD>(c));
        words_.push_back(0);
    }

    DLGTEMPLATE header_{};
    std::vector<WORD> words_;
};

std::wstring WindowText(HWND window) {
    std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
    text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
    return text;
}

INT_PTR CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        win32_detail::CenterOnOwner(dialog);
        HWND edit = GetDlgItem(dialog, IDC_INPUTBOX_TEXT);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SetFocus(edit);
        return FALSE;  // the focus is set
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK: {
            auto* answer = reinterpret_cast<std::wstring*>(GetWindowLongPtrW(dialog, DWLP_USER));
            *answer = WindowText(GetDlgItem(dialog, IDC_INPUTBOX_TEXT));
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL:  // also the close box and Esc
            EndDialog(dialog, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

void win32_detail::CenterOnOwner(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    RECT area = work, box;
    if (owner && !IsIconic(owner)) GetWindowRect(owner, &area);
    GetWindowRect(dialog, &box);
    int width = box.right - box.left, height = box.bottom - box.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    x = std::max<int>(work.left, std::min<int>(x, work.right - width));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<std::wstring> win32_detail::RunInputBox(HWND owner, const std::wstring& prompt,
                                                      const std::wstring& title,
                                                      const std::wstring& initial) {
    // Dialog units: the prompt on the left with the buttons beside it, the text field across the bottom.
    DialogTemplate layout(title, 246, 88);
    layout.AddItem(kStaticClass, IDC_INPUTBOX_PROMPT, SS_LEFT | SS_NOPREFIX, 7, 7, 178, 52, prompt);
    layout.AddItem(kEditClass, IDC_INPUTBOX_TEXT, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 66, 232, 13,
                   initial);
    layout.AddItem(kButtonClass, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 189, 7, 50, 14, L"Aceptar");
    layout.AddItem(kButtonClass, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 189, 25, 50, 14, L"Cancelar");

    std::wstring answer;
    INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), layout.Data(), owner, PromptProc,
                                             reinterpret_cast<LPARAM>(&answer));
    if (result == -1) ThrowLastError("DialogBoxIndirectParamW");
    if (result != IDOK) return std::nullopt;
    return answer;
}

}  // namespace tesoro
