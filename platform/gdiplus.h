// GDI+ through its flat API, with owners for the library session, images and graphics objects.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <algorithm>

// GDI+'s headers use unqualified min and max, which NOMINMAX takes away from older SDKs' windows.h.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <utility>

#include "platform/handles.h"

namespace platform {

namespace gp = Gdiplus::DllExports;

// GdiplusStartup on construction; GdiplusShutdown on destruction, and only when start-up gave a token.
class GdiplusSession {
  public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool started() const { return token_ != 0; }

  private:
    ULONG_PTR token_ = 0;
};

// Copies a GDI+ bitmap's pixels in `format` (a 32-bpp one) into a top-down buffer of exactly the
// bitmap's size, converting as GDI+ does. False when the bitmap has another size or cannot be read.
bool CopyBitmapPixels(Gdiplus::GpImage* bitmap, void* pixels, UINT width, UINT height,
                      Gdiplus::PixelFormat format);

// Decoded pixels in memory, straight (not premultiplied) BGRA, top-down: the layout of GDI+'s 32-bpp
// ARGB. The image lends them to a GDI+ bitmap for drawing; that bitmap reads them in place, so no
// codec is ever involved and the pixels live exactly as long as the bitmap.
class Image {
  public:
    Image() = default;
    // Takes `pixels`, width x height of them; `opaque` when every alpha is 255, which lets drawing skip
    // blending. Stays empty when GDI+ cannot make a bitmap of them (e.g. before GdiplusStartup).
    Image(UINT width, UINT height, std::unique_ptr<uint32_t[]> pixels, bool opaque);
    Image(Image&& other) noexcept
        : pixels_(std::move(other.pixels_)),
          width_(std::exchange(other.width_, 0)),
          height_(std::exchange(other.height_, 0)),
          bitmap_(std::exchange(other.bitmap_, nullptr)) {}
    Image& operator=(Image&& other) noexcept;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    ~Image() { Reset(); }

    Gdiplus::GpImage* get() const { return bitmap_; }
    bool empty() const { return bitmap_ == nullptr; }
    // The image's size in pixels; 0 when there is no image.
    UINT Width() const { return width_; }
    UINT Height() const { return height_; }
    // Copies the pixels in `format` (a 32-bpp one) into a top-down buffer of exactly the image's size.
    // False when the image has another size or there is none.
    bool CopyPixels(void* pixels, UINT width, UINT height, Gdiplus::PixelFormat format) const {
        return CopyBitmapPixels(bitmap_, pixels, width, height, format);
    }
    // Premultiplied BGRA, as layered windows want it: the same values as CopyPixels in 32-bpp PARGB.
    bool CopyPremultiplied(void* pixels, UINT width, UINT height) const;
    // Disposes of the bitmap, then frees the pixels it reads.
    void Reset();

  private:
    std::unique_ptr<uint32_t[]> pixels_;
    UINT width_ = 0;
    UINT height_ = 0;
    Gdiplus::GpBitmap* bitmap_ = nullptr;
};

// A GDI+ graphics object on a device context.
class Graphics {
  public:
    explicit Graphics(HDC dc) { gp::GdipCreateFromHDC(dc, &graphics_); }
    ~Graphics() {
        if (graphics_) gp::GdipDeleteGraphics(graphics_);
    }
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;
    Gdiplus::GpGraphics* get() const { return graphics_; }

    // Draws at (0, 0) with the image's own size: never scaled.
    void DrawNatural(const Image& image);
    // Draws the image scaled onto the rectangle (0, 0)-(width, height), given as three corner points.
    void DrawStretched(const Image& image, int width, int height);

  private:
    Gdiplus::GpGraphics* graphics_ = nullptr;
};

}  // namespace platform
