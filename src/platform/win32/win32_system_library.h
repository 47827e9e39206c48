// Functions of system libraries that only a rarely used feature needs (the shell, network names, picture
// decoding): such a library is loaded on first use, as importing it would load it, and all it depends
// on, at every start.
#pragma once

#include <windows.h>

namespace tesoro::win32 {

// Null when the library or the function is missing. Function is the function's pointer type, such as
// decltype(&ShellExecuteW).
template <typename Function>
Function LoadSystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    FARPROC function = module ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(function));
}

}  // namespace tesoro::win32
