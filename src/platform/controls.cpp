#include "platform/controls.h"

#include <utility>

#include "platform/ascii.h"
#include "platform/paths.h"
#include "platform/services.h"

namespace tesoro {

Control::Control(Kind kind, int id, Control* parent, Rect rect)
    : kind(kind), id(id), parent(parent), rect_(rect) {}

// ---- The keyboard and the window's text ----

namespace {

bool IsPicturePushControl(const Control& control) {
    return control.picture != 0 && (control.kind == Kind::Button || control.kind == Kind::CheckBox);
}

// The letter after the caption's lone "&", 0 when it has none ("&&" is an "&" shown as it is).
wchar_t AccessKey(const std::wstring& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] != L'&') return caption[i + 1];
        ++i;
    }
    return 0;
}

std::wstring DoubledAmpersands(const std::wstring& text) {
    std::wstring doubled;
    doubled.reserve(text.size());
    for (wchar_t c : text) {
        doubled += c;
        if (c == L'&') doubled += L'&';
    }
    return doubled;
}

}  // namespace

bool TakesKeys(const Control& control) {
    for (const Control* c = &control; c; c = c->parent) {
        if (!c->Visible() || !c->Enabled() || c->KeyboardReach() == Reach::Covered) return false;
    }
    return true;
}

bool TabStopsAt(const Control& control) {
    return TakesKeys(control) && control.KeyboardReach() != Reach::SkippedByTab;
}

Control* AccessKeyTarget(const std::vector<Control*>& controls, wchar_t key) {
    for (Control* control : controls) {
        if (control->kind != Kind::Button && control->kind != Kind::CheckBox) continue;
        const wchar_t own = AccessKey(control->Caption());
        if (own != 0 && AsciiUpper(own) == AsciiUpper(key)) return TakesKeys(*control) ? control : nullptr;
    }
    return nullptr;
}

std::wstring WindowText(const Control& control) {
    if (!IsPicturePushControl(control)) return control.Caption();
    return DoubledAmpersands(control.ToolTip().empty() ? control.Caption() : control.ToolTip());
}

}  // namespace tesoro
