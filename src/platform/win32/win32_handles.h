// Owners for what the program takes from the system: files, searches, device contexts, GDI objects,
// icons, windows, COM objects and threads. Each is given back exactly once, the way it was obtained.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

namespace tesoro::win32 {

// Owns one handle of a kind, as std::unique_ptr owns a pointer. `Kind` names the raw type, the value
// that stands for none, and how a handle is given back (Free, false when the system refused).
template <typename Kind>
class UniqueHandle {
public:
    using Raw = typename Kind::Raw;

    UniqueHandle() = default;
    explicit UniqueHandle(Raw raw) : raw_(raw) {}
    UniqueHandle(UniqueHandle&& other) noexcept : raw_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { close(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    explicit operator bool() const { return raw_ != Kind::None(); }
    Raw get() const { return raw_; }
    Raw operator->() const { return raw_; }  // COM objects
    // For a call that hands out a new handle through a pointer; the one held before is given back.
    Raw* put() {
        close();
        return &raw_;
    }
    Raw release() { return std::exchange(raw_, Kind::None()); }
    void reset(Raw raw = Kind::None()) {
        close();
        raw_ = raw;
    }
    // Gives the handle back now; false when the system refused (a file whose last writes failed).
    bool close() {
        const Raw raw = release();
        return raw == Kind::None() || Kind::Free(raw);
    }

private:
    Raw raw_ = Kind::None();
};

// Processes, threads, mutexes: null when none.
struct KernelObjectKind {
    using Raw = HANDLE;
    static HANDLE None() { return nullptr; }
    static bool Free(HANDLE object) { return CloseHandle(object) != FALSE; }
};

// What CreateFileW opens, a folder too: INVALID_HANDLE_VALUE when none.
struct FileKind {
    using Raw = HANDLE;
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static bool Free(HANDLE file) { return CloseHandle(file) != FALSE; }
};

// What FindFirstFileExW starts.
struct SearchKind {
    using Raw = HANDLE;
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static bool Free(HANDLE search) { return FindClose(search) != FALSE; }
};

// Fonts, bitmaps, brushes, pens and regions.
template <typename Handle>
struct GdiObjectKind {
    using Raw = Handle;
    static Handle None() { return nullptr; }
    static bool Free(Handle object) { return DeleteObject(object) != FALSE; }
};

// A device context made by CreateCompatibleDC; one borrowed from a window is a WindowDc.
struct MadeDcKind {
    using Raw = HDC;
    static HDC None() { return nullptr; }
    static bool Free(HDC dc) { return DeleteDC(dc) != FALSE; }
};

// Icons made or loaded for us alone; shared ones (LR_SHARED) are the system's and never owned.
struct IconKind {
    using Raw = HICON;
    static HICON None() { return nullptr; }
    static bool Free(HICON icon) { return DestroyIcon(icon) != FALSE; }
};

// A window that its parent's destruction may already have taken with it.
struct WindowKind {
    using Raw = HWND;
    static HWND None() { return nullptr; }
    static bool Free(HWND window) { return !IsWindow(window) || DestroyWindow(window); }
};

template <typename Interface>
struct ComKind {
    using Raw = Interface*;
    static Interface* None() { return nullptr; }
    static bool Free(Interface* object) {
        object->Release();
        return true;
    }
};

using UniqueKernelObject = UniqueHandle<KernelObjectKind>;
using UniqueFile = UniqueHandle<FileKind>;
using UniqueSearch = UniqueHandle<SearchKind>;
template <typename Handle>
using UniqueGdi = UniqueHandle<GdiObjectKind<Handle>>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniquePen = UniqueGdi<HPEN>;
using UniqueMadeDc = UniqueHandle<MadeDcKind>;
using UniqueIcon = UniqueHandle<IconKind>;
using UniqueWindow = UniqueHandle<WindowKind>;
template <typename Interface>
using UniqueCom = UniqueHandle<ComKind<Interface>>;

// A window's device context, the whole screen's for no window: borrowed with GetDC, given back with
// ReleaseDC to the same window.
class WindowDc {
public:
    explicit WindowDc(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// The device context of one WM_PAINT: BeginPaint, and EndPaint however painting ends.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDc() { EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    operator HDC() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects an object into a device context for one scope, then puts back the one it replaced.
class SelectIn {
public:
    SelectIn(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectIn() {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectIn(const SelectIn&) = delete;
    SelectIn& operator=(const SelectIn&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A thread that must not outlive what it works on: however its owner's scope ends, the thread is asked
// to stop (unless it has ended already) and waited for.
class JoinedThread {
public:
    // Runs `run(parameter)` on a new thread; test the owner: false when the system refused, with
    // GetLastError telling why.
    JoinedThread(LPTHREAD_START_ROUTINE run, void* parameter, std::function<void()> askToStop)
        : askToStop_(std::move(askToStop)), thread_(CreateThread(nullptr, 0, run, parameter, 0, nullptr)) {}
    ~JoinedThread() {
        if (!thread_) return;
        if (WaitForSingleObject(thread_.get(), 0) != WAIT_OBJECT_0) askToStop_();
        WaitForSingleObject(thread_.get(), INFINITE);
    }
    JoinedThread(const JoinedThread&) = delete;
    JoinedThread& operator=(const JoinedThread&) = delete;

    explicit operator bool() const { return static_cast<bool>(thread_); }
    HANDLE get() const { return thread_.get(); }

private:
    std::function<void()> askToStop_;
    UniqueKernelObject thread_;
};

}  // namespace tesoro::win32
