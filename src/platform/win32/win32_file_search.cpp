// Searches, and the matching and order of names as the system's own searches and lists take them.
#include <algorithm>
#include <utility>

#include "platform/paths.h"
#include "platform/win32/win32_file_system_parts.h"

namespace tesoro::win32_detail {

using win32::UniqueSearch;

namespace {

bool IsOrdinary(DWORD attributes) { return !(attributes & (FILE_ATTRIBUTE_DIRECTORY | kHiddenOrSystem)); }

// Whether a search failed because the folder it looked in is missing. A file standing where the folder
// should be counts as missing too, though some systems call that an invalid name.
bool IsMissingFolder(const std::wstring& pattern, DWORD error) {
    if (error == ERROR_PATH_NOT_FOUND) return true;
    if (error != ERROR_DIRECTORY && error != ERROR_INVALID_NAME) return false;
    const std::size_t slash = pattern.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return false;
    const DWORD attributes = GetFileAttributesW(ApiPath(pattern.substr(0, slash)).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    const DWORD folderError = GetLastError();
    return folderError == ERROR_FILE_NOT_FOUND || folderError == ERROR_PATH_NOT_FOUND;
}

bool Glob(std::wstring_view name, std::wstring_view pattern) {
    std::size_t n = 0, p = 0, starP = std::wstring_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
            ++n, ++p;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::wstring_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

// The bytes by which the system orders a name, letter case ignored: comparing two keys gives what
// comparing the two names does.
std::string SortKey(const std::wstring& name) {
    constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
    std::string key(8 * name.size() + 16, '\0');
    int size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, name.c_str(), -1,
                             reinterpret_cast<LPWSTR>(key.data()), static_cast<int>(key.size()), nullptr,
                             nullptr, 0);
    if (size == 0) {
        size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, name.c_str(), -1, nullptr, 0, nullptr, nullptr,
                             0);
        key.assign(static_cast<std::size_t>(std::max(size, 0)), '\0');
        size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, name.c_str(), -1,
                             reinterpret_cast<LPWSTR>(key.data()), size, nullptr, nullptr, 0);
    }
    key.resize(static_cast<std::size_t>(std::max(size, 0)));
    return key;
}

}  // namespace

// Letter case as the system's own matching of file names ignores it: by the system's case table, not
// ASCII's rule alone nor the C library's locale.
std::wstring UpperAsFileNames(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// What lists and searches show: ordinary files, our temporaries left out even where the system lost
// their hidden mark.
bool IsListedFile(DWORD attributes, const std::wstring& name) {
    return IsOrdinary(attributes) && !IsTemporaryFileName(name);
}

bool IsListed(const WIN32_FIND_DATAW& entry) { return IsListedFile(entry.dwFileAttributes, entry.cFileName); }

// What folder lists show: the subfolders the user can see.
bool IsListedFolder(DWORD attributes, std::wstring_view name) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & kHiddenOrSystem) && name != L"." &&
           name != L"..";
}

// Visits the entries a search finds until `stop` returns true, and says whether it did. A search that
// finds nothing is not an error; nor is a missing folder when `missingFolderIsEmpty`.
bool Search(const std::wstring& pattern, DWORD flags, bool missingFolderIsEmpty, const EntryVisitor& stop) {
    WIN32_FIND_DATAW entry;
    const UniqueSearch found(FindFirstFileExW(ApiPath(pattern).c_str(), FindExInfoBasic, &entry,
                                              FindExSearchNameMatch, nullptr, flags));
    if (!found) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return false;
        if (missingFolderIsEmpty && IsMissingFolder(pattern, error)) return false;
        ThrowApiError("FindFirstFileExW", error);
    }
    do {
        if (stop(entry)) return true;
    } while (FindNextFileW(found.get(), &entry));
    DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) ThrowApiError("FindNextFileW", error);
    return false;
}

// The system's search also matches 8.3 short names ("REPORT~1.BAK" stands for "report.bak2"); a list
// that shows what a pattern names must hold only the names that match it themselves.
bool NameMatches(const std::wstring& name, const std::wstring& pattern) {
    std::wstring n = UpperAsFileNames(name), p = UpperAsFileNames(pattern);
    if (Glob(n, p)) return true;
    if (n.find(L'.') != std::wstring::npos) return false;
    // As in the system's matching, "x.*" also takes a name without extension, and "x." takes only those.
    if (p.ends_with(L".*")) return Glob(n, std::wstring_view(p).substr(0, p.size() - 2));
    if (p.ends_with(L".")) return Glob(n, std::wstring_view(p).substr(0, p.size() - 1));
    return false;
}

// In the system's order of names, letter case ignored. Each name's key is made once: for a folder of
// thousands of files that is far quicker than comparing the names pair by pair.
void SortNames(std::vector<std::wstring>& names) {
    std::vector<std::pair<std::string, std::wstring>> keyed;
    keyed.reserve(names.size());
    for (std::wstring& name : names) keyed.emplace_back(SortKey(name), std::move(name));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].second);
}

// Some systems report a name they refuse as merely not found by a search; asking for the name itself
// tells the two apart (a name with wildcards cannot be asked for).
void ConfirmNotFound(const std::wstring& path) {
    const std::wstring name = NameOf(path);
    if (name.empty() || name.find_first_of(L"*?") != std::wstring::npos) return;
    if (GetFileAttributesW(ApiPath(path).c_str()) != INVALID_FILE_ATTRIBUTES) return;
    DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        ThrowApiError("GetFileAttributesW", error);
}

// A path the search would read as a pattern (its own wildcards, and the system's <, > and " that it
// takes as wildcards too), or one naming something beyond a file (a stream after a colon) or that no
// file can be named: only the search answers for those exactly.
bool NeedsSearch(const std::wstring& path) {
    for (std::size_t i = 0; i < path.size(); ++i) {
        const wchar_t c = path[i];
        if (c < 32 || std::wstring_view(L"*?<>\"|").find(c) != std::wstring_view::npos) return true;
        if (c == L':' && i != 1) return true;
    }
    return false;
}

// 0 when the folder exists and its entries can be listed, else the error that prevents it.
DWORD FolderReadError(const std::wstring& folder) {
    DWORD attributes = GetFileAttributesW(ApiPath(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError();
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return ERROR_DIRECTORY;
    WIN32_FIND_DATAW entry;
    const UniqueSearch found(FindFirstFileExW(ApiPath(JoinPath(folder, L"*")).c_str(), FindExInfoBasic,
                                              &entry, FindExSearchNameMatch, nullptr, 0));
    if (!found) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? 0 : error;  // an empty root has no "." entry
    }
    return 0;
}

}  // namespace tesoro::win32_detail
