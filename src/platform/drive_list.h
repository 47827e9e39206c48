// The drive list, a model the window shows in a drop-down list.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/services.h"

namespace tesoro {

// Drive list: one entry per drive, "c: [LABEL]" (letter, colon, then the volume label in brackets or the
// network name). The drive value is the text of the selected entry. Starts on the process's current drive.
class DriveList : public Control {
public:
    DriveList(int id, Control* parent, Rect rect, Drives& drives, FileSystem& fs);
    // A second list made at the same moment: it shows what the first one read, without asking every
    // drive for its label again.
    DriveList(int id, Control* parent, Rect rect, const DriveList& sameDrives);
    std::function<void()> onChange;

    const std::wstring& Drive() const;
    // Selects the entry of the drive named by the value's letter; raises Change when that is another drive.
    // Throws PlatformError, changing nothing, when no listed drive has that letter.
    void SetDrive(const std::wstring& value);
    const std::vector<std::wstring>& Items() const { return items_; }
    int ListIndex() const { return index_; }
    // Reads the drives again, keeping the selected drive; when it is gone, selects the current drive.
    void Refresh();

private:
    Drives& drives_;
    FileSystem& fs_;
    std::vector<std::wstring> items_;
    int index_ = -1;
};

// The drive roots the system reports ("A:\", NUL, "C:\", NUL, ..., and the NUL that ends the list), asked
// for in a buffer of 64 characters and again in a larger one when they do not fit; empty when the
// system gives none.
std::wstring ReadDriveRoots(Drives& drives);

}  // namespace tesoro
