#include "main_window/file_names.h"

#include <algorithm>
#include <array>

#include "platform/ascii.h"

namespace tesoro {

std::wstring ProposedCopyName(const std::wstring& fileName) {
    return fileName.substr(0, fileName.find(L'.')) + L".BAK";
}

bool SameDrive(const std::wstring& a, const std::wstring& b) {
    if (a.size() < 2 || b.size() < 2 || a[1] != L':' || b[1] != L':') return false;
    return AsciiUpper(a[0]) == AsciiUpper(b[0]);
}

// Spaces before the dot are ignored, as the system ignores them.
bool IsDeviceName(const std::wstring& name) {
    std::wstring stem = AsciiUpper(name.substr(0, name.find(L'.')));
    stem.erase(stem.find_last_not_of(L' ') + 1);
    static const std::array<std::wstring, 4> kDevices = {L"CON", L"PRN", L"AUX", L"NUL"};
    if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) return true;
    if (stem.size() != 4 || (!stem.starts_with(L"COM") && !stem.starts_with(L"LPT"))) return false;
    const wchar_t digit = stem[3];
    // Superscript one, two and three count as digits here too.
    return (digit >= L'1' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

bool IsPlainFileName(const std::wstring& name) {
    if (name.empty() || name.find_first_of(L"\\/:") != std::wstring::npos) return false;
    if (name.back() == L'.' || name.back() == L' ') return false;  // "." and ".." among them
    return !IsDeviceName(name);
}

}  // namespace tesoro
