#include "platform/controls.h"

#include <cwctype>
#include <utility>

#include "platform/ascii.h"
#include "platform/paths.h"
#include "platform/services.h"

namespace tesoro {
namespace {

// The letters of the drive roots the system reports, in its order.
std::vector<wchar_t> DriveLetters(Drives& drives) {
    std::wstring buffer(64, L' ');
    std::uint32_t n = drives.LogicalDriveStrings(64, buffer);
    if (n > 64) {  // too many drives for the first buffer: ask again with the size the system wants
        buffer.assign(n, L' ');
        n = drives.LogicalDriveStrings(n, buffer);
        if (n >= buffer.size()) return {};
    }
    std::vector<wchar_t> letters;
    for (size_t start = 0; start < n;) {
        size_t end = buffer.find(L'\0', start);
        if (end == std::wstring::npos || end > n) end = n;
        if (end > start) letters.push_back(AsciiUpper(buffer[start]));
        start = end + 1;
    }
    return letters;
}

std::wstring DriveEntryText(Drives& drives, wchar_t letter) {
    std::wstring label;
    try {
        label = drives.VolumeLabel(letter);
    } catch (const PlatformError&) {
        // A drive that cannot be read is still listed, without its label.
    }
    std::wstring text{AsciiLower(letter), L':'};
    if (!label.empty()) text += L" [" + label + L"]";
    return text;
}

// "c:" or "c: [LABEL]", as a drive list shows a drive; "c:\..." is a path.
bool IsDriveValue(const std::wstring& value) {
    return value.size() >= 2 && IsAsciiLetter(value[0]) && value[1] == L':' &&
           (value.size() == 2 || value[2] == L' ');
}

std::vector<std::wstring> SplitFolders(const std::wstring& path) {
    std::vector<std::wstring> names;
    size_t start = 3;
    while (start < path.size()) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

// An absolute folder path in the lists' own form: "C:\Datos", "C:\" at a root; "." and ".." followed.
std::wstring NormalizeFolderPath(const std::wstring& value) {
    std::wstring path = value;
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    if (path.size() < 3 || !IsAsciiLetter(path[0]) || path[1] != L':' || path[2] != L'\\')
        throw PlatformError("not a folder path");
    std::vector<std::wstring> names;
    for (auto& name : SplitFolders(path)) {
        if (name.empty() || name == L".") continue;
        if (name == L"..") {
            if (!names.empty()) names.pop_back();
            continue;
        }
        names.push_back(std::move(name));
    }
    std::wstring normal{AsciiUpper(path[0]), L':', L'\\'};
    for (const auto& name : names) normal = JoinPath(normal, name);
    return normal;
}

// The path's folders from the root down, opened, then the subfolders of the last one.
std::vector<FolderList::Item> FolderItems(const std::wstring& path,
                                          const std::vector<std::wstring>& subfolders) {
    std::vector<FolderList::Item> items;
    std::wstring walked = path.substr(0, 3);
    items.push_back({std::wstring{AsciiLower(path[0]), L':', L'\\'}, walked, 0, true});
    for (const auto& name : SplitFolders(path)) {
        walked = JoinPath(walked, name);
        items.push_back({name, walked, static_cast<int>(items.size()), true});
    }
    const int depth = static_cast<int>(items.size());
    for (const auto& name : subfolders) items.push_back({name, JoinPath(path, name), depth, false});
    return items;
}

// Where the lists start: the process's current folder, or C:\ when that is no drive folder (a network path).
std::wstring StartFolder(FileSystem& fs) {
    try {
        return NormalizeFolderPath(fs.CurrentFolder());
    } catch (const PlatformError&) {
        return L"C:\\";
    }
}

}  // namespace

Control::Control(Kind kind, int id, Control* parent, Rect rect)
    : kind(kind), id(id), parent(parent), rect_(rect) {}

// ---- The keyboard and the window's text ----

namespace {

bool IsPicturePushControl(const Control& control) {
    return control.picture != 0 && (control.kind == Kind::Button || control.kind == Kind::CheckBox);
}

// The letter after the caption's lone "&", 0 when it has none ("&&" is an "&" shown as it is).
wchar_t AccessKey(const std::wstring& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] != L'&') return caption[i + 1];
        ++i;
    }
    return 0;
}

std::wstring DoubledAmpersands(const std::wstring& text) {
    std::wstring doubled;
    doubled.reserve(text.size());
    for (wchar_t c : text) {
        doubled += c;
        if (c == L'&') doubled += L'&';
    }
    return doubled;
}

}  // namespace

bool TakesKeys(const Control& control) {
    for (const Control* c = &control; c; c = c->parent) {
        if (!c->Visible() || !c->Enabled() || c->KeyboardReach() == Reach::Covered) return false;
    }
    return true;
}

bool TabStopsAt(const Control& control) {
    return TakesKeys(control) && control.KeyboardReach() != Reach::SkippedByTab;
}

Control* AccessKeyTarget(const std::vector<Control*>& controls, wchar_t key) {
    for (Control* control : controls) {
        if (control->kind != Kind::Button && control->kind != Kind::CheckBox) continue;
        const wchar_t own = AccessKey(control->Caption());
        if (own != 0 && std::towupper(own) == std::towupper(key))
            return TakesKeys(*control) ? control : nullptr;
    }
    return nullptr;
}

std::wstring WindowText(const Control& control) {
    if (!IsPicturePushControl(control)) return control.Caption();
    return DoubledAmpersands(control.ToolTip().empty() ? control.Caption() : control.ToolTip());
}

// ---- DriveList ----

namespace {

std::vector<std::wstring> DriveEntries(Drives& drives) {
    std::vector<std::wstring> items;
    for (wchar_t letter : DriveLetters(drives)) items.push_back(DriveEntryText(drives, letter));
    return items;
}

int IndexOfDrive(const std::vector<std::wstring>& items, wchar_t letter) {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i][0] == AsciiLower(letter)) return static_cast<int>(i);
    return -1;
}

// The process's current drive, else the first drive listed.
int CurrentDriveIndex(const std::vector<std::wstring>& items, FileSystem& fs) {
    const int index = IndexOfDrive(items, StartFolder(fs)[0]);
    return index >= 0 || items.empty() ? index : 0;
}

}  // namespace

DriveList::DriveList(int id, Control* parent, Rect rect, Drives& drives, FileSystem& fs)
    : Control(Kind::DriveList, id, parent, rect),
      drives_(drives),
      fs_(fs),
      items_(DriveEntries(drives)),
      index_(CurrentDriveIndex(items_, fs)) {}

DriveList::DriveList(int id, Control* parent, Rect rect, const DriveList& sameDrives)
    : Control(Kind::DriveList, id, parent, rect),
      drives_(sameDrives.drives_),
      fs_(sameDrives.fs_),
      items_(sameDrives.items_),
      index_(sameDrives.index_) {}

const std::wstring& DriveList::Drive() const {
    static const std::wstring kNone;
    return index_ >= 0 ? items_[index_] : kNone;
}

void DriveList::SetDrive(const std::wstring& value) {
    const int index = value.empty() ? -1 : IndexOfDrive(items_, value[0]);
    if (index < 0) throw PlatformError("no such drive");
    if (index == index_) return;
    index_ = index;
    Notify(Property::Selection);
    if (onChange) onChange();
}

void DriveList::Refresh() {
    const wchar_t selected = index_ >= 0 ? items_[index_][0] : L'\0';
    items_ = DriveEntries(drives_);
    index_ = IndexOfDrive(items_, selected);
    const bool lost = index_ < 0;
    if (lost) index_ = CurrentDriveIndex(items_, fs_);
    Notify(Property::Items);
    Notify(Property::Selection);
    if (lost && index_ >= 0 && onChange) onChange();
}

// ---- FolderList ----

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
    index_ = static_cast<int>(SplitFolders(path).size());
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

// ---- FileList ----

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
