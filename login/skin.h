// The login window's skin: its size and how it is drawn onto a layered canvas.
#pragma once

#include "platform/gdiplus.h"
#include "platform/layered.h"

constexpr int kSkinWidth = 1152;
constexpr int kSkinHeight = 889;

// Draws the skin scaled onto the canvas's whole 1152 x 889 area; an empty image draws nothing.
inline void DrawSkin(const platform::Image& skin, platform::LayeredCanvas& canvas) {
    platform::Graphics graphics(canvas.dc());
    graphics.DrawStretched(skin, kSkinWidth, kSkinHeight);
}
