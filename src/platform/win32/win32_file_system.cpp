#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/ascii.h"
#include "platform/brief_hold.h"
#include "platform/temporary_files.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_system_library.h"

namespace tesoro {
namespace {

using win32_detail::QuietErrorMode;
using win32_detail::ThrowApiError;
using win32_detail::ThrowLastError;

constexpr DWORD kHiddenOrSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    Handle& operator=(Handle&& other) noexcept {
        Close();
        handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        return *this;
    }
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    bool Close() {
        HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle);
    }

private:
    HANDLE handle_;
};

// Makes `full` the absolute form of the path. Most paths fit MAX_PATH: one call then, where asking for
// the size first would take two; `full` keeps its buffer for the next call.
void MakeFullPath(const std::wstring& path, std::wstring& full) {
    full.resize(std::max<std::size_t>(full.capacity(), MAX_PATH));
    DWORD size = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (size >= full.size()) {
        full.resize(size);
        size = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
        if (size >= full.size()) ThrowLastError("GetFullPathNameW");
    }
    if (size == 0) ThrowLastError("GetFullPathNameW");
    full.resize(size);
}

std::wstring FullPath(const std::wstring& path) {
    std::wstring full;
    MakeFullPath(path, full);
    return full;
}

// Every path reaches the API through here: made absolute with the usual rules, then in the
// extended-length form, so that paths past MAX_PATH work.
std::wstring ApiPath(const std::wstring& path) {
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\")) return path;
    std::wstring full = FullPath(path);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return full;
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/') return folder + name;
    return folder + L'\\' + name;
}

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

std::wstring NameOf(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

std::uint64_t Ticks(const FILETIME& time) {
    return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

// This process as temporary names record it.
const ProcessStamp& ThisProcess() {
    static const ProcessStamp self = [] {
        FILETIME created{}, exited, kernel, user;
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
        return ProcessStamp{GetCurrentProcessId(), Ticks(created)};
    }();
    return self;
}

// Whether the process that wrote a temporary file may still be writing it. A process that exists but
// cannot be looked at counts as running: its file is left alone.
bool StillRunning(const ProcessStamp& writer) {
    if (writer.id == GetCurrentProcessId()) return writer == ThisProcess();
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, writer.id);
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    FILETIME created{}, exited, kernel, user;
    DWORD exitCode = 0;
    bool same = GetProcessTimes(process, &created, &exited, &kernel, &user) &&
                Ticks(created) == writer.started && GetExitCodeProcess(process, &exitCode) &&
                exitCode == STILL_ACTIVE;
    CloseHandle(process);
    return same;
}

bool NameTaken(DWORD error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }

void RemoveTemporary(const std::wstring& temp) {
    SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);  // it may carry the source's read-only mark
    DeleteFileW(temp.c_str());
}

constexpr std::uint64_t kTicksPerDay = 24ull * 60 * 60 * 10'000'000;

std::uint64_t NowTicks() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return Ticks(now);
}

// A network folder may hold temporaries that processes of other PCs are writing, which this one cannot
// look at: there only one nobody has written to for a day counts as left behind.
bool OnNetwork(const std::wstring& apiFolder) {
    if (apiFolder.starts_with(L"\\\\?\\UNC\\")) return true;
    const bool drive = apiFolder.starts_with(L"\\\\?\\") && apiFolder.size() >= 7 && apiFolder[5] == L':';
    return drive && GetDriveTypeW(apiFolder.substr(4, 3).c_str()) == DRIVE_REMOTE;
}

// Our temporary files a reading of a folder came across; RemoveLeftBehind removes those whose writer
// will never finish them.
class TemporariesFound {
public:
    void Note(std::wstring_view name, DWORD attributes, std::uint64_t lastWrite) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return;
        std::wstring whole(name);
        if (const std::optional<ProcessStamp> writer = TemporaryFileWriter(whole)) {
            found_.push_back({std::move(whole), *writer, lastWrite});
        }
    }
    void Note(const WIN32_FIND_DATAW& entry) {
        Note(entry.cFileName, entry.dwFileAttributes, Ticks(entry.ftLastWriteTime));
    }
    // Best effort: what cannot be removed stays for the next time.
    void RemoveLeftBehind(const std::wstring& apiFolder) const {
        if (found_.empty()) return;
        const bool onNetwork = OnNetwork(apiFolder);
        for (const Found& temp : found_) {
            const bool leftBehind =
                onNetwork ? NowTicks() - temp.lastWrite > kTicksPerDay : !StillRunning(temp.writer);
            if (leftBehind) RemoveTemporary(Join(apiFolder, temp.name));
        }
    }

private:
    struct Found {
        std::wstring name;
        ProcessStamp writer;
        std::uint64_t lastWrite;
    };
    std::vector<Found> found_;
};

using EntryVisitor = std::function<bool(const WIN32_FIND_DATAW&)>;

// Visits the entries a search finds until `stop` returns true, and says whether it did. A search that
// finds nothing is not an error; nor is a missing folder when `missingFolderIsEmpty`.
bool Search(const std::wstring& pattern, DWORD flags, bool missingFolderIsEmpty, const EntryVisitor& stop) {
    WIN32_FIND_DATAW entry;
    HANDLE found = FindFirstFileExW(ApiPath(pattern).c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                    nullptr, flags);
    if (found == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return false;
        if (missingFolderIsEmpty && IsMissingFolder(pattern, error)) return false;
        ThrowApiError("FindFirstFileExW", error);
    }
    struct Closer {
        HANDLE handle;
        ~Closer() { FindClose(handle); }
    } closer{found};
    do {
        if (stop(entry)) return true;
    } while (FindNextFileW(found, &entry));
    DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) ThrowApiError("FindNextFileW", error);
    return false;
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

std::wstring Upper(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The system's search also matches 8.3 short names ("REPORT~1.BAK" stands for "report.bak2"); a list
// that shows what a pattern names must hold only the names that match it themselves.
bool NameMatches(const std::wstring& name, const std::wstring& pattern) {
    std::wstring n = Upper(name), p = Upper(pattern);
    if (Glob(n, p)) return true;
    if (n.find(L'.') != std::wstring::npos) return false;
    // As in the system's matching, "x.*" also takes a name without extension, and "x." takes only those.
    if (p.ends_with(L".*")) return Glob(n, std::wstring_view(p).substr(0, p.size() - 2));
    if (p.ends_with(L".")) return Glob(n, std::wstring_view(p).substr(0, p.size() - 1));
    return false;
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
    HANDLE found = FindFirstFileExW(ApiPath(Join(folder, L"*")).c_str(), FindExInfoBasic, &entry,
                                    FindExSearchNameMatch, nullptr, 0);
    if (found == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? 0 : error;  // an empty root has no "." entry
    }
    FindClose(found);
    return 0;
}

struct FileIdentity {
    DWORD volume, indexHigh, indexLow;
    bool operator==(const FileIdentity&) const = default;
};

// Names are no proof of identity (letter case, 8.3 names, hard links): the volume and file index are.
FileIdentity IdentityOf(const std::wstring& apiPath) {
    Handle file(CreateFileW(apiPath.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.Valid()) ThrowLastError("CreateFileW");
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file.Get(), &info)) ThrowLastError("GetFileInformationByHandle");
    return {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// Refuses a destination that would destroy the source or a file the user cannot see; gives the
// attributes of the file there, INVALID_FILE_ATTRIBUTES when there is none.
DWORD CheckReplaceable(const std::wstring& target, const FileIdentity& source) {
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return attributes;
        ThrowApiError("GetFileAttributesW", error);
    }
    if (IdentityOf(target) == source) {
        throw PlatformError("CopyFile: the destination is the source file", FailureReason::SameFile);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        throw PlatformError("CopyFile: the destination is a folder", FailureReason::IsFolder);
    }
    if (attributes & kHiddenOrSystem) {
        throw PlatformError("CopyFile: the destination is hidden or system", FailureReason::HiddenOrSystem);
    }
    return attributes;
}

// Whether another program has the file open without letting it go: opening it for deletion, sharing
// everything, is then refused as a sharing violation.
bool HeldByAnotherProgram(const std::wstring& path) {
    Handle file(CreateFileW(path.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return !file.Valid() && GetLastError() == ERROR_SHARING_VIOLATION;
}

// Drive letters, as bits (A: is 1), whose root was found there.
using DriveSet = std::uint32_t;

// A search that found nothing on a drive that is there but cannot be read (no disc, a lost network
// share) has not really been carried out: the drive is not ready, whatever code the system gave. On a
// drive that does not exist there is no file. With `readable`, a drive found there once is not asked
// about again.
void ThrowIfDriveUnreadable(const std::wstring& path, DriveSet* readable = nullptr) {
    std::wstring full = FullPath(path);
    if (full.size() < 3 || full[1] != L':') return;
    std::wstring root = full.substr(0, 3);
    const wchar_t letter = AsciiUpper(full[0]);
    const DriveSet bit = letter >= L'A' && letter <= L'Z' ? 1u << (letter - L'A') : 0;
    if (readable && (*readable & bit)) return;
    // The root first: asking which drives exist is far slower, and needed only when the root is not there.
    if (GetFileAttributesW((L"\\\\?\\" + root).c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (readable) *readable |= bit;
        return;
    }
    const DWORD error = GetLastError();
    if (!bit || !(GetLogicalDrives() & bit)) return;
    ThrowApiError("GetFileAttributesW", error, FailureReason::NotReady);
}

bool EqualIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](wchar_t x, wchar_t y) { return AsciiUpper(x) == AsciiUpper(y); });
}

// A hash of the name that names differing in ASCII letter case alone share.
std::uint64_t AsciiCaseKey(std::wstring_view name) {
    std::uint64_t key = 14695981039346656037ull;
    for (wchar_t c : name) key = (key ^ AsciiUpper(c)) * 1099511628211ull;
    return key;
}

bool IsAscii(std::wstring_view name) {
    return std::all_of(name.begin(), name.end(), [](wchar_t c) { return c < 0x80; });
}

// Letters outside ASCII that some case rule turns into an ASCII letter (dotted and dotless i, long s,
// the Kelvin sign): a name holding one may be found under an ASCII name that differs from it.
bool MayFoldIntoAscii(std::wstring_view name) {
    return name.find_first_of(L"\u0130\u0131\u017F\u212A") != std::wstring_view::npos;
}

// Visits the entries of a folder ("\\?\C:\Copias") until `visit` returns false, read by the folder's
// handle in large pieces: the usual search takes a few dozen entries a call. Whether every entry was
// visited; false too when the folder cannot be read this way.
template <typename Visit>
bool VisitEntries(const std::wstring& apiFolder, Visit visit) {
    Handle directory(CreateFileW(apiFolder.c_str(), FILE_LIST_DIRECTORY, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!directory.Valid()) return false;
    constexpr DWORD kPieceBytes = 256 << 10;
    std::vector<std::uint64_t> piece(kPieceBytes / sizeof(std::uint64_t));  // entries are 8-byte aligned
    while (
        GetFileInformationByHandleEx(directory.Get(), FileIdBothDirectoryInfo, piece.data(), kPieceBytes)) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(piece.data());
        for (std::size_t at = 0;;) {
            const auto& entry = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes + at);
            if (!visit(entry)) return false;
            if (entry.NextEntryOffset == 0) break;
            at += entry.NextEntryOffset;
        }
    }
    return GetLastError() == ERROR_NO_MORE_FILES;
}

// Patterns under which the files a search lists are exactly the ordinary files whose long names match:
// every file, or one extension of plain letters and digits, which the system's matching of long names
// finds wherever ours does.
bool MatchedOnLongNamesAlone(const std::wstring& pattern) {
    if (pattern == L"*" || pattern == L"*.*") return true;
    if (pattern.size() < 3 || !pattern.starts_with(L"*.")) return false;
    return std::all_of(pattern.begin() + 2, pattern.end(), [](wchar_t c) {
        return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
    });
}

// The folder's subfolders and files, as ListFolders and ListFiles give them, from one reading; nullopt
// where one reading cannot be sure to give the same (another pattern, a name whose letters other case
// rules match differently, a folder that cannot be read this way).
std::optional<FolderContents> ReadFolderOnce(const std::wstring& folder, const std::wstring& pattern) {
    if (!MatchedOnLongNamesAlone(pattern)) return std::nullopt;
    const bool everyFile = pattern == L"*" || pattern == L"*.*";
    FolderContents contents;
    TemporariesFound temporaries;
    QuietErrorMode quiet;  // a failure here is left to the searches, which report it as they always did
    const std::wstring apiFolder = ApiPath(folder);
    const bool read = VisitEntries(apiFolder, [&](const FILE_ID_BOTH_DIR_INFO& entry) {
        std::wstring name(entry.FileName, entry.FileNameLength / sizeof(wchar_t));
        const DWORD attributes = entry.FileAttributes;
        temporaries.Note(name, attributes, static_cast<std::uint64_t>(entry.LastWriteTime.QuadPart));
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (IsListedFolder(attributes, name)) contents.folders.push_back(std::move(name));
        } else if (IsListedFile(attributes, name) && NameMatches(name, pattern)) {
            if (!everyFile && MayFoldIntoAscii(name)) return false;
            contents.files.push_back(std::move(name));
        }
        return true;
    });
    if (!read) return std::nullopt;
    temporaries.RemoveLeftBehind(apiFolder);
    SortNames(contents.folders);
    SortNames(contents.files);
    return contents;
}

// One folder's entries by their long and 8.3 names, read in one listing, telling what a query of the
// attributes of a name in the folder would give. Where the listing alone cannot be sure (the name
// matches only in another letter case, or matches two entries) it does not answer, and the query must.
class FolderIndex {
public:
    // Lists the folder ("C:\Copias\"); nullopt when it cannot be listed or holds more than `limit` entries.
    // Read in large pieces: the usual search takes a few dozen entries a call.
    static std::optional<FolderIndex> List(const std::wstring& folder, std::size_t limit) {
        const std::wstring path = folder.size() > 3 ? folder.substr(0, folder.size() - 1) : folder;
        FolderIndex index;
        std::uint32_t count = 0;
        const bool read = VisitEntries(ApiPath(path), [&](const FILE_ID_BOTH_DIR_INFO& entry) {
            if (++count > limit) return false;
            index.Add({entry.FileName, entry.FileNameLength / sizeof(wchar_t)}, count, entry.FileAttributes);
            index.Add({entry.ShortName, entry.ShortNameLength / sizeof(wchar_t)}, count,
                      entry.FileAttributes);
            return true;
        });
        if (!read) return std::nullopt;
        std::sort(index.names_.begin(), index.names_.end(), ByKey);
        return index;
    }

    // The attributes of the entry of that name, INVALID_FILE_ATTRIBUTES when there is none; nullopt when
    // the listing cannot tell.
    std::optional<DWORD> Attributes(std::wstring_view name) const {
        const auto [first, last] =
            std::equal_range(names_.begin(), names_.end(), Name{AsciiCaseKey(name)}, ByKey);
        const Name* match = nullptr;
        for (auto named = first; named != last; ++named) {
            if (!EqualIgnoringAsciiCase(Text(*named), name)) continue;
            if (match && match->entry != named->entry) return std::nullopt;  // two entries answer to it
            if (!match || Text(*named) == name) match = &*named;
        }
        if (!match) {
            // Other case rules than ASCII's may match it to a name here.
            if (!IsAscii(name) || foldsIntoAscii_) return std::nullopt;
            return INVALID_FILE_ATTRIBUTES;
        }
        if (Text(*match) != name) return std::nullopt;  // only in another letter case
        return match->attributes;
    }

private:
    // Kept in one text and one array: a folder of many thousand entries would otherwise cost an
    // allocation or two for each.
    struct Name {
        std::uint64_t key;
        std::uint32_t entry = 0, at = 0, length = 0;
        DWORD attributes = 0;
    };

    static bool ByKey(const Name& a, const Name& b) { return a.key < b.key; }

    void Add(std::wstring_view text, std::uint32_t entry, DWORD attributes) {
        if (text.empty()) return;  // no 8.3 name
        foldsIntoAscii_ = foldsIntoAscii_ || MayFoldIntoAscii(text);
        names_.push_back({AsciiCaseKey(text), entry, static_cast<std::uint32_t>(text_.size()),
                          static_cast<std::uint32_t>(text.size()), attributes});
        text_.append(text);
    }

    std::wstring_view Text(const Name& name) const {
        return std::wstring_view(text_).substr(name.at, name.length);
    }

    std::wstring text_;  // every name, one after the other
    std::vector<Name> names_;
    bool foldsIntoAscii_ = false;
};

// Answers look-ups in the folders that many of the paths name from one listing of each. A listing costs
// about what a query for a file that is there costs, for every entry of the folder (and some systems read
// every name first); a query for a name that is not there costs several times more, as some systems read
// the whole folder for it. So a folder is listed when the first copies asked about in it one by one show
// some gone, or when so many copies are asked about that the folder likely holds little else.
class FolderListings {
public:
    explicit FolderListings(const std::vector<std::wstring>& paths) : places_(paths.size()) {
        std::unordered_map<std::wstring, std::size_t> folderIds;
        std::size_t last = 0;  // most paths share the folder of the one before
        std::wstring full;
        for (std::size_t k = 0; k < paths.size(); ++k) {
            if (!ListablePath(paths[k], full)) continue;
            const std::size_t slash = full.rfind(L'\\');
            const std::wstring_view folder = std::wstring_view(full).substr(0, slash + 1);
            if (folders_.empty() || folders_[last].path != folder) {
                auto [id, added] = folderIds.try_emplace(std::wstring(folder), folders_.size());
                if (added) folders_.emplace_back(id->first);
                last = id->second;
            }
            ++folders_[last].paths;
            places_[k] = {last, names_.size(), full.size() - slash - 1};
            names_.append(full, slash + 1);
        }
    }

    // The answer for the path with that index, nullopt when its folder is not listed.
    std::optional<FileLookup> Answer(std::size_t index, const std::wstring& path) {
        const std::optional<Place>& place = places_[index];
        if (!place) return std::nullopt;
        Folder& folder = folders_[place->folder];
        if (!folder.decided) {
            const bool few = folder.paths < kListFrom, many = folder.paths >= kListAnyway;
            if (!few && !many && !folder.goneSeen && folder.askedOneByOne < kProbe) return std::nullopt;
            folder.decided = true;
            if (!few && (many || folder.goneSeen))
                folder.index = FolderIndex::List(folder.path, 2 * folder.paths + 64);
        }
        if (!folder.index) return std::nullopt;
        const std::optional<DWORD> attributes =
            folder.index->Attributes(std::wstring_view(names_).substr(place->nameAt, place->nameLength));
        if (!attributes) return std::nullopt;
        const bool ordinary =
            *attributes != INVALID_FILE_ATTRIBUTES && IsListedFile(*attributes, NameOf(path));
        return ordinary ? FileLookup::OrdinaryFile : FileLookup::NoOrdinaryFile;
    }

    // What asking about the path with that index one by one found.
    void AskedOneByOne(std::size_t index, FileLookup found) {
        if (!places_[index]) return;
        Folder& folder = folders_[places_[index]->folder];
        ++folder.askedOneByOne;
        folder.goneSeen = folder.goneSeen || found != FileLookup::OrdinaryFile;
    }

private:
    static constexpr std::size_t kListFrom = 8;       // fewer copies in a folder are always asked about
    static constexpr std::size_t kProbe = 8;          // copies asked about one by one before deciding
    static constexpr std::size_t kListAnyway = 1024;  // copies in one folder that make it worth listing

    struct Folder {
        explicit Folder(std::wstring folder) : path(std::move(folder)) {}
        std::wstring path;
        std::size_t paths = 0, askedOneByOne = 0;
        bool goneSeen = false, decided = false;
        std::optional<FolderIndex> index;
    };
    struct Place {
        std::size_t folder, nameAt, nameLength;  // the name in names_
    };

    // Whether the path names a file in a folder of a drive plainly enough for a listing to answer for
    // it (no wildcards or streams, no device, a name a folder can hold), making `full` its full path.
    static bool ListablePath(const std::wstring& path, std::wstring& full) {
        if (path.empty() || NeedsSearch(path)) return false;
        try {
            MakeFullPath(path, full);
        } catch (const PlatformError&) {
            return false;
        }
        if (full.size() < 4 || full[1] != L':' || full[2] != L'\\') return false;
        const std::size_t nameLength = full.size() - full.rfind(L'\\') - 1;
        return nameLength > 0 && nameLength <= MAX_PATH - 5;  // 255: the longest name
    }

    std::vector<Folder> folders_;
    std::vector<std::optional<Place>> places_;
    std::wstring names_;  // the names of all places, one after the other
};

std::wstring FolderPrefix(const std::wstring& apiPath) { return apiPath.substr(0, apiPath.rfind(L'\\') + 1); }

constexpr int kTemporaryAttempts = 100;

struct Temporary {
    std::wstring path;
    Handle file;
};

// A new, empty, hidden file in the folder (given with its final backslash), open for writing.
Temporary CreateTemporary(const std::wstring& folder) {
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        std::wstring path = folder + TemporaryFileName(ThisProcess(), serial++);
        Handle file(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr));
        if (file.Valid()) return {std::move(path), std::move(file)};
        DWORD error = GetLastError();
        if (!NameTaken(error)) ThrowApiError("CreateFileW", error);
    }
    throw PlatformError("CreateFileW: no free temporary name");
}

// Fills a temporary file through `write`, closes it and gives it `attributes`; on any failure the
// temporary is removed.
template <typename Write>
std::wstring WriteTemporary(const std::wstring& folder, DWORD attributes, Write write) {
    Temporary temp = CreateTemporary(folder);
    try {
        write(temp.file.Get());
        if (!FlushFileBuffers(temp.file.Get())) ThrowLastError("FlushFileBuffers");
        if (!temp.file.Close()) ThrowLastError("CloseHandle");
        if (!SetFileAttributesW(temp.path.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL)) {
            ThrowLastError("SetFileAttributesW");
        }
    } catch (...) {
        temp.file.Close();
        RemoveTemporary(temp.path);
        throw;
    }
    return temp.path;
}

void WriteAll(HANDLE file, const char* bytes, std::size_t size) {
    constexpr std::size_t kChunk = 1 << 20;
    for (std::size_t done = 0; done < size;) {
        DWORD chunk = static_cast<DWORD>(std::min(kChunk, size - done));
        DWORD written = 0;
        if (!::WriteFile(file, bytes + done, chunk, &written, nullptr)) ThrowLastError("WriteFile");
        done += written;
    }
}

// Whether the file lies on a FAT disk, whose files stay under 4 GB.
bool OnFatDisk(HANDLE file) {
    wchar_t fileSystem[MAX_PATH + 1] = {};
    if (!GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, nullptr, nullptr, fileSystem,
                                       MAX_PATH + 1)) {
        return false;
    }
    return std::wstring_view(fileSystem).starts_with(L"FAT");  // FAT, FAT32; not exFAT
}

// Space for the whole copy is asked for first, so that a full disk is found before anything is written.
// A FAT disk answers a file of 4 GB or more as full: that is told as what it is.
void ReserveSpace(HANDLE file, HANDLE source) {
    FILE_STANDARD_INFO info{};
    if (!GetFileInformationByHandleEx(source, FileStandardInfo, &info, sizeof info)) return;
    constexpr LONGLONG kFatLargest = 0xFFFFFFFFLL;  // bytes
    if (info.EndOfFile.QuadPart > kFatLargest && OnFatDisk(file)) {
        throw PlatformError("CopyFile: too large for a FAT disk", FailureReason::TooLarge);
    }
    FILE_ALLOCATION_INFO allocation{info.EndOfFile};
    if (SetFileInformationByHandle(file, FileAllocationInfo, &allocation, sizeof allocation)) return;
    DWORD error = GetLastError();
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
        ThrowApiError("SetFileInformationByHandle", error);
}

// Piece by piece, so that a caller with `progress` learns how far the copy got and can stop it between
// pieces (the system's own copy call does not report everywhere).
void CopyContents(HANDLE source, HANDLE target, CopyProgress* progress) {
    ReserveSpace(target, source);
    LARGE_INTEGER size{};
    const std::uint64_t total = GetFileSizeEx(source, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    std::uint64_t done = 0;
    if (progress) progress->Report(0, total);
    std::string chunk(1 << 20, '\0');
    DWORD read = 0;
    do {
        if (progress && progress->CancelRequested()) throw CopyCancelled();
        if (!::ReadFile(source, chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr)) {
            ThrowLastError("ReadFile");
        }
        WriteAll(target, chunk.data(), read);
        done += read;
        if (progress) progress->Report(done, std::max(done, total));
    } while (read > 0);
    FILETIME lastWrite;
    if (!GetFileTime(source, nullptr, nullptr, &lastWrite) ||
        !SetFileTime(target, nullptr, nullptr, &lastWrite)) {
        ThrowLastError("SetFileTime");
    }
}

constexpr DWORD kCopiedAttributes =
    FILE_ATTRIBUTE_READONLY | kHiddenOrSystem | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The source, open for reading. A folder cannot be opened as a file: that is told apart from a refusal.
Handle OpenSource(const std::wstring& source) {
    Handle in(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (in.Valid()) return in;
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(source.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ThrowApiError("CreateFileW", error, FailureReason::IsFolder);
    }
    ThrowApiError("CreateFileW", error);
}

// The source's bytes, last-write time and attributes in a temporary file in the folder.
std::wstring CopyToTemporary(const std::wstring& source, const std::wstring& folder, CopyProgress* progress) {
    Handle in = InCopyStep(CopyStep::OpenSource, [&] { return OpenSource(source); });
    const DWORD attributes = InCopyStep(CopyStep::OpenSource, [&] {
        const DWORD read = GetFileAttributesW(source.c_str());
        if (read == INVALID_FILE_ATTRIBUTES) ThrowLastError("GetFileAttributesW");
        return read;
    });
    return InCopyStep(CopyStep::WriteCopy, [&] {
        return WriteTemporary(folder, attributes & kCopiedAttributes,
                              [&](HANDLE out) { CopyContents(in.Get(), out, progress); });
    });
}

class SystemClock : public HoldClock {
public:
    std::uint64_t NowMs() override { return GetTickCount64(); }
    void Wait(unsigned ms) override { Sleep(ms); }
};

// Replaces the target in one step; until then the earlier file is untouched. A read-only target
// (`targetAttributes`) loses its mark just for the step and gets it back if the step fails.
void PutInPlace(const std::wstring& temp, const std::wstring& target,
                DWORD targetAttributes = INVALID_FILE_ATTRIBUTES) {
    bool readOnly =
        targetAttributes != INVALID_FILE_ATTRIBUTES && (targetAttributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly && !SetFileAttributesW(target.c_str(), targetAttributes & ~FILE_ATTRIBUTE_READONLY)) {
        DWORD error = GetLastError();
        RemoveTemporary(temp);
        ThrowApiError("SetFileAttributesW", error);
    }
    DWORD error = ERROR_SUCCESS;
    SystemClock clock;
    RetryWhileHeld(
        [&] {
            const bool moved =
                MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
            error = moved ? ERROR_SUCCESS : GetLastError();
            return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
        },
        clock);
    if (error == ERROR_SUCCESS) return;
    if (readOnly) SetFileAttributesW(target.c_str(), targetAttributes);
    RemoveTemporary(temp);
    ThrowApiError("MoveFileExW", error);
}

// `apiFolder` in the form ApiPath gives.
void RemoveStaleTemporariesIn(const std::wstring& apiFolder) {
    QuietErrorMode quiet;
    TemporariesFound found;
    try {
        Search(Join(apiFolder, L"~tesoro-*.tmp"), 0, true, [&](const WIN32_FIND_DATAW& entry) {
            found.Note(entry);
            return false;
        });
    } catch (const PlatformError&) {
        return;  // the folder cannot be read: nothing to do now
    }
    found.RemoveLeftBehind(apiFolder);
}

// A mutex named after the file in the namespace every session shares, which every user may wait for
// and release but not take over. A holder that ended without releasing it leaves it abandoned, which
// the next one takes as free: the file itself is only ever replaced whole.
class MutexLock : public UpdateLock {
public:
    explicit MutexLock(const std::wstring& path) : mutex_(Open(path)) {
        const DWORD waited = WaitForSingleObject(mutex_, kLockWaitMs);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return;
        CloseHandle(mutex_);
        throw PlatformError("the update lock is held elsewhere", FailureReason::InUse);
    }
    ~MutexLock() override {
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    static constexpr DWORD kLockWaitMs = 3000;
    static constexpr DWORD kAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;

    static HANDLE Open(const std::wstring& path) {
        std::wstring name = FullPath(path);
        for (wchar_t& c : name) c = c == L'\\' ? L'/' : AsciiUpper(c);
        // A session that may not make global names (a service's restrictions) still keeps its own
        // instances in step.
        for (const wchar_t* space : {L"Global\\", L"Local\\"}) {
            const std::wstring full = space + std::wstring(L"Tesoro ") + name;
            if (HANDLE mutex = CreateMutexExW(EveryoneMayWait(), full.c_str(), 0, kAccess)) return mutex;
        }
        ThrowLastError("CreateMutexExW");
    }

    // Everyone may wait for the mutex and release it; its maker alone may change that. Made once, kept
    // for the life of the process.
    static SECURITY_ATTRIBUTES* EveryoneMayWait() {
        using Convert = BOOL(WINAPI*)(LPCWSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
        static SECURITY_ATTRIBUTES attributes = [] {
            const auto convert = win32::LoadSystemFunction<Convert>(
                L"advapi32.dll", "ConvertStringSecurityDescriptorToSecurityDescriptorW");
            constexpr DWORD kSddlRevision = 1;
            PSECURITY_DESCRIPTOR descriptor = nullptr;
            if (convert && !convert(L"D:(A;;0x00100001;;;WD)", kSddlRevision, &descriptor, nullptr)) {
                descriptor = nullptr;
            }
            return SECURITY_ATTRIBUTES{sizeof(SECURITY_ATTRIBUTES), descriptor, FALSE};
        }();
        return attributes.lpSecurityDescriptor ? &attributes : nullptr;
    }

    HANDLE mutex_;
};

class Win32FileSystem : public FileSystem {
public:
    std::wstring CurrentFolder() override {
        DWORD size = GetCurrentDirectoryW(0, nullptr);
        std::wstring folder(size, L'\0');
        size = GetCurrentDirectoryW(size, folder.data());
        if (size == 0 || size >= folder.size()) ThrowLastError("GetCurrentDirectoryW");
        folder.resize(size);
        return folder;
    }

    std::wstring DriveCurrentFolder(wchar_t letter) override {
        if (!IsAsciiLetter(letter)) throw PlatformError("DriveCurrentFolder: not a drive letter");
        QuietErrorMode quiet;
        std::wstring folder = FullPath({letter, L':'});
        DWORD error = FolderReadError(folder);
        if (error == 0) return folder;
        // The folder kept for the drive may have gone while the drive itself is fine.
        std::wstring root{letter, L':', L'\\'};
        if (folder != root && FolderReadError(root) == 0) return root;
        ThrowApiError("FindFirstFileExW", error);
    }

    // A reading of a folder for the lists also removes the temporaries left behind in it that it came
    // across (a pattern that takes in no temporary name, such as "*.BAK", comes across none).
    std::vector<std::wstring> ListFolders(const std::wstring& folder) override {
        std::vector<std::wstring> names;
        TemporariesFound temporaries;
        Search(Join(folder, L"*"), FIND_FIRST_EX_LARGE_FETCH, false, [&](const WIN32_FIND_DATAW& entry) {
            if (IsListedFolder(entry.dwFileAttributes, entry.cFileName)) names.emplace_back(entry.cFileName);
            temporaries.Note(entry);
            return false;
        });
        temporaries.RemoveLeftBehind(ApiPath(folder));
        SortNames(names);
        return names;
    }

    std::vector<std::wstring> ListFiles(const std::wstring& folder, const std::wstring& pattern) override {
        std::vector<std::wstring> names;
        TemporariesFound temporaries;
        Search(Join(folder, pattern), FIND_FIRST_EX_LARGE_FETCH, false, [&](const WIN32_FIND_DATAW& entry) {
            if (IsListed(entry) && NameMatches(entry.cFileName, pattern)) {
                names.emplace_back(entry.cFileName);
            }
            temporaries.Note(entry);
            return false;
        });
        temporaries.RemoveLeftBehind(ApiPath(folder));
        SortNames(names);
        return names;
    }

    FolderContents ReadFolder(const std::wstring& folder, const std::wstring& pattern) override {
        std::optional<FolderContents> once = ReadFolderOnce(folder, pattern);
        return once ? std::move(*once) : FileSystem::ReadFolder(folder, pattern);
    }

    bool FolderExists(const std::wstring& path) override {
        QuietErrorMode quiet;
        DWORD attributes = Attributes(path);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool PathExists(const std::wstring& path) override {
        QuietErrorMode quiet;
        return Attributes(path) != INVALID_FILE_ATTRIBUTES;
    }

    bool FindOrdinaryFile(const std::wstring& path) override {
        QuietErrorMode quiet;
        // Asked for as the copy would open it: an 8.3 name finds its file.
        if (!NeedsSearch(path)) return LookUpByAttributes(path, nullptr) == FileLookup::OrdinaryFile;
        const std::wstring name = NameOf(path);
        auto matches = [&](const WIN32_FIND_DATAW& entry) {
            return IsListed(entry) && NameMatches(entry.cFileName, name);
        };
        if (Search(path, 0, true, matches)) return true;
        ConfirmNotFound(path);
        ThrowIfDriveUnreadable(path);
        return false;
    }

    FileLookup LookUpOrdinaryFile(const std::wstring& path) override {
        QuietErrorMode quiet;
        return LookUpOne(path, nullptr);
    }

    std::vector<std::optional<FileLookup>> LookUpOrdinaryFiles(
        const std::vector<std::wstring>& paths) override {
        QuietErrorMode quiet;
        FolderListings listings(paths);
        DriveSet readable = 0;
        return LookUpEach(paths, [&](std::size_t index) {
            if (const std::optional<FileLookup> listed = listings.Answer(index, paths[index])) return *listed;
            const FileLookup found = LookUpOne(paths[index], &readable);
            listings.AskedOneByOne(index, found);
            return found;
        });
    }

    bool SameName(const std::wstring& a, const std::wstring& b) override { return Upper(a) == Upper(b); }

    bool SameFile(const std::wstring& a, const std::wstring& b) override {
        QuietErrorMode quiet;
        try {
            return IdentityOf(ApiPath(a)) == IdentityOf(ApiPath(b));
        } catch (const PlatformError&) {
            return false;
        }
    }

    void CopyFile(const std::wstring& from, const std::wstring& to, CopyProgress* progress) override {
        // A disc taken out is told as such, not as a file gone.
        InCopyStep(CopyStep::OpenSource, [&] { ThrowIfDriveUnreadable(from); });
        InCopyStep(CopyStep::WriteCopy, [&] { ThrowIfDriveUnreadable(to); });
        std::wstring source = ApiPath(from), target = ApiPath(to);
        std::wstring folder = FolderPrefix(target);
        RemoveStaleTemporariesIn(folder);
        const FileIdentity sourceFile = InCopyStep(CopyStep::OpenSource, [&] { return IdentityOf(source); });
        DWORD existing =
            InCopyStep(CopyStep::PutInPlace, [&] { return CheckReplaceable(target, sourceFile); });
        std::wstring temp = CopyToTemporary(source, folder, progress);
        if (progress && progress->CancelRequested()) {  // pressed while the copy was being flushed
            RemoveTemporary(temp);
            throw CopyCancelled();
        }
        try {
            PutInPlace(temp, target, existing);
        } catch (const PlatformError& error) {
            // Some systems answer "access denied" when another program holds the file being replaced.
            const bool held = error.Reason() == FailureReason::AccessDenied && HeldByAnotherProgram(target);
            throw PlatformError(error.what(), held ? FailureReason::InUse : error.Reason(),
                                error.SystemCode(), CopyStep::PutInPlace);
        }
    }

    void RemoveStaleTemporaries(const std::wstring& folder) override {
        try {
            RemoveStaleTemporariesIn(ApiPath(folder));
        } catch (const PlatformError&) {
        }
    }

    void DeleteFile(const std::wstring& path) override {
        const std::wstring target = ApiPath(path);
        if (DeleteFileW(target.c_str())) return;
        const DWORD error = GetLastError();
        // The system refuses a read-only file as it refuses a file the user may not touch; tell them apart.
        const DWORD attributes = GetFileAttributesW(target.c_str());
        const bool readOnly = error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
                              (attributes & FILE_ATTRIBUTE_READONLY);
        if (readOnly) ThrowApiError("DeleteFileW", error, FailureReason::ReadOnly);
        ThrowApiError("DeleteFileW", error);
    }

    std::optional<std::string> ReadFile(const std::wstring& path) override {
        // Sharing deletion too: a save by another instance may replace the file while it is read. A
        // program that holds the file for a moment is waited for.
        const std::wstring apiPath = ApiPath(path);
        Handle file(INVALID_HANDLE_VALUE);
        DWORD error = ERROR_SUCCESS;
        SystemClock clock;
        RetryWhileHeld(
            [&] {
                file = Handle(CreateFileW(apiPath.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
                error = file.Valid() ? ERROR_SUCCESS : GetLastError();
                return error == ERROR_SHARING_VIOLATION;
            },
            clock);
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::nullopt;
        if (error != ERROR_SUCCESS) ThrowApiError("CreateFileW", error);
        // Read in one go where the size is known (a log of thousands of entries is megabytes); the byte
        // reserved beyond it lets the end be found without growing the buffer.
        LARGE_INTEGER size{};
        std::string bytes;
        if (GetFileSizeEx(file.Get(), &size) && size.QuadPart < (1 << 30)) bytes.reserve(size.QuadPart + 1);
        DWORD read = 0;
        do {
            const std::size_t at = bytes.size();
            bytes.resize(bytes.capacity() > at ? bytes.capacity() : at + (1 << 16));
            const DWORD room = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, 1u << 30));
            if (!::ReadFile(file.Get(), bytes.data() + at, room, &read, nullptr)) ThrowLastError("ReadFile");
            bytes.resize(at + read);
        } while (read > 0);
        return bytes;
    }

    void CreateEmptyFile(const std::wstring& path) override {
        Handle file(CreateFileW(ApiPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Valid()) return;
        DWORD error = GetLastError();
        if (!NameTaken(error)) ThrowApiError("CreateFileW", error);  // an existing file is fine
    }

    void ReplaceFile(const std::wstring& path, const std::string& bytes) override {
        std::wstring target = ApiPath(path);
        // Not every system refuses to move a file onto a read-only one; the mark is the user's to lift.
        DWORD attributes = GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
            throw PlatformError("ReplaceFile: the file is read-only or a folder");
        }
        std::wstring folder = FolderPrefix(target);
        RemoveStaleTemporariesIn(folder);
        PutInPlace(WriteTemporary(folder, FILE_ATTRIBUTE_NORMAL,
                                  [&](HANDLE out) { WriteAll(out, bytes.data(), bytes.size()); }),
                   target);
    }

    std::unique_ptr<UpdateLock> LockUpdates(const std::wstring& path) override {
        return std::make_unique<MutexLock>(path);
    }

private:
    // For one name the search and the attributes say the same (both resolve 8.3 names), and the attributes
    // take one query where the search opens the folder and then asks again to tell "no such file" from
    // "no such folder". With `readable`, a drive found there once is not asked about again.
    FileLookup LookUpOne(const std::wstring& path, DriveSet* readable) {
        if (path.empty() || NeedsSearch(path)) {
            return FindOrdinaryFile(path) ? FileLookup::OrdinaryFile : FileLookup::NoOrdinaryFile;
        }
        return LookUpByAttributes(path, readable);
    }

    static FileLookup LookUpByAttributes(const std::wstring& path, DriveSet* readable) {
        const DWORD attributes = GetFileAttributesW(ApiPath(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            return IsListedFile(attributes, NameOf(path)) ? FileLookup::OrdinaryFile
                                                          : FileLookup::NoOrdinaryFile;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            ThrowApiError("GetFileAttributesW", error);
        ThrowIfDriveUnreadable(path, readable);
        return error == ERROR_FILE_NOT_FOUND ? FileLookup::NoOrdinaryFile : FileLookup::FolderMissing;
    }

    static DWORD Attributes(const std::wstring& path) {
        if (path.empty()) return INVALID_FILE_ATTRIBUTES;
        return GetFileAttributesW(ApiPath(path).c_str());
    }
};

}  // namespace

std::unique_ptr<FileSystem> win32_detail::MakeFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace tesoro
