// The copy log in memory. Element 0 is the entry count; elements 1 to count are the entry lines, oldest
// first. Slots behind the count hold empty text until the next append fits the list to its size again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tesoro {

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

    // LogChanged: the list differs from the file and must be written back at exit.
    bool Changed() const { return changed_; }

private:
    friend class CopyLogFile;
    int count_ = 0;
    std::vector<std::wstring> lines_;  // element i of the log is lines_[i - 1]
    bool changed_ = false;
};

// The destination part of an entry line: the trimmed line from two characters after its first ">".
std::wstring DestinationPart(const std::wstring& line);
std::wstring Trim(const std::wstring& text);  // leading and trailing spaces
std::wstring UpperCase(const std::wstring& text);

}  // namespace tesoro
