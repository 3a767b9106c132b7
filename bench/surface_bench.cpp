// Prints what moving the login window costs with its surface (pane and six button hosts) following,
// and what the login window does while nobody touches it (messages retrieved, timers, CPU time).
#include <windows.h>

#include "bench/bench_clock.h"

#include <cstdio>
#include <map>

#include "login/login_window.h"
#include "login/skin.h"
#include "platform/handles.h"
#include "res/png_resource.h"
#include "login/skin.h"
#include "res/png_resource.h"
#include "platform/com.h"
#include "platform/gdiplus.h"
#include "res/resource.h"

namespace {

void Pump(double ms) {
    const double end = Now() + ms;
    while (Now() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (platform::Window::PreTranslateQueued(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        // Sleep until a message comes or the time is up: the loop itself must not wake the thread.
        const double left = end - Now();
        if (left > 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
    }
}

// Average milliseconds per move of `hwnd`, moved back and forth `count` times.
double MoveCost(HWND hwnd, int count) {
    RECT r;
    GetWindowRect(hwnd, &r);
    const double start = Now();
    for (int i = 0; i < count; ++i) {
        const int dx = (i % 2) ? 0 : 7;
        SetWindowPos(hwnd, nullptr, r.left + dx, r.top + dx, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return (Now() - start) / count;
}

double ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

std::map<UINT, int> g_retrieved;

LRESULT CALLBACK CountRetrieved(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) ++g_retrieved[reinterpret_cast<MSG*>(lParam)->message];
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int wmain() {
    platform::OleSession ole;
    platform::GdiplusSession gdiplus;

    CTravenorDlg login;
    login.Create(IDD_LOGIN, nullptr);
    Pump(1500);  // let the page's first attempt and the surface settle

    const int kMoves = 300;
    const double withSurface = MoveCost(login.hwnd(), kMoves);
    // The same skin in a layered window of its own, with nothing following it.
    HWND bare = CreateWindowExW(WS_EX_LAYERED, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1152, 889,
                                nullptr, nullptr, nullptr, nullptr);
    {
        platform::WindowDc screen(nullptr);
        platform::Image skin;
        LoadPngResource(IDP_SKIN, skin);
        platform::LayeredCanvas canvas(screen.get(), kSkinWidth, kSkinHeight);
        DrawSkin(skin, canvas);
        canvas.PushTo(bare, screen.get(), POINT{0, 0}, BLENDFUNCTION{AC_SRC_OVER, 0, 254, AC_SRC_ALPHA});
    }
    const double alone = MoveCost(bare, kMoves);
    DestroyWindow(bare);
    std::printf("login window move with pane + six hosts following: %.3f ms (the skin alone: %.3f ms)\n",
                withSurface, alone);

    // Where a move's time goes: the pane's move, and one host's Reposition.
    RECT pane;
    GetWindowRect(login.loginPane()->hwnd(), &pane);
    double start = Now();
    for (int i = 0; i < kMoves; ++i)
        login.loginPane()->MoveWindow(pane.left + (i % 2), pane.top, 405, 485, TRUE);
    const double paneMove = (Now() - start) / kMoves;
    start = Now();
    for (int i = 0; i < kMoves; ++i) login.host(CTravenorDlg::kCloseHost)->Reposition();
    const double hostMove = (Now() - start) / kMoves;
    std::printf("  of which: pane move %.3f ms, one host Reposition %.3f ms\n", paneMove, hostMove);

    Pump(500);
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &CountRetrieved, nullptr, GetCurrentThreadId());
    const double cpuBefore = ThreadCpuMs();
    const double kIdleMs = 3000;
    Pump(kIdleMs);
    const double cpu = ThreadCpuMs() - cpuBefore;
    UnhookWindowsHookEx(hook);
    int total = 0;
    for (const auto& entry : g_retrieved) total += entry.second;
    std::printf("idle for %.0f s: %d messages retrieved (WM_TIMER %d), GUI thread CPU %.1f ms\n",
                kIdleMs / 1000, total, g_retrieved[WM_TIMER], cpu);
    for (const auto& entry : g_retrieved) std::printf("  message 0x%04x: %d\n", entry.first, entry.second);
    return 0;
}
