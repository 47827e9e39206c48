// Times the log view in the real window: opening it (building the text and painting the label) and one
// scroll step (the tick handler and the label's repaint), for logs of several sizes. Alternates, round by
// round, with a baseline that shows the same text as one string in an ordinary label, and prints the
// minimum, median and maximum of each, in milliseconds.
// Usage: log_view_bench.exe [ROUNDS]   (run by log_view_bench.sh under Wine)
#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "copy_log/log_view_text.h"
#include "main_window/frm_main.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_window.h"

namespace {

using tesoro::FrmMain;

constexpr int kBaselineId = 2000;
constexpr int kEntryLength = 120;

struct Stats {
    double min, median, max;
};

Stats Summary(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    const double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    return {samples.front(), median, samples.back()};
}

double Milliseconds(const std::function<void()>& action) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    action();
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void PaintNow(HWND window) { RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

// Entries of exactly 120 characters, words and paths as the program writes them.
std::vector<std::wstring> Entries(int count) {
    std::vector<std::wstring> lines;
    for (int i = 1; i <= count; ++i) {
        std::wstring line = L"7/12/2026:  informe trimestral " + std::to_wstring(i) +
                            L".doc -> D:\\COPIAS DE SEGURIDAD\\DEPARTAMENTO DE CONTABILIDAD\\";
        while (line.size() < kEntryLength) line += L"ANUAL ";
        line.resize(kEntryLength);
        lines.push_back(line);
    }
    return lines;
}

// The literal scroll step on one string, for the baseline.
std::wstring ScrollCaption(const std::wstring& caption) {
    const std::size_t found = caption.find(L'\r');
    const std::size_t p = found == std::wstring::npos ? 0 : found + 1;
    return caption.substr(p) + tesoro::ScrolledLine(caption.substr(0, p));
}

struct Row {
    int entries;
    Stats open, tick, baseOpen, baseTick;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
    constexpr int kTicksPerRound = 10;
    constexpr int kBaselineTicksPerRound = 2;

    tesoro::PrepareProcessErrorMode();
    tesoro::Win32Platform services;
    FrmMain frm(services.platform());
    tesoro::Label baseline(tesoro::Kind::Label, kBaselineId, nullptr, frm.LblDat.Geometry());
    baseline.SetVisible(false);
    tesoro::FormContent content = frm.Content();
    content.stacking.insert(content.stacking.begin(), &baseline);
    tesoro::win32::TopLevelWindow window(GetModuleHandleW(nullptr), services.platform().screen, content);
    window.Create();
    services.SetOwner(window.Hwnd());
    window.Show();
    Pump();
    HWND label = GetDlgItem(GetDlgItem(window.Hwnd(), frm.FraFuente.id), frm.LblDat.id);
    HWND baseLabel = GetDlgItem(window.Hwnd(), kBaselineId);

    std::vector<Row> rows;
    for (int count : {8, 1000, 32767}) {
        frm.Log = tesoro::LogEntries(Entries(count));
        std::vector<double> open, tick, baseOpen, baseTick;
        for (int round = 0; round < rounds; ++round) {
            open.push_back(Milliseconds([&] {
                frm.CmdVerLog_Click();
                PaintNow(window.Hwnd());
            }));
            for (int k = 0; k < kTicksPerRound; ++k) {
                tick.push_back(Milliseconds([&] {
                    frm.TmrDatos_Timer();
                    PaintNow(label);
                }));
            }
            frm.CmdVerLog_Click();
            Pump();

            baseOpen.push_back(Milliseconds([&] {
                baseline.SetCaption(tesoro::LogViewText(frm.Log).Text());
                baseline.SetVisible(true);
                PaintNow(window.Hwnd());
            }));
            for (int k = 0; k < kBaselineTicksPerRound; ++k) {
                baseTick.push_back(Milliseconds([&] {
                    baseline.SetCaption(ScrollCaption(baseline.Caption()));
                    PaintNow(baseLabel);
                }));
            }
            baseline.SetVisible(false);
            Pump();
        }
        rows.push_back({count, Summary(open), Summary(tick), Summary(baseOpen), Summary(baseTick)});
        std::fprintf(stderr, "%d entries measured\n", count);
    }

    std::printf("log view, %d rounds; milliseconds as min / median / max\n", rounds);
    std::printf("%8s | %-24s | %-24s | %-27s | %-27s | %s\n", "entries", "open", "tick + repaint",
                "baseline open", "baseline tick + repaint", "median ratio open, tick");
    for (const Row& r : rows) {
        std::printf(
            "%8d | %6.2f / %6.2f / %6.2f | %6.3f / %6.3f / %6.3f | %7.1f / %7.1f / %7.1f | %7.1f / %7.1f / "
            "%7.1f "
            "| %.3f, %.4f\n",
            r.entries, r.open.min, r.open.median, r.open.max, r.tick.min, r.tick.median, r.tick.max,
            r.baseOpen.min, r.baseOpen.median, r.baseOpen.max, r.baseTick.min, r.baseTick.median,
            r.baseTick.max, r.open.median / r.baseOpen.median, r.tick.median / r.baseTick.median);
    }
    return 0;
}
