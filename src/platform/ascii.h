// Letters of the ASCII range, where drive letters and the system's device names are spelled: their letter
// case follows the same rule everywhere, unlike the rest of the alphabet's.
#pragma once

#include <string>

namespace tesoro {

inline bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
inline wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 0x20) : c; }
inline std::wstring AsciiUpper(std::wstring text) {
    for (wchar_t& c : text) c = AsciiUpper(c);
    return text;
}
inline wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 0x20) : c; }

}  // namespace tesoro
