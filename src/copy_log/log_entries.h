// The copy log in memory. Element 0 is the entry count; elements 1 to count are the entry lines, oldest
// first. Slots behind the count hold empty text until the next append fits the list to its size again.
// Every change is also kept as a pending change until it is saved: a save applies the pending changes
// again to the file as it is then, so that what another writer put there meanwhile stays.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tesoro {

// One change of the log, as a save applies it again to the file as it is then.
struct LogChange {
    enum class Kind { Append, ReplaceCopy, Remove };
    Kind kind;
    std::wstring line;  // the new line; for Remove, the text of the entry removed
    std::wstring copy;  // ReplaceCopy: the copy whose entry the line takes over

    static LogChange Append(std::wstring line) { return {Kind::Append, std::move(line), {}}; }
    static LogChange ReplaceCopy(std::wstring copy, std::wstring line) {
        return {Kind::ReplaceCopy, std::move(line), std::move(copy)};
    }
    static LogChange Remove(std::wstring text) { return {Kind::Remove, std::move(text), {}}; }
    bool operator==(const LogChange&) const = default;
};

class LogEntries {
public:
    static constexpr int kMaxCount = 32767;  // the count is stored as a signed 16-bit number

    LogEntries() = default;
    // As read from the file: `lines` are elements 1 to count (their number is the count).
    explicit LogEntries(std::vector<std::wstring> lines);

    int Count() const { return count_; }
    int Size() const { return static_cast<int>(lines_.size()) + 1; }  // elements, element 0 included
    const std::wstring& Entry(int i) const;                           // 1 <= i < Size()
    bool Full() const { return count_ >= kMaxCount; }

    void Append(std::wstring line);
    void Replace(int i, std::wstring line);
    void Remove(int i);
    // Empties entry i, lowers the count, then walks slots 1 to the new count: an empty slot takes the text
    // of the one behind it, which becomes empty and is looked at next. Without other empty entries this is
    // Remove; an empty line kept from the file also sinks behind the entries that follow it.
    void RemoveClosingEmptySlots(int i);
    // The first of entries 1 to count that names the copy at `path`: the entry ends with that path, both
    // trimmed and upper-cased; 0 when none. An entry that merely contains it (the copy DATOS.BAKUP for
    // DATOS.BAK) names another copy, whose record must stay.
    int FirstNaming(const std::wstring& path) const;

    // A copy made over an older one (ReplaceCopy) takes over the first entry that names it, or is
    // appended when none does; a removal takes the first entry with exactly that text, if any. False,
    // changing nothing, when a new entry would go past the largest count.
    bool Apply(const LogChange& change);

    // LogChanged: the list has differed from the file since it was read.
    bool Changed() const { return changed_; }
    // The changes not saved yet, oldest first.
    const std::vector<LogChange>& Pending() const { return pending_; }
    // The pending changes are in the file, which now holds `file`: where another writer made the two
    // differ, the list takes the file's entries.
    void Saved(LogEntries file);

private:
    friend class CopyLogFile;
    void AppendLine(std::wstring line);
    void RemoveLine(int i);
    void Record(LogChange change);
    int FirstWithText(const std::wstring& text) const;

    int count_ = 0;
    std::vector<std::wstring> lines_;  // element i of the log is lines_[i - 1]
    bool changed_ = false;
    std::vector<LogChange> pending_;
};

// The destination part of an entry line: the trimmed line from two characters after its first ">".
std::wstring DestinationPart(const std::wstring& line);
std::wstring Trim(const std::wstring& text);  // leading and trailing spaces

}  // namespace tesoro
