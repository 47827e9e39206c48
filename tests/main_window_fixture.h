// A started main window on the fake machine, with the steps a user takes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "doubles/fake_platform.h"
#include "main_window/file_names.h"
#include "main_window/frm_main.h"

namespace tesoro::testing {

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

    void ClickFile(const std::wstring& name) {
        const auto& items = form->FileFuente.Items();
        const auto it = std::find(items.begin(), items.end(), name);
        ASSERT_NE(it, items.end()) << "not listed";
        form->FileFuente.SelectItem(static_cast<int>(it - items.begin()));
    }

    // Picks the entry of a drive list that names this drive letter, as a user would.
    static void ChooseDrive(DriveList& list, wchar_t letter) {
        for (const auto& item : list.Items()) {
            if (static_cast<wchar_t>(std::towupper(item[0])) == letter) return list.SetDrive(item);
        }
        FAIL() << "drive not listed";
    }

    // Ends the window through its exit button; the fake process ends by throwing.
    void Exit() { EXPECT_THROW(form->CmdSalir_Click(), ProcessEnded); }

    const std::vector<ScriptedDialogs::Message>& Messages() const { return fake.dialogs.messages; }
};

}  // namespace tesoro::testing
