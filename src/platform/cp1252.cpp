#include "platform/cp1252.h"

#include <array>

namespace tesoro {
namespace {

// Bytes 0x80 to 0x9F. The five bytes the code page leaves undefined stand for the C1 control of the
// same number, as the system's converter does, so that they survive a round trip.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

char EncodeOne(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

std::string EncodeCp1252(const std::wstring& text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<char32_t>(text[i]);
        // A character outside the basic plane is one character, whether stored as one unit or as a pair.
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(static_cast<char32_t>(text[i + 1]))) {
            ++i;
        }
        bytes.push_back(EncodeOne(c));
    }
    return bytes;
}

std::wstring DecodeCp1252(const std::string& bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (const char b : bytes) {
        const auto byte = static_cast<unsigned char>(b);
        const char32_t c = (byte >= 0x80 && byte <= 0x9F) ? kHighControls[byte - 0x80] : byte;
        text.push_back(static_cast<wchar_t>(c));
    }
    return text;
}

namespace {

wchar_t UpperChar(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 0x20);
    switch (c) {
        case 0x00FF:
            return 0x0178;  // ÿ
        case 0x0153:
            return 0x0152;  // œ
        case 0x0161:
            return 0x0160;  // š
        case 0x017E:
            return 0x017D;  // ž
        default:
            return c;
    }
}

}  // namespace

std::wstring UpperCaseCp1252(const std::wstring& text) {
    std::wstring upper = text;
    for (wchar_t& c : upper) c = UpperChar(c);
    return upper;
}

}  // namespace tesoro
