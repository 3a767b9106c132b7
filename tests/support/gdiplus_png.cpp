#include "tests/support/gdiplus_png.h"

#include <cstring>

#include "platform/com.h"
#include "platform/window.h"

namespace testsupport {

GdiplusPng::GdiplusPng(UINT id) {
    HINSTANCE module = platform::ResourceModule();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!resource) return;
    const DWORD size = SizeofResource(module, resource);
    const void* bytes = LockResource(LoadResource(module, resource));
    bytes_.reset(GlobalAlloc(GMEM_FIXED, size));
    if (!bytes || !bytes_) return;
    std::memcpy(GlobalLock(bytes_.get()), bytes, size);
    GlobalUnlock(bytes_.get());
    platform::ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(bytes_.get(), FALSE, stream.Put()))) return;
    platform::gp::GdipLoadImageFromStream(stream.get(), &image_);
}

GdiplusPng::~GdiplusPng() {
    if (image_) platform::gp::GdipDisposeImage(image_);
}

UINT GdiplusPng::Width() const {
    UINT width = 0;
    if (image_) platform::gp::GdipGetImageWidth(image_, &width);
    return width;
}

UINT GdiplusPng::Height() const {
    UINT height = 0;
    if (image_) platform::gp::GdipGetImageHeight(image_, &height);
    return height;
}

std::vector<uint32_t> GdiplusPng::Pixels(Gdiplus::PixelFormat format) const {
    std::vector<uint32_t> pixels(size_t{Width()} * Height());
    if (!platform::CopyBitmapPixels(image_, pixels.data(), Width(), Height(), format)) pixels.clear();
    return pixels;
}

}  // namespace testsupport
