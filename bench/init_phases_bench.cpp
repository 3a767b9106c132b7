// Prints what each start-up step of the program costs in a fresh process, in the order the program
// takes them, to show where the time to the first window goes.
#include <windows.h>

#include "bench/bench_clock.h"
#include <commctrl.h>

#include <cstdio>

#include <memory>

#include "app/desktop_shortcut.h"
#include "controls/button_host.h"
#include "login/login_pane.h"
#include "login/skin.h"
#include "platform/com.h"
#include "platform/gdiplus.h"
#include "platform/layered.h"
#include "res/png_resource.h"
#include "res/resource.h"

namespace {

struct Phase {
    const char* name;
    double start;
    explicit Phase(const char* n) : name(n), start(Now()) {}
    ~Phase() { std::printf("  %-28s %6.1f ms\n", name, Now() - start); }
};

}  // namespace

int wmain() {
    std::printf("start-up steps in a fresh process:\n");
    {
        Phase p("InitCommonControlsEx");
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }
    {
        Phase p("RegisterApplicationRestart");
        RegisterApplicationRestart(nullptr, 0);
    }
    platform::OleSession* ole;
    {
        Phase p("OleInitialize");
        ole = new platform::OleSession;
    }
    platform::GdiplusSession* gdiplus;
    {
        Phase p("GdiplusStartup");
        gdiplus = new platform::GdiplusSession;
    }
    platform::Image skin;
    {
        Phase p("skin load + decode");
        LoadPngResource(IDP_SKIN, skin);
        skin.Width();
    }
    {
        Phase p("skin onto the canvas");
        HDC screen = GetDC(nullptr);
        platform::LayeredCanvas canvas(screen, kSkinWidth, kSkinHeight);
        DrawSkin(skin, canvas);
        ReleaseDC(nullptr, screen);
    }
    {
        Phase p("desktop shortcut");
        CreateDesktopShortcut();
    }
    auto pane = std::make_unique<CLoginBrowserConainter>(CLoginBrowserConainter::PageLoad::kWhenAsked);
    {
        Phase p("login pane");
        pane->Create(IDD_LOGIN_PANE, nullptr);
    }
    {
        // Runs right after the first show: how long the page's navigation waits for its view.
        Phase p("login page view + navigation start");
        pane->OpenLoginPage();
    }
    std::unique_ptr<DialogImageButton> hosts[6];
    {
        Phase p("six button hosts");
        for (auto& host : hosts) {
            host = std::make_unique<DialogImageButton>();
            host->Create(IDD_BUTTON_HOST, pane->hwnd());
            host->SetupButton(L"close", IDP_CLOSE, IDP_CLOSE_HOVER, L"close", 1002);
            host->ShowWindow(SW_SHOW);
            host->SetPlacement(10, 10, 50);
        }
    }
    for (auto& host : hosts) host.reset();
    pane.reset();
    skin.Reset();
    delete gdiplus;
    delete ole;
    return 0;
}
