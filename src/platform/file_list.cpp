#include "platform/file_list.h"

#include <utility>

#include "platform/paths.h"

namespace tesoro {

FileList::FileList(int id, Control* parent, Rect rect, FileSystem& fs)
    : Control(Kind::FileList, id, parent, rect), fs_(fs), path_(StartFolder(fs)) {
    try {
        Load(path_, pattern_, false);
    } catch (const PlatformError&) {
        // The start-up folder cannot be read: the list starts empty.
    }
}

FileList::FileList(int id, Control* parent, Rect rect, FileSystem& fs, FolderList& sameFolder)
    : Control(Kind::FileList, id, parent, rect), fs_(fs), path_(sameFolder.Path()) {
    try {
        Load(path_, pattern_, false, sameFolder.TakeFiles(pattern_));
    } catch (const PlatformError&) {
        // The start-up folder cannot be read: the list starts empty.
    }
}

// Reads the folder first (unless `read` holds what it would read), so that a failure leaves the list as
// it was.
void FileList::Load(const std::wstring& path, const std::wstring& pattern, bool keepSelection, Names read) {
    std::vector<std::wstring> items = read ? std::move(*read) : fs_.ListFiles(path, pattern);
    const std::wstring selected = keepSelection ? FileName() : L"";
    path_ = path;
    pattern_ = pattern;
    items_ = std::move(items);
    index_ = -1;
    for (size_t i = 0; !selected.empty() && i < items_.size(); ++i)
        if (items_[i] == selected) index_ = static_cast<int>(i);
    Notify(Property::Items);
    Notify(Property::Selection);
}

void FileList::SetPath(const std::wstring& folder) { MoveTo(NormalizeFolderPath(folder), std::nullopt); }

void FileList::Follow(FolderList& folders) { MoveTo(folders.Path(), folders.TakeFiles(pattern_)); }

void FileList::MoveTo(const std::wstring& path, Names read) {
    const bool moved = path != path_;
    Load(path, pattern_, !moved, std::move(read));
    if (!moved) return;
    Notify(Property::Value);
    if (onPathChange) onPathChange();
}

void FileList::SetPattern(const std::wstring& pattern) { Load(path_, pattern, pattern == pattern_); }

const std::wstring& FileList::FileName() const {
    static const std::wstring kNone;
    return index_ >= 0 ? items_[index_] : kNone;
}

void FileList::SelectItem(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    index_ = index;
    Notify(Property::Selection);
    if (onClick) onClick();
}

void FileList::Refresh() { Load(path_, pattern_, true); }

void FileList::Clear(const std::wstring& pattern) {
    pattern_ = pattern;
    items_.clear();
    index_ = -1;
    Notify(Property::Items);
    Notify(Property::Selection);
}

}  // namespace tesoro
