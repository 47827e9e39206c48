// The file system service on the wide Win32 API, built from the pieces in win32_file_system_parts.h.
#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ascii.h"
#include "platform/paths.h"
#include "platform/win32/win32_file_system_parts.h"
#include "platform/win32/win32_system_library.h"

namespace tesoro::win32_detail {
namespace {

using win32::UniqueFile;
using win32::UniqueKernelObject;

// A mutex named after the file in the namespace every session shares, which every user may wait for
// and release but not take over. A holder that ended without releasing it leaves it abandoned, which
// the next one takes as free: the file itself is only ever replaced whole.
class MutexLock : public UpdateLock {
public:
    explicit MutexLock(const std::wstring& path) : mutex_(Open(path)) {
        const DWORD waited = WaitForSingleObject(mutex_.get(), kLockWaitMs);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return;
        throw PlatformError("the update lock is held elsewhere", FailureReason::InUse);
    }
    ~MutexLock() override { ReleaseMutex(mutex_.get()); }
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

    UniqueKernelObject mutex_;
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
        Search(JoinPath(folder, L"*"), FIND_FIRST_EX_LARGE_FETCH, false, [&](const WIN32_FIND_DATAW& entry) {
            if (IsListedFolder(entry.dwFileAttributes, entry.cFileName)) names.emplace_back(entry.cFileName);
            temporaries.Note(entry);
            return false;
        });
        temporaries.RemoveLeftBehind(folder);
        SortNames(names);
        return names;
    }

    std::vector<std::wstring> ListFiles(const std::wstring& folder, const std::wstring& pattern) override {
        std::vector<std::wstring> names;
        TemporariesFound temporaries;
        Search(JoinPath(folder, pattern), FIND_FIRST_EX_LARGE_FETCH, false,
               [&](const WIN32_FIND_DATAW& entry) {
                   if (IsListed(entry) && NameMatches(entry.cFileName, pattern)) {
                       names.emplace_back(entry.cFileName);
                   }
                   temporaries.Note(entry);
                   return false;
               });
        temporaries.RemoveLeftBehind(folder);
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

    bool SameName(const std::wstring& a, const std::wstring& b) override {
        return UpperAsFileNames(a) == UpperAsFileNames(b);
    }

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
        UniqueFile file;
        DWORD error = ERROR_SUCCESS;
        SystemClock clock;
        RetryWhileHeld(
            [&] {
                file.reset(CreateFileW(apiPath.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
                error = file ? ERROR_SUCCESS : GetLastError();
                return error == ERROR_SHARING_VIOLATION;
            },
            clock);
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::nullopt;
        if (error != ERROR_SUCCESS) ThrowApiError("CreateFileW", error);
        // Read in one go where the size is known (a log of thousands of entries is megabytes); the byte
        // reserved beyond it lets the end be found without growing the buffer.
        LARGE_INTEGER size{};
        std::string bytes;
        if (GetFileSizeEx(file.get(), &size) && size.QuadPart < (1 << 30)) bytes.reserve(size.QuadPart + 1);
        DWORD read = 0;
        do {
            const std::size_t at = bytes.size();
            bytes.resize(bytes.capacity() > at ? bytes.capacity() : at + (1 << 16));
            const DWORD room = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, 1u << 30));
            if (!::ReadFile(file.get(), bytes.data() + at, room, &read, nullptr)) ThrowLastError("ReadFile");
            bytes.resize(at + read);
        } while (read > 0);
        return bytes;
    }

    void CreateEmptyFile(const std::wstring& path) override {
        const UniqueFile file(CreateFileW(ApiPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return;
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

std::unique_ptr<FileSystem> MakeFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace tesoro::win32_detail
