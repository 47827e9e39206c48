// Driving the real program from outside, as a user would: start it, find its controls by child-window
// id, read what they show, click, type, pick list entries, answer its message boxes. Every wait polls
// with a bounded timeout.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

// Where the program is and where screenshots go; set from the command line.
struct Settings {
    std::wstring exe;
    std::wstring screens;
};
Settings& Config();

constexpr DWORD kWaitMs = 10000;

// Polls `done` every few milliseconds until it is true or `timeoutMs` passed; returns its last value.
template <typename F>
bool WaitUntil(F done, DWORD timeoutMs = kWaitMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(15);
    }
}

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::wstring title;
    std::wstring text;
    std::vector<int> buttons;  // visible ones among IDOK, IDCANCEL, IDYES, IDNO, IDRETRY, in that order
    std::wstring icon;         // "critical", "exclamation", "information", "question", "none" or "unknown"
};

// One running instance of the program. Ending the object ends a process still running.
class App {
public:
    // Starts the program in `workdir`, with `arguments` after its name on the command line, and waits for
    // its main window; throws when it does not appear.
    explicit App(const std::wstring& workdir, const std::wstring& arguments = L"");
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    HWND Main() const { return main_; }
    DWORD Pid() const { return pid_; }
    // The control with that child-window id among all descendants of the main window; throws if none.
    HWND Control(int id) const;
    HWND FindControl(int id) const;  // nullptr when missing

    // Returns once the program has handled every message posted to it before this call (or is inside
    // a modal box opened by one of them).
    void Sync() const;
    // Waits until the window and every control in it have painted themselves.
    void WaitForPaint() const;
    // The program's message box, when one shows up within the timeout.
    std::optional<MessageBoxInfo> WaitForMessageBox(DWORD timeoutMs = kWaitMs) const;
    std::optional<MessageBoxInfo> CurrentMessageBox() const;
    // A visible top-level window of the program with that title, when one shows up within the timeout.
    HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs = kWaitMs) const;
    // Presses a button of a message box and waits until the box is gone.
    bool Answer(const MessageBoxInfo& box, int buttonId) const;

    // Posts a key press to the control that has the keyboard focus.
    void PressKey(WORD virtualKey) const;
    void Close() const;  // WM_CLOSE to the main window, as the close box does
    // WM_CLOSE posted to every visible top-level window of the program, as taskkill without /f does.
    void CloseAllWindows() const;
    // Ends the process from outside at once, as taskkill /f or a crash does.
    void Kill() const;
    bool WaitForExit(DWORD timeoutMs = kWaitMs) const;
    bool Running() const;

private:
    PROCESS_INFORMATION process_{};
    DWORD pid_ = 0;
    HWND main_ = nullptr;
    mutable HWND syncTarget_ = nullptr;
    mutable unsigned syncToken_ = 0;
};

// The first visible top-level window of the process with that class and caption (nullptr: any);
// nullptr when there is none.
HWND FindTopLevel(DWORD pid, const wchar_t* className, const wchar_t* caption);
// Every top-level window of any process with that class, shown or not.
std::vector<HWND> TopLevelWindowsOfClass(const wchar_t* className);

// Starts the program with `arguments` and waits for it to end by itself; its exit code, or nullopt when
// it did not end within the timeout (it is then ended).
std::optional<DWORD> RunToExit(const std::wstring& workdir, const std::wstring& arguments,
                               DWORD timeoutMs = kWaitMs);

// A file another program keeps open without sharing it (nobody else may read, write, rename or delete
// it), until Release or the object's end.
class HeldFile {
public:
    explicit HeldFile(const std::wstring& path);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Release();
    // Lets go after `ms` from now, from a thread of its own; the object must outlive that.
    void ReleaseAfter(DWORD ms);

private:
    HANDLE handle_;
    HANDLE releaser_ = nullptr;
};

// Reading controls.
std::wstring Text(HWND control);
std::wstring ClassName(HWND window);
bool Visible(HWND control);  // its own visible style, whatever its parents show
bool Enabled(HWND control);
int CheckState(HWND button);  // BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE
SIZE ClientSize(HWND window);
// Left, top (relative to the main window's client area), width and height of the control's window.
RECT PlaceIn(HWND main, HWND control);

// The tool tip the program shows over one of its controls; "" when it has none.
std::wstring ToolTip(const App& app, HWND control);

// List boxes and combo boxes alike.
std::vector<std::wstring> Items(HWND list);
int Selection(HWND list);  // -1 when none
std::wstring SelectedText(HWND list);
// Index of the first entry for which `match` is true, or -1.
int FindItem(HWND list, const std::wstring& text, bool ignoreCase = false);
int FindItemStartingWith(HWND list, const std::wstring& prefix, bool ignoreCase = true);

// Acting like a user. Clicks and notifications are posted, so a handler that opens a modal box does not
// block the driver.
void Click(HWND button);
void Type(HWND edit, const std::wstring& text);
// Selects an entry and tells the parent as a mouse click would (LBN_SELCHANGE or CBN_SELCHANGE).
void Choose(HWND list, int index);
// Selects an entry and double clicks it (LBN_DBLCLK).
void Open(HWND list, int index);

// Screen and files.
bool SaveScreenshot(const std::wstring& bmpPath);
void Screenshot(const std::wstring& name);  // "main" -> <screens>\main.bmp
std::optional<std::string> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
// Creates a folder and its parents.
void MakeFolders(const std::wstring& path);
std::string Cp1252(const std::wstring& text);
// Today's date in the user's short date format, as the program writes it into its log.
std::wstring ShortDate();

}  // namespace e2e
