#include "platform/drive_list.h"

#include "platform/ascii.h"
#include "platform/paths.h"

namespace tesoro {

std::wstring ReadDriveRoots(Drives& drives) {
    constexpr std::uint32_t kFirstLength = 64;
    std::wstring buffer(kFirstLength, L' ');
    std::uint32_t n = drives.LogicalDriveStrings(kFirstLength, buffer);
    if (n > kFirstLength) {  // too many drives for the first buffer: ask again with the size the system wants
        buffer.assign(n, L' ');
        n = drives.LogicalDriveStrings(n, buffer);
        if (n >= buffer.size()) return {};
    }
    return n == 0 ? std::wstring() : buffer.substr(0, n + 1);
}

namespace {

// The letters of the drive roots the system reports, in its order.
std::vector<wchar_t> DriveLetters(Drives& drives) {
    const std::wstring roots = ReadDriveRoots(drives);
    std::vector<wchar_t> letters;
    for (std::size_t start = 0; start < roots.size();) {
        std::size_t end = roots.find(L'\0', start);
        if (end == std::wstring::npos) end = roots.size();
        if (end > start) letters.push_back(AsciiUpper(roots[start]));
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

}  // namespace tesoro
