// Files written beside their final place and put there in one step: our temporary files (made, filled,
// found again and removed once their writer has gone) and the copy made through one.
#include <algorithm>
#include <atomic>
#include <utility>

#include "platform/paths.h"
#include "platform/win32/win32_file_system_parts.h"

namespace tesoro::win32_detail {

using win32::UniqueFile;
using win32::UniqueKernelObject;

namespace {

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
    const UniqueKernelObject process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, writer.id));
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    FILETIME created{}, exited, kernel, user;
    DWORD exitCode = 0;
    return GetProcessTimes(process.get(), &created, &exited, &kernel, &user) &&
           Ticks(created) == writer.started && GetExitCodeProcess(process.get(), &exitCode) &&
           exitCode == STILL_ACTIVE;
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

constexpr int kTemporaryAttempts = 100;

struct Temporary {
    std::wstring path;
    UniqueFile file;
};

// A new, empty, hidden file in the folder (given with its final backslash), open for writing.
Temporary CreateTemporary(const std::wstring& folder) {
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        std::wstring path = folder + TemporaryFileName(ThisProcess(), serial++);
        UniqueFile file(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr));
        if (file) return {std::move(path), std::move(file)};
        DWORD error = GetLastError();
        if (!NameTaken(error)) ThrowApiError("CreateFileW", error);
    }
    throw PlatformError("CreateFileW: no free temporary name");
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
UniqueFile OpenSource(const std::wstring& source) {
    UniqueFile in(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (in) return in;
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(source.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ThrowApiError("CreateFileW", error, FailureReason::IsFolder);
    }
    ThrowApiError("CreateFileW", error);
}

}  // namespace

bool NameTaken(DWORD error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }

void RemoveTemporary(const std::wstring& temp) {
    SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);  // it may carry the source's read-only mark
    DeleteFileW(temp.c_str());
}

void TemporariesFound::Note(std::wstring_view name, DWORD attributes, std::uint64_t lastWrite) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return;
    if (const std::optional<ProcessStamp> writer = TemporaryFileWriter(name)) {
        found_.push_back({std::wstring(name), *writer, lastWrite});
    }
}

void TemporariesFound::Note(const WIN32_FIND_DATAW& entry) {
    Note(entry.cFileName, entry.dwFileAttributes, Ticks(entry.ftLastWriteTime));
}

void TemporariesFound::RemoveLeftBehind(const std::wstring& folder) const {
    if (found_.empty()) return;  // as nearly always: the folder's path is not even made whole
    const std::wstring apiFolder = ApiPath(folder);
    const bool onNetwork = OnNetwork(apiFolder);
    for (const Found& temp : found_) {
        const bool leftBehind =
            onNetwork ? NowTicks() - temp.lastWrite > kTicksPerDay : !StillRunning(temp.writer);
        if (leftBehind) RemoveTemporary(JoinPath(apiFolder, temp.name));
    }
}

void RemoveStaleTemporariesIn(const std::wstring& apiFolder) {
    QuietErrorMode quiet;
    TemporariesFound found;
    try {
        Search(JoinPath(apiFolder, L"~tesoro-*.tmp"), 0, true, [&](const WIN32_FIND_DATAW& entry) {
            found.Note(entry);
            return false;
        });
    } catch (const PlatformError&) {
        return;  // the folder cannot be read: nothing to do now
    }
    found.RemoveLeftBehind(apiFolder);
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

// Fills a temporary file through `write`, closes it and gives it `attributes`; on any failure the
// temporary is removed.
std::wstring WriteTemporary(const std::wstring& folder, DWORD attributes,
                            const std::function<void(HANDLE)>& write) {
    Temporary temp = CreateTemporary(folder);
    try {
        write(temp.file.get());
        if (!FlushFileBuffers(temp.file.get())) ThrowLastError("FlushFileBuffers");
        if (!temp.file.close()) ThrowLastError("CloseHandle");
        if (!SetFileAttributesW(temp.path.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL)) {
            ThrowLastError("SetFileAttributesW");
        }
    } catch (...) {
        temp.file.close();
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

// The source's bytes, last-write time and attributes in a temporary file in the folder.
std::wstring CopyToTemporary(const std::wstring& source, const std::wstring& folder, CopyProgress* progress) {
    UniqueFile in = InCopyStep(CopyStep::OpenSource, [&] { return OpenSource(source); });
    const DWORD attributes = InCopyStep(CopyStep::OpenSource, [&] {
        const DWORD read = GetFileAttributesW(source.c_str());
        if (read == INVALID_FILE_ATTRIBUTES) ThrowLastError("GetFileAttributesW");
        return read;
    });
    return InCopyStep(CopyStep::WriteCopy, [&] {
        return WriteTemporary(folder, attributes & kCopiedAttributes,
                              [&](HANDLE out) { CopyContents(in.get(), out, progress); });
    });
}

// Replaces the target in one step; until then the earlier file is untouched. A read-only target
// (`targetAttributes`) loses its mark just for the step and gets it back if the step fails.
void PutInPlace(const std::wstring& temp, const std::wstring& target, DWORD targetAttributes) {
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

}  // namespace tesoro::win32_detail
