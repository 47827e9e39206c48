// Images painted by us, and decoding a JPEG picture from the resources.
#include <wincodec.h>

#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_system_library.h"
#include "resources/resource_ids.h"

namespace tesoro::win32 {

namespace {

MouseButton ButtonOf(UINT message) {
    switch (message) {
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return MouseButton::Right;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return MouseButton::Middle;
        default:
            return MouseButton::Left;
    }
}

class PictureWindow : public ControlWindow {
public:
    PictureWindow(Image& model, ControlHost& host) : ControlWindow(model, host), image_(model) {}

protected:
    WindowClassStyle ClassStyle() const override { return {kPaneClass, 0}; }
    void AfterCreate() override { ShowPicture(); }

    void ShowPicture() override {
        icon_.reset();
        bitmap_.reset();
        const int id = image_.Picture();
        if (id != 0) {
            const RECT bounds = Bounds();
            const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
            if (IsBitmapPicture(id)) {
                bitmap_.reset(static_cast<HBITMAP>(LoadImageW(host_.Instance(), MAKEINTRESOURCEW(id),
                                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
            } else {
                icon_.reset(static_cast<HICON>(
                    LoadImageW(host_.Instance(), MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, 0)));
            }
        }
        InvalidateRect(hwnd_, nullptr, FALSE);
    }

    void Paint(HDC dc, const RECT& client) override {
        host_.PaintBackdrop(hwnd_, dc);
        if (icon_) {
            DrawIconEx(dc, 0, 0, icon_.get(), client.right, client.bottom, 0, nullptr, DI_NORMAL);
        } else if (bitmap_) {
            BITMAP info{};
            GetObjectW(bitmap_.get(), sizeof info, &info);
            const UniqueMadeDc memory(CreateCompatibleDC(dc));
            const SelectIn selected(memory.get(), bitmap_.get());
            StretchBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, info.bmWidth, info.bmHeight,
                       SRCCOPY);
        }
    }

    // As a form's image: the control that got a button's press gets its release, wherever the pointer
    // went; a click is the left button pressed and released on it.
    void OnMouse(UINT message, LPARAM lParam) override {
        const MouseButton button = ButtonOf(message);
        const unsigned bit = 1u << static_cast<unsigned>(button);
        const bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
        if (down) {
            pressed_ |= bit;
            SetCapture(hwnd_);
            image_.MouseDown(button);
            return;
        }
        if (!(pressed_ & bit)) return;
        pressed_ &= ~bit;
        if (pressed_ == 0 && GetCapture() == hwnd_) ReleaseCapture();
        RECT client;
        GetClientRect(hwnd_, &client);
        const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        const bool inside = PtInRect(&client, at) != FALSE;
        image_.MouseUp(button);
        // The release may have closed the window.
        if (button == MouseButton::Left && inside && IsWindow(hwnd_)) image_.Click();
    }

private:
    Image& image_;
    UniqueIcon icon_;
    UniqueBitmap bitmap_;
    unsigned pressed_ = 0;
};

}  // namespace

std::unique_ptr<ControlWindow> MakePictureWindow(Image& model, ControlHost& host) {
    return std::make_unique<PictureWindow>(model, host);
}

UniqueBitmap LoadJpegResource(HINSTANCE instance, int id) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    auto* bytes = loaded ? static_cast<BYTE*>(LockResource(loaded)) : nullptr;
    if (!bytes) return {};
    static const auto coInitializeEx =
        LoadSystemFunction<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    static const auto coCreateInstance =
        LoadSystemFunction<decltype(&CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
    if (!coInitializeEx || !coCreateInstance) return {};
    coInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // once per thread; later calls only count

    UniqueCom<IWICImagingFactory> factory;
    UniqueCom<IWICStream> stream;
    UniqueCom<IWICBitmapDecoder> decoder;
    UniqueCom<IWICBitmapFrameDecode> frame;
    UniqueCom<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(coCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(factory.put()))) ||
        FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(bytes, SizeofResource(instance, found))) ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnLoad,
                                                decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) ||
        FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                     nullptr, 0, WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height))) {
        return {};
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap ||
        FAILED(converter->CopyPixels(nullptr, width * 4, width * 4 * height, static_cast<BYTE*>(bits)))) {
        return {};
    }
    return bitmap;
}

}  // namespace tesoro::win32
