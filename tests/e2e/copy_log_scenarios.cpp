// TESORO.DAT across runs: created empty on first start, pruned of copies gone from C:, left alone when
// nothing changed.
#include "support.h"

namespace e2e {
namespace {

FILETIME LastWrite(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

void SetLastWrite(const std::wstring& path, FILETIME time) {
    HANDLE file =
        CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
}

void RunOnce(const std::wstring& folder) {
    App app(folder);
    CloseAndWait(app);
}

SCENARIO("copy log", "first start leaves an empty TESORO.DAT") {
    DeleteFileW(kLogPath.c_str());
    REQUIRE(!FileExists(kLogPath), "cannot remove the old log");
    RunOnce(Folder(L"log-nuevo"));
    auto bytes = ReadBytes(kLogPath);
    CHECK(bytes.has_value(), "TESORO.DAT was not created in C:\\windows\\temp");
    if (bytes) CHECK_EQ(bytes->size(), 0u);
}

SCENARIO("copy log", "entries whose copy on C: is gone are dropped at start") {
    std::wstring folder = Folder(L"log-poda", {{L"existe.BAK", "copia"}});
    const std::wstring kept1 = L"3/4/2025:  existe.txt -> " + folder + L"\\existe.BAK";
    const std::wstring gone = L"3/4/2025:  falta.txt -> " + folder + L"\\falta.BAK";
    const std::wstring kept2 = L"5/6/2025:  año.txt -> D:\\no está\\año.BAK";
    REQUIRE(WriteBytes(kLogPath, LogBytes({kept1, gone, kept2})), "cannot write the log");
    RunOnce(folder);
    auto bytes = ReadBytes(kLogPath);
    REQUIRE(bytes.has_value(), "TESORO.DAT is gone");
    CHECK_EQ(bytes->size(), 384u);
    CHECK(*bytes == LogBytes({kept1, kept2}),
          "the log written back is not the two kept entries: " + Show(*bytes));
    auto lines = LogLines(*bytes);
    CHECK_EQ(lines.size(), 2u);
    if (lines.size() == 2) {
        CHECK_EQ(lines[0], kept1);
        CHECK_EQ(lines[1], kept2);
    }
}

SCENARIO("copy log", "a log whose copies all exist is not rewritten") {
    std::wstring folder = Folder(L"log-intacto", {{L"a.BAK", "a"}, {L"b.BAK", "b"}});
    const std::string original = LogBytes(
        {L"1/2/2025:  a.txt -> " + folder + L"\\a.BAK", L"1/2/2025:  b.doc -> " + folder + L"\\b.BAK"});
    REQUIRE(WriteBytes(kLogPath, original), "cannot write the log");
    FILETIME old{};
    SYSTEMTIME when{2020, 1, 3, 15, 10, 30, 0, 0};
    SystemTimeToFileTime(&when, &old);
    SetLastWrite(kLogPath, old);
    RunOnce(folder);
    auto bytes = ReadBytes(kLogPath);
    REQUIRE(bytes.has_value(), "TESORO.DAT is gone");
    CHECK(*bytes == original, "the log's bytes changed: " + Show(*bytes));
    FILETIME after = LastWrite(kLogPath);
    CHECK(CompareFileTime(&after, &old) == 0, "the log's last-write time changed");
}

}  // namespace
}  // namespace e2e
