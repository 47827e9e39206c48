// The standard controls as the handlers see them: plain objects with the properties the handlers read
// and write and the events they raise. A window-system binding (ControlView) mirrors them on screen and
// feeds the user's actions back through the same setters, so a handler cannot tell a user's choice from
// a program step. Setting a property that raises an event calls the handler at once, nested inside the
// assignment.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/line_text.h"

namespace tesoro {

// What a binding must show again after a property changed.
enum class Property {
    Visible,
    Enabled,
    Caption,
    ToolTip,
    Geometry,
    Value,
    Items,
    Selection,
    Timer,
    Picture,
    WindowState,
    Reach
};

class ControlView {
public:
    virtual ~ControlView() = default;
    virtual void Changed(Property what) = 0;
};

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct FontStyle {
    std::wstring face;  // empty: the window's default font
    double points = 0;
    bool bold = false;
    bool underline = false;
};

// Positions and sizes are in twips, relative to the parent (a frame or the window's client area).
struct Rect {
    int left = 0, top = 0, width = 0, height = 0;  // width/height 0: sized to its text
};

enum class Kind {
    Button,    // push button: a picture or a caption
    CheckBox,  // ordinary check box, or drawn as a picture button when it has a picture
    Label,
    LineLabel,  // a multi-line label whose text is held as lines
    TextBox,    // single-line editable
    HelpText,   // multi-line, read-only, vertical scroll bar
    Frame,
    Image,
    Line,
    DriveList,
    FolderList,
    FileList,
};

// The program's own mouse pointers; Normal is the control's usual one.
enum class CursorKind { Normal, ViewSwitch, Input, Move, PointingHand };

enum class MouseButton { Left, Right, Middle };

enum class TextAlign { Left, Center };

// How the keyboard reaches a shown and enabled control. A view laid over a control covers it: no key
// reaches it. A control that lies below the window's visible area is only skipped by Tab: the window's
// Enter and Esc still press it.
enum class Reach { Full, SkippedByTab, Covered };

class Control {
public:
    Control(Kind kind, int id, Control* parent, Rect rect);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Fixed look, set once when the window is built.
    Kind kind;
    int id;           // child-window id, also how end-to-end tests find the control
    Control* parent;  // a frame, or nullptr for the window
    FontStyle font;
    std::optional<Rgb> foreColor;  // unset: the system's colours
    std::optional<Rgb> backColor;
    int picture = 0;         // resource id of the picture, 0 for none
    int pressedPicture = 0;  // picture while a push-style check box is checked
    CursorKind cursor = CursorKind::Normal;
    bool transparent = false;  // a label or image shows its window's background around its contents
    TextAlign align = TextAlign::Left;

    bool Visible() const { return visible_; }
    void SetVisible(bool v) { Set(visible_, v, Property::Visible); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool e) { Set(enabled_, e, Property::Enabled); }
    const std::wstring& ToolTip() const { return toolTip_; }
    void SetToolTip(std::wstring t) { Set(toolTip_, std::move(t), Property::ToolTip); }
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(std::wstring c) { Set(caption_, std::move(c), Property::Caption); }
    const Rect& Geometry() const { return rect_; }
    int Top() const { return rect_.top; }
    void SetTop(int twips) { Set(rect_.top, twips, Property::Geometry); }
    Reach KeyboardReach() const { return reach_; }
    void SetKeyboardReach(Reach reach) { Set(reach_, reach, Property::Reach); }

    void Bind(ControlView* view) { view_ = view; }

protected:
    template <typename T>
    void Set(T& field, T value, Property what) {
        if (field == value) return;
        field = std::move(value);
        Notify(what);
    }
    void Notify(Property what) {
        if (view_) view_->Changed(what);
    }

private:
    bool visible_ = true;
    bool enabled_ = true;
    std::wstring toolTip_;
    std::wstring caption_;
    Rect rect_;
    Reach reach_ = Reach::Full;
    ControlView* view_ = nullptr;
};

// Whether keys reach the control: it and every frame it lies in are shown and enabled, and no view
// covers them.
bool TakesKeys(const Control& control);
// Whether Tab stops at the control: keys reach it and it is not merely skipped by Tab.
bool TabStopsAt(const Control& control);
// The button or check box among `controls` whose caption has this access key ("&C" for C, letter case
// ignored), when keys reach it; nullptr otherwise. An access key of a control keys do not reach does
// nothing.
Control* AccessKeyTarget(const std::vector<Control*>& controls, wchar_t key);
// The text a control's window carries, which screen readers read out. A picture button or picture check
// box draws no caption: it is named by its tool tip (by its caption until it has one), with every "&"
// doubled so that no letter of it becomes an access key.
std::wstring WindowText(const Control& control);

class Button : public Control {
public:
    using Control::Control;
    std::function<void()> onClick;
    void Click() {
        if (onClick) onClick();
    }
};

class CheckBox : public Control {
public:
    using Control::Control;
    std::function<void()> onClick;
    int Value() const { return value_; }  // 0 unchecked, 1 checked, 2 greyed
    // Changing the value raises Click, whether the user or a program step changed it.
    void SetValue(int value) {
        if (value_ == value) return;
        value_ = value;
        Notify(Property::Value);
        if (onClick) onClick();
    }

private:
    int value_ = 0;
};

class Label : public Control {
public:
    using Control::Control;
};

// A multi-line label for a long text that changes a line at a time: its caption is held as lines, so a
// change costs what it moves and a window draws the first lines without reading the rest. The caption as
// one string is Text(); Caption() and SetCaption() are not used on it.
class LineLabel : public Control {
public:
    LineLabel(int id, Control* parent, Rect rect) : Control(Kind::LineLabel, id, parent, rect) {}

    const LineText& Lines() const { return lines_; }
    std::wstring Text() const { return lines_.Text(); }
    void SetLines(LineText lines) {
        lines_ = std::move(lines);
        Notify(Property::Caption);
    }
    template <typename Edit>
    void EditLines(Edit edit) {
        edit(lines_);
        Notify(Property::Caption);
    }

    const std::wstring& Caption() const = delete;
    void SetCaption(std::wstring) = delete;

private:
    LineText lines_;
};

class Frame : public Control {
public:
    using Control::Control;
};

// A picture, stretched to the image's size. Its picture can change, and it hears the mouse.
class Image : public Control {
public:
    using Control::Control;
    std::function<void(MouseButton)> onMouseDown;
    std::function<void(MouseButton)> onMouseUp;
    std::function<void()> onClick;  // the left button pressed and released on the image

    int Picture() const { return picture; }
    void SetPicture(int id) { Set(picture, id, Property::Picture); }
    void MouseDown(MouseButton button) {
        if (onMouseDown) onMouseDown(button);
    }
    void MouseUp(MouseButton button) {
        if (onMouseUp) onMouseUp(button);
    }
    void Click() {
        if (onClick) onClick();
    }
};

class Line : public Control {
public:
    Line(int id, Rect rect, int thickness) : Control(Kind::Line, id, nullptr, rect), thickness(thickness) {}
    int thickness;
};

class TextBox : public Control {
public:
    using Control::Control;
    const std::wstring& Text() const { return Caption(); }
    void SetText(std::wstring text) { SetCaption(std::move(text)); }
};

class Timer {
public:
    explicit Timer(int intervalMs) : interval_(intervalMs) {}
    std::function<void()> onTimer;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool e) {
        if (enabled_ == e) return;
        enabled_ = e;
        if (view_) view_->Changed(Property::Timer);
    }
    int Interval() const { return interval_; }
    void Tick() {
        if (enabled_ && onTimer) onTimer();
    }
    void Bind(ControlView* view) { view_ = view; }

private:
    int interval_;
    bool enabled_ = false;
    ControlView* view_ = nullptr;
};

enum class BorderStyle {
    FixedSingle,  // a title bar with the system menu, minimise and close buttons; not resizable
    None,         // the window is its client area only
};

enum class WindowState { Normal, Minimized };

// What a form asks of the top-level window that shows it.
class FormView : public ControlView {
public:
    virtual std::uintptr_t Handle() = 0;  // the system's handle of the window
    // Puts the window on screen (centred the first time), restores it when minimised, brings it to the
    // front.
    virtual void Show() = 0;
    // Restores the window when minimised and brings it to the front, or the box it has open.
    virtual void BringToFront() = 0;
    virtual void Destroy() = 0;
    // Moves the window with the pointer until that button is released or the window loses the mouse.
    virtual void FollowPointer(MouseButton button) = 0;
};

// The window itself, as the handlers see it.
class Form {
public:
    std::wstring caption;
    int clientWidth = 0;   // twips
    int clientHeight = 0;  // twips, at start
    int icon = 0;
    BorderStyle border = BorderStyle::FixedSingle;
    int picture = 0;                               // background, stretched over the client area; 0 for none
    CursorKind cursor = CursorKind::Normal;        // over the background
    std::function<void(MouseButton)> onMouseDown;  // a press on the background
    std::function<void()> onUnload;

    // Outer height in twips as the design counts it: the client area plus 375 twips of border and title bar.
    static constexpr int kDesignFrameHeight = 375;
    int Height() const { return height_; }
    void SetHeight(int twips) {
        if (height_ == twips) return;
        height_ = twips;
        if (view_) view_->Changed(Property::Geometry);
    }

    std::uintptr_t Hwnd() const { return view_ ? view_->Handle() : 0; }
    WindowState State() const { return state_; }
    void SetWindowState(WindowState state) {
        if (state_ == state) return;
        state_ = state;
        if (view_) view_->Changed(Property::WindowState);
    }
    void Show() {
        state_ = WindowState::Normal;
        if (view_) view_->Show();
    }
    void BringToFront() {
        state_ = WindowState::Normal;
        if (view_) view_->BringToFront();
    }
    // Runs the unload handler, then destroys the window; a form is unloaded once.
    void Unload() {
        if (unloaded_) return;
        unloaded_ = true;
        if (onUnload) onUnload();
        if (view_) view_->Destroy();
    }
    bool Unloaded() const { return unloaded_; }
    void MouseDown(MouseButton button) {
        if (onMouseDown) onMouseDown(button);
    }
    // The window follows the pointer while the button stays down.
    void MoveWhileHeld(MouseButton button) {
        if (view_) view_->FollowPointer(button);
    }

    void Bind(FormView* view) { view_ = view; }

private:
    int height_ = 0;
    WindowState state_ = WindowState::Normal;
    bool unloaded_ = false;
    FormView* view_ = nullptr;
};

// A form and its controls as its window shows them.
struct FormContent {
    Form& form;
    std::vector<Control*> stacking;    // every control with a window, front to back, frames first
    std::vector<Control*> focusOrder;  // the controls Tab visits, first to last
    std::vector<Timer*> timers;
    Control* defaultButton = nullptr;  // pressed by Enter
    Control* cancelButton = nullptr;   // pressed by Esc
};

}  // namespace tesoro
