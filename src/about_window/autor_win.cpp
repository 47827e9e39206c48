#include "about_window/autor_win.h"

#include <cmath>

#include "about_window/autor_win_ids.h"
#include "resources/resource_ids.h"

namespace tesoro {

namespace {

constexpr Rgb kDarkRed{128, 0, 0};
constexpr Rect kMailPlace{4320, 480, 345, 240};

// The outline, in design pixels (left, top, right, bottom): the body and the tabs behind the close and
// minimise pictures.
constexpr int kEllipse[4] = {5, 10, 387, 160};
constexpr int kCloseTab[4] = {285, 9, 303, 23};
constexpr int kMinTab[4] = {264, 6, 282, 20};

double RoundHalfToEven(double value) {
    const double rounded = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5) return 2.0 * std::round(value / 2.0);
    return rounded;
}

}  // namespace

int OutlinePixel(int design, float scale, double twipsPerPixel, int offset) {
    return static_cast<int>(
        RoundHalfToEven(design * static_cast<double>(scale) * 15.0 / twipsPerPixel + offset));
}

AutorWin::AutorWin(Platform& platform)
    : LblCR(Kind::Label, autor_ids::LblCR, nullptr, {1200, 480, 915, 435}),
      ImgPais(Kind::Image, autor_ids::ImgPais, nullptr, {5040, 1440, 240, 240}),
      ImgMail(Kind::Image, autor_ids::ImgMail, nullptr, kMailPlace),
      ImgMail1(Kind::Image, autor_ids::ImgMail1, nullptr, kMailPlace),
      LblVersion(Kind::Label, autor_ids::LblVersion, nullptr, {1440, 1020, 0, 0}),
      LblPrograma(Kind::Label, autor_ids::LblPrograma, nullptr, {2280, 600, 0, 0}),
      TempHolder(Kind::Image, autor_ids::TempHolder, nullptr, {0, 360, 255, 255}),
      MinHolder(Kind::Image, autor_ids::MinHolder, nullptr, {600, 120, 240, 210}),
      CloseHolder(Kind::Image, autor_ids::CloseHolder, nullptr, {240, 120, 240, 210}),
      CloseB(Kind::Image, autor_ids::CloseB, nullptr, {4300, 180, 240, 210}),
      Min(Kind::Image, autor_ids::Min, nullptr, {3985, 140, 240, 210}),
      platform_(platform) {
    BuildLayout();
    WireEvents();
}

void AutorWin::BuildLayout() {
    form.caption = std::wstring(L"Tesoro - Autor - ") + kAuthorName;
    form.clientWidth = 5805;
    form.clientHeight = 2400;
    form.border = BorderStyle::None;
    form.icon = IDI_APP;  // for its taskbar button; it has no title bar to show one
    form.picture = IDR_AUTOR_BACKGROUND;
    form.cursor = CursorKind::Move;

    Timer2.SetEnabled(true);
    Timer1.SetEnabled(true);

    LblCR.SetCaption(L"LIBRE DIFUSION");
    LblCR.foreColor = kDarkRed;
    LblCR.align = TextAlign::Center;

    ImgPais.SetPicture(IDI_PAIS);
    ImgMail.SetPicture(IDI_MAIL);
    ImgMail1.SetPicture(IDI_MAIL1);
    for (Image* mail : {&ImgMail, &ImgMail1}) {
        mail->cursor = CursorKind::PointingHand;
        mail->SetVisible(false);
    }

    LblVersion.SetCaption(L"1.0");
    LblVersion.font = {L"MS Sans Serif", 8.25, false, true};
    LblPrograma.SetCaption(L"Tesoro");
    LblPrograma.font = {L"MS Sans Serif", 18, false, true};

    // Named for screen readers; the pictures show no text.
    ImgMail.SetCaption(kAuthorAddress);
    ImgMail1.SetCaption(kAuthorAddress);
    Min.SetCaption(L"Minimizar");
    CloseB.SetCaption(L"Cerrar");

    MinHolder.SetPicture(IDB_MIN_PRESSED);
    CloseHolder.SetPicture(IDB_CLOSE_PRESSED);
    CloseB.SetPicture(IDB_CLOSE);
    Min.SetPicture(IDB_MIN);
    for (Image* holder : {&TempHolder, &MinHolder, &CloseHolder}) holder->SetVisible(false);

    for (Control* control : Content().stacking) control->transparent = true;
}

void AutorWin::WireEvents() {
    form.onMouseDown = [this](MouseButton button) { Form_MouseDown(button); };
    form.onUnload = [this] { Form_Unload(); };
    ImgMail.onClick = [this] { ImgMail_Click(); };
    ImgMail1.onClick = [this] { ImgMail1_Click(); };
    Min.onMouseDown = [this](MouseButton button) { Min_MouseDown(button); };
    Min.onMouseUp = [this](MouseButton button) { Min_MouseUp(button); };
    CloseB.onMouseDown = [this](MouseButton button) { CloseB_MouseDown(button); };
    CloseB.onMouseUp = [this](MouseButton button) { CloseB_MouseUp(button); };
    Timer1.onTimer = [this] { Timer1_Timer(); };
    Timer2.onTimer = [this] { Timer2_Timer(); };
}

// Front to back; only the two mailbox faces overlap.
FormContent AutorWin::Content() {
    return {form,
            {&LblCR, &ImgPais, &ImgMail, &ImgMail1, &LblVersion, &LblPrograma, &TempHolder, &MinHolder,
             &CloseHolder, &CloseB, &Min},
            {},
            {&Timer2, &Timer1}};
}

// ---- Outline ----

std::uintptr_t AutorWin::BuildWindowRegion(float ScaleX, float ScaleY, std::int16_t OffsetX,
                                           std::int16_t OffsetY) {
    WindowApi& api = platform_.windowApi;
    const double twipsX = platform_.screen.TwipsPerPixelX();
    const double twipsY = platform_.screen.TwipsPerPixelY();
    auto x = [&](int design) { return OutlinePixel(design, ScaleX, twipsX, OffsetX); };
    auto y = [&](int design) { return OutlinePixel(design, ScaleY, twipsY, OffsetY); };

    WindowRegion = api.CreateRectRgn(0, 0, 0, 0);
    const std::uintptr_t scratch = api.CreateRectRgn(0, 0, 0, 0);
    const std::uintptr_t body =
        api.CreateEllipticRgn(x(kEllipse[0]), y(kEllipse[1]), x(kEllipse[2]), y(kEllipse[3]));
    api.CombineRgn(WindowRegion, body, body, WindowApi::kRgnCopy);
    api.DeleteObject(body);
    for (const int* tab : {kCloseTab, kMinTab}) {
        const std::uintptr_t rect = api.CreateRectRgn(x(tab[0]), y(tab[1]), x(tab[2]), y(tab[3]));
        api.CombineRgn(scratch, WindowRegion, 0, WindowApi::kRgnCopy);
        api.CombineRgn(WindowRegion, scratch, rect, WindowApi::kRgnOr);
        api.DeleteObject(rect);
    }
    api.DeleteObject(scratch);
    return WindowRegion;
}

// ---- Handlers ----

// Once the system has the region it is the system's, freed with the window; a region it refused is
// still ours to delete.
void AutorWin::Form_Load() {
    const std::uintptr_t window = form.Hwnd();
    const std::uintptr_t region = BuildWindowRegion(1, 1, 0, 0);
    if (platform_.windowApi.SetWindowRgn(window, region, true) == 0) {
        platform_.windowApi.DeleteObject(region);
        WindowRegion = 0;
    }
}

// Any button drags the window by its background. The left one drags it as a title bar is dragged; the
// system's move for that follows the left button only, so the others move it themselves while held.
void AutorWin::Form_MouseDown(MouseButton button) {
    if (button != MouseButton::Left) return form.MoveWhileHeld(button);
    platform_.windowApi.ReleaseCapture();
    platform_.windowApi.SendWindowMessage(form.Hwnd(), WindowApi::kWmNcLButtonDown, WindowApi::kHtCaption, 0);
}

void AutorWin::Form_Unload() {}

void AutorWin::ImgMail_Click() {
    platform_.shell.Open(form.Hwnd(), std::wstring(L"mailto: ") + kAuthorAddress, L"c:\\");
}

void AutorWin::ImgMail1_Click() { ImgMail_Click(); }

// A second button going down while the first is held finds the pressed face already shown: the normal
// face kept in TempHolder must stay.
void AutorWin::PressFace(Image& picture, const Image& pressedFace) {
    if (picture.Picture() != pressedFace.Picture()) TempHolder.SetPicture(picture.Picture());
    picture.SetPicture(pressedFace.Picture());
}

void AutorWin::Min_MouseDown(MouseButton) { PressFace(Min, MinHolder); }

void AutorWin::Min_MouseUp(MouseButton) {
    Min.SetPicture(TempHolder.Picture());
    form.SetWindowState(WindowState::Minimized);
}

void AutorWin::CloseB_MouseDown(MouseButton) { PressFace(CloseB, CloseHolder); }

void AutorWin::CloseB_MouseUp(MouseButton) {
    CloseB.SetPicture(TempHolder.Picture());
    form.Unload();
}

void AutorWin::Timer1_Timer() {
    const bool lowered = ImgMail1.Visible();
    ImgMail1.SetVisible(!lowered);
    ImgMail.SetVisible(lowered);
}

void AutorWin::Timer2_Timer() { LblCR.SetVisible(!LblCR.Visible()); }

// ---- The one instance ----

AutorWin& AutorWinInstance::Show() {
    if (!Current()) {
        window_.reset();  // an unloaded window is gone already; its objects go now, outside its handlers
        form_.reset();
        form_ = std::make_unique<AutorWin>(platform_);
        window_ = platform_.windows.Create(form_->Content());
        form_->Form_Load();
    }
    form_->form.Show();
    return *form_;
}

AutorWin* AutorWinInstance::Current() { return form_ && !form_->form.Unloaded() ? form_.get() : nullptr; }

}  // namespace tesoro
