#include "driver.h"

#include <commctrl.h>

#include <cwctype>
#include <stdexcept>

namespace e2e {
namespace {

constexpr wchar_t kMainCaption[] = L"Copias de Seguridad";
constexpr UINT kSendTimeoutMs = 5000;
constexpr int kSyncTargetId = 1017;  // the help text box: an edit whose typing limit nobody uses

LRESULT Send(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        throw std::runtime_error("the program did not answer a message in time");
    return static_cast<LRESULT>(result);
}

struct WindowSearch {
    DWORD pid;
    const wchar_t* className;  // nullptr: any
    const wchar_t* caption;    // nullptr: any
    HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window)) return TRUE;
    if (search->className && ClassName(window) != search->className) return TRUE;
    if (search->caption) {
        wchar_t caption[256] = {};
        GetWindowTextW(window, caption, 256);
        if (std::wstring(caption) != search->caption) return TRUE;
    }
    search->found = window;
    return FALSE;
}

struct ChildSearch {
    int id;
    HWND found = nullptr;
};

BOOL CALLBACK MatchChildId(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (GetDlgCtrlID(window) != search->id) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK MatchIconStatic(HWND window, LPARAM param) {
    if (ClassName(window) == L"Static" && IsWindowVisible(window) &&
        (GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchToolTipWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || _wcsicmp(ClassName(window).c_str(), TOOLTIPS_CLASSW) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

bool IsComboBox(HWND list) { return _wcsicmp(ClassName(list).c_str(), L"ComboBox") == 0; }

BITMAPINFOHEADER Header(int width, int height, WORD bits) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;  // negative: top-down rows
    header.biPlanes = 1;
    header.biBitCount = bits;
    header.biCompression = BI_RGB;
    return header;
}

// 32-bit pixels of a rectangle drawn by `paint` into a memory bitmap.
template <typename Paint>
std::vector<DWORD> Pixels(int width, int height, Paint paint) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = Header(width, -height, 32);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    paint(memory, screen);
    GdiFlush();
    std::vector<DWORD> out(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + width * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return out;
}

bool Near(DWORD a, DWORD b) {
    for (int shift = 0; shift < 24; shift += 8) {
        int da = static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff);
        if (da > 12 || da < -12) return false;
    }
    return true;
}

// Tells the standard icon shown by a message box by comparing the screen with each candidate icon
// where that icon is opaque.
std::wstring IconOf(HWND box) {
    HWND iconStatic = nullptr;
    EnumChildWindows(box, MatchIconStatic, reinterpret_cast<LPARAM>(&iconStatic));
    if (!iconStatic) return L"none";
    RECT r;
    GetClientRect(iconStatic, &r);
    POINT origin{0, 0};
    ClientToScreen(iconStatic, &origin);
    int w = r.right, h = r.bottom;
    if (w <= 0 || h <= 0) return L"none";
    auto shown = Pixels(w, h, [&](HDC memory, HDC screen) {
        BitBlt(memory, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
    });
    const std::pair<LPCWSTR, const wchar_t*> candidates[] = {{IDI_HAND, L"critical"},
                                                             {IDI_EXCLAMATION, L"exclamation"},
                                                             {IDI_ASTERISK, L"information"},
                                                             {IDI_QUESTION, L"question"}};
    std::wstring best = L"unknown";
    double bestScore = 0.1;
    for (const auto& [id, name] : candidates) {
        HICON icon = LoadIconW(nullptr, id);
        auto onColour = [&](COLORREF colour) {
            return Pixels(w, h, [&](HDC memory, HDC) {
                HBRUSH brush = CreateSolidBrush(colour);
                RECT all{0, 0, w, h};
                FillRect(memory, &all, brush);
                DeleteObject(brush);
                DrawIconEx(memory, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
            });
        };
        auto onBlack = onColour(RGB(0, 0, 0)), onWhite = onColour(RGB(255, 255, 255));
        int opaque = 0, wrong = 0;
        for (size_t i = 0; i < shown.size(); ++i) {
            if (!Near(onBlack[i], onWhite[i])) continue;
            ++opaque;
            if (!Near(onBlack[i], shown[i])) ++wrong;
        }
        double score = opaque ? static_cast<double>(wrong) / opaque : 1.0;
        if (opaque > w * h / 4 && score < bestScore) {
            bestScore = score;
            best = name;
        }
    }
    return best;
}

MessageBoxInfo Describe(HWND box) {
    MessageBoxInfo info;
    info.hwnd = box;
    wchar_t title[512] = {};
    GetWindowTextW(box, title, 512);
    info.title = title;
    if (HWND text = GetDlgItem(box, 0xFFFF)) info.text = Text(text);
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO, IDRETRY}) {
        HWND button = GetDlgItem(box, id);
        if (button && IsWindowVisible(button)) info.buttons.push_back(id);
    }
    // The box may not be painted yet: look again for a moment before giving up on the icon.
    WaitUntil([&] { return (info.icon = IconOf(box)) != L"unknown"; }, 1500);
    return info;
}

}  // namespace

HWND FindTopLevel(DWORD pid, const wchar_t* className, const wchar_t* caption) {
    WindowSearch search{pid, className, caption};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

Settings& Config() {
    static Settings settings;
    return settings;
}

App::App(const std::wstring& workdir, const std::wstring& arguments) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + Config().exe + L"\"";
    if (!arguments.empty()) commandLine.append(L" ").append(arguments);
    if (!CreateProcessW(Config().exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workdir.c_str(), &startup, &process_))
        throw std::runtime_error("cannot start the program (error " + std::to_string(GetLastError()) + ")");
    pid_ = process_.dwProcessId;
    WaitUntil([&] { return (main_ = FindTopLevel(pid_, nullptr, kMainCaption)) != nullptr || !Running(); },
              20000);
    if (!main_) throw std::runtime_error("the main window did not appear");
    // The program makes its hidden controls right after the first paint, before it reads any input.
    WaitForInputIdle(process_.hProcess, 20000);
}

App::~App() {
    if (Running()) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND App::FindControl(int id) const {
    ChildSearch search{id};
    EnumChildWindows(main_, MatchChildId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND App::Control(int id) const {
    HWND found = FindControl(id);
    if (!found) throw std::runtime_error("no control with id " + std::to_string(id));
    return found;
}

void App::Sync() const {
    if (!syncTarget_) syncTarget_ = FindControl(kSyncTargetId);
    if (!syncTarget_ || _wcsicmp(ClassName(syncTarget_).c_str(), L"Edit") != 0) {
        Send(main_, WM_NULL);
        Sleep(100);
        return;
    }
    unsigned token = 0x100000 + ++syncToken_;
    PostMessageW(syncTarget_, EM_SETLIMITTEXT, token, 0);
    if (!WaitUntil([&] { return static_cast<unsigned>(Send(syncTarget_, EM_GETLIMITTEXT)) == token; }))
        throw std::runtime_error("the program stopped handling its messages");
}

BOOL CALLBACK AnyUnpainted(HWND window, LPARAM param) {
    if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
    }
    return TRUE;
}

void App::WaitForPaint() const {
    Sync();
    WaitUntil(
        [&] {
            bool unpainted = GetUpdateRect(main_, nullptr, FALSE) != FALSE;
            if (!unpainted) EnumChildWindows(main_, AnyUnpainted, reinterpret_cast<LPARAM>(&unpainted));
            return !unpainted;
        },
        3000);
    Sync();
}

std::optional<MessageBoxInfo> App::CurrentMessageBox() const {
    HWND box = FindTopLevel(pid_, L"#32770", nullptr);
    if (!box) return std::nullopt;
    return Describe(box);
}

HWND App::WaitForWindow(const std::wstring& title, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopLevel(pid_, nullptr, title.c_str())) != nullptr; }, timeoutMs);
    return found;
}

std::optional<MessageBoxInfo> App::WaitForMessageBox(DWORD timeoutMs) const {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindTopLevel(pid_, L"#32770", nullptr)) != nullptr; }, timeoutMs))
        return std::nullopt;
    // The text is set while the box is built; wait until the box has been laid out and shown.
    WaitUntil([&] { return GetDlgItem(box, 0xFFFF) != nullptr && IsWindowVisible(box); }, 2000);
    return Describe(box);
}

bool App::Answer(const MessageBoxInfo& box, int buttonId) const {
    HWND button = GetDlgItem(box.hwnd, buttonId);
    if (!button) return false;
    PostMessageW(button, BM_CLICK, 0, 0);
    return WaitUntil([&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); });
}

void App::PressKey(WORD virtualKey) const {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    HWND target = main_;
    if (GetGUIThreadInfo(process_.dwThreadId, &gui) && gui.hwndFocus) target = gui.hwndFocus;
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, virtualKey, scan | 1);
    PostMessageW(target, WM_KEYUP, virtualKey, scan | 1 | 0xC0000000);
}

void App::Close() const { PostMessageW(main_, WM_CLOSE, 0, 0); }

namespace {

struct WindowsOfProcess {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowsOfProcess*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && IsWindowVisible(window)) search->found.push_back(window);
    return TRUE;
}

struct WindowsOfClass {
    const wchar_t* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOfClass(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowsOfClass*>(param);
    if (ClassName(window) == search->className) search->found.push_back(window);
    return TRUE;
}

}  // namespace

void App::CloseAllWindows() const {
    WindowsOfProcess search{pid_, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.found) PostMessageW(window, WM_CLOSE, 0, 0);
}

void App::Kill() const {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
}

std::vector<HWND> TopLevelWindowsOfClass(const wchar_t* className) {
    WindowsOfClass search{className, {}};
    EnumWindows(CollectOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::optional<DWORD> RunToExit(const std::wstring& workdir, const std::wstring& arguments, DWORD timeoutMs) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + Config().exe + L"\" " + arguments;
    if (!CreateProcessW(Config().exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workdir.c_str(), &startup, &process))
        throw std::runtime_error("cannot start the program (error " + std::to_string(GetLastError()) + ")");
    std::optional<DWORD> exitCode;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code)) exitCode = code;
    } else {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

HeldFile::HeldFile(const std::wstring& path)
    : handle_(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}

HeldFile::~HeldFile() {
    if (releaser_) {
        WaitForSingleObject(releaser_, INFINITE);
        CloseHandle(releaser_);
    }
    Release();
}

void HeldFile::Release() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

void HeldFile::ReleaseAfter(DWORD ms) {
    struct Job {
        HeldFile* file;
        DWORD ms;
    };
    auto* job = new Job{this, ms};
    releaser_ = CreateThread(
        nullptr, 0,
        [](void* parameter) -> DWORD {
            auto* job = static_cast<Job*>(parameter);
            Sleep(job->ms);
            job->file->Release();
            delete job;
            return 0;
        },
        job, 0, nullptr);
}

bool App::WaitForExit(DWORD timeoutMs) const {
    return WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

bool App::Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

std::wstring Text(HWND control) {
    auto length = Send(control, WM_GETTEXTLENGTH);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    auto copied = Send(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

// The tool tip control reads and writes the TOOLINFO it is given in its own process: the request is
// built in memory lent by that process.
std::wstring ToolTip(const App& app, HWND control) {
    WindowSearch search{app.Pid(), nullptr, nullptr};
    EnumWindows(MatchToolTipWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return L"";
    constexpr SIZE_T kChars = 1024;
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, app.Pid());
    if (!process) throw std::runtime_error("cannot open the program's process");
    auto* remote = static_cast<BYTE*>(VirtualAllocEx(
        process, nullptr, sizeof(TOOLINFOW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
    std::wstring text(kChars, L'\0');
    if (remote) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = app.Main();
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof tool);
        WriteProcessMemory(process, remote, &tool, sizeof tool, nullptr);
        WriteProcessMemory(process, remote + sizeof tool, text.data(), sizeof(wchar_t), nullptr);
        Send(search.found, TTM_GETTEXTW, kChars, reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process, remote + sizeof tool, text.data(), kChars * sizeof(wchar_t), nullptr);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    text.resize(wcsnlen(text.c_str(), kChars));
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

bool Visible(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

bool Enabled(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & WS_DISABLED) == 0; }

int CheckState(HWND button) { return static_cast<int>(Send(button, BM_GETCHECK)); }

SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

RECT PlaceIn(HWND main, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::vector<std::wstring> Items(HWND list) {
    bool combo = IsComboBox(list);
    auto count = Send(list, combo ? CB_GETCOUNT : LB_GETCOUNT);
    std::vector<std::wstring> items;
    for (LRESULT i = 0; i < count; ++i) {
        auto length = Send(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i);
        if (length < 0) length = 0;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        auto copied = Send(list, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
        items.push_back(text);
    }
    return items;
}

int Selection(HWND list) {
    return static_cast<int>(Send(list, IsComboBox(list) ? CB_GETCURSEL : LB_GETCURSEL));
}

std::wstring SelectedText(HWND list) {
    int index = Selection(list);
    auto items = Items(list);
    return index >= 0 && index < static_cast<int>(items.size()) ? items[index] : L"";
}

int FindItem(HWND list, const std::wstring& text, bool ignoreCase) {
    auto items = Items(list);
    for (size_t i = 0; i < items.size(); ++i) {
        if (ignoreCase ? _wcsicmp(items[i].c_str(), text.c_str()) == 0 : items[i] == text)
            return static_cast<int>(i);
    }
    return -1;
}

int FindItemStartingWith(HWND list, const std::wstring& prefix, bool ignoreCase) {
    auto items = Items(list);
    for (size_t i = 0; i < items.size(); ++i) {
        std::wstring head = items[i].substr(0, prefix.size());
        if (ignoreCase ? _wcsicmp(head.c_str(), prefix.c_str()) == 0 : head == prefix)
            return static_cast<int>(i);
    }
    return -1;
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void Type(HWND edit, const std::wstring& text) {
    Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Choose(HWND list, int index) {
    bool combo = IsComboBox(list);
    Send(list, combo ? CB_SETCURSEL : LB_SETCURSEL, index);
    WORD code = combo ? CBN_SELCHANGE : LBN_SELCHANGE;
    PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), code),
                 reinterpret_cast<LPARAM>(list));
}

void Open(HWND list, int index) {
    Choose(list, index);
    PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(list));
}

bool SaveScreenshot(const std::wstring& bmpPath) {
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER header = Header(w, h, 24);
    int stride = (w * 3 + 3) & ~3;
    std::string pixels(static_cast<size_t>(stride) * h, '\0');
    GetDIBits(memory, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes += pixels;
    return WriteBytes(bmpPath, bytes);
}

void Screenshot(const std::wstring& name) {
    if (!Config().screens.empty()) SaveScreenshot(Config().screens + L"\\" + name + L".bmp");
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[8192];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    return ok;
}

bool FileExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeFolders(const std::wstring& path) {
    for (size_t slash = path.find(L'\\', 3);; slash = path.find(L'\\', slash + 1)) {
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
        if (slash == std::wstring::npos) break;
    }
}

std::string Cp1252(const std::wstring& text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        nullptr);
    return out;
}

std::wstring ShortDate() {
    wchar_t date[80] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 80, nullptr);
    return date;
}

}  // namespace e2e
