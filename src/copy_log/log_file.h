// TESORO.DAT, the copy log between runs: fixed 128-byte records. Record 1 holds the type tag 2 and the
// signed 16-bit count; each further record one line: its 16-bit length, then the line in the ANSI code
// page. Read at start, written at most once at exit.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "copy_log/log_entries.h"
#include "platform/services.h"

namespace tesoro {

class CopyLogFile {
public:
    static constexpr int kRecordSize = 128;
    static constexpr int kMaxLineBytes = kRecordSize - 2;

    explicit CopyLogFile(Platform& platform) : platform_(platform) {}

    // "C:\Windows\Temp\TESORO.DAT" when that folder exists, else "C:\TESORO.DAT"; decided at each use.
    std::wstring Path();
    // Removes what saves of ended runs left half written beside the file, reads the log (creating an
    // empty file when there is none) and drops the entries whose copy on C: is gone. A file that cannot be
    // read or makes no sense is reported once and left as it is: the run then starts from an empty log and
    // the file is not written at exit.
    LogEntries Load();
    // Writes the log back when it changed; on failure the user is told and the previous file stays whole.
    void SaveIfChanged(const LogEntries& log);
    // Whether a new line fits in one record once in the ANSI code page.
    bool LineFits(const std::wstring& line);
    // The text as a record gives it back: every character the code page lacks reads "?".
    std::wstring StoredForm(const std::wstring& text);

private:
    void Prune(LogEntries& log);

    Platform& platform_;
    bool fileProtected_ = false;
};

// The lines 1 to count held by the bytes of TESORO.DAT, or nullopt when the bytes are not a log (an
// unknown tag, a count out of range, a line longer than a record or cut off by the end of the file).
// Records missing behind the end of the file read as empty lines.
std::optional<std::vector<std::wstring>> ParseLogFile(const std::string& bytes, AnsiCodec& codec);
// The bytes of TESORO.DAT for entries 1 to count, or nullopt when a line or the count does not fit.
std::optional<std::string> SerializeLogFile(const LogEntries& log, AnsiCodec& codec);

}  // namespace tesoro
