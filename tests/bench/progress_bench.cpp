// Times a copy through the copy button's handler, once with the copy on a thread of its own under the
// progress window, once with the same copy run in place without progress, alternating, and prints one
// line per copy: "with <seconds>" or "without <seconds>".
// Usage: progress_bench.exe SOURCE_FILE DESTINATION_FOLDER ROUNDS
#include <cstdio>
#include <cwchar>
#include <string>

#include "main_window/file_names.h"
#include "main_window/frm_main.h"
#include "platform/win32/win32_services.h"

namespace {

// Answers every box as the user who wants the copy would; the copy itself runs with or without the
// progress window.
class BenchDialogs : public tesoro::Dialogs {
public:
    bool withProgress = true;

    tesoro::MsgAnswer MessageBox(const std::wstring&, const std::wstring&, tesoro::MsgIcon,
                                 tesoro::MsgButtons buttons) override {
        return buttons == tesoro::MsgButtons::YesNo ? tesoro::MsgAnswer::Yes : tesoro::MsgAnswer::Ok;
    }
    std::optional<std::wstring> InputBox(const std::wstring&, const std::wstring&,
                                         const std::wstring&) override {
        return std::nullopt;
    }
    void RunWithProgress(const std::wstring& title, const std::wstring& text,
                         const std::function<void(tesoro::CopyProgress&)>& work) override {
        if (withProgress) return tesoro::win32_detail::RunWithProgress(nullptr, title, text, work);
        NoProgress none;
        work(none);
    }
    void CancelWork() override { tesoro::win32_detail::CancelRunningWork(); }
    void Beep() override {}

private:
    struct NoProgress : tesoro::CopyProgress {
        void Report(std::uint64_t, std::uint64_t) override {}
        bool CancelRequested() override { return false; }
    };
};

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fwprintf(stderr, L"usage: progress_bench SOURCE_FILE DESTINATION_FOLDER ROUNDS\n");
        return 2;
    }
    const std::wstring source = argv[1], destination = argv[2];
    const int rounds = std::stoi(argv[3]);
    const std::size_t slash = source.find_last_of(L'\\');

    tesoro::Win32Platform system;
    BenchDialogs dialogs;
    const tesoro::Platform& real = system.platform();
    tesoro::Platform platform{real.fs,     real.drives, dialogs,      real.clock,   real.shell,
                              real.screen, real.codec,  real.process, real.windows, real.windowApi};
    tesoro::FrmMain frm(platform);
    frm.Form_Load();
    for (int round = 0; round < 2 * rounds; ++round) {
        dialogs.withProgress = round % 2 == 0;
        frm.DirFuente.SetPath(source.substr(0, slash));
        const auto& files = frm.FileFuente.Items();
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (files[i] == source.substr(slash + 1)) frm.FileFuente.SelectItem(static_cast<int>(i));
        }
        frm.DirDestino.SetPath(destination);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        frm.CmdCopiar_Click();
        QueryPerformanceCounter(&end);
        if (frm.TxtArchDestino.Text() != tesoro::kPlaceholderName) {
            std::fprintf(stderr, "the copy failed\n");
            return 1;
        }
        std::printf("%s %.3f\n", dialogs.withProgress ? "with" : "without", Seconds(start, end));
        std::fflush(stdout);
    }
    return 0;
}
