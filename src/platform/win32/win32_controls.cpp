#include "platform/win32/win32_controls.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "resources/resource_ids.h"

namespace tesoro::win32 {

namespace {

constexpr COLORREF kDefaultLineColor = RGB(0, 0, 0);
// What WM_GETOBJECT answers for OBJID_QUERYCLASSNAMEIDX to be taken for the system's static text.
constexpr LRESULT kStaticClassIndex = 65536 + 3;
constexpr int kPictureSize = 32;  // pictures on buttons and images, in pixels at 96 dpi
// Bitmap pictures are drawn for 192 dpi (twice their design size) and shrunk to the screen's dpi.
constexpr int kBitmapPictureDpi = 192;

int PictureSize(ControlHost& host) { return MulDiv(kPictureSize, host.Dpi(), 96); }

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    UniqueBrush brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.get());
}

COLORREF Mix(COLORREF a, COLORREF b) {
    return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
               (GetBValue(a) + GetBValue(b)) / 2);
}

// Light text on a dark face, dark text on a light one.
COLORREF ContrastingText(Rgb face) {
    const int luminance = (face.r * 299 + face.g * 587 + face.b * 114) / 1000;
    return luminance < 140 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

// A 32-bit copy of a bitmap at another size, each pixel the average of those it covers.
UniqueBitmap ScaledCopy(HBITMAP source, SIZE from, SIZE to) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, to.cx, -to.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap copy(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueMadeDc sourceDc(CreateCompatibleDC(nullptr));
    const UniqueMadeDc copyDc(CreateCompatibleDC(nullptr));
    if (!copy || !sourceDc || !copyDc) throw std::runtime_error("a bitmap picture could not be scaled");
    const SelectIn sourceSelected(sourceDc.get(), source);
    const SelectIn copySelected(copyDc.get(), copy.get());
    SetStretchBltMode(copyDc.get(), HALFTONE);
    SetBrushOrgEx(copyDc.get(), 0, 0, nullptr);
    StretchBlt(copyDc.get(), 0, 0, to.cx, to.cy, sourceDc.get(), 0, 0, from.cx, from.cy, SRCCOPY);
    return copy;
}

// A bitmap picture becomes an icon whose transparent part is every pixel of the bitmap's top-left colour:
// the button then draws it on its own face, and greys its shape, not its whole square, when disabled.
UniqueIcon LoadBitmapAsIcon(HINSTANCE instance, int id, int dpi) {
    UniqueBitmap drawn(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP size{};
    if (!drawn || !GetObjectW(drawn.get(), sizeof size, &size)) throw std::runtime_error("bitmap missing");
    UniqueBitmap color = ScaledCopy(
        drawn.get(), {size.bmWidth, size.bmHeight},
        {MulDiv(size.bmWidth, dpi, kBitmapPictureDpi), MulDiv(size.bmHeight, dpi, kBitmapPictureDpi)});
    DIBSECTION dib{};
    if (GetObjectW(color.get(), sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits) {
        throw std::runtime_error("a scaled bitmap picture has no bits");
    }
    const int width = dib.dsBm.bmWidth, height = dib.dsBm.bmHeight;
    const int bytesPerPixel = dib.dsBm.bmBitsPixel / 8;
    const int maskStride = ((width + 15) / 16) * 2;  // monochrome rows are word aligned
    std::vector<BYTE> mask(static_cast<std::size_t>(maskStride * height), 0);
    auto row = [&](int y) {  // top-down row y of the colour bits
        const int stored = dib.dsBmih.biHeight > 0 ? height - 1 - y : y;
        return static_cast<BYTE*>(dib.dsBm.bmBits) + stored * dib.dsBm.bmWidthBytes;
    };
    GdiFlush();
    const BYTE key[3] = {row(0)[0], row(0)[1], row(0)[2]};
    for (int y = 0; y < height; ++y) {
        BYTE* pixel = row(y);
        for (int x = 0; x < width; ++x, pixel += bytesPerPixel) {
            if (pixel[0] != key[0] || pixel[1] != key[1] || pixel[2] != key[2]) continue;
            pixel[0] = pixel[1] = pixel[2] = 0;
            mask[static_cast<std::size_t>(y * maskStride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    }
    UniqueBitmap maskBitmap(CreateBitmap(width, height, 1, 1, mask.data()));
    ICONINFO info{TRUE, 0, 0, maskBitmap.get(), color.get()};
    UniqueIcon icon(CreateIconIndirect(&info));
    if (!icon) throw std::runtime_error("CreateIconIndirect failed");
    return icon;
}

// ---- Buttons ----

class ButtonWindow : public ControlWindow {
public:
    ButtonWindow(Button& model, ControlHost& host) : ControlWindow(model, host), button_(model) {}

    void OnCommand(WORD code) override {
        if (code == BN_CLICKED || (OwnerDrawn() && code == BN_DOUBLECLICKED)) button_.Click();
    }

    void OnDrawItem(const DRAWITEMSTRUCT& item) override {
        const bool pressed = item.itemState & ODS_SELECTED;
        RECT face = item.rcItem;
        FillSolid(item.hDC, face, ToColorRef(*model_.backColor));
        DrawEdge(item.hDC, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

        const COLORREF text =
            model_.foreColor ? ToColorRef(*model_.foreColor) : ContrastingText(*model_.backColor);
        SetTextColor(item.hDC,
                     (item.itemState & ODS_DISABLED) ? Mix(text, ToColorRef(*model_.backColor)) : text);
        SetBkMode(item.hDC, TRANSPARENT);
        SelectIn font(item.hDC, ModelFont());
        RECT label = face;
        if (pressed) OffsetRect(&label, 1, 1);
        UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        if (item.itemState & ODS_NOACCEL) format |= DT_HIDEPREFIX;
        DrawTextW(item.hDC, model_.Caption().c_str(), -1, &label, format);

        if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
            RECT focus = face;
            InflateRect(&focus, -3, -3);
            DrawFocusRect(item.hDC, &focus);
        }
    }

protected:
    WindowClassStyle ClassStyle() const override {
        DWORD style = BS_PUSHBUTTON;
        if (model_.picture != 0) {
            style |= BS_ICON;
        } else if (OwnerDrawn()) {
            style |= BS_OWNERDRAW;
        }
        return {L"BUTTON", style};
    }

    void AfterCreate() override {
        if (model_.picture == 0) return;
        icon_ = IsBitmapPicture(model_.picture)
                    ? LoadBitmapAsIcon(host_.Instance(), model_.picture, host_.Dpi())
                    : LoadIconPicture(host_.Instance(), model_.picture, PictureSize(host_));
        SendMessageW(hwnd_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon_.get()));
    }

private:
    bool OwnerDrawn() const { return model_.picture == 0 && model_.backColor.has_value(); }

    Button& button_;
    UniqueIcon icon_;
};

// ---- Check boxes ----

class CheckBoxWindow : public ControlWindow {
public:
    CheckBoxWindow(CheckBox& model, ControlHost& host) : ControlWindow(model, host), check_(model) {}

    void OnCommand(WORD code) override {
        if (code != BN_CLICKED) return;
        const int state = SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        ActThenResync([&] { check_.SetValue(state); });
    }

protected:
    WindowClassStyle ClassStyle() const override {
        const DWORD look = model_.picture != 0 ? BS_PUSHLIKE | BS_ICON : BS_MULTILINE;
        return {L"BUTTON", static_cast<DWORD>(BS_AUTOCHECKBOX) | look};
    }

    void AfterCreate() override {
        if (model_.picture == 0) return;
        icon_ = LoadIconPicture(host_.Instance(), model_.picture, PictureSize(host_));
        if (model_.pressedPicture != 0) {
            pressedIcon_ = LoadIconPicture(host_.Instance(), model_.pressedPicture, PictureSize(host_));
        }
    }

    void ShowValue() override {
        const int value = check_.Value();
        const WPARAM state = value == 1 ? BST_CHECKED : value == 2 ? BST_INDETERMINATE : BST_UNCHECKED;
        SendMessageW(hwnd_, BM_SETCHECK, state, 0);
        if (!icon_) return;
        HICON shown = (value == 1 && pressedIcon_) ? pressedIcon_.get() : icon_.get();
        SendMessageW(hwnd_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(shown));
    }

private:
    CheckBox& check_;
    UniqueIcon icon_;
    UniqueIcon pressedIcon_;
};

// ---- Labels, frames and lines: painted by us ----

class LabelWindow : public ControlWindow {
public:
    using ControlWindow::ControlWindow;

protected:
    void Paint(HDC dc, const RECT& client) override {
        if (model_.transparent) {
            host_.PaintBackdrop(hwnd_, dc);
        } else {
            FillSolid(dc, client,
                      model_.backColor ? ToColorRef(*model_.backColor) : GetSysColor(COLOR_BTNFACE));
        }
        SelectIn font(dc, ModelFont());
        SetBkMode(dc, TRANSPARENT);
        const COLORREF text = model_.foreColor ? ToColorRef(*model_.foreColor) : GetSysColor(COLOR_BTNTEXT);
        SetTextColor(dc, IsWindowEnabled(hwnd_) ? text : GetSysColor(COLOR_GRAYTEXT));
        RECT area = client;
        const std::wstring shown = DisplayText(model_.Caption());
        DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &area, TextFormat());
    }

    WindowClassStyle ClassStyle() const override { return {kPaneClass, 0}; }

    RECT Bounds() override {
        RECT bounds = ControlWindow::Bounds();
        if (!SizedToText()) return bounds;
        const std::wstring shown = DisplayText(model_.Caption());
        RECT measured{0, 0, 0, 0};
        const WindowDc screen;
        const SelectIn font(screen, ModelFont());
        DrawTextW(screen, shown.c_str(), static_cast<int>(shown.size()), &measured,
                  TextFormat() | DT_CALCRECT);
        bounds.right = bounds.left + measured.right;
        bounds.bottom = bounds.top + std::max<LONG>(measured.bottom, FontHeight(ModelFont()));
        return bounds;
    }

    void ShowCaption() override {
        if (TextOf(hwnd_) != model_.Caption()) SetWindowTextW(hwnd_, model_.Caption().c_str());
        if (SizedToText()) Place();
        InvalidateRect(hwnd_, nullptr, FALSE);
    }

private:
    bool SizedToText() const { return model_.Geometry().width == 0; }
    UINT TextFormat() const {
        return DT_NOPREFIX | DT_EXPANDTABS | (SizedToText() ? 0 : DT_WORDBREAK) |
               (model_.align == TextAlign::Center ? DT_CENTER : 0);
    }
};

// Draws only the lines that can be seen, from the top: each line of the model wrapped within the width,
// into a buffer so that a scroll step does not flicker. The window keeps no copy of the text: reading it
// (WM_GETTEXT) asks the model.
class LineLabelWindow : public ControlWindow {
public:
    LineLabelWindow(LineLabel& model, ControlHost& host) : ControlWindow(model, host), label_(model) {}

    std::optional<LRESULT> OnPaneMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_GETTEXTLENGTH:
                return static_cast<LRESULT>(label_.Lines().Length());
            case WM_GETTEXT:
                return CopyText(static_cast<std::size_t>(wParam), reinterpret_cast<wchar_t*>(lParam));
            case WM_SETTEXT:
                return FALSE;  // the text is the model's
            default:
                return std::nullopt;
        }
    }

protected:
    WindowClassStyle ClassStyle() const override { return {kPaneClass, 0}; }

    void ShowCaption() override { InvalidateRect(hwnd_, nullptr, FALSE); }

    void Paint(HDC screen, const RECT& client) override {
        const int width = client.right - client.left, height = client.bottom - client.top;
        const UniqueMadeDc buffer(CreateCompatibleDC(screen));
        const UniqueBitmap canvas(CreateCompatibleBitmap(screen, width, height));
        if (!buffer || !canvas) return DrawLines(screen, client);  // no room for a buffer: draw directly
        const SelectIn selected(buffer.get(), canvas.get());
        DrawLines(buffer.get(), client);
        BitBlt(screen, client.left, client.top, width, height, buffer.get(), 0, 0, SRCCOPY);
    }

private:
    void DrawLines(HDC dc, const RECT& client) {
        FillSolid(dc, client, GetSysColor(COLOR_BTNFACE));
        SelectIn font(dc, ModelFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd_) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        const LineText& lines = label_.Lines();
        RECT area = client;
        for (std::size_t i = 0; i < lines.LineCount() && area.top < client.bottom; ++i) {
            const std::wstring& line = lines.Line(i);
            area.top += line.empty() ? metrics.tmHeight
                                     : DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &area,
                                                 DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        }
    }

    LRESULT CopyText(std::size_t room, wchar_t* buffer) const {
        if (room == 0 || !buffer) return 0;
        const std::wstring text = label_.Text();
        const std::size_t count = std::min(text.size(), room - 1);
        std::copy_n(text.data(), count, buffer);
        buffer[count] = L'\0';
        return static_cast<LRESULT>(count);
    }

    LineLabel& label_;
};

class FrameWindow : public ControlWindow {
public:
    using ControlWindow::ControlWindow;

protected:
    void Paint(HDC dc, const RECT& client) override {
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        FillSolid(dc, client, face);
        SelectIn font(dc, ModelFont());
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);

        RECT border = client;
        border.top = metrics.tmHeight / 2;
        DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);

        const std::wstring& caption = model_.Caption();
        if (caption.empty()) return;
        const int inset = MulDiv(8, host_.Dpi(), 96);
        const int gap = MulDiv(2, host_.Dpi(), 96);
        RECT text{inset, 0, inset, metrics.tmHeight};
        DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        RECT behind{text.left - gap, 0, text.right + gap, metrics.tmHeight};
        FillSolid(dc, behind, face);
        SetBkMode(dc, TRANSPARENT);
        const COLORREF color = model_.foreColor ? ToColorRef(*model_.foreColor) : GetSysColor(COLOR_BTNTEXT);
        SetTextColor(dc, IsWindowEnabled(hwnd_) ? color : GetSysColor(COLOR_GRAYTEXT));
        DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_NOPREFIX);
    }

    WindowClassStyle ClassStyle() const override {
        return {kPaneClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    }
};

// A straight line of its thickness in pixels, from the rect's top-left to its bottom-right corner.
class LineWindow : public ControlWindow {
public:
    LineWindow(Line& model, ControlHost& host) : ControlWindow(model, host), line_(model) {}

protected:
    void Paint(HDC dc, const RECT& client) override {
        FillSolid(dc, client, GetSysColor(COLOR_BTNFACE));
        LOGBRUSH brush{BS_SOLID, model_.foreColor ? ToColorRef(*model_.foreColor) : kDefaultLineColor, 0};
        const UniquePen pen(
            ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, Thickness(), &brush, 0, nullptr));
        SelectIn selected(dc, pen.get());
        const RECT ends = Ends();
        const int half = Thickness() / 2;
        MoveToEx(dc, ends.left - bounds_.left + half, ends.top - bounds_.top + half, nullptr);
        LineTo(dc, ends.right - bounds_.left + half, ends.bottom - bounds_.top + half);
    }

    WindowClassStyle ClassStyle() const override { return {kPaneClass, 0}; }

    RECT Bounds() override {
        const RECT ends = Ends();
        const int half = Thickness() / 2;
        bounds_ = {std::min(ends.left, ends.right) - half, std::min(ends.top, ends.bottom) - half,
                   std::max(ends.left, ends.right) - half + Thickness(),
                   std::max(ends.top, ends.bottom) - half + Thickness()};
        return bounds_;
    }

private:
    int Thickness() const { return std::max(1, line_.thickness); }
    RECT Ends() {
        const Rect& r = model_.Geometry();
        return {host_.PixelsX(r.left), host_.PixelsY(r.top), host_.PixelsX(r.left + r.width),
                host_.PixelsY(r.top + r.height)};
    }

    Line& line_;
    RECT bounds_{};
};

// ---- Text boxes ----

class TextBoxWindow : public ControlWindow {
public:
    TextBoxWindow(TextBox& model, ControlHost& host) : ControlWindow(model, host), text_(model) {}

    void OnCommand(WORD code) override {
        if (code != EN_CHANGE || echoing_) return;
        echoing_ = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{echoing_};
        text_.SetText(TextOf(hwnd_));
    }

protected:
    WindowClassStyle ClassStyle() const override {
        return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    }

    // The model's text goes to the window without coming back as a change.
    void ShowCaption() override {
        if (echoing_ || TextOf(hwnd_) == model_.Caption()) return;
        echoing_ = true;
        SetWindowTextW(hwnd_, model_.Caption().c_str());
        echoing_ = false;
    }

private:
    TextBox& text_;
    bool echoing_ = false;
};

class HelpTextWindow : public ControlWindow {
public:
    using ControlWindow::ControlWindow;

    HBRUSH OnCtlColor(HDC dc) override {
        SetBkColor(dc, GetSysColor(COLOR_SCROLLBAR));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return GetSysColorBrush(COLOR_SCROLLBAR);
    }

protected:
    WindowClassStyle ClassStyle() const override {
        return {L"EDIT", ES_LEFT | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL,
                WS_EX_CLIENTEDGE};
    }
};

// ---- Images ----

class ImageWindow : public ControlWindow {
public:
    using ControlWindow::ControlWindow;

protected:
    WindowClassStyle ClassStyle() const override { return {L"STATIC", SS_ICON | SS_CENTERIMAGE}; }

    void AfterCreate() override {
        if (model_.picture == 0) return;
        icon_ = LoadIconPicture(host_.Instance(), model_.picture, PictureSize(host_));
        SendMessageW(hwnd_, STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
        Place();  // setting the icon resizes the window to it
    }

    void ShowCaption() override {}

private:
    UniqueIcon icon_;
};

}  // namespace

// ---- ControlWindow ----

ControlWindow::ControlWindow(Control& model, ControlHost& host) : model_(model), host_(host) {}

ControlWindow::~ControlWindow() { model_.Bind(nullptr); }

void ControlWindow::Create() {
    const WindowClassStyle look = ClassStyle();
    DWORD style = look.style | WS_CHILD | WS_CLIPSIBLINGS | WS_GROUP;
    if (model_.Visible()) style |= WS_VISIBLE;
    if (!model_.Enabled()) style |= WS_DISABLED;
    const RECT bounds = Bounds();
    hwnd_ = CreateWindowExW(
        look.exStyle, look.className, L"", style, bounds.left, bounds.top, bounds.right - bounds.left,
        bounds.bottom - bounds.top, host_.ParentWindow(model_),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(model_.id)), host_.Instance(), CreationData());
    if (!hwnd_) throw std::runtime_error("CreateWindowExW failed for a control");
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(ModelFont()), FALSE);
    AfterCreate();
    ShowCaption();
    ShowItems();
    ShowValue();
    ShowSelection();
    model_.Bind(this);
}

void ControlWindow::Changed(Property what) {
    if (!hwnd_) return;
    switch (what) {
        case Property::Visible:
            ShowWindow(hwnd_, model_.Visible() ? SW_SHOWNA : SW_HIDE);
            break;
        case Property::Enabled:
            EnableWindow(hwnd_, model_.Enabled());
            break;
        case Property::ToolTip:
            host_.ToolTipChanged(*this);
            ShowCaption();  // a picture control is named by its tool tip
            break;
        case Property::Reach:
            host_.ReachChanged(*this);
            break;
        case Property::Geometry:
            Place();
            break;
        case Property::Caption:
            ShowCaption();
            break;
        case Property::Value:
            ShowValue();
            break;
        case Property::Items:
            ShowItems();
            break;
        case Property::Selection:
            ShowSelection();
            break;
        case Property::Picture:
            ShowPicture();
            break;
        case Property::Timer:
        case Property::WindowState:  // forms only
            break;
    }
}

RECT ControlWindow::Bounds() {
    const Rect& r = model_.Geometry();
    const int left = host_.PixelsX(r.left);
    const int top = host_.PixelsY(r.top);
    return {left, top, left + host_.PixelsX(r.width), top + host_.PixelsY(r.height)};
}

void ControlWindow::ShowCaption() {
    const std::wstring text = WindowText(model_);
    if (TextOf(hwnd_) != text) SetWindowTextW(hwnd_, text.c_str());
}

LRESULT ControlWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::optional<LRESULT> answer = OnPaneMessage(message, wParam, lParam)) return *answer;
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers every pixel
        case WM_PAINT: {
            const PaintDc dc(window);
            RECT client;
            GetClientRect(window, &client);
            Paint(dc, client);
            return 0;
        }
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
            InvalidateRect(window, nullptr, FALSE);
            return result;
        }
        case WM_ENABLE:
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        // The proxy the system has for its static text names the window by its text; no object of ours.
        // Other processes pass the id zero- or sign-extended, so only its low 32 bits count.
        case WM_GETOBJECT:
            if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_QUERYCLASSNAMEIDX)) {
                return kStaticClassIndex;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            OnMouse(message, lParam);
            return 0;
        // A frame passes on what its children report, so the main window hears every control.
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC:
            if (HWND parent = GetParent(window)) return SendMessageW(parent, message, wParam, lParam);
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void ControlWindow::Place() {
    const RECT bounds = Bounds();
    SetWindowPos(hwnd_, nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                 bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ControlWindow::ActThenResync(const std::function<void()>& action) {
    struct Resync {
        ControlWindow& window;
        ~Resync() {
            window.ShowValue();
            window.ShowSelection();
        }
    } resync{*this};
    action();
}

void RegisterPaneClass(HINSTANCE instance) {
    WNDCLASSEXW pane{};
    pane.cbSize = sizeof pane;
    pane.lpfnWndProc = WindowProcedure::Route;
    pane.hInstance = instance;
    pane.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    pane.lpszClassName = kPaneClass;
    if (!RegisterClassExW(&pane) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw std::runtime_error("RegisterClassExW failed for the pane class");
    }
}

std::unique_ptr<ControlWindow> MakeControlWindow(Control& model, ControlHost& host) {
    switch (model.kind) {
        case Kind::Button:
            return std::make_unique<ButtonWindow>(dynamic_cast<Button&>(model), host);
        case Kind::CheckBox:
            return std::make_unique<CheckBoxWindow>(dynamic_cast<CheckBox&>(model), host);
        case Kind::Label:
            return std::make_unique<LabelWindow>(model, host);
        case Kind::LineLabel:
            return std::make_unique<LineLabelWindow>(dynamic_cast<LineLabel&>(model), host);
        case Kind::TextBox:
            return std::make_unique<TextBoxWindow>(dynamic_cast<TextBox&>(model), host);
        case Kind::HelpText:
            return std::make_unique<HelpTextWindow>(model, host);
        case Kind::Frame:
            return std::make_unique<FrameWindow>(model, host);
        case Kind::Image:
            if (model.transparent) return MakePictureWindow(dynamic_cast<Image&>(model), host);
            return std::make_unique<ImageWindow>(model, host);
        case Kind::Line:
            return std::make_unique<LineWindow>(dynamic_cast<Line&>(model), host);
        case Kind::DriveList:
            return MakeDriveListWindow(dynamic_cast<DriveList&>(model), host);
        case Kind::FolderList:
            return MakeFolderListWindow(dynamic_cast<FolderList&>(model), host);
        case Kind::FileList:
            return MakeFileListWindow(dynamic_cast<FileList&>(model), host);
    }
    throw std::logic_error("a control of unknown kind");
}

// ---- Helpers ----

COLORREF ToColorRef(Rgb color) { return RGB(color.r, color.g, color.b); }

UniqueIcon LoadIconPicture(HINSTANCE instance, int id, int size) {
    UniqueIcon icon(
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
    if (!icon) throw std::runtime_error("LoadImageW: icon missing");
    return icon;
}

std::wstring DisplayText(const std::wstring& text) {
    std::wstring shown;
    shown.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        shown += text[i];
        if (text[i] == L'\r' && (i + 1 == text.size() || text[i + 1] != L'\n')) shown += L'\n';
    }
    return shown;
}

int TextMeasure::Width(const std::wstring& text) const {
    SIZE size{};
    GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int FontHeight(HFONT font) {
    const WindowDc screen;
    const SelectIn selected(screen, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    return metrics.tmHeight;
}

}  // namespace tesoro::win32
