// Choosing the source from outside the window: a path given on the command line (so that a shortcut in
// the user's "Send to" folder backs up the chosen file) or dropped onto the window. The path is chosen
// through the source lists themselves, drive, folder, then file, so that every change handler runs
// exactly as when the user picks them.
#include <algorithm>
#include <optional>
#include <vector>

#include "main_window/file_names.h"
#include "main_window/frm_main.h"
#include "platform/ascii.h"

namespace tesoro {

namespace {

const wchar_t kNotFoundTitle[] = L"Error al Acceder al archivo";

// The names of an absolute drive path ("C:\Datos\x.doc" or "C:/Datos/"): "." dropped and ".." followed.
// Empty when the path does not start with a drive root (a network or relative path).
std::optional<std::vector<std::wstring>> SplitDrivePath(const std::wstring& path) {
    const bool rooted = path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == L':' &&
                        (path[2] == L'\\' || path[2] == L'/');
    if (!rooted) return std::nullopt;
    std::vector<std::wstring> names;
    std::wstring name;
    for (std::size_t i = 3; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != L'\\' && path[i] != L'/') {
            name += path[i];
            continue;
        }
        if (name == L"..") {
            if (!names.empty()) names.pop_back();
        } else if (!name.empty() && name != L".") {
            names.push_back(name);
        }
        name.clear();
    }
    return names;
}

// The name as listed, letter case and all, or the name as given when the list does not show it.
std::wstring ListedName(FileSystem& fs, const std::vector<std::wstring>& listed, const std::wstring& name) {
    for (const std::wstring& each : listed) {
        if (fs.SameName(each, name)) return each;
    }
    return name;
}

}  // namespace

bool FrmMain::SourceListsInUse() const {
    return !DeleteMode && TakesKeys(DrvFuente) && TakesKeys(DirFuente) && TakesKeys(FileFuente);
}

bool FrmMain::SourceDropped(const std::wstring& path) {
    if (handlersRunning_ > 0 || !SourceListsInUse()) {
        platform_.dialogs.Beep();
        return false;
    }
    RunHandler([&] { OpenSourcePath(path); });
    return true;
}

void FrmMain::PathHandedOver(const std::wstring& path) {
    form.BringToFront();
    if (!path.empty()) SourceDropped(path);
}

// A path that cannot be chosen changes nothing: a drive that cannot be read gets the drive lists' own
// message, anything else one of ours.
void FrmMain::OpenSourcePath(const std::wstring& path) {
    const auto names = SplitDrivePath(path);
    const wchar_t letter = names ? AsciiUpper(path[0]) : L'\0';
    const std::wstring drive{letter, L':'};
    const bool listed = names && std::any_of(DrvFuente.Items().begin(), DrvFuente.Items().end(),
                                             [&](const std::wstring& d) { return SameDrive(d, drive); });
    if (!listed) return ShowSourceNotFound(path);
    try {
        platform_.fs.DriveCurrentFolder(letter);
    } catch (const PlatformError&) {
        return ShowDriveUnavailable();
    }
    const std::optional<SourceOnDisk> found = FindSource(drive, *names);
    if (!found) return ShowSourceNotFound(path);

    if (!SameDrive(DrvFuente.Drive(), drive)) {
        DrvFuente.SetDrive(drive);
        if (!SameDrive(DrvFuente.Drive(), drive)) return;  // it could not be read after all, and went back
    }
    try {
        DirFuente.SetPath(found->folder);
    } catch (const PlatformError&) {
        return ShowSourceNotFound(path);
    }
    if (found->file.empty()) return;
    const auto& items = FileFuente.Items();
    const auto file = std::find(items.begin(), items.end(), found->file);
    if (file == items.end()) return ShowSourceNotFound(path);
    FileFuente.SelectItem(static_cast<int>(file - items.begin()));
}

// Walks the path down from the drive's root, taking each name as the folder list shows it. The last name
// may be a folder, or a file the file list shows (an ordinary file matching its pattern).
std::optional<FrmMain::SourceOnDisk> FrmMain::FindSource(const std::wstring& drive,
                                                         const std::vector<std::wstring>& names) {
    FileSystem& fs = platform_.fs;
    try {
        std::wstring folder = drive + L'\\';
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::wstring next = JoinPath(folder, ListedName(fs, fs.ListFolders(folder), names[i]));
            if (fs.FolderExists(next)) {
                folder = next;
                continue;
            }
            if (i + 1 < names.size()) return std::nullopt;
            const auto files = fs.ListFiles(folder, FileFuente.Pattern());
            const std::wstring file = ListedName(fs, files, names[i]);
            if (std::find(files.begin(), files.end(), file) == files.end()) return std::nullopt;
            return SourceOnDisk{folder, file};
        }
        return SourceOnDisk{folder, L""};
    } catch (const PlatformError&) {
        return std::nullopt;
    }
}

void FrmMain::ShowSourceNotFound(const std::wstring& path) {
    Show(L"No se encuentra el archivo o la carpeta:\r\r" + path, kNotFoundTitle, MsgIcon::Critical);
}

}  // namespace tesoro
