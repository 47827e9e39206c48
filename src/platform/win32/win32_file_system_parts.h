// What the pieces of the file system share: win32_file_paths.cpp (paths and what opens them),
// win32_file_search.cpp (searches and the matching of names), win32_folder_listing.cpp (folders read in
// large pieces), win32_file_copy.cpp (temporary files and the copy) and win32_file_system.cpp (the
// service itself).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/brief_hold.h"
#include "platform/temporary_files.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_services.h"

namespace tesoro::win32_detail {

inline constexpr DWORD kHiddenOrSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// ---- Paths and what opens them ----

// Makes `full` the absolute form of the path, keeping its buffer for the next call.
void MakeFullPath(const std::wstring& path, std::wstring& full);
std::wstring FullPath(const std::wstring& path);
// Every path reaches the API through here: absolute, in the extended-length form.
std::wstring ApiPath(const std::wstring& path);
std::wstring NameOf(const std::wstring& path);
// The folder of a path in the form ApiPath gives, with its final backslash.
std::wstring FolderPrefix(const std::wstring& apiPath);

struct FileIdentity {
    DWORD volume, indexHigh, indexLow;
    bool operator==(const FileIdentity&) const = default;
};
FileIdentity IdentityOf(const std::wstring& apiPath);
bool HeldByAnotherProgram(const std::wstring& path);

// Drive letters, as bits (A: is 1), whose root was found there.
using DriveSet = std::uint32_t;
// Throws "not ready" for a path on a drive that is there but cannot be read. With `readable`, a drive
// found there once is not asked about again.
void ThrowIfDriveUnreadable(const std::wstring& path, DriveSet* readable = nullptr);

// ---- Searches and the matching of names ----

// What lists and searches show: ordinary files, our temporaries left out.
bool IsListedFile(DWORD attributes, const std::wstring& name);
bool IsListed(const WIN32_FIND_DATAW& entry);
// What folder lists show: the subfolders the user can see.
bool IsListedFolder(DWORD attributes, std::wstring_view name);

using EntryVisitor = std::function<bool(const WIN32_FIND_DATAW&)>;
// Visits the entries a search finds until `stop` returns true, and says whether it did.
bool Search(const std::wstring& pattern, DWORD flags, bool missingFolderIsEmpty, const EntryVisitor& stop);
// Letter case as the system's own matching of file names ignores it.
std::wstring UpperAsFileNames(std::wstring text);
// Whether a name matches a pattern itself, not through its 8.3 name.
bool NameMatches(const std::wstring& name, const std::wstring& pattern);
// In the system's order of names, letter case ignored.
void SortNames(std::vector<std::wstring>& names);
void ConfirmNotFound(const std::wstring& path);
bool NeedsSearch(const std::wstring& path);
// 0 when the folder exists and its entries can be listed, else the error that prevents it.
DWORD FolderReadError(const std::wstring& folder);

// ---- Folders read in large pieces ----

// The folder's subfolders and files from one reading; nullopt where the searches must answer.
std::optional<FolderContents> ReadFolderOnce(const std::wstring& folder, const std::wstring& pattern);

// Answers look-ups in the folders that many of the paths name, from one listing of each.
class FolderListings {
public:
    explicit FolderListings(const std::vector<std::wstring>& paths);
    ~FolderListings();
    FolderListings(const FolderListings&) = delete;
    FolderListings& operator=(const FolderListings&) = delete;

    // The answer for the path with that index, nullopt when its folder is not listed.
    std::optional<FileLookup> Answer(std::size_t index, const std::wstring& path);
    // What asking about the path with that index one by one found.
    void AskedOneByOne(std::size_t index, FileLookup found);

private:
    struct Folder;
    struct Place {
        std::size_t folder, nameAt, nameLength;  // the name in names_
    };

    static bool ListablePath(const std::wstring& path, std::wstring& full);

    std::vector<Folder> folders_;
    std::vector<std::optional<Place>> places_;
    std::wstring names_;  // the names of all places, one after the other
};

// ---- Temporary files and the copy ----

bool NameTaken(DWORD error);
void RemoveTemporary(const std::wstring& temp);

// Our temporary files a reading of a folder came across; RemoveLeftBehind removes those whose writer
// will never finish them.
class TemporariesFound {
public:
    void Note(std::wstring_view name, DWORD attributes, std::uint64_t lastWrite);
    void Note(const WIN32_FIND_DATAW& entry);
    // Best effort: what cannot be removed stays for the next time.
    void RemoveLeftBehind(const std::wstring& folder) const;

private:
    struct Found {
        std::wstring name;
        ProcessStamp writer;
        std::uint64_t lastWrite;
    };
    std::vector<Found> found_;
};

// `apiFolder` in the form ApiPath gives.
void RemoveStaleTemporariesIn(const std::wstring& apiFolder);
// Refuses a destination that would destroy the source or a file the user cannot see; gives the
// attributes of the file there, INVALID_FILE_ATTRIBUTES when there is none.
DWORD CheckReplaceable(const std::wstring& target, const FileIdentity& source);
// Fills a temporary file in the folder (given with its final backslash) through `write`, closes it and
// gives it `attributes`; on any failure the temporary is removed.
std::wstring WriteTemporary(const std::wstring& folder, DWORD attributes,
                            const std::function<void(HANDLE)>& write);
void WriteAll(HANDLE file, const char* bytes, std::size_t size);
// The source's bytes, last-write time and attributes in a temporary file in the folder.
std::wstring CopyToTemporary(const std::wstring& source, const std::wstring& folder, CopyProgress* progress);
// Replaces the target in one step; until then the earlier file is untouched.
void PutInPlace(const std::wstring& temp, const std::wstring& target,
                DWORD targetAttributes = INVALID_FILE_ATTRIBUTES);

class SystemClock : public HoldClock {
public:
    std::uint64_t NowMs() override { return GetTickCount64(); }
    void Wait(unsigned ms) override { Sleep(ms); }
};

}  // namespace tesoro::win32_detail
