// The baseline for the whole login surface: the same eight windows as the program's login window and
// its popups, made straight from Win32. A 1152 x 889 per-pixel-alpha popup, a 405 x 485 owned popup
// with one child, and six owned 50-pixel-high colour-keyed layered popups with one child button each,
// every one placed before it is shown. No OLE, no decoding, no browser control. It closes itself
// once everything is up.
#include <windows.h>

#include "bench/bare_content.h"
#include "bench/launch_report.h"

namespace {

struct Host {
    int x, y, width;
};
const Host kHosts[] = {{1008, 229, 50}, {958, 188, 50},  {383, 153, 120},
                       {531, 153, 120}, {827, 153, 120}, {679, 153, 120}};

HWND Popup(DWORD exStyle, int x, int y, int width, int height, HWND owner, HINSTANCE instance) {
    return CreateWindowExW(exStyle, L"BareSurface", L"", WS_POPUP, x, y, width, height, owner, nullptr,
                           instance, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    ReportLaunchReached();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"BareSurface";
    RegisterClassW(&wc);
    HWND login = Popup(WS_EX_LAYERED | WS_EX_APPWINDOW, 384, 95, 1152, 889, nullptr, instance);
    SetWindowTextW(login, L"Quorvane");
    PushTransparentContent(login, POINT{384, 95});
    HWND popups[7];
    popups[0] = Popup(0, 384 + 543, 95 + 208, 405, 485, login, instance);
    CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 405, 485, popups[0], nullptr, instance,
                    nullptr);
    for (int i = 0; i < 6; ++i) {
        const Host& h = kHosts[i];
        popups[i + 1] = Popup(WS_EX_LAYERED, 384 + h.x, 95 + h.y, h.width, 50, login, instance);
        SetLayeredWindowAttributes(popups[i + 1], RGB(255, 0, 255), 0, LWA_COLORKEY);
        CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, h.width, 50,
                        popups[i + 1], nullptr, instance, nullptr);
    }
    ShowWindow(login, SW_SHOW);
    for (HWND popup : popups) ShowWindow(popup, SW_SHOWNOACTIVATE);
    MSG msg;
    while (IsWindow(login) && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
