#include "platform/win32/win32_window.h"

#include <cmath>
#include <stdexcept>

#include "platform/win32/win32_hand_over.h"
#include "platform/win32/win32_system_library.h"
#include "resources/resource_ids.h"

// After <windows.h>, which the window's header brings.
#include <shellapi.h>

namespace tesoro::win32 {

namespace {

constexpr DWORD kFixedSingleStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// No border and no title bar; the system menu and minimise box are never drawn, but let the taskbar
// button minimise, restore and close the window.
constexpr DWORD kBorderlessStyle = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr wchar_t kDefaultFace[] = L"MS Sans Serif";
constexpr double kDefaultPoints = 8.25;
constexpr int kTwipsPerInch = 1440;
// Posted after the first paint: make what the window did not need to appear.
constexpr UINT kCreateTheRest = WM_APP + 1;
// Posted for each path a second start handed over.
constexpr UINT kHandOver = WM_APP + 2;

int Round(double value) { return static_cast<int>(std::lround(value)); }

// Alt and a letter, or a letter typed where the control with the focus takes no characters: the dialog
// manager reads either as an access key.
bool IsAccessKeyMessage(const MSG& message) {
    if (message.message == WM_SYSCHAR) return true;
    if (message.message != WM_CHAR) return false;
    const LRESULT wants =
        SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message));
    return !(wants & (DLGC_WANTCHARS | DLGC_WANTMESSAGE));
}

// Where the pointer was when the message being handled was sent, on the screen.
POINT PointerOfMessage() {
    const DWORD at = GetMessagePos();
    return {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
}

UINT ReleaseOf(MouseButton button) { return button == MouseButton::Middle ? WM_MBUTTONUP : WM_RBUTTONUP; }

// Pixels are twips * dpi / 1440, rounded once: twips per pixel is not a whole number at every dpi.
int DotsPerInch(double twipsPerPixel) {
    return twipsPerPixel > 0 ? Round(kTwipsPerInch / twipsPerPixel) : 96;
}

HICON SharedIcon(HINSTANCE instance, int id, int size) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_SHARED));
}

// What a drop brings, let go with DragFinish. The shell's library is loaded only when something is dropped.
struct DropKind {
    using Raw = HDROP;
    static HDROP None() { return nullptr; }
    static bool Free(HDROP drop) {
        static const auto finish = LoadSystemFunction<decltype(&DragFinish)>(L"shell32.dll", "DragFinish");
        if (finish) finish(drop);
        return finish != nullptr;
    }
};

// The first file or folder a drop brings; empty when none. The drop is let go before anyone acts on it.
std::wstring FirstDroppedPath(HDROP dropped) {
    const UniqueHandle<DropKind> drop(dropped);
    static const auto queryFile =
        LoadSystemFunction<decltype(&DragQueryFileW)>(L"shell32.dll", "DragQueryFileW");
    if (!queryFile) return {};
    std::wstring path;
    if (queryFile(drop.get(), 0xFFFFFFFF, nullptr, 0) > 0) {
        path.assign(queryFile(drop.get(), 0, nullptr, 0) + 1, L'\0');
        path.resize(queryFile(drop.get(), 0, path.data(), static_cast<UINT>(path.size())));
    }
    return path;
}

}  // namespace

// The form's requests to its window: its height, its state, showing and destroying it.
class TopLevelWindow::FormBinding : public FormView {
public:
    FormBinding(Form& form, TopLevelWindow& window) : form_(form), window_(window) { form_.Bind(this); }
    ~FormBinding() override { form_.Bind(nullptr); }
    void Changed(Property what) override {
        if (what == Property::Geometry) window_.ResizeClient();
        if (what == Property::WindowState) ApplyState();
    }
    std::uintptr_t Handle() override { return reinterpret_cast<std::uintptr_t>(window_.hwnd_); }
    void Show() override { window_.Show(); }
    void BringToFront() override { window_.BringToFront(); }
    void Destroy() override { window_.window_.reset(); }
    void FollowPointer(MouseButton button) override { window_.FollowPointer(button); }

private:
    void ApplyState() {
        const HWND hwnd = window_.hwnd_;
        if (!hwnd) return;
        const bool minimized = form_.State() == WindowState::Minimized;
        if (minimized != (IsIconic(hwnd) != FALSE)) ShowWindow(hwnd, minimized ? SW_MINIMIZE : SW_RESTORE);
    }

    Form& form_;
    TopLevelWindow& window_;
};

// A model timer as a window timer of its form's window; its id is its place in the list plus one.
class TopLevelWindow::TimerView : public ControlView {
public:
    TimerView(Timer& timer, HWND window, UINT_PTR id) : timer_(timer), window_(window), id_(id) {
        timer_.Bind(this);
        Changed(Property::Timer);
    }
    ~TimerView() override { timer_.Bind(nullptr); }
    void Changed(Property what) override {
        if (what != Property::Timer) return;
        if (timer_.Enabled()) {
            SetTimer(window_, id_, static_cast<UINT>(timer_.Interval()), nullptr);
        } else {
            KillTimer(window_, id_);
        }
    }
    void Tick() { timer_.Tick(); }

private:
    Timer& timer_;
    HWND window_;
    UINT_PTR id_;
};

TopLevelWindow::TopLevelWindow(HINSTANCE instance, Screen& screen, FormContent content)
    : instance_(instance), screen_(screen), content_(std::move(content)) {}

TopLevelWindow::~TopLevelWindow() {
    formBinding_.reset();
    toolTip_.reset();
    window_.reset();
}

void TopLevelWindow::Create() {
    dpiX_ = DotsPerInch(screen_.TwipsPerPixelX());
    dpiY_ = DotsPerInch(screen_.TwipsPerPixelY());
    // Without its picture the window still works, on the plain face colour.
    if (content_.form.picture != 0) background_ = LoadJpegResource(instance_, content_.form.picture);
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};  // tool tips
    InitCommonControlsEx(&classes);
    RegisterPaneClass(instance_);

    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = Route;
    form.hInstance = instance_;
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = className;
    if (!RegisterClassExW(&form) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw std::runtime_error("RegisterClassExW failed for a form");
    }

    // Made at its size and place: moving a window with its controls in it costs more than making it there.
    const SIZE size = FrameSize();
    const POINT place = CenteredPlace(size, MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY));
    window_.reset(CreateWindowExW(ExStyle(), className, content_.form.caption.c_str(), Style(), place.x,
                                  place.y, size.cx, size.cy, nullptr, nullptr, instance_, CreationData()));
    if (!window_) throw std::runtime_error("CreateWindowExW failed for a form");
    const int icon = content_.form.icon != 0 ? content_.form.icon : IDI_APP;
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(SharedIcon(instance_, icon, GetSystemMetrics(SM_CXICON))));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(SharedIcon(instance_, icon, GetSystemMetrics(SM_CXSMICON))));

    // A second start run at a lower integrity level may still hand its path over.
    if (onHandOver) ChangeWindowMessageFilterEx(hwnd_, WM_COPYDATA, MSGFLT_ALLOW, nullptr);
    restPending_ = createHiddenLater;
    if (!restPending_) CreateToolTips();
    CreateControls(!restPending_);
    for (std::size_t i = 0; i < content_.timers.size(); ++i) {
        timerViews_.push_back(std::make_unique<TimerView>(*content_.timers[i], hwnd_, i + 1));
    }
    formBinding_ = std::make_unique<FormBinding>(content_.form, *this);
}

DWORD TopLevelWindow::Style() const {
    return content_.form.border == BorderStyle::None ? kBorderlessStyle : kFixedSingleStyle;
}

// A borderless window keeps a taskbar button, so that it can be found and restored when minimised.
DWORD TopLevelWindow::ExStyle() const {
    return (content_.form.border == BorderStyle::None ? WS_EX_APPWINDOW : 0) |
           (onFileDropped ? WS_EX_ACCEPTFILES : 0);
}

void TopLevelWindow::CreateToolTips() {
    toolTip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr));
    if (!toolTip_) throw std::runtime_error("CreateWindowExW failed for the tool tips");
    for (const auto& window : controls_) ToolTipChanged(*window);
}

// In stacking order; a control inside a frame not made yet waits for it.
void TopLevelWindow::CreateControls(bool hiddenToo) {
    for (Control* control : content_.stacking) {
        if (ById(control->id)) continue;
        const bool parentMade = !control->parent || ById(control->parent->id);
        if (parentMade && (hiddenToo || control->Visible())) CreateControl(*control);
    }
}

void TopLevelWindow::CreateControl(Control& control) {
    std::unique_ptr<ControlWindow> window = MakeControlWindow(control, *this);
    ControlWindow* raw = window.get();
    controls_.push_back(std::move(window));
    byId_[control.id] = raw;  // list boxes ask for their item height while being created
    raw->Create();
    byHwnd_[raw->Hwnd()] = raw;
    PutInStackingPlace(control, raw->Hwnd());
    ToolTipChanged(*raw);
}

// The first in the stacking list lies in front. A new window lies behind its siblings, which is its place
// when the windows are made in list order; one made after a sibling that comes later in the list goes
// right behind the nearest sibling made before it that comes earlier, or in front of all.
void TopLevelWindow::PutInStackingPlace(const Control& control, HWND window) const {
    HWND behind = HWND_TOP;
    bool passed = false;
    for (const Control* other : content_.stacking) {
        if (other == &control) {
            passed = true;
            continue;
        }
        const ControlWindow* made = ById(other->id);
        if (!made || other->parent != control.parent) continue;
        if (!passed) {
            behind = made->Hwnd();
            continue;
        }
        SetWindowPos(window, behind, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
}

// Runs from the message queue before any input waiting there: a click or key right after start finds
// every control in place.
void TopLevelWindow::CreateTheRest() {
    if (!restPending_ || !hwnd_) return;
    restPending_ = false;
    CreateControls(true);
    CreateToolTips();
}

// The form's height counts the design's border and title bar; the client area is what is left of it.
SIZE TopLevelWindow::FrameSize() {
    const Form& form = content_.form;
    const int clientTwips = form.Height() > 0 ? form.Height() - Form::kDesignFrameHeight : form.clientHeight;
    RECT frame{0, 0, PixelsX(form.clientWidth), PixelsY(clientTwips)};
    AdjustWindowRectEx(&frame, Style(), FALSE, ExStyle());
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void TopLevelWindow::ResizeClient() {
    const SIZE size = FrameSize();
    SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TopLevelWindow::Show() {
    if (!hwnd_) return;
    if (!placed_) {
        Center();
        placed_ = true;
    }
    if (IsIconic(hwnd_)) {
        ShowWindow(hwnd_, SW_RESTORE);
    } else if (!IsWindowVisible(hwnd_)) {
        ShowWindow(hwnd_, SW_SHOW);
    }
    SetForegroundWindow(hwnd_);
    UpdateWindow(hwnd_);
    FocusFirst();
    if (restPending_) PostMessageW(hwnd_, kCreateTheRest, 0, 0);
}

void TopLevelWindow::BringToFront() {
    if (!hwnd_) return;
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(GetLastActivePopup(hwnd_));
}

// Where a window of this size lies centred in the monitor's work area.
POINT TopLevelWindow::CenteredPlace(SIZE size, HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    const RECT& work = info.rcWork;
    return {work.left + (work.right - work.left - size.cx) / 2,
            work.top + (work.bottom - work.top - size.cy) / 2};
}

// The window was made centred; its form may have changed its size since.
void TopLevelWindow::Center() {
    RECT frame;
    GetWindowRect(hwnd_, &frame);
    const POINT place = CenteredPlace({frame.right - frame.left, frame.bottom - frame.top},
                                      MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY));
    if (place.x == frame.left && place.y == frame.top) return;
    SetWindowPos(hwnd_, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

int TopLevelWindow::RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

// Tab and Shift+Tab follow the focus order, and access keys press what the model says they reach; the
// dialog manager does the rest: Enter asks for the default button, Esc sends IDCANCEL.
bool TopLevelWindow::PreTranslate(MSG& message) {
    if (!hwnd_ || (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd))) return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
        MoveFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
        return true;
    }
    if (IsAccessKeyMessage(message)) return PressAccessKey(message);
    return IsDialogMessageW(hwnd_, &message);
}

// The dialog manager would also press a control that a view covers; here an access key that reaches no
// control goes on as the plain key it is.
bool TopLevelWindow::PressAccessKey(const MSG& message) {
    const Control* target = AccessKeyTarget(content_.stacking, static_cast<wchar_t>(message.wParam));
    const ControlWindow* window = target ? ById(target->id) : nullptr;
    if (!window) return false;
    SendMessageW(window->Hwnd(), BM_CLICK, 0, 0);
    return true;
}

// The window is destroyed: the object may outlive it.
void TopLevelWindow::Detached() {
    hwnd_ = nullptr;
    (void)window_.release();
}

LRESULT TopLevelWindow::OnMessage(HWND /*window*/, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(wParam);
            return 0;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (ControlWindow* control = ById(static_cast<int>(item->CtlID))) {
                control->OnDrawItem(*item);
                return TRUE;
            }
            break;
        }
        case WM_MEASUREITEM: {
            auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (ControlWindow* control = ById(static_cast<int>(item->CtlID))) {
                control->OnMeasureItem(*item);
                return TRUE;
            }
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            if (ControlWindow* control = FromWindow(reinterpret_cast<HWND>(lParam))) {
                if (HBRUSH brush = control->OnCtlColor(reinterpret_cast<HDC>(wParam))) {
                    return reinterpret_cast<LRESULT>(brush);
                }
            }
            break;
        case WM_ERASEBKGND:
            PaintBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_TIMER:
            if (wParam >= 1 && wParam <= timerViews_.size()) timerViews_[wParam - 1]->Tick();
            return 0;
        case WM_SETCURSOR:
            if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
            break;
        case WM_MOUSEWHEEL:
            if (ForwardWheel(wParam, lParam)) return 0;
            break;
        case WM_LBUTTONDOWN:
            if (OnMouseDown(MouseButton::Left)) return 0;
            break;
        case WM_RBUTTONDOWN:
            if (OnMouseDown(MouseButton::Right)) return 0;
            break;
        case WM_MBUTTONDOWN:
            if (OnMouseDown(MouseButton::Middle)) return 0;
            break;
        case WM_MOUSEMOVE:
            if (following_) {
                MoveToPointer();
                return 0;
            }
            break;
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (StopFollowing(message)) return 0;
            break;
        case WM_CAPTURECHANGED:
            following_.reset();
            break;
        case WM_SIZE:
            OnSize(wParam);
            break;
        case DM_GETDEFID:
            if (const Control* button = DefaultForEnter()) return MAKELRESULT(button->id, DC_HASDEFID);
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_DROPFILES:
            OnDropFiles(wParam);
            return 0;
        case kCreateTheRest:
            CreateTheRest();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wParam && onSessionEnd) onSessionEnd();
            return 0;
        case WM_COPYDATA:
            return OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case kHandOver:
            OnHandOver();
            return 0;
        case WM_CLOSE:
            if (onClose) {
                onClose();
            } else {
                content_.form.Unload();
            }
            return 0;
        case WM_DESTROY:
            if (endsProgram) PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

// The form decides whether it takes the drop now (not while one of its handlers waits in a box).
void TopLevelWindow::OnDropFiles(WPARAM dropHandle) {
    const std::wstring path = FirstDroppedPath(reinterpret_cast<HDROP>(dropHandle));
    if (!path.empty() && onFileDropped) onFileDropped(path);
}

bool TopLevelWindow::OnCopyData(const COPYDATASTRUCT& data) {
    if (!onHandOver) return false;
    std::optional<std::wstring> path = HandedOverPath(data);
    if (!path) return false;
    handedOver_.push_back(std::move(*path));
    PostMessageW(hwnd_, kHandOver, 0, 0);
    return true;
}

void TopLevelWindow::OnHandOver() {
    if (handedOver_.empty()) return;
    const std::wstring path = std::move(handedOver_.front());
    handedOver_.pop_front();
    onHandOver(path);
}

// As in a dialog, a push button with the focus takes Enter for itself; elsewhere Enter is the default
// button's.
const Control* TopLevelWindow::DefaultForEnter() const {
    const ControlWindow* focused = FromWindow(GetFocus());
    if (focused && focused->Model().kind == Kind::Button) return &focused->Model();
    return content_.defaultButton;
}

void TopLevelWindow::OnCommand(WPARAM wParam) {
    const int id = LOWORD(wParam);
    if (id == IDOK) {
        Press(content_.defaultButton);
    } else if (id == IDCANCEL) {
        Press(content_.cancelButton);
    } else if (ControlWindow* control = ById(id)) {
        control->OnCommand(HIWORD(wParam));
    }
}

void TopLevelWindow::Press(Control* control) {
    auto* button = dynamic_cast<Button*>(control);
    if (button && ById(button->id) && TakesKeys(*button)) button->Click();
}

// A press on the form's own background (not on a control) is the form's; while the window follows the
// pointer, every press is part of that move.
bool TopLevelWindow::OnMouseDown(MouseButton button) {
    if (following_) return true;
    if (!content_.form.onMouseDown) return false;
    content_.form.MouseDown(button);
    return true;
}

// The window keeps the mouse to itself while it follows the pointer, so that no other window takes the
// release that ends the move. The pointer is taken where the message put it, not where it is now: the
// hand may have moved on before the press was read.
void TopLevelWindow::FollowPointer(MouseButton button) {
    RECT place;
    if (!hwnd_ || !GetWindowRect(hwnd_, &place)) return;
    const POINT pointer = PointerOfMessage();
    SetCapture(hwnd_);
    following_ = Following{ReleaseOf(button), {pointer.x - place.left, pointer.y - place.top}};
}

void TopLevelWindow::MoveToPointer() {
    const POINT pointer = PointerOfMessage();
    SetWindowPos(hwnd_, nullptr, pointer.x - following_->grip.x, pointer.y - following_->grip.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Only the release of the button that started the move ends it.
bool TopLevelWindow::StopFollowing(UINT release) {
    if (!following_ || following_->release != release) return false;
    following_.reset();
    if (GetCapture() == hwnd_) ReleaseCapture();
    return true;
}

// The user minimised or restored the window another way (the taskbar, the keyboard): the form follows.
void TopLevelWindow::OnSize(WPARAM kind) {
    if (kind == SIZE_MINIMIZED) content_.form.SetWindowState(WindowState::Minimized);
    if (kind == SIZE_RESTORED) content_.form.SetWindowState(WindowState::Normal);
}

bool TopLevelWindow::OnSetCursor(HWND under, UINT hitTest) {
    if (hitTest != HTCLIENT) return false;
    const ControlWindow* control = FromWindow(under);
    if (!control && under != hwnd_) return false;
    int resource = 0;
    switch (control ? control->Model().cursor : content_.form.cursor) {
        case CursorKind::ViewSwitch:
            resource = IDC_VIEWSWITCH;
            break;
        case CursorKind::Input:
            resource = IDC_INPUT;
            break;
        case CursorKind::Move:
            resource = IDC_MOVE;
            break;
        case CursorKind::PointingHand:
            resource = IDC_POINTING_HAND;
            break;
        case CursorKind::Normal:
            break;
    }
    if (!resource) return false;  // the control's own pointer: the arrow, or the text cursor over a text box
    // Loaded when first pointed at, not at start; the system keeps one copy of each.
    SetCursor(LoadCursorW(instance_, MAKEINTRESOURCEW(resource)));
    return true;
}

// Some systems give the wheel to the control with the focus, which passes it up here; it belongs to the
// control under the pointer (the help text, a list), as elsewhere.
bool TopLevelWindow::ForwardWheel(WPARAM wParam, LPARAM lParam) {
    if (forwardingWheel_) return false;  // the control under the pointer passed it up again
    const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    HWND under = WindowFromPoint(point);
    if (!under || under == hwnd_ || !IsChild(hwnd_, under)) return false;
    forwardingWheel_ = true;
    SendMessageW(under, WM_MOUSEWHEEL, wParam, lParam);
    forwardingWheel_ = false;
    return true;
}

// Like a dialog, the window gives the focus back to the control that had it when it was left.
void TopLevelWindow::OnActivate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
        return;
    }
    const ControlWindow* last = lastFocus_ && IsWindow(lastFocus_) ? FromWindow(lastFocus_) : nullptr;
    if (last && TakesKeys(last->Model())) {
        SetFocus(lastFocus_);
    } else {
        FocusFirst();
    }
}

void TopLevelWindow::FocusFirst() {
    for (Control* control : content_.focusOrder) {
        ControlWindow* window = ById(control->id);
        if (window && TabStopsAt(*control)) {
            SetFocus(window->Hwnd());
            return;
        }
    }
}

void TopLevelWindow::MoveFocus(int step) {
    const auto& order = content_.focusOrder;
    const int count = static_cast<int>(order.size());
    if (count == 0) return;
    int current = -1;
    if (const ControlWindow* focused = FromWindow(GetFocus())) {
        for (int i = 0; i < count; ++i) {
            if (order[static_cast<std::size_t>(i)] == &focused->Model()) current = i;
        }
    }
    const int start = current >= 0 ? current : (step > 0 ? count - 1 : 0);
    for (int k = 1; k <= count; ++k) {
        const int i = ((start + step * k) % count + count) % count;
        ControlWindow* window = ById(order[static_cast<std::size_t>(i)]->id);
        if (!window || !TabStopsAt(window->Model())) continue;
        SetFocus(window->Hwnd());
        if (window->Model().kind == Kind::TextBox) SendMessageW(window->Hwnd(), EM_SETSEL, 0, -1);
        return;
    }
}

ControlWindow* TopLevelWindow::ById(int id) const {
    const auto found = byId_.find(id);
    return found == byId_.end() ? nullptr : found->second;
}

ControlWindow* TopLevelWindow::FromWindow(HWND window) const {
    for (HWND w = window; w && w != hwnd_; w = GetParent(w)) {
        const auto found = byHwnd_.find(w);
        if (found != byHwnd_.end()) return found->second;
    }
    return nullptr;
}

// ---- ControlHost ----

int TopLevelWindow::PixelsX(int twips) { return MulDiv(twips, dpiX_, kTwipsPerInch); }

int TopLevelWindow::PixelsY(int twips) { return MulDiv(twips, dpiY_, kTwipsPerInch); }

int TopLevelWindow::Dpi() { return dpiY_; }

// One font object per distinct look, kept for the life of the window.
HFONT TopLevelWindow::Font(const FontStyle& look) {
    const std::wstring face = look.face.empty() ? kDefaultFace : look.face;
    const double points = look.points > 0 ? look.points : kDefaultPoints;
    auto key = std::make_tuple(face, Round(points * 100), look.bold, look.underline);
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second.get();
    UniqueFont font(CreateFontW(-Round(points * Dpi() / 72.0), 0, 0, 0, look.bold ? FW_BOLD : FW_NORMAL,
                                FALSE, look.underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                face.c_str()));
    if (!font) throw std::runtime_error("CreateFontW failed");
    return fonts_.emplace(std::move(key), std::move(font)).first->second.get();
}

HWND TopLevelWindow::ParentWindow(const Control& control) {
    if (!control.parent) return hwnd_;
    const ControlWindow* frame = ById(control.parent->id);
    if (!frame || !frame->Hwnd()) throw std::logic_error("a control comes before its frame");
    return frame->Hwnd();
}

// A control with an empty tip has no tool at all, so nothing pops up over it.
void TopLevelWindow::ToolTipChanged(ControlWindow& window) {
    if (!toolTip_) return;  // made later: it then takes every control's tip
    std::wstring text = window.Model().ToolTip();
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(window.Hwnd());
    tool.lpszText = text.data();
    const bool shown = toolsShown_.count(window.Hwnd()) != 0;
    if (text.empty()) {
        if (shown) SendMessageW(toolTip_.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        toolsShown_.erase(window.Hwnd());
    } else if (shown) {
        SendMessageW(toolTip_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        SendMessageW(toolTip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        toolsShown_.insert(window.Hwnd());
    }
}

// The focus leaves a control that a view has just covered for the next one Tab stops at, as the system
// takes it from one hidden or disabled: what is typed next must not act on a control the user cannot see.
void TopLevelWindow::ReachChanged(ControlWindow& window) {
    HWND focus = GetFocus();
    if (focus && FromWindow(focus) == &window && !TakesKeys(window.Model())) MoveFocus(1);
}

// The form's picture stretched over the client area, or the face colour.
void TopLevelWindow::PaintBackground(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    if (!background_) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    BITMAP info{};
    GetObjectW(background_.get(), sizeof info, &info);
    const UniqueMadeDc memory(CreateCompatibleDC(dc));
    const SelectIn selected(memory.get(), background_.get());
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);  // as HALFTONE asks
    StretchBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, info.bmWidth, info.bmHeight,
               SRCCOPY);
}

void TopLevelWindow::PaintBackdrop(HWND child, HDC dc) {
    POINT origin{0, 0};
    MapWindowPoints(child, hwnd_, &origin, 1);
    POINT previous;
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
    PaintBackground(dc);
    SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

void TopLevelWindow::Guard(const std::function<void()>& action) {
    if (RunGuarded(action) || !onFailure) return;
    RunGuarded(onFailure);  // should reporting fail as well, the window carries on
}

std::unique_ptr<FormWindow> Win32WindowFactory::Create(const FormContent& content) {
    auto window = std::make_unique<TopLevelWindow>(instance_, screen_, content);
    window->onFailure = onFailure_;
    window->Create();
    return window;
}

}  // namespace tesoro::win32
