// A started main window on the fake machine, with the steps a user takes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "copy_log/log_file.h"
#include "doubles/fake_platform.h"
#include "main_window/file_names.h"
#include "main_window/frm_main.h"
#include "platform/ascii.h"

namespace tesoro::testing {

// Controls of different kinds as one list, to check what they share.
template <typename... C>
std::vector<Control*> Controls(C&... controls) {
    return {&controls...};
}

// Entries 1 to count of a log.
inline std::vector<std::wstring> EntriesOf(const LogEntries& log) {
    std::vector<std::wstring> lines;
    for (int i = 1; i <= log.Count(); ++i) lines.push_back(log.Entry(i));
    return lines;
}

class MainWindowTest : public ::testing::Test {
protected:
    FakePlatform fake;
    std::unique_ptr<FrmMain> form;

    // Builds and loads the window on the machine set up so far.
    FrmMain& Start() {
        form = std::make_unique<FrmMain>(fake.platform);
        form->Form_Load();
        return *form;
    }

    void OpenFolder(const std::wstring& path) { form->DirFuente.SetPath(path); }

    void ClickFile(const std::wstring& name) { ClickFileIn(*form, name); }
    static void ClickFileIn(FrmMain& f, const std::wstring& name) {
        const auto& items = f.FileFuente.Items();
        const auto it = std::find(items.begin(), items.end(), name);
        ASSERT_NE(it, items.end()) << "not listed";
        f.FileFuente.SelectItem(static_cast<int>(it - items.begin()));
    }
    bool Listed(const std::wstring& name) const {
        const auto& items = form->FileFuente.Items();
        return std::find(items.begin(), items.end(), name) != items.end();
    }

    // Picks the entry of a drive list that names this drive letter, as a user would.
    static void ChooseDrive(DriveList& list, wchar_t letter) {
        for (const auto& item : list.Items()) {
            if (AsciiUpper(item[0]) == letter) return list.SetDrive(item);
        }
        FAIL() << "drive not listed";
    }

    // The log as read from TESORO.DAT: in the file and in the window alike, as they are after start. (A
    // line too long for a record, which only a view test shows, stays out of the file.)
    void SetLog(std::vector<std::wstring> entries) {
        if (auto bytes = SerializeLogFile(LogEntries(entries), fake.codec)) fake.fs.AddFile(kLogPath, *bytes);
        form->Log = LogEntries(std::move(entries));
    }
    static inline const std::wstring kLogPath = L"C:\\Windows\\Temp\\TESORO.DAT";

    // Ends the window through its exit button; the fake process ends by throwing.
    void Exit() { EXPECT_THROW(form->CmdSalir_Click(), ProcessEnded); }

    const std::vector<ScriptedDialogs::Message>& Messages() const { return fake.dialogs.messages; }

    // The answers the next message boxes get, in order.
    void Answer(std::initializer_list<MsgAnswer> answers) {
        fake.dialogs.answers.insert(fake.dialogs.answers.end(), answers);
    }

    // A log line as a copy made on the fake clock's day writes it.
    static std::wstring LogLine(const std::wstring& source, const std::wstring& copy) {
        return L"7/12/2026:  " + source + L" -> " + copy;
    }
};

}  // namespace tesoro::testing
