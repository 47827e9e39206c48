// Times how long a program takes from its start until its window is shown, for a baseline and a subject
// run alternately, and prints each round and the min/median/max of the ratios subject / baseline.
// Before each start the copy log is put in place: a prepared TESORO.DAT, or an empty one for "-".
// Two times are taken per start: until a window of the process is visible ("shown"), and until the
// process first waits for input with nothing left to do ("idle"), which also counts work put off until
// after the window appeared.
// Usage: startup_bench.exe ROUNDS LOG_PATH  BASE_EXE BASE_FOLDER BASE_LOG  SUBJECT_EXE SUBJECT_FOLDER
// SUBJECT_LOG, where an EXE may be followed by "?" and its command line arguments.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Launch {
    std::wstring exe, folder, log;

    std::wstring Program() const { return exe.substr(0, exe.find(L'?')); }
    std::wstring CommandLine() const {
        const std::size_t mark = exe.find(L'?');
        return L"\"" + Program() + L"\"" + (mark == std::wstring::npos ? L"" : L" " + exe.substr(mark + 1));
    }
};

struct Times {
    double shown = 0, idle = 0;  // milliseconds
};

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct WindowSearch {
    DWORD pid;
    bool found = false;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && IsWindowVisible(window)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

bool PutLogInPlace(const std::wstring& logPath, const std::wstring& prepared) {
    if (prepared != L"-") return CopyFileW(prepared.c_str(), logPath.c_str(), FALSE);
    HANDLE file = CreateFileW(logPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool Run(const Launch& launch, const std::wstring& logPath, Times& times) {
    if (!PutLogInPlace(logPath, launch.log)) {
        std::fwprintf(stderr, L"cannot put %ls in place\n", launch.log.c_str());
        return false;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = launch.CommandLine();
    const double start = Now();
    if (!CreateProcessW(launch.Program().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        launch.folder.c_str(), &startup, &process)) {
        std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", launch.exe.c_str(), GetLastError());
        return false;
    }
    WindowSearch search{process.dwProcessId};
    bool ok = true;
    while (!search.found) {
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
        if (search.found) break;
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0 || Now() - start > 120000) {
            std::fwprintf(stderr, L"%ls showed no window\n", launch.exe.c_str());
            ok = false;
            break;
        }
    }
    times.shown = Now() - start;
    WaitForInputIdle(process.hProcess, 120000);
    times.idle = std::max(Now() - start, times.shown);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ok;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Summarize(const char* what, const std::vector<double>& base, const std::vector<double>& subject) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < base.size(); ++i) ratios.push_back(subject[i] / base[i]);
    std::printf("%s: baseline median %.0f ms, subject median %.0f ms, ratio min %.2f median %.2f max %.2f\n",
                what, Median(base), Median(subject), *std::min_element(ratios.begin(), ratios.end()),
                Median(ratios), *std::max_element(ratios.begin(), ratios.end()));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 9) {
        std::fwprintf(stderr,
                      L"usage: startup_bench ROUNDS LOG_PATH BASE_EXE BASE_FOLDER BASE_LOG SUBJECT_EXE "
                      L"SUBJECT_FOLDER SUBJECT_LOG\n");
        return 2;
    }
    const int rounds = std::max(1, _wtoi(argv[1]));
    const std::wstring logPath = argv[2];
    const Launch base{argv[3], argv[4], argv[5]}, subject{argv[6], argv[7], argv[8]};

    // One start of each first, unmeasured: the first start of a program pays for loading it from disk.
    Times warm;
    if (!Run(base, logPath, warm) || !Run(subject, logPath, warm)) return 1;

    std::vector<double> baseShown, baseIdle, subjectShown, subjectIdle;
    for (int round = 1; round <= rounds; ++round) {
        Times b, s;
        // Alternate which goes first, so that neither always runs right after the other.
        const bool baseFirst = round % 2 == 1;
        if (!Run(baseFirst ? base : subject, logPath, baseFirst ? b : s)) return 1;
        if (!Run(baseFirst ? subject : base, logPath, baseFirst ? s : b)) return 1;
        baseShown.push_back(b.shown), baseIdle.push_back(b.idle);
        subjectShown.push_back(s.shown), subjectIdle.push_back(s.idle);
        std::printf("round %d: shown %.0f / %.0f ms (%.2f), idle %.0f / %.0f ms (%.2f)\n", round, s.shown,
                    b.shown, s.shown / b.shown, s.idle, b.idle, s.idle / b.idle);
    }
    Summarize("shown", baseShown, subjectShown);
    Summarize("idle ", baseIdle, subjectIdle);
    return 0;
}
