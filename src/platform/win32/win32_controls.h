// The child windows that show the main window's control models. Each ControlWindow is the ControlView of
// one model: it creates the window, re-applies a property when the model reports a change, and turns the
// window's notifications into the model's setters and events.
#pragma once

// clang-format off
#include <windows.h>  // first: the other system headers need its types
#include <commctrl.h>
// clang-format on

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/controls.h"
#include "platform/drive_list.h"
#include "platform/file_list.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_window_procedure.h"

namespace tesoro::win32 {

class ControlWindow;

// What a control window needs from the window that hosts it.
class ControlHost {
public:
    virtual HINSTANCE Instance() = 0;
    virtual int PixelsX(int twips) = 0;
    virtual int PixelsY(int twips) = 0;
    virtual int Dpi() = 0;
    virtual HFONT Font(const FontStyle& look) = 0;
    // The window a control lives in: its frame's window, or the main window.
    virtual HWND ParentWindow(const Control& control) = 0;
    virtual void ToolTipChanged(ControlWindow& window) = 0;
    // A view now covers the control, or no longer does, or Tab now skips it.
    virtual void ReachChanged(ControlWindow& window) = 0;
    // Runs a model call from a place the window procedure's own guard does not cover.
    virtual void Guard(const std::function<void()>& action) = 0;
    // Paints what the top-level window shows behind a child window, for a control that lets it through.
    virtual void PaintBackdrop(HWND child, HDC dc) = 0;

protected:
    ~ControlHost() = default;
};

// Our own window class for frames, labels, lines and pictures: painted by its ControlWindow, it forwards
// what its children report to the main window. The system's accessibility proxy takes it for a static
// text, named by its window text.
inline constexpr wchar_t kPaneClass[] = L"TesoroPane";
void RegisterPaneClass(HINSTANCE instance);

// A pane window's messages come to its ControlWindow through the window procedure of ours; the system's
// controls (buttons, text boxes, lists) keep theirs and tell their parent, which calls OnCommand and the
// like.
class ControlWindow : public ControlView, private WindowProcedure {
public:
    ControlWindow(Control& model, ControlHost& host);
    ~ControlWindow() override;
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    void Create();
    HWND Hwnd() const { return hwnd_; }
    Control& Model() const { return model_; }
    void Changed(Property what) override;

    // What the parent window hears about this control.
    virtual void OnCommand(WORD /*code*/) {}
    virtual void OnDrawItem(const DRAWITEMSTRUCT& /*item*/) {}
    virtual void OnMeasureItem(MEASUREITEMSTRUCT& /*item*/) {}
    virtual HBRUSH OnCtlColor(HDC /*dc*/) { return nullptr; }  // nullptr: the system's colours
    // Pane windows only: a message the pane answers itself; nullopt leaves it to the pane's usual handling.
    virtual std::optional<LRESULT> OnPaneMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) {
        return std::nullopt;
    }

protected:
    struct WindowClassStyle {
        const wchar_t* className;
        DWORD style;
        DWORD exStyle = 0;
    };
    virtual WindowClassStyle ClassStyle() const = 0;
    virtual void AfterCreate() {}
    virtual RECT Bounds();       // in pixels, relative to the parent window
    virtual void ShowCaption();  // the window text: WindowText of the model
    virtual void ShowValue() {}
    virtual void ShowItems() {}
    virtual void ShowSelection() {}
    virtual void Paint(HDC /*dc*/, const RECT& /*client*/) {}
    virtual void ShowPicture() {}
    virtual void OnMouse(UINT /*message*/, LPARAM /*lParam*/) {}
    void Place();
    HFONT ModelFont() { return host_.Font(model_.font); }
    // Runs a user's action on the model, then shows the model's state again: a handler may have put back
    // what the user chose.
    void ActThenResync(const std::function<void()>& action);

    Control& model_;
    ControlHost& host_;
    HWND hwnd_ = nullptr;

private:
    // WindowProcedure: a pane's messages, each under its host's guard.
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void Guard(const std::function<void()>& action) override { host_.Guard(action); }
};

std::unique_ptr<ControlWindow> MakeControlWindow(Control& model, ControlHost& host);
std::unique_ptr<ControlWindow> MakeDriveListWindow(DriveList& model, ControlHost& host);
std::unique_ptr<ControlWindow> MakeFolderListWindow(FolderList& model, ControlHost& host);
std::unique_ptr<ControlWindow> MakeFileListWindow(FileList& model, ControlHost& host);
// An image painted by us: its picture stretched over it, its window's background around it, the mouse.
std::unique_ptr<ControlWindow> MakePictureWindow(Image& model, ControlHost& host);
// A JPEG picture from the resources as a bitmap, decoded by the system's imaging component; nullptr when
// it cannot be read.
UniqueBitmap LoadJpegResource(HINSTANCE instance, int id);

// Helpers shared by the control windows.
COLORREF ToColorRef(Rgb color);
UniqueIcon LoadIconPicture(HINSTANCE instance, int id, int size);
// A label's text as the window shows it: a lone carriage return becomes a line break.
std::wstring DisplayText(const std::wstring& text);
// Measures texts in one font on one screen device context, kept for as many texts as a list holds:
// getting a context for each text costs far more than measuring it.
class TextMeasure {
public:
    explicit TextMeasure(HFONT font) : selected_(dc_, font) {}
    int Width(const std::wstring& text) const;

private:
    WindowDc dc_;
    SelectIn selected_;
};
int FontHeight(HFONT font);

}  // namespace tesoro::win32
