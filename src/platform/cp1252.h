// Windows-1252, the ANSI code page the copy log is stored in; the host build's stand-in for the
// system's converter.
#pragma once

#include <string>

namespace tesoro {

// Characters outside the code page become "?".
std::string EncodeCp1252(const std::wstring& text);
std::wstring DecodeCp1252(const std::string& bytes);

}  // namespace tesoro
