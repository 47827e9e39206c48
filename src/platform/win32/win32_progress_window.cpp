// Long work with a progress window: the work runs on a thread of its own while the calling handler
// waits in a message loop of its own, as it would inside a modal box. The owner window keeps painting
// and its timers keep ticking, but takes no input; after about half a second a small modal window shows
// how far the work got and offers to cancel it.
// clang-format off
#include <windows.h>  // first: the other system headers need its types
#include <commctrl.h>
// clang-format on

#include <atomic>
#include <cstdint>
#include <exception>
#include <optional>
#include <utility>

#include "platform/copy_amount.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_window_procedure.h"
#include "resources/resource_ids.h"

namespace tesoro {
namespace {

using win32::JoinedThread;
using win32::UniqueFont;
using win32::UniqueWindow;
using win32::WindowDc;
using win32_detail::ThrowLastError;

constexpr wchar_t kClassName[] = L"TesoroProgress";
constexpr ULONGLONG kShowAfterMs = 500;
constexpr DWORD kRefreshMs = 100;
constexpr int kBarSteps = 1000;
constexpr COLORREF kDarkBlue = RGB(0, 0, 128);

// What the copying thread reports and the window reads.
class SharedProgress : public CopyProgress {
public:
    void Report(std::uint64_t done, std::uint64_t total) override {
        total_ = total;
        done_ = done;
    }
    bool CancelRequested() override { return cancel_; }
    void Cancel() { cancel_ = true; }
    std::uint64_t Done() const { return done_; }
    std::uint64_t Total() const { return total_; }

private:
    std::atomic<std::uint64_t> done_{0};
    std::atomic<std::uint64_t> total_{0};
    std::atomic<bool> cancel_{false};
};

// The work on its thread; what it threw is kept for the waiting caller.
struct Job {
    const std::function<void(CopyProgress&)>& work;
    SharedProgress progress;
    std::exception_ptr failure;
};

DWORD WINAPI RunJob(void* parameter) {
    auto* job = static_cast<Job*>(parameter);
    try {
        job->work(job->progress);
    } catch (...) {
        job->failure = std::current_exception();
    }
    return 0;
}

class DisabledWhileWaiting {
public:
    explicit DisabledWhileWaiting(HWND owner)
        : owner_(owner), wasEnabled_(owner && !EnableWindow(owner, FALSE)) {}
    ~DisabledWhileWaiting() {
        if (wasEnabled_) EnableWindow(owner_, TRUE);
    }
    DisabledWhileWaiting(const DisabledWhileWaiting&) = delete;
    DisabledWhileWaiting& operator=(const DisabledWhileWaiting&) = delete;

private:
    HWND owner_;
    bool wasEnabled_;
};

// The work under way, for a close of the program or the end of the session to stop it.
SharedProgress* runningWork = nullptr;

class RunningWork {
public:
    explicit RunningWork(SharedProgress& progress) : previous_(std::exchange(runningWork, &progress)) {}
    ~RunningWork() { runningWork = previous_; }
    RunningWork(const RunningWork&) = delete;
    RunningWork& operator=(const RunningWork&) = delete;

private:
    SharedProgress* previous_;
};

// The progress window: the text, a bar, the bytes done and the total, and "Cancelar" (also Esc and the
// close box). Built only when the work lasts.
class ProgressWindow : private win32::WindowProcedure {
public:
    ProgressWindow(HWND owner, const std::wstring& title, const std::wstring& text, SharedProgress& progress)
        : owner_(owner), title_(title), text_(text), progress_(progress) {}

    bool Shown() const { return static_cast<bool>(window_); }

    void Show() {
        Register();
        ScreenDpi();
        const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        RECT frame{0, 0, Px(380), Px(128)};
        AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
        window_.reset(CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, title_.c_str(), style, 0, 0,
                                      frame.right - frame.left, frame.bottom - frame.top, owner_, nullptr,
                                      GetModuleHandleW(nullptr), CreationData()));
        if (!window_) return;  // the work goes on without a window
        CreateControls();
        win32_detail::CenterOnOwner(window_.get());
        Refresh();
        ShowWindow(window_.get(), SW_SHOW);
        SetFocus(cancel_);
        UpdateWindow(window_.get());
    }

    // Esc, Enter and Space on the button, as in a dialog.
    bool TakeDialogKeys(MSG& message) { return window_ && IsDialogMessageW(window_.get(), &message); }

    void Refresh() {
        if (!window_) return;
        const std::uint64_t done = progress_.Done(), total = progress_.Total();
        const int step = total == 0 ? 0 : static_cast<int>(static_cast<double>(done) / total * kBarSteps);
        if (step != shownStep_) {
            SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(step), 0);
            shownStep_ = step;
        }
        const std::wstring amount = CopiedAmountText(done, total);
        if (amount != shownAmount_) {
            SetWindowTextW(amount_, amount.c_str());
            shownAmount_ = amount;
        }
    }

private:
    static void Register() {
        WNDCLASSEXW kind{};
        kind.cbSize = sizeof kind;
        kind.lpfnWndProc = Route;
        kind.hInstance = GetModuleHandleW(nullptr);
        kind.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        kind.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        kind.lpszClassName = kClassName;
        RegisterClassExW(&kind);  // fails harmlessly once registered
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&classes);
    }

    void ScreenDpi() { dpi_ = GetDeviceCaps(WindowDc(), LOGPIXELSY); }
    int Px(int pixelsAt96) const { return MulDiv(pixelsAt96, dpi_, 96); }

    UniqueFont MakeFont(const wchar_t* face, double points) const {
        return UniqueFont(CreateFontW(-static_cast<int>(points * dpi_ / 72 + 0.5), 0, 0, 0, FW_NORMAL, FALSE,
                                      FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                      DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face));
    }

    HWND Child(const wchar_t* kind, const wchar_t* text, DWORD style, int id, int x, int y, int w, int h,
               HFONT font) {
        HWND child = CreateWindowExW(0, kind, text, WS_CHILD | WS_VISIBLE | style, Px(x), Px(y), Px(w), Px(h),
                                     window_.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     GetModuleHandleW(nullptr), nullptr);
        if (child && font) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return child;
    }

    // The program's look: its icon, the caption font and dark blue of the source group's title.
    void CreateControls() {
        textFont_ = MakeFont(L"Comic Sans MS", 9);
        plainFont_ = MakeFont(L"MS Sans Serif", 8.25);
        HWND icon = Child(L"STATIC", nullptr, SS_ICON | SS_REALSIZEIMAGE, 0, 14, 14, 32, 32, nullptr);
        appIcon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP),
                                                 IMAGE_ICON, Px(32), Px(32), LR_SHARED));
        if (icon && appIcon_) SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(appIcon_), 0);
        Child(L"STATIC", text_.c_str(), SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, IDC_PROGRESS_TEXT, 60, 14,
              306, 22, textFont_.get());
        bar_ = Child(PROGRESS_CLASSW, nullptr, 0, IDC_PROGRESS_BAR, 60, 42, 306, 18, nullptr);
        SendMessageW(bar_, PBM_SETRANGE32, 0, kBarSteps);
        amount_ = Child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, IDC_PROGRESS_AMOUNT, 60, 64, 306, 16,
                        plainFont_.get());
        cancel_ = Child(L"BUTTON", L"Cancelar", BS_DEFPUSHBUTTON | WS_TABSTOP, IDCANCEL, 286, 92, 80, 26,
                        plainFont_.get());
    }

    void Cancel() {
        progress_.Cancel();
        EnableWindow(cancel_, FALSE);  // taken: the copy stops after the piece under way
    }

    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_COMMAND:
                if (LOWORD(wParam) == IDCANCEL) Cancel();
                return 0;
            case WM_SYSCOMMAND:  // the close box and Alt+F4: Cancelar
                if ((wParam & 0xFFF0) == SC_CLOSE) {
                    Cancel();
                    return 0;
                }
                return DefWindowProcW(window, message, wParam, lParam);
            case WM_CLOSE:
                // Not the user's (that comes as SC_CLOSE): another program closing this one, window by
                // window. The program's window hears of it at once, before the work can end.
                Cancel();
                if (owner_) SendMessageW(owner_, WM_CLOSE, 0, 0);
                return 0;
            case WM_CTLCOLORSTATIC:
                if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_PROGRESS_TEXT) {
                    SetTextColor(reinterpret_cast<HDC>(wParam), kDarkBlue);
                }
                SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            default:
                return DefWindowProcW(window, message, wParam, lParam);
        }
    }

    HWND owner_;
    std::wstring title_;
    std::wstring text_;
    SharedProgress& progress_;
    int dpi_ = 96;
    UniqueFont textFont_;
    UniqueFont plainFont_;
    HICON appIcon_ = nullptr;
    HWND bar_ = nullptr;
    HWND amount_ = nullptr;
    HWND cancel_ = nullptr;
    int shownStep_ = -1;
    std::wstring shownAmount_;
    UniqueWindow window_;  // last: destroyed first, while the fonts still exist
};

bool IsUserInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// The owner is disabled, which stops the mouse; keys would still reach the control that has the focus.
bool ForTheWaitingOwner(HWND owner, const MSG& message) {
    return owner && IsUserInput(message.message) && (message.hwnd == owner || IsChild(owner, message.hwnd));
}

}  // namespace

void win32_detail::RunWithProgress(HWND owner, const std::wstring& title, const std::wstring& text,
                                   const std::function<void(CopyProgress&)>& work) {
    Job job{work, {}, nullptr};
    std::optional<WPARAM> quit;
    {
        // However the wait for it ends, the work is asked to stop and joined before the job goes.
        const JoinedThread thread(RunJob, &job, [&job] { job.progress.Cancel(); });
        if (!thread) ThrowLastError("CreateThread");
        RunningWork running(job.progress);
        ProgressWindow window(owner, title, text, job.progress);
        // Enabled again before the progress window goes, so that the owner is the one activated again.
        const DisabledWhileWaiting disabled(owner);
        const ULONGLONG start = GetTickCount64();
        HANDLE ended = thread.get();
        while (MsgWaitForMultipleObjectsEx(1, &ended, kRefreshMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE) !=
               WAIT_OBJECT_0) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT) {
                    quit = message.wParam;  // posted again once the work has ended
                    continue;
                }
                if (ForTheWaitingOwner(owner, message) || window.TakeDialogKeys(message)) continue;
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            if (!window.Shown() && GetTickCount64() - start >= kShowAfterMs) window.Show();
            window.Refresh();
        }
    }
    if (quit) PostQuitMessage(static_cast<int>(*quit));
    if (job.failure) std::rethrow_exception(job.failure);
}

void win32_detail::CancelRunningWork() {
    if (runningWork) runningWork->Cancel();
}

}  // namespace tesoro
