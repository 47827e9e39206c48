// How a folder and a name make a path, for every place that builds one.
#pragma once

#include <string>

namespace tesoro {

// The folder, a backslash unless the folder already ends in one (a drive root), and the name.
inline std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    return folder.ends_with(L'\\') ? folder + name : folder + L'\\' + name;
}

}  // namespace tesoro
