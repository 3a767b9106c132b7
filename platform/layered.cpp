#include "platform/layered.h"

namespace platform {
namespace {

HBITMAP CreateTopDownDib(HDC reference, int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: rows run from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(reference, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

}  // namespace

LayeredCanvas::LayeredCanvas(HDC reference, int width, int height)
    : width_(width),
      height_(height),
      dc_(CreateCompatibleDC(reference)),
      bitmap_(CreateTopDownDib(reference, width, height, &bits_)),
      select_(dc_.get(), bitmap_.get()) {
    // A DIB section starts zero-filled: every pixel transparent until something is drawn.
    if (!dc_ || !bitmap_) bits_ = nullptr;
}

BOOL LayeredCanvas::PushTo(HWND hwnd, HDC destination, POINT position, const BLENDFUNCTION& blend) const {
    SIZE size{width_, height_};
    POINT source{0, 0};
    BLENDFUNCTION copy = blend;
    return UpdateLayeredWindow(hwnd, destination, &position, &size, dc_.get(), &source, 0, &copy, ULW_ALPHA);
}

void MakeLayered(HWND hwnd, DWORD remove) {
    const LONG style = GetWindowLongW(hwnd, GWL_EXSTYLE);
    const LONG wanted = (style & ~static_cast<LONG>(remove)) | WS_EX_LAYERED;
    if (wanted != style) SetWindowLongW(hwnd, GWL_EXSTYLE, wanted);
}

}  // namespace platform
