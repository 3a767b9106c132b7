// PNG decoding in our own process, with libspng: no image codec of the system is ever loaded.
#pragma once

#include <cstddef>

#include "platform/gdiplus.h"

namespace platform {

// Decodes a whole PNG file held in memory into an image of its own pixels: straight alpha, any
// transparency chunk applied, no gamma or colour-profile correction (as GDI+ decodes without colour
// management). An empty image when the bytes are no PNG, are damaged or too large to hold.
Image DecodePng(const void* bytes, size_t size);

}  // namespace platform
