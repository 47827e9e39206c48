#include "platform/services.h"

#include <unordered_set>

namespace tesoro {

FolderContents FileSystem::ReadFolder(const std::wstring& folder, const std::wstring& pattern) {
    FolderContents contents{ListFolders(folder), {}};
    contents.files = ListFiles(folder, pattern);
    return contents;
}

std::vector<std::optional<FileLookup>> FileSystem::LookUpOrdinaryFiles(
    const std::vector<std::wstring>& paths) {
    return LookUpEach(paths, [&](std::size_t index) { return LookUpOrdinaryFile(paths[index]); });
}

std::vector<std::optional<FileLookup>> FileSystem::LookUpEach(
    const std::vector<std::wstring>& paths, const std::function<FileLookup(std::size_t)>& lookUp) {
    std::vector<std::optional<FileLookup>> answers(paths.size());
    std::unordered_set<std::wstring> missingFolders;  // as written, so one text, one folder
    for (std::size_t k = 0; k < paths.size(); ++k) {
        const std::size_t slash = paths[k].find_last_of(L"\\/");
        const bool inFolder = slash != std::wstring::npos && slash > 0;
        auto folder = [&] { return paths[k].substr(0, slash); };
        if (inFolder && !missingFolders.empty() && missingFolders.contains(folder())) {
            answers[k] = FileLookup::FolderMissing;
            continue;
        }
        try {
            answers[k] = lookUp(k);
        } catch (const PlatformError&) {
            continue;
        }
        if (answers[k] == FileLookup::FolderMissing && inFolder) missingFolders.insert(folder());
    }
    return answers;
}

}  // namespace tesoro
