// The path the program is given on its command line, read as Windows writes command lines.
#pragma once

#include <string>

#include "platform/services.h"

namespace tesoro {

// The path after the program's name, for the source to be chosen from (a "Send to" shortcut passes the
// chosen files, the first is taken), made absolute against the current folders; empty when there is
// none. By the usual rules for arguments "D:\" arrives as D:" and is read as D:\ again. An unquoted path
// with spaces is taken whole, as written, when its first word alone names nothing. \\?\ paths are read
// in their usual form, and a device name (CON, NUL...) is given back as typed. Never throws.
std::wstring PathFromCommandLine(const std::wstring& commandLine, FileSystem& fs);

}  // namespace tesoro
