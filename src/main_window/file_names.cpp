#include "main_window/file_names.h"

#include <cwctype>

namespace tesoro {

std::wstring ProposedCopyName(const std::wstring& fileName) {
    return fileName.substr(0, fileName.find(L'.')) + L".BAK";
}

bool SameDrive(const std::wstring& a, const std::wstring& b) {
    if (a.size() < 2 || b.size() < 2 || a[1] != L':' || b[1] != L':') return false;
    return std::towupper(a[0]) == std::towupper(b[0]);
}

}  // namespace tesoro
