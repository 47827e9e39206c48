// What the behaviour relies on from the file system, written once and run against every
// implementation: the in-memory one of the host tests and the Win32 one under Wine.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/services.h"
#include "platform/temporary_files.h"

namespace tesoro::contract {

// The machine a case runs on: the file system under test and the set-up and inspection steps that
// only a test takes.
class World {
public:
    virtual ~World() = default;
    virtual FileSystem& fs() = 0;
    // A new, empty folder for one case.
    virtual std::wstring NewFolder(const std::wstring& name) = 0;
    virtual void MakeFile(const std::wstring& path, const std::string& bytes) = 0;
    virtual void MakeFolder(const std::wstring& path) = 0;
    virtual void SetAttributes(const std::wstring& path, bool readOnly, bool hidden, bool system) = 0;
    virtual bool ReadOnly(const std::wstring& path) = 0;
    virtual std::optional<std::string> Contents(const std::wstring& path) = 0;
    // Every name in a folder, hidden and system ones included.
    virtual std::vector<std::wstring> AllNames(const std::wstring& folder) = 0;
    // The 8.3 form of a path, empty when the system keeps none.
    virtual std::wstring ShortPath(const std::wstring& path) = 0;
    // The letter of a drive that is there but cannot be read (no disc), 0 when none was set up.
    virtual wchar_t UnreadableDrive() = 0;
    // Leaves only this much free space on the drive of a folder; false when that cannot be arranged.
    virtual bool LimitFreeSpace(const std::wstring& folder, std::uint64_t bytes) = 0;
    // As another program that has the file open and shares it with no one; `held` false lets it go.
    virtual void HoldOpen(const std::wstring& path, bool held) = 0;
    virtual ProcessStamp RunningProcess() = 0;  // this one
    virtual ProcessStamp EndedProcess() = 0;    // one that no longer runs
    // A temporary file as a write cut short by the end of its process leaves it.
    virtual std::wstring MakeTemporary(const std::wstring& folder, const ProcessStamp& writer,
                                       bool hidden) = 0;
};

// How a case reports: a check that holds or not, or a case that cannot run here and why.
struct Report {
    std::function<void(bool holds, const std::string& what)> check;
    std::function<void(const std::string& why)> skip;
};

struct Case {
    const char* name;
    void (*run)(World& world, const Report& report);
};

const std::vector<Case>& FileSystemContract();

// Whether the action was refused with a PlatformError.
bool Throws(const std::function<void()>& action);

}  // namespace tesoro::contract
