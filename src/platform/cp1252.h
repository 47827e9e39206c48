// Windows-1252, the ANSI code page the copy log is stored in; the host build's stand-in for the
// system's converter.
#pragma once

#include <string>

namespace tesoro {

// Characters outside the code page become "?".
std::string EncodeCp1252(const std::wstring& text);
std::wstring DecodeCp1252(const std::string& bytes);
// The code page's own letter case, by fixed rules rather than the C library's locale: the letters of
// ASCII, Latin-1 and the few beyond it (œ, š, ž, ÿ) to their capitals; everything else as it is. The
// copy log compares its entries by it.
std::wstring UpperCaseCp1252(const std::wstring& text);

}  // namespace tesoro
