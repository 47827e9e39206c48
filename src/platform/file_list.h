// The file list, a model the window shows in a list box.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/folder_list.h"
#include "platform/services.h"

namespace tesoro {

// File list: the ordinary files of its folder that match its pattern, hidden and system files left out.
class FileList : public Control {
public:
    // The pattern a list starts with: every file.
    static constexpr const wchar_t* kStartPattern = L"*.*";

    FileList(int id, Control* parent, Rect rect, FileSystem& fs);
    // A list made right after a folder list: it starts in that list's folder, taking the files read along
    // with it when there are.
    FileList(int id, Control* parent, Rect rect, FileSystem& fs, FolderList& sameFolder);
    std::function<void()> onPathChange;
    std::function<void()> onClick;

    const std::wstring& Path() const { return path_; }
    void SetPath(
        const std::wstring& folder);  // raises PathChange when the folder differs; throws PlatformError
    // Moves to the folder list's path as SetPath does, taking the files it read along when it did.
    void Follow(FolderList& folders);
    const std::wstring& Pattern() const { return pattern_; }
    void SetPattern(const std::wstring& pattern);
    const std::vector<std::wstring>& Items() const { return items_; }
    int ListIndex() const { return index_; }
    const std::wstring& FileName() const;  // the selected file's name, empty when none
    void SelectItem(int index);            // the user selects a file: raises Click
    void Refresh();                        // reads the folder again, keeping the selected name if still there
    void Clear(const std::wstring& pattern);  // no files under the pattern: for a folder that cannot be read

private:
    using Names = std::optional<std::vector<std::wstring>>;
    void MoveTo(const std::wstring& path, Names read);
    void Load(const std::wstring& path, const std::wstring& pattern, bool keepSelection, Names read = {});
    FileSystem& fs_;
    std::wstring path_;
    std::wstring pattern_ = kStartPattern;
    std::vector<std::wstring> items_;
    int index_ = -1;
};

}  // namespace tesoro
