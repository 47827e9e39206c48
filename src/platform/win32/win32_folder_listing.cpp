// Folders read by their handle in large pieces, where the usual search takes a few dozen entries a call:
// the lists' reading of a folder, and the look-ups of many copies in one folder. Wine lists folders
// through Unix calls, so what this code costs or saves under Wine says nothing about NTFS.
#include <algorithm>
#include <unordered_map>
#include <utility>

#include "platform/ascii.h"
#include "platform/win32/win32_file_system_parts.h"

namespace tesoro::win32_detail {

using win32::UniqueFile;

namespace {

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
    const UniqueFile directory(CreateFileW(apiFolder.c_str(), FILE_LIST_DIRECTORY, kShareAll, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!directory) return false;
    constexpr DWORD kPieceBytes = 256 << 10;
    std::vector<std::uint64_t> piece(kPieceBytes / sizeof(std::uint64_t));  // entries are 8-byte aligned
    while (
        GetFileInformationByHandleEx(directory.get(), FileIdBothDirectoryInfo, piece.data(), kPieceBytes)) {
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

// FolderListings answers look-ups in the folders that many of the paths name from one listing of each.
// A listing costs about what a query for a file that is there costs, for every entry of the folder (and
// some systems read every name first); a query for a name that is not there costs several times more, as
// some systems read the whole folder for it. So a folder is listed when the first copies asked about in it
// one by one show some gone, or when so many copies are asked about that the folder likely holds little
// else.
constexpr std::size_t kListFrom = 8;       // fewer copies in a folder are always asked about
constexpr std::size_t kProbe = 8;          // copies asked about one by one before deciding
constexpr std::size_t kListAnyway = 1024;  // copies in one folder that make it worth listing

}  // namespace

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

struct FolderListings::Folder {
    explicit Folder(std::wstring folder) : path(std::move(folder)) {}
    std::wstring path;
    std::size_t paths = 0, askedOneByOne = 0;
    bool goneSeen = false, decided = false;
    std::optional<FolderIndex> index;
};

FolderListings::FolderListings(const std::vector<std::wstring>& paths) : places_(paths.size()) {
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

FolderListings::~FolderListings() = default;

std::optional<FileLookup> FolderListings::Answer(std::size_t index, const std::wstring& path) {
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
    const bool ordinary = *attributes != INVALID_FILE_ATTRIBUTES && IsListedFile(*attributes, NameOf(path));
    return ordinary ? FileLookup::OrdinaryFile : FileLookup::NoOrdinaryFile;
}

void FolderListings::AskedOneByOne(std::size_t index, FileLookup found) {
    if (!places_[index]) return;
    Folder& folder = folders_[places_[index]->folder];
    ++folder.askedOneByOne;
    folder.goneSeen = folder.goneSeen || found != FileLookup::OrdinaryFile;
}

// Whether the path names a file in a folder of a drive plainly enough for a listing to answer for
// it (no wildcards or streams, no device, a name a folder can hold), making `full` its full path.
bool FolderListings::ListablePath(const std::wstring& path, std::wstring& full) {
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

}  // namespace tesoro::win32_detail
