// Arbitrary bytes as TESORO.DAT: the reader either refuses them or gives lines that write back to a file
// it reads the same way; a full start and exit on them never fails.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "copy_log/log_file.h"
#include "doubles/fake_platform.h"

namespace {

using Lines = std::vector<std::wstring>;
using tesoro::testing::FakeCodec;
using tesoro::testing::FakePlatform;

// A count of thousands over a few bytes only repeats empty records; past this the slower checks add
// nothing but time.
constexpr std::size_t kCheckedLines = 300;

void CheckRoundTrip(const Lines& lines) {
    FakeCodec codec;
    const std::optional<std::string> written = tesoro::SerializeLogFile(tesoro::LogEntries(lines), codec);
    if (!written || tesoro::ParseLogFile(*written, codec) != lines) std::abort();
}

void CheckStartAndExit(const std::string& bytes) {
    FakePlatform fake;
    fake.fs.AddFile(L"C:\\Windows\\Temp\\TESORO.DAT", bytes);
    fake.fs.AddFile(L"C:\\Copias\\A.BAK", "a");
    tesoro::CopyLogFile file(fake.platform);
    tesoro::LogEntries log = file.Load();
    if (fake.dialogs.messages.size() > 1 || log.Count() < 0 || log.Count() >= log.Size()) std::abort();
    log.Append(L"1/3/2026:  a.txt -> C:\\Copias\\A.BAK");
    file.SaveIfChanged(log);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    FakeCodec codec;
    const std::optional<Lines> lines = tesoro::ParseLogFile(bytes, codec);
    if (lines && lines->size() > kCheckedLines) return 0;
    if (lines) CheckRoundTrip(*lines);
    CheckStartAndExit(bytes);
    return 0;
}
