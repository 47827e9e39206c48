// Small rules on names and paths that several handlers share.
#pragma once

#include <string>

#include "platform/paths.h"

namespace tesoro {

// In the name box: no file is chosen yet.
inline const std::wstring kPlaceholderName = L"¿?.BAK";

// The name cut at its first dot, with ".BAK" appended.
std::wstring ProposedCopyName(const std::wstring& fileName);
// Whether two drive values ("c: [SISTEMA]", "C:\", "c:") name the same drive: letter and colon.
bool SameDrive(const std::wstring& a, const std::wstring& b);

}  // namespace tesoro
