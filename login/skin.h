// The login window's skin: its size and how it is drawn onto a layered canvas.
#pragma once

#include "platform/gdiplus.h"
#include "platform/layered.h"

constexpr int kSkinWidth = 1152;
constexpr int kSkinHeight = 889;

// Puts the skin onto the canvas's whole 1152 x 889 area, premultiplied, as the layered update wants it.
// A skin of exactly that size is copied pixel for pixel, which is several times faster than drawing;
// any other size is drawn scaled. An empty image leaves the canvas as it was.
inline void DrawSkin(const platform::Image& skin, platform::LayeredCanvas& canvas) {
    if (skin.CopyPremultiplied(canvas.mutablePixels(), kSkinWidth, kSkinHeight)) return;
    platform::Graphics graphics(canvas.dc());
    graphics.DrawStretched(skin, kSkinWidth, kSkinHeight);
}
