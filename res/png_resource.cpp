#include "res/png_resource.h"

#include <cstring>

#include "platform/com.h"
#include "platform/window.h"

using platform::ComPtr;
using platform::UniqueGlobal;

namespace {

// A fixed block holding a copy of the bytes, so the resource section is never handed to GDI+.
UniqueGlobal CopyToGlobal(const void* bytes, DWORD size) {
    UniqueGlobal block(GlobalAlloc(GMEM_FIXED, size));
    if (!block) return block;
    void* target = GlobalLock(block.get());
    if (!target) return UniqueGlobal();
    std::memcpy(target, bytes, size);
    GlobalUnlock(block.get());
    return block;
}

}  // namespace

bool LoadPngResource(UINT id, platform::Image& out) {
    HINSTANCE module = platform::ResourceModule();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(LOWORD(id)), L"PNG");
    if (!resource) return false;
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return false;

    UniqueGlobal block = CopyToGlobal(bytes, size);
    if (!block) return false;
    // The stream must not free the block: the image reads it for as long as the image lives.
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block.get(), FALSE, stream.Put()))) return false;

    Gdiplus::GpImage* image = nullptr;
    platform::gp::GdipLoadImageFromStream(stream.get(), &image);
    out = image ? platform::Image(image, std::move(block)) : platform::Image();
    return true;
}
