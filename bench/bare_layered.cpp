// The baseline for start-up figures: the least program that shows a 1152 x 889 layered window
// (transparent content, no images, no COM). It runs until it is closed.
#include <windows.h>

#include "bench/bare_content.h"
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
    PushTransparentContent(hwnd, POINT{0, 0});
    ShowWindow(hwnd, SW_SHOW);
    MSG msg;
    while (IsWindow(hwnd) && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
