// Arbitrary bytes as TESORO.DAT, read at start and saved with one line more, as the program does: the
// reader reports the file damaged exactly when it breaks the format, and then writes nothing; otherwise
// the file it writes holds records of the one it read, byte for byte and in order, and the new line.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "copy_log/log_file.h"
#include "doubles/fake_platform.h"
#include "sanitizer_options.h"

namespace {

using tesoro::CopyLogFile;
using tesoro::FileLookup;
using tesoro::LogEntries;

constexpr std::size_t kRecordSize = CopyLogFile::kRecordSize;
const wchar_t kAddedLine[] = L"1/3/2026:  a.txt -> C:\\Copias\\A.BAK";
const char kAddedRecord[] = "1/3/2026:  a.txt -> C:\\Copias\\A.BAK";  // as stored

void Require(bool condition) {
    if (!condition) std::abort();
}

unsigned ReadU16(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

// Record 1 as the format has it: tag 2 and a signed 16-bit count, or tag 3 and a signed 32-bit one,
// little-endian; a file shorter than a tag and a 16-bit number holds no records.
struct Header {
    std::size_t width = 0;  // bytes of the count; 0 when there is none
    std::int32_t count = 0;
    bool valid = true;
};

Header ReadHeader(std::string_view bytes) {
    if (bytes.size() < 4) return {};
    const unsigned tag = ReadU16(bytes, 0);
    const std::size_t width = tag == 2 ? 2 : tag == 3 && bytes.size() >= 6 ? 4 : 0;
    if (width == 0) return {0, 0, false};
    std::uint32_t raw = 0;
    for (std::size_t i = width; i-- > 0;) raw = raw << 8 | static_cast<std::uint8_t>(bytes[2 + i]);
    const std::int32_t count = width == 2 ? static_cast<std::int16_t>(raw) : static_cast<std::int32_t>(raw);
    return {width, count, count >= 0 && count <= LogEntries::kMaxCount};
}

// The line bytes of record k (from 1): empty when the file ends before the record, nullopt when it ends
// inside it or the length is longer than a record holds.
std::optional<std::string_view> RecordLine(std::string_view bytes, std::size_t k) {
    const std::size_t offset = k * kRecordSize;
    if (offset >= bytes.size()) return std::string_view();
    if (bytes.size() - offset < 2) return std::nullopt;
    const std::size_t length = ReadU16(bytes, offset);
    if (length > CopyLogFile::kMaxLineBytes || bytes.size() - offset - 2 < length) return std::nullopt;
    return bytes.substr(offset + 2, length);
}

bool IsLog(std::string_view bytes, const Header& header) {
    if (!header.valid) return false;
    for (std::size_t k = 1; k <= static_cast<std::size_t>(header.count); ++k) {
        if (!RecordLine(bytes, k)) return false;
    }
    return true;
}

// Most random headers ask for thousands of records that the few bytes behind them cannot hold, and every
// missing record reads as the same empty line: building and dropping those lines took nearly all the time
// of a run. Such a count is folded below this bound (large counts have their own unit tests); counts out
// of range are left for the reader to refuse.
constexpr int kCheckedLines = 64;

void FoldCount(std::string& bytes, Header& header) {
    if (!header.valid || header.count <= kCheckedLines) return;
    header.count %= kCheckedLines + 1;
    for (std::size_t i = 0; i < header.width; ++i) {
        bytes[2 + i] = static_cast<char>(static_cast<std::uint32_t>(header.count) >> (8 * i) & 0xFF);
    }
}

// The disk as the log sees it: TESORO.DAT in C:\Windows\Temp, and copies whose presence follows from
// their names, the same name giving the same answer in every run. Nothing else is reached at start and
// exit; the path handling of the general fake (its own contract tests cover it) cost most of a run.
class LogDisk : public tesoro::FileSystem {
public:
    explicit LogDisk(const std::string& log) : log_(log) {}
    const std::optional<std::string>& Saved() const { return saved_; }

    bool PathExists(const std::wstring&) override { return true; }
    void RemoveStaleTemporaries(const std::wstring&) override {}
    std::optional<std::string> ReadFile(const std::wstring&) override { return log_; }
    void ReplaceFile(const std::wstring&, const std::string& bytes) override {
        Require(!saved_);
        saved_ = bytes;
    }
    std::unique_ptr<tesoro::UpdateLock> LockUpdates(const std::wstring&) override {
        return std::make_unique<tesoro::UpdateLock>();
    }
    // One folder in eight is missing, one copy in sixteen cannot be looked for, a quarter of the rest
    // are gone.
    FileLookup LookUpOrdinaryFile(const std::wstring& path) override {
        const std::size_t slash = path.find_last_of(L"\\/");
        if (slash != std::wstring::npos && Hash(std::wstring_view(path).substr(0, slash)) % 8 == 0) {
            return FileLookup::FolderMissing;
        }
        const std::uint32_t hash = Hash(path);
        if (hash % 16 == 1) throw tesoro::PlatformError("drive not ready", tesoro::FailureReason::NotReady);
        return hash % 4 == 0 ? FileLookup::NoOrdinaryFile : FileLookup::OrdinaryFile;
    }

    std::wstring CurrentFolder() override { std::abort(); }
    std::wstring DriveCurrentFolder(wchar_t) override { std::abort(); }
    std::vector<std::wstring> ListFolders(const std::wstring&) override { std::abort(); }
    std::vector<std::wstring> ListFiles(const std::wstring&, const std::wstring&) override { std::abort(); }
    bool FolderExists(const std::wstring&) override { std::abort(); }
    bool FindOrdinaryFile(const std::wstring&) override { std::abort(); }
    bool SameName(const std::wstring&, const std::wstring&) override { std::abort(); }
    bool SameFile(const std::wstring&, const std::wstring&) override { std::abort(); }
    void CopyFile(const std::wstring&, const std::wstring&, tesoro::CopyProgress*) override { std::abort(); }
    void DeleteFile(const std::wstring&) override { std::abort(); }
    void CreateEmptyFile(const std::wstring&) override { std::abort(); }

private:
    static std::uint32_t Hash(std::wstring_view text) {
        std::uint32_t hash = 2166136261u;
        for (const wchar_t c : text) hash = (hash ^ static_cast<std::uint32_t>(c)) * 16777619u;
        return hash;
    }

    const std::string& log_;
    std::optional<std::string> saved_;
};

// The only message reading may give with a disk that always answers is the one for a damaged file.
class DamageReports : public tesoro::Dialogs {
public:
    int count = 0;

    tesoro::MsgAnswer MessageBox(const std::wstring& text, const std::wstring& title, tesoro::MsgIcon icon,
                                 tesoro::MsgButtons buttons) override {
        Require(title == L"Error en TESORO.DAT" &&
                text.starts_with(L"El archivo TESORO.DAT está dañado:\r") &&
                icon == tesoro::MsgIcon::Exclamation && buttons == tesoro::MsgButtons::Ok);
        ++count;
        return tesoro::MsgAnswer::Ok;
    }
    std::optional<std::wstring> InputBox(const std::wstring&, const std::wstring&,
                                         const std::wstring&) override {
        std::abort();
    }
    void RunWithProgress(const std::wstring&, const std::wstring&,
                         const std::function<void(tesoro::CopyProgress&)>&) override {
        std::abort();
    }
    void CancelWork() override { std::abort(); }
    void Beep() override { std::abort(); }
};

// The services reading never reaches, made once.
tesoro::testing::FakePlatform& Unused() {
    static auto* const fake = new tesoro::testing::FakePlatform;
    return *fake;
}

bool IsFiller(std::string_view bytes) {
    static constexpr char kZeros[kRecordSize] = {};
    return bytes == std::string_view(kZeros, bytes.size());
}

// The file written: a tag-2 header; the kept lines as they were read and in their order, empty ones
// included (each found among records 1 to `read` of the file read), then the added line; and zeros in
// every byte no line fills.
void CheckSaved(std::string_view saved, std::string_view read, std::size_t recordsRead, std::size_t count) {
    Require(saved.size() == (count + 1) * kRecordSize);
    Require(ReadU16(saved, 0) == 2 && ReadU16(saved, 2) == count);
    Require(IsFiller(saved.substr(4, kRecordSize - 4)));
    std::size_t from = 1;
    for (std::size_t k = 1; k <= count; ++k) {
        const std::optional<std::string_view> line = RecordLine(saved, k);
        Require(line.has_value());
        if (k == count) {
            Require(*line == kAddedRecord);
        } else {
            while (from <= recordsRead && RecordLine(read, from) != line) ++from;
            Require(from++ <= recordsRead);
        }
        Require(IsFiller(
            saved.substr(k * kRecordSize + 2 + line->size(), CopyLogFile::kMaxLineBytes - line->size())));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    Header header = ReadHeader(bytes);
    FoldCount(bytes, header);

    tesoro::testing::FakePlatform& unused = Unused();
    LogDisk disk(bytes);
    DamageReports dialogs;
    tesoro::testing::FakeCodec codec;
    tesoro::Platform platform{disk,          unused.drives, dialogs,        unused.clock,   unused.shell,
                              unused.screen, codec,         unused.process, unused.windows, unused.windowApi};
    CopyLogFile file(platform);
    LogEntries log = file.Load();
    const int recordsRead = log.Size() - 1;  // pruned entries leave empty slots until the next append
    Require(log.Count() >= 0 && log.Count() <= recordsRead);
    log.Append(kAddedLine);
    file.SaveBeforeExit(log);

    if (!IsLog(bytes, header)) {
        Require(dialogs.count == 1 && recordsRead == 0 && !disk.Saved());
        return 0;
    }
    Require(dialogs.count == 0 && recordsRead == header.count && disk.Saved());
    CheckSaved(*disk.Saved(), bytes, static_cast<std::size_t>(recordsRead),
               static_cast<std::size_t>(log.Count()));
    return 0;
}
