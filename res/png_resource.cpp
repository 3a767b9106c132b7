#include "res/png_resource.h"

#include "platform/png.h"
#include "platform/window.h"

bool LoadPngResource(UINT id, platform::Image& out) {
    HINSTANCE module = platform::ResourceModule();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(LOWORD(id)), L"PNG");
    if (!resource) return false;
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return false;
    // The image owns its decoded pixels, so nothing refers to the resource's bytes afterwards.
    out = platform::DecodePng(bytes, size);
    return true;
}
