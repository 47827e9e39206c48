#include "copy_log/log_file.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>

#include "platform/cp1252.h"

namespace tesoro {
namespace {

constexpr std::size_t kRecordSize = CopyLogFile::kRecordSize;
constexpr unsigned kTagInt16 = 2;
constexpr unsigned kTagInt32 = 3;  // written by nothing of ours, but a valid typed count all the same

const wchar_t kFileKept[] = L"Se conserva tal como está y los cambios de esta sesión no se guardarán en él.";

unsigned ReadU16(const std::string& bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

std::int32_t ReadI32(const std::string& bytes, std::size_t at) {
    const std::uint32_t value = ReadU16(bytes, at) | static_cast<std::uint32_t>(ReadU16(bytes, at + 2)) << 16;
    return static_cast<std::int32_t>(value);
}

void WriteU16(std::string& bytes, std::size_t at, unsigned value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

bool FitsRecord(const std::string& ansiLine) { return ansiLine.size() <= CopyLogFile::kMaxLineBytes; }

// The count of record 1; 0 for a file too short to hold one, nullopt when it makes no sense.
std::optional<int> ReadCount(const std::string& bytes) {
    if (bytes.size() < 4) return 0;
    const unsigned tag = ReadU16(bytes, 0);
    std::int32_t count = 0;
    if (tag == kTagInt16) {
        count = static_cast<std::int16_t>(ReadU16(bytes, 2));
    } else if (tag == kTagInt32 && bytes.size() >= 6) {
        count = ReadI32(bytes, 2);
    } else {
        return std::nullopt;
    }
    if (count < 0 || count > LogEntries::kMaxCount) return std::nullopt;
    return count;
}

// The line of the record at `offset`: empty when the file ends before it, nullopt when the file ends
// inside it or its length cannot be right.
std::optional<std::wstring> ReadLine(const std::string& bytes, std::size_t offset, AnsiCodec& codec) {
    if (offset >= bytes.size()) return std::wstring();
    if (bytes.size() - offset < 2) return std::nullopt;
    const std::size_t length = ReadU16(bytes, offset);
    if (length > CopyLogFile::kMaxLineBytes || bytes.size() - offset - 2 < length) return std::nullopt;
    return codec.FromAnsi(bytes.substr(offset + 2, length));
}

const wchar_t kErrorTitle[] = L"Error en TESORO.DAT";

void ReportFileError(Dialogs& dialogs, const std::wstring& problem, const std::wstring& path,
                     const std::wstring& outcome) {
    dialogs.MessageBox(problem + L"\r" + path + L"\r\r" + outcome, kErrorTitle, MsgIcon::Exclamation,
                       MsgButtons::Ok);
}

}  // namespace

std::optional<std::vector<std::wstring>> ParseLogFile(const std::string& bytes, AnsiCodec& codec) {
    const std::optional<int> count = ReadCount(bytes);
    if (!count) return std::nullopt;
    std::vector<std::wstring> lines;
    lines.reserve(static_cast<std::size_t>(*count));
    for (std::size_t k = 1; k <= static_cast<std::size_t>(*count); ++k) {
        std::optional<std::wstring> line = ReadLine(bytes, k * kRecordSize, codec);
        if (!line) return std::nullopt;
        lines.push_back(std::move(*line));
    }
    return lines;
}

std::optional<std::string> SerializeLogFile(const LogEntries& log, AnsiCodec& codec) {
    const int count = log.Count();
    if (count < 0 || count > LogEntries::kMaxCount) return std::nullopt;
    // Filler bytes carry no meaning; zeros keep the file free of stale text.
    std::string bytes((static_cast<std::size_t>(count) + 1) * kRecordSize, '\0');
    WriteU16(bytes, 0, kTagInt16);
    WriteU16(bytes, 2, static_cast<unsigned>(count));
    for (int k = 1; k <= count; ++k) {
        const std::string line = codec.ToAnsi(log.Entry(k));
        if (!FitsRecord(line)) return std::nullopt;
        const std::size_t offset = static_cast<std::size_t>(k) * kRecordSize;
        WriteU16(bytes, offset, static_cast<unsigned>(line.size()));
        bytes.replace(offset + 2, line.size(), line);
    }
    return bytes;
}

std::wstring CopyLogFile::Path() {
    return platform_.fs.PathExists(L"C:\\Windows\\Temp") ? L"C:\\Windows\\Temp\\TESORO.DAT"
                                                         : L"C:\\TESORO.DAT";
}

LogEntries CopyLogFile::Load() {
    const std::wstring path = Path();
    platform_.fs.RemoveStaleTemporaries(path.substr(0, path.rfind(L'\\') + 1));
    std::optional<std::string> bytes;
    try {
        bytes = platform_.fs.ReadFile(path);
    } catch (const PlatformError&) {
        fileProtected_ = true;
        ReportFileError(platform_.dialogs, L"No se puede leer el archivo TESORO.DAT:", path, kFileKept);
        return LogEntries();
    }
    if (!bytes) {
        // Left on disk from the first start on. If it cannot be made, the save at exit reports it.
        try {
            platform_.fs.CreateEmptyFile(path);
        } catch (const PlatformError&) {
        }
        return LogEntries();
    }
    std::optional<std::vector<std::wstring>> lines = ParseLogFile(*bytes, platform_.codec);
    if (!lines) {
        fileProtected_ = true;
        ReportFileError(platform_.dialogs, L"El archivo TESORO.DAT está dañado:", path, kFileKept);
        return LogEntries();
    }
    LogEntries log(std::move(*lines));
    Prune(log);
    return log;
}

// Drops the entries whose copy on drive C: is gone, then moves the survivors in front of the emptied
// slots, keeping their order. Empty lines from the file stay counted, behind the others. All the copies
// are asked about in one go; a copy that cannot be looked for counts as present.
void CopyLogFile::Prune(LogEntries& log) {
    const int countRead = log.count_;
    std::vector<std::size_t> lines;
    std::vector<std::wstring> copies;
    for (std::size_t k = 0; k < static_cast<std::size_t>(countRead); ++k) {
        std::wstring destination = DestinationPart(log.lines_[k]);
        if (destination.empty() || UpperCaseCp1252(destination.substr(0, 1)) != L"C") continue;
        lines.push_back(k);
        copies.push_back(std::move(destination));
    }
    const std::vector<std::optional<FileLookup>> found = platform_.fs.LookUpOrdinaryFiles(copies);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!found[i] || *found[i] == FileLookup::OrdinaryFile) continue;
        std::wstring& line = log.lines_[lines[i]];
        log.Record(LogChange::Remove(std::exchange(line, std::wstring())));
        --log.count_;
        log.changed_ = true;
    }
    std::stable_partition(log.lines_.begin(), log.lines_.begin() + countRead,
                          [](const std::wstring& line) { return !line.empty(); });
}

bool CopyLogFile::Save(LogEntries& log) {
    if (log.Pending().empty()) return true;
    if (fileProtected_) return false;
    const std::wstring path = Path();
    try {
        const std::unique_ptr<UpdateLock> lock = platform_.fs.LockUpdates(path);
        std::vector<const wchar_t*> dropped;
        std::optional<LogEntries> merged = Merge(path, log.Pending(), dropped);
        if (!merged) return false;
        const std::optional<std::string> bytes = SerializeLogFile(*merged, platform_.codec);
        if (!bytes) return false;
        platform_.fs.ReplaceFile(path, *bytes);
        for (const wchar_t* reason : dropped) DropUnlogged(reason);
        log.Saved(std::move(*merged));
        return true;
    } catch (const PlatformError&) {
        return false;
    }
}

// The file as it is now with the changes applied; nullopt when it makes no sense any more. A file that
// is gone counts as empty; one that cannot be read throws.
std::optional<LogEntries> CopyLogFile::Merge(const std::wstring& path, const std::vector<LogChange>& changes,
                                             std::vector<const wchar_t*>& dropped) {
    const std::optional<std::string> bytes = platform_.fs.ReadFile(path);
    std::optional<std::vector<std::wstring>> lines =
        bytes ? ParseLogFile(*bytes, platform_.codec) : std::vector<std::wstring>();
    if (!lines) return std::nullopt;
    LogEntries merged(std::move(*lines));
    for (const LogChange& change : changes) {
        if (change.kind != LogChange::Kind::Remove && !LineFits(change.line)) {
            dropped.push_back(kLineTooLong);
        } else if (!merged.Apply(change)) {
            dropped.push_back(kLogFull);
        }
    }
    return merged;
}

void CopyLogFile::DropUnlogged(const wchar_t* reason) {
    if (std::find(notLogged_.begin(), notLogged_.end(), reason) == notLogged_.end()) {
        notLogged_.emplace_back(reason);
    }
}

void CopyLogFile::SaveBeforeExit(LogEntries& log) {
    if (fileProtected_) return;
    while (!Save(log)) {
        const MsgAnswer answer = platform_.dialogs.MessageBox(
            L"No se pudo guardar el archivo TESORO.DAT:\r" + Path() +
                L"\r\rSi otro programa lo está usando, ciérrelo y pulse Reintentar.\r"
                L"Con Cancelar, el archivo anterior se conserva sin cambios.",
            kErrorTitle, MsgIcon::Exclamation, MsgButtons::RetryCancel);
        if (answer != MsgAnswer::Retry) return;
    }
}

bool CopyLogFile::LineFits(const std::wstring& line) { return FitsRecord(platform_.codec.ToAnsi(line)); }

std::wstring CopyLogFile::StoredForm(const std::wstring& text) {
    return platform_.codec.FromAnsi(platform_.codec.ToAnsi(text));
}

}  // namespace tesoro
