// How the file system names the temporary files it writes before putting a file in place. The name
// carries the writing process (its id and start time), so that a temporary left behind by a process
// that has ended can be told from one still being written, and removed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tesoro {

// A process as the system knows it: its id, and its start time, which tells it from a later process
// that was given the same id.
struct ProcessStamp {
    std::uint32_t id = 0;
    std::uint64_t started = 0;
    bool operator==(const ProcessStamp&) const = default;
};

// "~tesoro-<id>-<start>-<serial>.tmp", numbers in hexadecimal.
std::wstring TemporaryFileName(const ProcessStamp& writer, unsigned serial);
// The writer of a temporary file by its name; nullopt when the name is not one of ours.
// Reads the name in place: folder listings ask it of every name they meet.
std::optional<ProcessStamp> TemporaryFileWriter(std::wstring_view name);
inline bool IsTemporaryFileName(std::wstring_view name) { return TemporaryFileWriter(name).has_value(); }

}  // namespace tesoro
