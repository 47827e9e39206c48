// Shared steps of the scenarios: test folders, the copy log's bytes, and waits for what the program
// shows.
#pragma once

#include <string>
#include <vector>

#include "driver.h"
#include "framework.h"

namespace e2e {

// Where the program keeps its log in the test prefix (C:\windows\temp exists there).
inline const std::wstring kLogPath = L"C:\\windows\\temp\\TESORO.DAT";
inline const std::wstring kPlaceholder = L"¿?.BAK";
inline const std::wstring kDone = L"La Copia de Seguridad se realizó con éxito.";
inline const std::wstring kDoneTitle = L"Resultado Copia de Seguridad";

// A fresh folder C:\e2e\<name> for one scenario; `files` maps relative paths to contents.
std::wstring Folder(const std::wstring& name,
                    const std::vector<std::pair<std::wstring, std::string>>& files = {});

// Every name in a folder, hidden ones included, sorted.
std::vector<std::wstring> AllNames(const std::wstring& folder);

// The bytes of TESORO.DAT holding these lines: record 1 = tag 2 and the count, then one length-prefixed
// Windows-1252 line per 128-byte record, zero filler.
std::string LogBytes(const std::vector<std::wstring>& lines);
// The lines stored in TESORO.DAT bytes, decoded from Windows-1252; empty when the bytes are no log.
std::vector<std::wstring> LogLines(const std::string& bytes);

// Waits until the control's text is `expected`; true when it got there.
bool WaitForText(HWND control, const std::wstring& expected, DWORD timeoutMs = kWaitMs);
// Waits until the list's selected entry begins with `prefix` (letter case ignored).
bool WaitForSelection(HWND list, const std::wstring& prefix, DWORD timeoutMs = kWaitMs);
bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix);
bool Contains(const std::vector<std::wstring>& items, const std::wstring& item);

// Opens the entry `name` of a folder list (double click) and waits until the program has handled it.
void OpenFolder(const App& app, int listId, const std::wstring& name);
// Clicks the entry `name` of the source file list and waits until the program has handled it.
void ClickFile(const App& app, const std::wstring& name);
// Picks a drive by letter ("a:") in a drive list.
void ChooseDrive(const App& app, int listId, const std::wstring& letterColon);

// Moves the pointer to the middle of the control and waits until it is there.
void PointAt(HWND control);
// Real mouse and keyboard input, as the user's hand gives it: it goes to the window under the pointer,
// or to the focused control of the window in front.
void SendMouse(DWORD flags, DWORD data = 0);
// Brings the main window to the front, clicks the control with the left button (it takes the focus as
// it would for a user) and waits until the program has handled it.
void MouseClick(const App& app, HWND control);
// Alt and a letter ('C'), and Esc, with the main window in front.
void PressAltKey(const App& app, WORD letter);
void PressEscape(const App& app);
// The control that has the keyboard focus in the program.
HWND Focus(const App& app);

// Checks a message box against its expected text, title, buttons and icon.
void CheckBox(const char* file, int line, const std::optional<MessageBoxInfo>& box, const std::wstring& text,
              const std::wstring& title, const std::vector<int>& buttons, const std::wstring& icon);
#define CHECK_BOX(box, text, title, buttons, icon) \
    ::e2e::CheckBox(__FILE__, __LINE__, box, text, title, buttons, icon)

// Presses CmdCopiar, answers Yes when it asks to replace an existing copy (`replacing`), then checks and
// answers the success box.
void CopyAndConfirm(const App& app, bool replacing = false);

// Closes the program with WM_CLOSE and requires it to end.
void CloseAndWait(const App& app);

}  // namespace e2e
