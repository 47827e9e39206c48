#include "platform/temporary_files.h"

#include <cwchar>

namespace tesoro {
namespace {

constexpr wchar_t kPrefix[] = L"~tesoro-";
constexpr wchar_t kSuffix[] = L".tmp";

std::wstring Hex(std::uint64_t value) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return text;
}

// Reads hexadecimal digits from `at` up to `end` (exclusive) or the next '-'; nullopt when there are
// none or too many.
std::optional<std::uint64_t> ReadHex(std::wstring_view text, std::size_t& at, std::size_t end) {
    std::uint64_t value = 0;
    const std::size_t first = at;
    for (; at < end && text[at] != L'-'; ++at) {
        const wchar_t c = text[at];
        unsigned digit = 0;
        if (c >= L'0' && c <= L'9') {
            digit = static_cast<unsigned>(c - L'0');
        } else if (c >= L'a' && c <= L'f') {
            digit = static_cast<unsigned>(c - L'a' + 10);
        } else if (c >= L'A' && c <= L'F') {
            digit = static_cast<unsigned>(c - L'A' + 10);
        } else {
            return std::nullopt;
        }
        value = value << 4 | digit;
    }
    if (at == first || at - first > 16) return std::nullopt;
    return value;
}

}  // namespace

std::wstring TemporaryFileName(const ProcessStamp& writer, unsigned serial) {
    return kPrefix + Hex(writer.id) + L'-' + Hex(writer.started) + L'-' + Hex(serial) + kSuffix;
}

std::optional<ProcessStamp> TemporaryFileWriter(std::wstring_view name) {
    const std::size_t prefix = std::wcslen(kPrefix), suffix = std::wcslen(kSuffix);
    if (name.size() <= prefix + suffix || name.compare(0, prefix, kPrefix) != 0 ||
        name.compare(name.size() - suffix, suffix, kSuffix) != 0) {
        return std::nullopt;
    }
    const std::size_t end = name.size() - suffix;
    std::size_t at = prefix;
    const auto id = ReadHex(name, at, end);
    if (!id || *id > UINT32_MAX || at == end) return std::nullopt;
    const auto started = ReadHex(name, ++at, end);
    if (!started || at == end) return std::nullopt;
    if (!ReadHex(name, ++at, end) || at != end) return std::nullopt;
    return ProcessStamp{static_cast<std::uint32_t>(*id), *started};
}

}  // namespace tesoro
