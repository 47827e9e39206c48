#include "platform/folder_list.h"

#include <utility>

#include "platform/ascii.h"
#include "platform/file_list.h"
#include "platform/paths.h"

namespace tesoro {

namespace {

// "c:" or "c: [LABEL]", as a drive list shows a drive; "c:\..." is a path.
bool IsDriveValue(const std::wstring& value) {
    return value.size() >= 2 && IsAsciiLetter(value[0]) && value[1] == L':' &&
           (value.size() == 2 || value[2] == L' ');
}

// The path's folders from the root down, opened, then the subfolders of the last one.
std::vector<FolderList::Item> FolderItems(const std::wstring& path,
                                          const std::vector<std::wstring>& subfolders) {
    std::vector<FolderList::Item> items;
    std::wstring walked = path.substr(0, 3);
    items.push_back({std::wstring{AsciiLower(path[0]), L':', L'\\'}, walked, 0, true});
    for (const auto& name : FoldersBelowRoot(path)) {
        walked = JoinPath(walked, name);
        items.push_back({name, walked, static_cast<int>(items.size()), true});
    }
    const int depth = static_cast<int>(items.size());
    for (const auto& name : subfolders) items.push_back({name, JoinPath(path, name), depth, false});
    return items;
}

}  // namespace

FolderList::FolderList(int id, Control* parent, Rect rect, FileSystem& fs, const std::wstring& filePattern)
    : Control(Kind::FolderList, id, parent, rect), fs_(fs) {
    const std::wstring current = StartFolder(fs_);
    try {
        Load(current, filePattern);
    } catch (const PlatformError&) {
        // The start-up folder cannot be read: show where it is, without subfolders.
        path_ = current;
        items_ = FolderItems(current, {});
        index_ = static_cast<int>(items_.size()) - 1;
    }
}

FolderList::FolderList(int id, Control* parent, Rect rect, const FolderList& sameFolder)
    : Control(Kind::FolderList, id, parent, rect),
      fs_(sameFolder.fs_),
      path_(sameFolder.path_),
      items_(sameFolder.items_),
      index_(sameFolder.index_) {}

// Reads everything first, so that a failure leaves the list as it was. With a file pattern the files are
// read too, in the same reading where the file system can.
void FolderList::Load(const std::wstring& path, const std::wstring& filePattern) {
    if (filePattern.empty()) {
        Show(path, FolderItems(path, fs_.ListFolders(path)), std::nullopt);
        return;
    }
    FolderContents contents = fs_.ReadFolder(path, filePattern);
    Show(path, FolderItems(path, contents.folders), FilesRead{filePattern, std::move(contents.files)});
}

// The path's own folder is highlighted.
void FolderList::Show(const std::wstring& path, std::vector<Item> items, std::optional<FilesRead> files) {
    const bool moved = path != path_;
    path_ = path;
    items_ = std::move(items);
    filesRead_ = std::move(files);
    index_ = static_cast<int>(FoldersBelowRoot(path).size());
    Notify(Property::Items);
    Notify(Property::Selection);
    if (moved) Notify(Property::Value);
}

void FolderList::SetPath(const std::wstring& value) {
    std::wstring path;
    if (IsDriveValue(value)) {
        path = NormalizeFolderPath(fs_.DriveCurrentFolder(value[0]));
    } else {
        path = NormalizeFolderPath(value);
        if (!fs_.FolderExists(path)) throw PlatformError("folder not found");
    }
    const bool moved = path != path_;
    // Only a move takes a file list along: that is when it reads the folder too.
    Load(path, moved && filesFor_ ? filesFor_->Pattern() : L"");
    if (moved && onChange) onChange();
}

void FolderList::Highlight(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size()) || index == index_) return;
    index_ = index;
    Notify(Property::Selection);
}

void FolderList::OpenItem(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    SetPath(items_[index].path);
}

void FolderList::Refresh() { Load(path_, L""); }

void FolderList::Follow(const FolderList& other) {
    const bool moved = other.path_ != path_;
    Show(other.path_, other.items_, std::nullopt);
    if (moved && onChange) onChange();
}

void FolderList::ReadFilesFor(const FileList& files) { filesFor_ = &files; }

std::optional<std::vector<std::wstring>> FolderList::TakeFiles(const std::wstring& pattern) {
    std::optional<FilesRead> files = std::exchange(filesRead_, std::nullopt);
    if (!files || files->pattern != pattern) return std::nullopt;
    return std::move(files->names);
}

}  // namespace tesoro
