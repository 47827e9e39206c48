// Times the program's own file copy: copies one file onto a path the given number of times and prints
// each copy's wall time in seconds, one per line.
// Usage: copy_bench.exe SOURCE DESTINATION
#include <cstdio>
#include <cwchar>

#include "platform/win32/win32_services.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: copy_bench SOURCE DESTINATION\n");
        return 2;
    }
    auto fs = tesoro::win32_detail::MakeFileSystem();
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    DeleteFileW(argv[2]);
    QueryPerformanceCounter(&start);
    try {
        fs->CopyFile(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "copy failed: %s\n", e.what());
        return 1;
    }
    QueryPerformanceCounter(&end);
    std::printf("%.3f\n", static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
    return 0;
}
