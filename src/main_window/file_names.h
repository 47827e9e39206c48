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
// Whether a typed name names one file in the destination folder and nothing else: no folder part ("\",
// "/"), no drive or stream (":"), not "." or "..", no trailing dot or space (the system would drop it and
// write a file of another name), no device name (CON, NUL, COM1...) with or without an extension.
// The wildcards * and ? pass: the existence test reads them as such.
bool IsPlainFileName(const std::wstring& name);
// Whether the system takes the name for a device (CON, NUL, COM1...), whatever extension follows.
bool IsDeviceName(const std::wstring& name);

}  // namespace tesoro
