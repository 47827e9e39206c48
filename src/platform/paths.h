// How a folder and a name make a path, for every place that builds one, and the form of the folder paths
// the lists show.
#pragma once

#include <string>
#include <vector>

namespace tesoro {

class FileSystem;

// The folder, a backslash unless the folder already ends in one (a drive root), and the name.
inline std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    return folder.ends_with(L'\\') ? folder + name : folder + L'\\' + name;
}

// An absolute folder path in the lists' own form: "C:\Datos", "C:\" at a root; "." and ".." followed.
// Throws PlatformError for anything but a path from a drive's root.
std::wstring NormalizeFolderPath(const std::wstring& value);
// The names of the folders of such a path, below its root.
std::vector<std::wstring> FoldersBelowRoot(const std::wstring& path);
// Where the lists start: the process's current folder, or C:\ when that is no drive folder (a network
// path).
std::wstring StartFolder(FileSystem& fs);

}  // namespace tesoro
