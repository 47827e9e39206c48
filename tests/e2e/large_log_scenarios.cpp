// A copy log of thousands of entries: pruning at start drops exactly the entries whose copy is gone,
// whether the copy alone or its whole folder went, and keeps the others in their order.
#include "support.h"

namespace e2e {
namespace {

SCENARIO("copy log", "a large log loses exactly the copies gone from C: at start") {
    constexpr int kEntries = 3000;
    std::vector<std::pair<std::wstring, std::string>> files;
    std::vector<std::wstring> all, kept;
    const std::wstring root = L"C:\\e2e\\log-grande";
    for (int k = 1; k <= kEntries; ++k) {
        const std::wstring name = L"copia" + std::to_wstring(k);
        // Odd: the copy is there. Even: half of them deleted, the other half in a folder deleted whole.
        const std::wstring folder = k % 4 == 2 ? root + L"\\borrada" : root;
        const std::wstring line = L"7/12/2026:  " + name + L".txt -> " + folder + L"\\" + name + L".BAK";
        all.push_back(line);
        if (k % 2 == 1) {
            files.push_back({name + L".BAK", "copia"});
            kept.push_back(line);
        }
    }
    const std::wstring folder = Folder(L"log-grande", files);
    REQUIRE(WriteBytes(kLogPath, LogBytes(all)), "cannot write the log");

    App app(folder);
    CloseAndWait(app);
    auto bytes = ReadBytes(kLogPath);
    REQUIRE(bytes.has_value(), "TESORO.DAT is gone");
    CHECK_EQ(bytes->size(), (kept.size() + 1) * 128);
    CHECK(*bytes == LogBytes(kept), "the log written back is not exactly the entries whose copy exists");
}

}  // namespace
}  // namespace e2e
