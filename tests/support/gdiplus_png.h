// GDI+'s own decoding of an embedded PNG, the reference the in-process decoder is held to. Only tests
// and benchmarks decode this way: it loads the system's imaging codecs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "platform/gdiplus.h"
#include "platform/handles.h"

namespace testsupport {

// The program's "PNG" resource `id`, copied into a global block and decoded by GdipLoadImageFromStream;
// GDI+ may read the block at any later use, so it lives as long as the image.
class GdiplusPng {
  public:
    explicit GdiplusPng(UINT id);
    ~GdiplusPng();
    GdiplusPng(const GdiplusPng&) = delete;
    GdiplusPng& operator=(const GdiplusPng&) = delete;

    Gdiplus::GpImage* get() const { return image_; }
    UINT Width() const;
    UINT Height() const;
    // All pixels in `format` (a 32-bpp one), row by row from the top; empty when nothing decoded.
    std::vector<uint32_t> Pixels(Gdiplus::PixelFormat format) const;

  private:
    platform::UniqueGlobal bytes_;
    Gdiplus::GpImage* image_ = nullptr;
};

}  // namespace testsupport
