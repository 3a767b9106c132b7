// Per-pixel-alpha content for layered windows.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/handles.h"

namespace platform {

// A 32-bpp top-down DIB section selected into a memory DC, starting fully transparent. GDI+ draws into
// it with premultiplied alpha, which is what UpdateLayeredWindow with AC_SRC_ALPHA expects.
class LayeredCanvas {
  public:
    LayeredCanvas(HDC reference, int width, int height);
    LayeredCanvas(const LayeredCanvas&) = delete;
    LayeredCanvas& operator=(const LayeredCanvas&) = delete;

    bool ok() const { return bits_ != nullptr; }
    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // Premultiplied BGRA, row by row from the top.
    const uint32_t* pixels() const { return static_cast<const uint32_t*>(bits_); }
    uint32_t Pixel(int x, int y) const { return pixels()[y * width_ + x]; }
    uint32_t* mutablePixels() { return static_cast<uint32_t*>(bits_); }

    // Gives the canvas to a layered window as its whole content: the window takes the canvas's size,
    // sits at `position` and shows every pixel with its own alpha, scaled by blend.SourceConstantAlpha.
    BOOL PushTo(HWND hwnd, HDC destination, POINT position, const BLENDFUNCTION& blend) const;

  private:
    int width_;
    int height_;
    void* bits_ = nullptr;
    UniqueDc dc_;
    UniqueBitmap bitmap_;
    SelectGuard select_;  // declared last: the bitmap leaves the DC before either is deleted
};

// Adds WS_EX_LAYERED (and removes the extended bits in `remove`) unless the style already fits.
void MakeLayered(HWND hwnd, DWORD remove = 0);

}  // namespace platform
