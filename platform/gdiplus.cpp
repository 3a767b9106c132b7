#include "platform/gdiplus.h"

namespace platform {

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, no suppression
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
}

Image& Image::operator=(Image&& other) noexcept {
    if (this != &other) {
        Reset();
        image_ = std::exchange(other.image_, nullptr);
        bytes_ = std::move(other.bytes_);
    }
    return *this;
}

void Image::Reset() {
    if (image_) gp::GdipDisposeImage(std::exchange(image_, nullptr));
    bytes_.reset();
}

UINT Image::Width() const {
    UINT width = 0;
    if (image_ && gp::GdipGetImageWidth(image_, &width) != Gdiplus::Ok) width = 0;
    return width;
}

UINT Image::Height() const {
    UINT height = 0;
    if (image_ && gp::GdipGetImageHeight(image_, &height) != Gdiplus::Ok) height = 0;
    return height;
}

bool Image::CopyPixels(void* pixels, UINT width, UINT height, Gdiplus::PixelFormat format) const {
    if (!image_ || Width() != width || Height() != height) return false;
    auto* bitmap = static_cast<Gdiplus::GpBitmap*>(image_);
    Gdiplus::Rect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    data.Width = width;
    data.Height = height;
    data.Stride = static_cast<INT>(width * 4);
    data.PixelFormat = format;
    data.Scan0 = pixels;
    // A user buffer: the decoder converts straight into it, with no intermediate copy.
    if (gp::GdipBitmapLockBits(bitmap, &rect, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                               format, &data) != Gdiplus::Ok)
        return false;
    gp::GdipBitmapUnlockBits(bitmap, &data);
    return true;
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
