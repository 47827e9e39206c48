// The baselines of the start-up benchmark: a program that opens one window of the main window's size and
// style, with the same caption, shows it and waits. Nothing else.
// Given "controls", it first makes in it child windows of the same standard classes, styles and number as
// the main window shows at start, with one font and nothing in them: what any program with those windows
// pays before it can be shown.
#include <windows.h>

#include <cwchar>

namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kClientWidth = 461, kClientHeight = 356;  // pixels at 96 dpi

struct ChildKind {
    const wchar_t* className;
    DWORD style, exStyle;
    int count;
};

// The main window's visible controls at start, its frames and labels as the standard classes.
constexpr ChildKind kChildren[] = {
    {L"BUTTON", BS_PUSHBUTTON | BS_ICON, 0, 6},
    {L"BUTTON", BS_GROUPBOX, WS_EX_CONTROLPARENT, 2},
    {L"BUTTON", BS_AUTOCHECKBOX | BS_MULTILINE, 0, 2},
    {L"COMBOBOX", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL, 0, 2},
    {L"LISTBOX",
     LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL,
     WS_EX_CLIENTEDGE, 2},
    {L"LISTBOX", LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL,
     WS_EX_CLIENTEDGE, 1},
    {L"EDIT", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 1},
    {L"STATIC", SS_LEFT, 0, 5},
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MEASUREITEM) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 16;
        return TRUE;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void MakeChildren(HWND window, HINSTANCE instance) {
    HFONT font =
        CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif");
    int id = 100;
    for (const ChildKind& kind : kChildren) {
        for (int i = 0; i < kind.count; ++i, ++id) {
            const int left = (id % 4) * 110, top = (id * 17) % 320;
            HWND child = CreateWindowExW(kind.exStyle, kind.className, L"",
                                         WS_CHILD | WS_VISIBLE | kind.style, left, top, 100, 24, window,
                                         reinterpret_cast<HMENU>(INT_PTR{id}), instance, nullptr);
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassExW(&windowClass);

    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Copias de Seguridad", kStyle,
                                  (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                  (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                                  nullptr, instance, nullptr);
    if (!window) return 1;
    if (std::wcscmp(commandLine, L"controls") == 0) MakeChildren(window, instance);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
