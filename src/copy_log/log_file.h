// TESORO.DAT, the copy log between runs: fixed 128-byte records. Record 1 holds the type tag 2 and the
// signed 16-bit count; each further record one line: its 16-bit length, then the line in the ANSI code
// page. Read at start and saved after each change. Every instance of the program on the PC, whoever runs
// it, shares the one file: a save merges this session's pending changes into the file as it is then,
// under a lock they all honour.
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

    // Why a logged copy did not reach the file: the endings of the message that tells it.
    static constexpr wchar_t kLineTooLong[] = L"la línea ocupa más de 126 caracteres.";
    static constexpr wchar_t kLogFull[] = L"el registro ya tiene 32767 entradas.";

    explicit CopyLogFile(Platform& platform) : platform_(platform) {}

    // "C:\Windows\Temp\TESORO.DAT" when that folder exists, else "C:\TESORO.DAT"; decided at each use.
    std::wstring Path();
    // Removes what saves of ended runs left half written beside the file, reads the log (creating an
    // empty file when there is none) and drops the entries whose copy on C: is gone, as pending removals.
    // A file that cannot be read or makes no sense is reported once and left as it is: the run then
    // starts from an empty log and nothing of it is ever written to the file.
    LogEntries Load();
    // Merges the log's pending changes into the file as it is now (a file gone counts as empty) and
    // writes it whole in one step; the log then holds what the file does. A change that no longer fits
    // is dropped and kept for NotLogged. Nothing is told: false when the file could not be read, made
    // sense no more, or could not be written, and the changes stay pending for the next save.
    bool Save(LogEntries& log);
    // The save at exit: while it fails, the user may try again or give up, keeping the file as it is.
    void SaveBeforeExit(LogEntries& log);
    // Why each copy dropped by a save was not logged, once per reason.
    const std::vector<std::wstring>& NotLogged() const { return notLogged_; }
    // Whether a new line fits in one record once in the ANSI code page.
    bool LineFits(const std::wstring& line);
    // The text as a record gives it back: every character the code page lacks reads "?".
    std::wstring StoredForm(const std::wstring& text);

private:
    void Prune(LogEntries& log);
    std::optional<LogEntries> Merge(const std::wstring& path, const std::vector<LogChange>& changes,
                                    std::vector<const wchar_t*>& dropped);
    void DropUnlogged(const wchar_t* reason);

    Platform& platform_;
    bool fileProtected_ = false;
    std::vector<std::wstring> notLogged_;
};

// The lines 1 to count held by the bytes of TESORO.DAT, or nullopt when the bytes are not a log (an
// unknown tag, a count out of range, a line longer than a record or cut off by the end of the file).
// Records missing behind the end of the file read as empty lines.
std::optional<std::vector<std::wstring>> ParseLogFile(const std::string& bytes, AnsiCodec& codec);
// The bytes of TESORO.DAT for entries 1 to count, or nullopt when a line or the count does not fit.
std::optional<std::string> SerializeLogFile(const LogEntries& log, AnsiCodec& codec);

}  // namespace tesoro
