#include "platform/paths.h"

#include <utility>

#include "platform/ascii.h"
#include "platform/services.h"

namespace tesoro {

std::vector<std::wstring> FoldersBelowRoot(const std::wstring& path) {
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

std::wstring NormalizeFolderPath(const std::wstring& value) {
    std::wstring path = value;
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    if (path.size() < 3 || !IsAsciiLetter(path[0]) || path[1] != L':' || path[2] != L'\\')
        throw PlatformError("not a folder path");
    std::vector<std::wstring> names;
    for (auto& name : FoldersBelowRoot(path)) {
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

std::wstring StartFolder(FileSystem& fs) {
    try {
        return NormalizeFolderPath(fs.CurrentFolder());
    } catch (const PlatformError&) {
        return L"C:\\";
    }
}

}  // namespace tesoro
