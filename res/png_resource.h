// Turns an embedded "PNG" resource into a decoded image.
#pragma once

#include <windows.h>

#include "platform/gdiplus.h"

// Finds the "PNG" resource `id` (low 16 bits) in the program's resources and decodes it. Returns false,
// leaving `out` untouched, when the resource is missing or cannot be loaded. Returns true once the bytes
// are loaded, even when they do not decode: `out` then holds an empty image, which has no size and
// draws nothing.
bool LoadPngResource(UINT id, platform::Image& out);
