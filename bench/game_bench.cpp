// Prints what game windows cost, with the fixture browser control standing in for the real one: the
// time to open them in batches of ten up to fifty, what each open window holds (resident memory, GDI
// and USER objects), and what a closed window keeps, from open/close cycles one after another.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <vector>

#include "bench/bench_clock.h"
#include "game/game_window.h"
#include "platform/com.h"
#include "tests/fixtures/fake_browser.h"
#include "tests/fixtures/gui_objects.h"

namespace {

constexpr int kBatch = 10;
constexpr int kOpen = 50;
constexpr int kWarmUp = 10;
constexpr int kCycles = 100;

void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (platform::Window::PreTranslateQueued(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

double ResidentKiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return static_cast<double>(counters.WorkingSetSize) / 1024.0;
}

struct Holdings {
    double kib;
    long gdi;
    long user;
};

Holdings Measure() {
    PumpPending();
    return {ResidentKiB(), fixtures::GdiObjectCount(), fixtures::UserObjectCount()};
}

void OpenOne() {
    OpenGameWindow(L"http://game.example/");
    PumpPending();
}

void CloseNewest() {
    SendMessageW(GameWindows().back()->hwnd(), WM_CLOSE, 0, 0);
    PumpPending();
}

void PrintPerWindow(const char* what, const Holdings& before, const Holdings& after, int count) {
    std::printf(
        "game windows: %s: %.1f KiB resident, %.2f GDI objects, %.2f %s each\n", what,
        (after.kib - before.kib) / count, static_cast<double>(after.gdi - before.gdi) / count,
        static_cast<double>(after.user - before.user) / count,
        fixtures::UserCountIsWindowsOnly() ? "windows (USER objects uncounted here)" : "USER objects");
}

}  // namespace

int wmain() {
    platform::OleSession ole;
    fixtures::FakeBrowserRegistration fake;
    if (!ole.ok() || !fake.ok()) return 1;

    // The first windows pay for loading and caching what every later one shares.
    for (int i = 0; i < kWarmUp; ++i) {
        OpenOne();
        CloseNewest();
    }
    const Holdings beforeCycles = Measure();
    for (int i = 0; i < kCycles; ++i) {
        OpenOne();
        CloseNewest();
    }
    PrintPerWindow("kept once closed (sequential open/close cycles)", beforeCycles, Measure(), kCycles);
    const Holdings beforeOpen = Measure();
    std::printf("game windows: ms to open, per window, by batches of %d:", kBatch);
    for (int opened = 0; opened < kOpen; opened += kBatch) {
        const double start = Now();
        for (int i = 0; i < kBatch; ++i) OpenOne();
        std::printf(" %d-%d: %.1f", opened + 1, opened + kBatch, (Now() - start) / kBatch);
    }
    std::printf("\n");
    const Holdings allOpen = Measure();
    PrintPerWindow("held while open", beforeOpen, allOpen, kOpen);
    for (const auto& window : GameWindows())
        if (IsWindowVisible(window->hwnd())) SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
    PumpPending();

    DestroyGameWindows();
    return 0;
}
