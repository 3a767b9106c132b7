// Keeps a Wine desktop and its services running between test processes, so each test starts fast.
// Ended from outside (wineserver -k).
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    HWND hwnd =
        CreateWindowExW(0, L"STATIC", L"keepalive", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    DestroyWindow(hwnd);
    return 0;
}
