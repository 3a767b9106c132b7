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

// A decoded image together with the memory it was decoded from: GDI+ may read the bytes again at
// any later use, so they are freed with the image and never earlier.
class Image {
  public:
    Image() = default;
    Image(Gdiplus::GpImage* image, UniqueGlobal bytes) : image_(image), bytes_(std::move(bytes)) {}
    Image(Image&& other) noexcept
        : image_(std::exchange(other.image_, nullptr)), bytes_(std::move(other.bytes_)) {}
    Image& operator=(Image&& other) noexcept;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    ~Image() { Reset(); }

    Gdiplus::GpImage* get() const { return image_; }
    bool empty() const { return image_ == nullptr; }
    // The image's size in pixels; 0 when there is no image or it does not decode.
    UINT Width() const;
    UINT Height() const;
    // Copies the decoded pixels in `format` (a 32-bpp one) into a top-down buffer of exactly the image's
    // size. False when the image has another size or does not decode.
    bool CopyPixels(void* pixels, UINT width, UINT height, Gdiplus::PixelFormat format) const;
    // Premultiplied BGRA, as layered windows want it.
    bool CopyPremultiplied(void* pixels, UINT width, UINT height) const {
        return CopyPixels(pixels, width, height, PixelFormat32bppPARGB);
    }
    // Disposes of the image, then frees its bytes.
    void Reset();

  private:
    Gdiplus::GpImage* image_ = nullptr;
    UniqueGlobal bytes_;
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
