// Owners for Win32 handles: each handle has exactly one owner, and the owner's destructor frees it.
#pragma once

#include <windows.h>

#include <utility>

namespace platform {

// A move-only owner of one handle; Traits says what "no handle" is and how to free one.
template <class Traits>
class UniqueHandle {
  public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : handle_(h) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }
    Handle release() { return std::exchange(handle_, Traits::Invalid()); }
    void reset(Handle h = Traits::Invalid()) {
        Handle old = std::exchange(handle_, h);
        if (old != Traits::Invalid()) Traits::Close(old);
    }

  private:
    Handle handle_ = Traits::Invalid();
};

struct MemoryDcTraits {
    using Handle = HDC;
    static HDC Invalid() { return nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};
using UniqueDc = UniqueHandle<MemoryDcTraits>;

template <class T>
struct GdiObjectTraits {
    using Handle = T;
    static T Invalid() { return nullptr; }
    static void Close(T h) { DeleteObject(h); }
};
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;

struct GlobalTraits {
    using Handle = HGLOBAL;
    static HGLOBAL Invalid() { return nullptr; }
    static void Close(HGLOBAL h) { GlobalFree(h); }
};
using UniqueGlobal = UniqueHandle<GlobalTraits>;

struct KernelHandleTraits {
    using Handle = HANDLE;
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

struct ModuleTraits {
    using Handle = HMODULE;
    static HMODULE Invalid() { return nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
using UniqueModule = UniqueHandle<ModuleTraits>;

// A window's DC from GetDC, given back with ReleaseDC to the same window.
class WindowDc {
  public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint/EndPaint; constructing it validates the area waiting to be painted.
class PaintDc {
  public:
    explicit PaintDc(HWND hwnd) : hwnd_(hwnd) { BeginPaint(hwnd_, &paint_); }
    ~PaintDc() { EndPaint(hwnd_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return paint_.hdc; }

  private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
};

// Selects an object into a DC and puts the previous one back, so the object can really be deleted after.
class SelectGuard {
  public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectGuard() {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace platform
