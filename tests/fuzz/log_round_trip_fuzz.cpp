// Random appends, replacements and removals on the copy log, each line made of code-page bytes, with the
// file written and read back now and then: every record must come back byte for byte, in its place.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "sanitizer_options.h"
#include "copy_log/log_entries.h"
#include "copy_log/log_file.h"
#include "platform/cp1252.h"
#include "platform/services.h"

namespace {

// The Windows-1252 converter itself, not a test double.
class Cp1252 : public tesoro::AnsiCodec {
public:
    std::string ToAnsi(const std::wstring& text) override { return tesoro::EncodeCp1252(text); }
    std::wstring FromAnsi(const std::string& bytes) override { return tesoro::DecodeCp1252(bytes); }
};

constexpr std::size_t kRecordSize = tesoro::CopyLogFile::kRecordSize;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ >= size_; }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    // Up to a full record's worth of bytes, any values at all.
    std::string Line() {
        std::string line(Byte() % (tesoro::CopyLogFile::kMaxLineBytes + 1), '\0');
        for (char& c : line) c = static_cast<char>(Byte());
        return line;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

void Require(bool condition) {
    if (!condition) std::abort();
}

unsigned ReadU16(const std::string& bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

// Entry i (from 1) holds exactly the expected bytes.
void CheckEntry(const tesoro::LogEntries& log, const std::vector<std::string>& expected, std::size_t i,
                Cp1252& codec) {
    Require(codec.ToAnsi(log.Entry(static_cast<int>(i))) == expected[i - 1]);
}

// Writes the file, checks its records byte for byte and reads it back as the next start would: the same
// texts come back. (Each entry's bytes need no check of their own: the records written are its bytes.)
tesoro::LogEntries SaveAndReload(const tesoro::LogEntries& log, const std::vector<std::string>& expected,
                                 Cp1252& codec) {
    const std::optional<std::string> file = tesoro::SerializeLogFile(log, codec);
    Require(file && file->size() == (expected.size() + 1) * kRecordSize);
    Require(ReadU16(*file, 0) == 2 && ReadU16(*file, 2) == expected.size());
    for (std::size_t k = 1; k <= expected.size(); ++k) {
        const std::string& line = expected[k - 1];
        Require(ReadU16(*file, k * kRecordSize) == line.size());
        Require(file->compare(k * kRecordSize + 2, line.size(), line) == 0);
    }
    std::optional<std::vector<std::wstring>> lines = tesoro::ParseLogFile(*file, codec);
    Require(lines.has_value() && lines->size() == expected.size());
    for (std::size_t i = 1; i <= expected.size(); ++i) {
        Require((*lines)[i - 1] == log.Entry(static_cast<int>(i)));
    }
    return tesoro::LogEntries(std::move(*lines));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Cp1252 codec;
    Input input(data, size);
    tesoro::LogEntries log;
    std::vector<std::string> expected;  // the bytes each entry must be stored as
    while (!input.Empty()) {
        const std::uint8_t operation = input.Byte() % 4;
        const std::size_t count = expected.size();
        std::size_t touched = 0;  // the entry to check at once; all are checked at each save
        if (operation == 0 && !log.Full()) {
            std::string line = input.Line();
            log.Append(codec.FromAnsi(line));
            expected.push_back(std::move(line));
            touched = expected.size();
        } else if (operation == 1 && count > 0) {
            touched = input.Byte() % count + 1;
            std::string line = input.Line();
            log.Replace(static_cast<int>(touched), codec.FromAnsi(line));
            expected[touched - 1] = std::move(line);
        } else if (operation == 2 && count > 0) {
            const std::size_t removed = input.Byte() % count + 1;
            log.Remove(static_cast<int>(removed));
            expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(removed - 1));
            if (removed <= expected.size()) touched = removed;  // the next entry moved into its place
        } else if (operation == 3) {
            log = SaveAndReload(log, expected, codec);
        }
        Require(log.Count() == static_cast<int>(expected.size()));
        if (touched != 0) CheckEntry(log, expected, touched, codec);
    }
    SaveAndReload(log, expected, codec);
    return 0;
}
