// Arbitrary bytes as TESORO.DAT: the reader either refuses them or gives lines that write back to a file
// it reads the same way; a full start and exit on them never fails.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "asan_options.h"
#include "copy_log/log_file.h"
#include "doubles/fake_platform.h"

namespace {

using Lines = std::vector<std::wstring>;
using tesoro::testing::FakeCodec;
using tesoro::testing::FakePlatform;

// Most random headers ask for thousands of records that the few bytes behind them cannot hold, and every
// missing record reads as the same empty line: building and dropping those lines took nearly all the time
// of a run. Such a count is folded below this bound (large counts have their own unit tests); counts out
// of range are left for the reader to refuse.
constexpr int kCheckedLines = 64;

std::string WithFoldedCount(std::string bytes) {
    // The count: a 16-bit number behind tag 2, a 32-bit one behind tag 3, little-endian.
    const std::size_t width = bytes.size() < 2 || bytes[1] != 0 ? 0
                              : bytes[0] == 2                   ? 2
                              : bytes[0] == 3                   ? 4
                                                                : 0;
    if (width == 0 || bytes.size() < 2 + width) return bytes;
    std::uint32_t raw = 0;
    for (std::size_t i = width; i-- > 0;) raw = raw << 8 | static_cast<std::uint8_t>(bytes[2 + i]);
    const std::int32_t count = width == 2 ? static_cast<std::int16_t>(raw) : static_cast<std::int32_t>(raw);
    if (count <= kCheckedLines || count > tesoro::LogEntries::kMaxCount) return bytes;
    const std::uint32_t folded = static_cast<std::uint32_t>(count % (kCheckedLines + 1));
    for (std::size_t i = 0; i < width; ++i) bytes[2 + i] = static_cast<char>(folded >> (8 * i) & 0xFF);
    return bytes;
}

void CheckRoundTrip(const Lines& lines) {
    FakeCodec codec;
    const std::optional<std::string> written = tesoro::SerializeLogFile(tesoro::LogEntries(lines), codec);
    if (!written || tesoro::ParseLogFile(*written, codec) != lines) std::abort();
}

// One machine for every run, only its log file put back each time: setting up a new one cost more than
// the run itself. A run changes nothing else on it (it reads, and writes the log back).
FakePlatform& Machine() {
    static FakePlatform* const fake = [] {
        auto* machine = new FakePlatform;
        machine->fs.AddFile(L"C:\\Copias\\A.BAK", "a");
        return machine;
    }();
    return *fake;
}

void CheckStartAndExit(const std::string& bytes) {
    FakePlatform& fake = Machine();
    fake.fs.AddFile(L"C:\\Windows\\Temp\\TESORO.DAT", bytes);
    fake.dialogs.messages.clear();
    tesoro::CopyLogFile file(fake.platform);
    tesoro::LogEntries log = file.Load();
    if (fake.dialogs.messages.size() > 1 || log.Count() < 0 || log.Count() >= log.Size()) std::abort();
    log.Append(L"1/3/2026:  a.txt -> C:\\Copias\\A.BAK");
    file.SaveIfChanged(log);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = WithFoldedCount(std::string(reinterpret_cast<const char*>(data), size));
    FakeCodec codec;
    const std::optional<Lines> lines = tesoro::ParseLogFile(bytes, codec);
    if (lines) CheckRoundTrip(*lines);
    CheckStartAndExit(bytes);
    return 0;
}
