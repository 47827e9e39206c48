// tesoro_e2e.exe --exe <tesoro.exe> [--screens <folder>] [--phase main|cdrom|dpi] [--only <text>]
#include <windows.h>

#include <cstdio>
#include <string>

#include "driver.h"
#include "framework.h"

int wmain(int argc, wchar_t** argv) {
    // Window sizes in real pixels, whatever the screen's dpi.
    SetProcessDPIAware();
    e2e::Phase phase = e2e::Phase::Main;
    std::string only;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::wstring option = argv[i], value = argv[i + 1];
        if (option == L"--exe")
            e2e::Config().exe = value;
        else if (option == L"--screens")
            e2e::Config().screens = value;
        else if (option == L"--phase")
            phase = value == L"cdrom" ? e2e::Phase::CdRom
                    : value == L"dpi" ? e2e::Phase::OtherDpi
                                      : e2e::Phase::Main;
        else if (option == L"--only")
            only = e2e::Show(value);
    }
    if (e2e::Config().exe.empty()) {
        std::fputs(
            "usage: tesoro_e2e --exe <tesoro.exe> [--screens <folder>] [--phase main|cdrom|dpi] [--only "
            "<text>]\n",
            stderr);
        return 2;
    }
    return e2e::RunAll(phase, only) == 0 ? 0 : 1;
}
