// What the bare baseline programs give their 1152 x 889 layered window: fully transparent
// per-pixel-alpha content, pushed the way the program pushes its skin, with plain Win32 calls.
#pragma once

#include <windows.h>

inline void PushTransparentContent(HWND hwnd, POINT at) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 1152, -889, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    POINT source{0, 0};
    SIZE size{1152, 889};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 254, AC_SRC_ALPHA};
    UpdateLayeredWindow(hwnd, screen, &at, &size, memory, &source, 0, &blend, ULW_ALPHA);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}
