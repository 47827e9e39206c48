// The file-system contract on the in-memory file system the other host tests stand on.
#include "contract/file_system_contract.h"

#include <gtest/gtest.h>

#include <cwctype>

#include "doubles/fake_platform.h"

namespace tesoro::testing {
namespace {

class FakeWorld : public contract::World {
public:
    FakeWorld() { fake.fs.AddDrive(L'Q', kCdRom).ready = false; }

    FileSystem& fs() override { return fake.fs; }
    std::wstring NewFolder(const std::wstring& name) override {
        const std::wstring path = L"C:\\Contrato\\" + name;
        fake.fs.AddFolder(path);
        return path;
    }
    void MakeFile(const std::wstring& path, const std::string& bytes) override {
        fake.fs.AddFile(path, bytes);
    }
    void MakeFolder(const std::wstring& path) override { fake.fs.AddFolder(path); }
    void SetAttributes(const std::wstring& path, bool readOnly, bool hidden, bool system) override {
        fake.fs.SetAttributes(path, {.hidden = hidden, .system = system, .readOnly = readOnly});
    }
    bool ReadOnly(const std::wstring& path) override { return fake.fs.Attributes(path).readOnly; }
    std::optional<std::string> Contents(const std::wstring& path) override {
        if (!fake.fs.Exists(path)) return std::nullopt;
        return fake.fs.Contents(path);
    }
    std::vector<std::wstring> AllNames(const std::wstring& folder) override { return fake.fs.Names(folder); }
    std::wstring ShortPath(const std::wstring& path) override { return fake.fs.ShortPath(path); }
    wchar_t UnreadableDrive() override { return L'Q'; }
    bool LimitFreeSpace(const std::wstring& folder, std::uint64_t bytes) override {
        fake.fs.GetDrive(folder[0]).freeBytes = bytes;
        return true;
    }
    void HoldOpen(const std::wstring& path, bool held) override { fake.fs.SetLocked(path, held); }
    ProcessStamp RunningProcess() override { return fake.fs.runningProcesses.front(); }
    ProcessStamp EndedProcess() override {
        return {RunningProcess().id, RunningProcess().started + 1};  // the same id, given again later
    }
    std::wstring MakeTemporary(const std::wstring& folder, const ProcessStamp& writer, bool hidden) override {
        const std::wstring path = fake.fs.AddTemporary(folder, writer);
        if (!hidden) fake.fs.SetAttributes(path, {});
        return path;
    }

private:
    FakePlatform fake;
};

class FileSystemContractTest : public ::testing::TestWithParam<contract::Case> {};

TEST_P(FileSystemContractTest, HoldsOnTheFake) {
    FakeWorld world;
    const contract::Report report{
        [](bool holds, const std::string& what) { EXPECT_TRUE(holds) << what; },
        [](const std::string& why) { ADD_FAILURE() << "the fake must run every case: " << why; }};
    GetParam().run(world, report);
}

std::string CaseName(const ::testing::TestParamInfo<contract::Case>& info) {
    std::string name;
    bool upper = true;
    for (const char* c = info.param.name; *c; ++c) {
        if (!std::isalnum(static_cast<unsigned char>(*c))) {
            upper = true;
            continue;
        }
        name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(*c))) : *c;
        upper = false;
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Fake, FileSystemContractTest, ::testing::ValuesIn(contract::FileSystemContract()),
                         CaseName);

}  // namespace
}  // namespace tesoro::testing
