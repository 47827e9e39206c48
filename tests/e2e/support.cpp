#include "support.h"

#include <algorithm>
#include <cwctype>

#include "main_window/frm_main_ids.h"

namespace e2e {

std::wstring Folder(const std::wstring& name,
                    const std::vector<std::pair<std::wstring, std::string>>& files) {
    std::wstring root = L"C:\\e2e\\" + name;
    MakeFolders(root);
    for (const auto& [relative, bytes] : files) {
        std::wstring path = root + L"\\" + relative;
        MakeFolders(path.substr(0, path.find_last_of(L'\\')));
        if (!WriteBytes(path, bytes)) throw std::runtime_error("cannot write a test file");
    }
    return root;
}

std::vector<std::wstring> AllNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

std::string Le16(unsigned value) {
    return {static_cast<char>(value & 0xff), static_cast<char>((value >> 8) & 0xff)};
}

unsigned ReadLe16(const std::string& bytes, size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

std::wstring FromCp1252(const std::string& bytes) {
    if (bytes.empty()) return {};
    int size = MultiByteToWideChar(1252, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(size, L'\0');
    MultiByteToWideChar(1252, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), size);
    return out;
}

}  // namespace

std::string LogBytes(const std::vector<std::wstring>& lines) {
    std::string file = Le16(2) + Le16(static_cast<unsigned>(lines.size()));
    file.resize(128, '\0');
    for (const std::wstring& line : lines) {
        std::string text = Cp1252(line);
        std::string record = Le16(static_cast<unsigned>(text.size())) + text;
        record.resize(128, '\0');
        file += record;
    }
    return file;
}

std::vector<std::wstring> LogLines(const std::string& bytes) {
    std::vector<std::wstring> lines;
    if (bytes.size() < 4 || ReadLe16(bytes, 0) != 2) return lines;
    unsigned count = ReadLe16(bytes, 2);
    for (unsigned k = 1; k <= count && (k + 1) * 128 <= bytes.size(); ++k) {
        size_t at = k * 128;
        unsigned length = ReadLe16(bytes, at);
        if (length > 126) break;
        lines.push_back(FromCp1252(bytes.substr(at + 2, length)));
    }
    return lines;
}

bool WaitForText(HWND control, const std::wstring& expected, DWORD timeoutMs) {
    return WaitUntil([&] { return Text(control) == expected; }, timeoutMs);
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() &&
           _wcsicmp(text.substr(0, prefix.size()).c_str(), prefix.c_str()) == 0;
}

bool WaitForSelection(HWND list, const std::wstring& prefix, DWORD timeoutMs) {
    return WaitUntil([&] { return StartsWithNoCase(SelectedText(list), prefix); }, timeoutMs);
}

bool Contains(const std::vector<std::wstring>& items, const std::wstring& item) {
    for (const auto& each : items)
        if (each == item) return true;
    return false;
}

void OpenFolder(const App& app, int listId, const std::wstring& name) {
    HWND list = app.Control(listId);
    int index = FindItem(list, name);
    REQUIRE(
        index >= 0, "the folder list has no entry " + Show(name) + " among: " + [&] {
            std::string all;
            for (const auto& item : Items(list)) all += "\"" + Show(item) + "\" ";
            return all;
        }());
    Open(list, index);
    app.Sync();
}

void ClickFile(const App& app, const std::wstring& name) {
    HWND list = app.Control(tesoro::ids::FileFuente);
    int index = FindItem(list, name);
    REQUIRE(index >= 0, "the file list has no entry " + Show(name));
    Choose(list, index);
    app.Sync();
}

void ChooseDrive(const App& app, int listId, const std::wstring& letterColon) {
    HWND list = app.Control(listId);
    int index = FindItemStartingWith(list, letterColon);
    REQUIRE(index >= 0, "the drive list has no drive " + Show(letterColon));
    Choose(list, index);
    app.Sync();
}

void CheckBox(const char* file, int line, const std::optional<MessageBoxInfo>& box, const std::wstring& text,
              const std::wstring& title, const std::vector<int>& buttons, const std::wstring& icon) {
    if (!box) {
        RecordFailure(file, line, "no message box appeared (expected \"" + Show(text) + "\")");
        return;
    }
    auto expect = [&](bool ok, const std::string& what) {
        if (!ok) RecordFailure(file, line, what);
    };
    expect(box->text == text, "box text is \"" + Show(box->text) + "\", expected \"" + Show(text) + "\"");
    expect(box->title == title,
           "box title is \"" + Show(box->title) + "\", expected \"" + Show(title) + "\"");
    auto names = [](const std::vector<int>& ids) {
        std::string out;
        for (int id : ids) {
            out += id == IDOK      ? "OK "
                   : id == IDYES   ? "Yes "
                   : id == IDNO    ? "No "
                   : id == IDRETRY ? "Retry "
                                   : "Cancel ";
        }
        return out;
    };
    expect(box->buttons == buttons,
           "box buttons are " + names(box->buttons) + ", expected " + names(buttons));
    expect(box->icon == icon, "box icon is " + Show(box->icon) + ", expected " + Show(icon));
}

void CopyAndConfirm(const App& app, bool replacing) {
    Click(app.Control(tesoro::ids::CmdCopiar));
    auto box = app.WaitForMessageBox();
    if (replacing) {
        REQUIRE(box && box->title == L"Archivo Existente" && app.Answer(*box, IDYES),
                "no question to answer Yes");
        app.Sync();
        box = app.WaitForMessageBox();
    }
    CHECK_BOX(box, kDone, kDoneTitle, {IDOK}, L"information");
    REQUIRE(box && app.Answer(*box, IDOK), "cannot answer the success box");
    app.Sync();
}

void PointAt(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    SetCursorPos(middle.x, middle.y);
    WaitUntil([&] {
        POINT at;
        return GetCursorPos(&at) && at.x == middle.x && at.y == middle.y;
    });
}

void SendMouse(DWORD flags, DWORD data) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = data;
    SendInput(1, &input, sizeof input);
}

namespace {

void BringToFront(const App& app) {
    SetForegroundWindow(app.Main());
    WaitUntil([&] { return GetForegroundWindow() == app.Main(); });
}

void SendKeys(const std::vector<std::pair<WORD, DWORD>>& sequence) {
    std::vector<INPUT> keys(sequence.size());
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = sequence[i].first;
        keys[i].ki.dwFlags = sequence[i].second;
    }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

}  // namespace

void MouseClick(const App& app, HWND control) {
    BringToFront(app);
    PointAt(control);
    app.Sync();
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    app.Sync();
}

void PressAltKey(const App& app, WORD letter) {
    BringToFront(app);
    SendKeys({{VK_MENU, 0}, {letter, 0}, {letter, KEYEVENTF_KEYUP}, {VK_MENU, KEYEVENTF_KEYUP}});
    app.Sync();
}

void PressEscape(const App& app) {
    BringToFront(app);
    SendKeys({{VK_ESCAPE, 0}, {VK_ESCAPE, KEYEVENTF_KEYUP}});
}

HWND Focus(const App& app) {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(app.Main(), nullptr), &gui);
    return gui.hwndFocus;
}

void CloseAndWait(const App& app) {
    app.Close();
    REQUIRE(app.WaitForExit(), "the program did not end after WM_CLOSE");
}

}  // namespace e2e
