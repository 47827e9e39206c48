// The drive, folder and file lists: our own list models shown in COMBOBOX and LISTBOX windows.
#include <algorithm>

#include "platform/win32/win32_controls.h"
#include "resources/resource_ids.h"

namespace tesoro::win32 {

namespace {

constexpr int kVisibleDriveEntries = 8;  // entries the open drive list shows without scrolling

// The list windows hold exactly the model's entries, in the model's order; room for all of them is made
// at once.
void FillList(HWND list, UINT reset, UINT reserve, UINT add, const std::vector<std::wstring>& texts) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, reset, 0, 0);
    std::size_t characters = 0;
    for (const std::wstring& text : texts) characters += text.size() + 1;
    SendMessageW(list, reserve, texts.size(), characters * sizeof(wchar_t));
    for (const std::wstring& text : texts) SendMessageW(list, add, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// One entry of an owner-drawn list: an indent, a small picture, the text.
struct Entry {
    const std::wstring* text = nullptr;
    HICON icon = nullptr;
    int indent = 0;
};

class IconListWindow : public ControlWindow {
public:
    using ControlWindow::ControlWindow;

    void OnMeasureItem(MEASUREITEMSTRUCT& item) override { item.itemHeight = ItemHeight(); }

    void OnDrawItem(const DRAWITEMSTRUCT& item) override {
        const bool selected = item.itemState & ODS_SELECTED;
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        const Entry entry = EntryAt(static_cast<int>(item.itemID));
        if (entry.text) {
            const int iconSize = IconSize();
            int x = item.rcItem.left + Padding() + entry.indent;
            const int y = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - iconSize) / 2;
            if (entry.icon) DrawIconEx(item.hDC, x, y, entry.icon, iconSize, iconSize, 0, nullptr, DI_NORMAL);
            x += iconSize + Padding();
            RECT text{x, item.rcItem.top, item.rcItem.right, item.rcItem.bottom};
            SelectIn font(item.hDC, ModelFont());
            SetBkMode(item.hDC, TRANSPARENT);
            const int color = (item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT
                              : selected                      ? COLOR_HIGHLIGHTTEXT
                                                              : COLOR_WINDOWTEXT;
            SetTextColor(item.hDC, GetSysColor(color));
            DrawTextW(item.hDC, entry.text->c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
        if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
            DrawFocusRect(item.hDC, &item.rcItem);
        }
    }

protected:
    virtual Entry EntryAt(int index) = 0;

    int IconSize() { return MulDiv(16, host_.Dpi(), 96); }
    int Padding() { return MulDiv(2, host_.Dpi(), 96); }
    int ItemHeight() { return std::max(IconSize(), FontHeight(ModelFont())) + Padding(); }
    // Width an entry needs to be read whole.
    int EntryWidth(const TextMeasure& measure, const Entry& entry) {
        return entry.indent + IconSize() + 3 * Padding() + measure.Width(*entry.text);
    }
    UniqueIcon SmallIcon(int id) { return LoadIconPicture(host_.Instance(), id, IconSize()); }
};

// ---- Drive list ----

class DriveListWindow : public IconListWindow {
public:
    DriveListWindow(DriveList& model, ControlHost& host) : IconListWindow(model, host), drives_(model) {}

    void OnMeasureItem(MEASUREITEMSTRUCT& item) override {
        item.itemHeight = item.itemID == static_cast<UINT>(-1) ? FieldItemHeight() : ItemHeight();
    }

    // While the list is open the selection only follows the pointer; the choice is made when it closes.
    void OnCommand(WORD code) override {
        const bool open = SendMessageW(hwnd_, CB_GETDROPPEDSTATE, 0, 0);
        if (code == CBN_SELENDOK || (code == CBN_SELCHANGE && !open)) {
            const int index = static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
            if (index < 0 || index >= static_cast<int>(drives_.Items().size())) return;
            const std::wstring chosen = drives_.Items()[static_cast<std::size_t>(index)];
            ActThenResync([&] { drives_.SetDrive(chosen); });
        } else if (code == CBN_SELENDCANCEL) {
            ShowSelection();
        }
    }

protected:
    WindowClassStyle ClassStyle() const override {
        return {WC_COMBOBOXW, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL};
    }

    // The window's height includes the list that drops down under the field.
    RECT Bounds() override {
        RECT bounds = ControlWindow::Bounds();
        bounds.bottom += kVisibleDriveEntries * ItemHeight() + 2;
        return bounds;
    }

    void AfterCreate() override {
        icon_ = SmallIcon(IDI_DRIVE);
        SendMessageW(hwnd_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), FieldItemHeight());
        SendMessageW(hwnd_, CB_SETITEMHEIGHT, 0, ItemHeight());
    }

    void ShowItems() override {
        FillList(hwnd_, CB_RESETCONTENT, CB_INITSTORAGE, CB_ADDSTRING, drives_.Items());
        const TextMeasure measure(ModelFont());
        int widest = host_.PixelsX(model_.Geometry().width);
        for (int i = 0; i < static_cast<int>(drives_.Items().size()); ++i) {
            widest = std::max(widest, EntryWidth(measure, EntryAt(i)) + GetSystemMetrics(SM_CXVSCROLL));
        }
        SendMessageW(hwnd_, CB_SETDROPPEDWIDTH, widest, 0);
        ShowSelection();
    }

    void ShowSelection() override { SendMessageW(hwnd_, CB_SETCURSEL, drives_.ListIndex(), 0); }

    Entry EntryAt(int index) override {
        if (index < 0 || index >= static_cast<int>(drives_.Items().size())) return {};
        return {&drives_.Items()[static_cast<std::size_t>(index)], icon_.get(), 0};
    }

private:
    // The closed field, borders included, is as tall as the control's design height.
    int FieldItemHeight() {
        return std::max(FontHeight(ModelFont()), host_.PixelsY(model_.Geometry().height) - 6);
    }

    DriveList& drives_;
    UniqueIcon icon_;
};

// ---- Folder list ----

class FolderListWindow : public IconListWindow {
public:
    FolderListWindow(FolderList& model, ControlHost& host) : IconListWindow(model, host), folders_(model) {}
    ~FolderListWindow() override {
        if (hwnd_) RemoveWindowSubclass(hwnd_, EnterKeyProc, 0);
    }

    void OnCommand(WORD code) override {
        const int index = static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0));
        if (index < 0) return;
        if (code == LBN_SELCHANGE) ActThenResync([&] { folders_.Highlight(index); });
        if (code == LBN_DBLCLK) Open(index);
    }

protected:
    WindowClassStyle ClassStyle() const override {
        return {
            WC_LISTBOXW,
            LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL,
            WS_EX_CLIENTEDGE};
    }

    void AfterCreate() override {
        openIcon_ = SmallIcon(IDI_FOLDER_OPEN);
        closedIcon_ = SmallIcon(IDI_FOLDER_CLOSED);
        SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, ItemHeight());
        SetWindowSubclass(hwnd_, EnterKeyProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }

    void ShowItems() override {
        std::vector<std::wstring> names;
        const TextMeasure measure(ModelFont());
        int widest = 0;
        for (int i = 0; i < static_cast<int>(folders_.Items().size()); ++i) {
            names.push_back(folders_.Items()[static_cast<std::size_t>(i)].name);
            widest = std::max(widest, EntryWidth(measure, EntryAt(i)));
        }
        FillList(hwnd_, LB_RESETCONTENT, LB_INITSTORAGE, LB_ADDSTRING, names);
        SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, widest, 0);
        ShowSelection();
    }

    void ShowSelection() override { SendMessageW(hwnd_, LB_SETCURSEL, folders_.ListIndex(), 0); }

    Entry EntryAt(int index) override {
        if (index < 0 || index >= static_cast<int>(folders_.Items().size())) return {};
        const FolderList::Item& item = folders_.Items()[static_cast<std::size_t>(index)];
        return {&item.name, item.opened ? openIcon_.get() : closedIcon_.get(),
                item.depth * MulDiv(10, host_.Dpi(), 96)};
    }

private:
    void Open(int index) {
        ActThenResync([&] { folders_.OpenItem(index); });
    }

    // Enter opens the highlighted folder instead of pressing the default button. It stands apart from
    // WindowProcedure: the list box is the system's window, whose procedure stays the system's; this
    // subclass only sees its messages first, finds the object in the subclass's data and passes the rest
    // on with DefSubclassProc, guarding through the host the one call into the model.
    static LRESULT CALLBACK EnterKeyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data) {
        auto* self = reinterpret_cast<FolderListWindow*>(data);
        if (message == WM_GETDLGCODE && lParam) {
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
                return DLGC_WANTMESSAGE | DefSubclassProc(window, message, wParam, lParam);
            }
        }
        if (message == WM_KEYDOWN && wParam == VK_RETURN) {
            const int index = static_cast<int>(SendMessageW(window, LB_GETCURSEL, 0, 0));
            if (index >= 0) self->host_.Guard([&] { self->Open(index); });
            return 0;
        }
        if (message == WM_CHAR && wParam == L'\r') return 0;
        return DefSubclassProc(window, message, wParam, lParam);
    }

    FolderList& folders_;
    UniqueIcon openIcon_;
    UniqueIcon closedIcon_;
};

// ---- File list ----

class FileListWindow : public ControlWindow {
public:
    FileListWindow(FileList& model, ControlHost& host) : ControlWindow(model, host), files_(model) {}

    void OnCommand(WORD code) override {
        if (code != LBN_SELCHANGE) return;
        const int index = static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0));
        if (index >= 0) ActThenResync([&] { files_.SelectItem(index); });
    }

protected:
    WindowClassStyle ClassStyle() const override {
        return {WC_LISTBOXW, LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL,
                WS_EX_CLIENTEDGE};
    }

    void ShowItems() override {
        FillList(hwnd_, LB_RESETCONTENT, LB_INITSTORAGE, LB_ADDSTRING, files_.Items());
        const TextMeasure measure(ModelFont());
        int widest = 0;
        for (const std::wstring& name : files_.Items()) widest = std::max(widest, measure.Width(name));
        SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, widest + MulDiv(6, host_.Dpi(), 96), 0);
        ShowSelection();
    }

    void ShowSelection() override { SendMessageW(hwnd_, LB_SETCURSEL, files_.ListIndex(), 0); }

private:
    FileList& files_;
};

}  // namespace

std::unique_ptr<ControlWindow> MakeDriveListWindow(DriveList& model, ControlHost& host) {
    return std::make_unique<DriveListWindow>(model, host);
}

std::unique_ptr<ControlWindow> MakeFolderListWindow(FolderList& model, ControlHost& host) {
    return std::make_unique<FolderListWindow>(model, host);
}

std::unique_ptr<ControlWindow> MakeFileListWindow(FileList& model, ControlHost& host) {
    return std::make_unique<FileListWindow>(model, host);
}

}  // namespace tesoro::win32
