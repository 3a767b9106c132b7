#include "platform/gdiplus.h"

namespace platform {

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, no suppression
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
}

bool CopyBitmapPixels(Gdiplus::GpImage* image, void* pixels, UINT width, UINT height,
                      Gdiplus::PixelFormat format) {
    UINT ownWidth = 0, ownHeight = 0;
    if (!image || gp::GdipGetImageWidth(image, &ownWidth) != Gdiplus::Ok ||
        gp::GdipGetImageHeight(image, &ownHeight) != Gdiplus::Ok || ownWidth != width || ownHeight != height)
        return false;
    auto* bitmap = static_cast<Gdiplus::GpBitmap*>(image);
    Gdiplus::Rect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    data.Width = width;
    data.Height = height;
    data.Stride = static_cast<INT>(width * 4);
    data.PixelFormat = format;
    data.Scan0 = pixels;
    // A user buffer: GDI+ converts straight into it, with no intermediate copy.
    if (gp::GdipBitmapLockBits(bitmap, &rect, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                               format, &data) != Gdiplus::Ok)
        return false;
    gp::GdipBitmapUnlockBits(bitmap, &data);
    return true;
}

Image::Image(UINT width, UINT height, std::unique_ptr<uint32_t[]> pixels, bool opaque) {
    if (!pixels || width == 0 || height == 0) return;
    const Gdiplus::PixelFormat format = opaque ? PixelFormat32bppRGB : PixelFormat32bppARGB;
    if (gp::GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height),
                                      static_cast<INT>(width * 4), format,
                                      reinterpret_cast<BYTE*>(pixels.get()), &bitmap_) != Gdiplus::Ok) {
        bitmap_ = nullptr;
        return;
    }
    pixels_ = std::move(pixels);
    width_ = width;
    height_ = height;
}

// Each colour channel times alpha / 255, rounded to the nearest integer as GDI+ rounds it; here rather
// than through GDI+'s conversion, which costs several times more for a window-sized image. Red and blue
// are worked on together, each in a 16-bit lane that c x alpha + 128 never overflows.
bool Image::CopyPremultiplied(void* pixels, UINT width, UINT height) const {
    if (empty() || width != width_ || height != height_) return false;
    const uint32_t* from = pixels_.get();
    uint32_t* to = static_cast<uint32_t*>(pixels);
    for (size_t i = 0, count = size_t{width} * height; i < count; ++i) {
        const uint32_t argb = from[i], alpha = argb >> 24;
        if (alpha == 0xFFu || alpha == 0) {
            to[i] = alpha ? argb : 0;
            continue;
        }
        uint32_t redBlue = (argb & 0x00FF00FFu) * alpha + 0x00800080u;
        redBlue = ((redBlue + ((redBlue >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
        uint32_t green = ((argb >> 8) & 0xFFu) * alpha + 0x80u;
        green = ((green + (green >> 8)) >> 8) & 0xFFu;
        to[i] = (alpha << 24) | redBlue | (green << 8);
    }
    return true;
}

Image& Image::operator=(Image&& other) noexcept {
    if (this != &other) {
        Reset();
        pixels_ = std::move(other.pixels_);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        bitmap_ = std::exchange(other.bitmap_, nullptr);
    }
    return *this;
}

void Image::Reset() {
    if (bitmap_) gp::GdipDisposeImage(std::exchange(bitmap_, nullptr));
    pixels_.reset();
    width_ = height_ = 0;
}

void Graphics::DrawNatural(const Image& image) {
    if (!graphics_ || image.empty()) return;
    const UINT height = image.Height();
    const UINT width = image.Width();
    gp::GdipDrawImageRectI(graphics_, image.get(), 0, 0, static_cast<INT>(width), static_cast<INT>(height));
}

void Graphics::DrawStretched(const Image& image, int width, int height) {
    if (!graphics_ || image.empty()) return;
    const Gdiplus::Point corners[3] = {{0, 0}, {width, 0}, {0, height}};
    gp::GdipDrawImagePointsI(graphics_, image.get(), corners, 3);
}

}  // namespace platform
