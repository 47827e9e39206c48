// Paths as the file system hands them to the API, and what opening a path tells: a file's identity,
// whether another program holds it, whether its drive can be read.
#include <algorithm>

#include "platform/ascii.h"
#include "platform/win32/win32_file_system_parts.h"

namespace tesoro::win32_detail {

using win32::UniqueFile;

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

std::wstring NameOf(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

// Names are no proof of identity (letter case, 8.3 names, hard links): the volume and file index are.
FileIdentity IdentityOf(const std::wstring& apiPath) {
    const UniqueFile file(CreateFileW(apiPath.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) ThrowLastError("CreateFileW");
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file.get(), &info)) ThrowLastError("GetFileInformationByHandle");
    return {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// Whether another program has the file open without letting it go: opening it for deletion, sharing
// everything, is then refused as a sharing violation.
bool HeldByAnotherProgram(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return !file && GetLastError() == ERROR_SHARING_VIOLATION;
}

// A search that found nothing on a drive that is there but cannot be read (no disc, a lost network
// share) has not really been carried out: the drive is not ready, whatever code the system gave. On a
// drive that does not exist there is no file. With `readable`, a drive found there once is not asked
// about again.
void ThrowIfDriveUnreadable(const std::wstring& path, DriveSet* readable) {
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

std::wstring FolderPrefix(const std::wstring& apiPath) { return apiPath.substr(0, apiPath.rfind(L'\\') + 1); }

}  // namespace tesoro::win32_detail
