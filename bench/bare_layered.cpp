// The baseline for start-up figures: the least program that shows a 1152 x 889 layered window
// (transparent content, no images, no COM). It runs until it is closed.
#include <windows.h>

#include "bench/launch_report.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    ReportLaunchReached();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"BareLayered";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(WS_EX_LAYERED | WS_EX_APPWINDOW, L"BareLayered", L"Quorvane", WS_POPUP, 0, 0,
                                1152, 889, nullptr, nullptr, instance, nullptr);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 1152, -889, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    POINT origin{0, 0};
    SIZE size{1152, 889};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 254, AC_SRC_ALPHA};
    UpdateLayeredWindow(hwnd, screen, &origin, &size, memory, &origin, 0, &blend, ULW_ALPHA);
    ShowWindow(hwnd, SW_SHOW);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    MSG msg;
    while (IsWindow(hwnd) && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
