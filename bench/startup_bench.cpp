// Prints start-up and rendering figures. Run through tools/bench; nothing here is a pass/fail test.
#include <windows.h>

#include "bench/bench_clock.h"
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "login/skin.h"
#include "platform/com.h"
#include "platform/gdiplus.h"
#include "platform/layered.h"
#include "res/png_resource.h"
#include "res/resource.h"

namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The two halves of rendering separately: decoding (forced by reading the size and locking the
// pixels once) and drawing the decoded image onto the canvas.
void SkinPhases(double* decodeMs, double* drawMs) {
    HDC screen = GetDC(nullptr);
    double start = Now();
    platform::Image skin;
    LoadPngResource(IDP_SKIN, skin);
    skin.Width();  // the decoder reads the whole image on first use
    *decodeMs = Now() - start;
    start = Now();
    platform::LayeredCanvas canvas(screen, kSkinWidth, kSkinHeight);
    DrawSkin(skin, canvas);
    *drawMs = Now() - start;
    ReleaseDC(nullptr, screen);
}

// Skin decode (load + first draw forces the decode) and render into the layered canvas.
double SkinDecodeAndRender() {
    HDC screen = GetDC(nullptr);
    const double start = Now();
    {
        platform::Image skin;
        LoadPngResource(IDP_SKIN, skin);
        platform::LayeredCanvas canvas(screen, kSkinWidth, kSkinHeight);
        DrawSkin(skin, canvas);
    }
    const double elapsed = Now() - start;
    ReleaseDC(nullptr, screen);
    return elapsed;
}

// Milliseconds from CreateProcess until a visible top-level window titled "Quorvane" belongs to it.
double TimeToWindow(const std::wstring& exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + exe + L"\"";
    const double start = Now();
    if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    double seen = -1;
    while (Now() - start < 20000) {
        HWND hwnd = FindWindowW(nullptr, L"Quorvane");
        DWORD pid = 0;
        if (hwnd) GetWindowThreadProcessId(hwnd, &pid);
        if (hwnd && pid == process.dwProcessId && IsWindowVisible(hwnd)) {
            seen = Now() - start;
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return seen;
}

std::wstring Sibling(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    dir.erase(dir.find_last_of(L"\\/") + 1);
    return dir + name;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    platform::OleSession ole;
    platform::GdiplusSession gdiplus;
    const std::wstring product = argc > 1 ? argv[1] : Sibling(L"..\\Quorvane.exe");
    const std::wstring bare = Sibling(L"bare_layered.exe");

    std::vector<double> render;
    for (int i = 0; i < 15; ++i) render.push_back(SkinDecodeAndRender());
    std::printf("skin decode + render: median %.1f ms over %zu runs (goal <= 15 ms)\n", Median(render),
                render.size());

    std::vector<double> decode, draw;
    for (int i = 0; i < 9; ++i) {
        double d, r;
        SkinPhases(&d, &r);
        decode.push_back(d);
        draw.push_back(r);
    }
    std::printf("  of which: decode %.1f ms, draw onto the canvas %.1f ms\n", Median(decode), Median(draw));

    std::vector<double> ours, baseline;
    for (int i = 0; i < 7; ++i) {
        baseline.push_back(TimeToWindow(bare));
        ours.push_back(TimeToWindow(product));
    }
    const double a = Median(ours), b = Median(baseline);
    std::printf(
        "start-up to visible window: Quorvane %.1f ms, bare layered window %.1f ms, ratio %.2f "
        "(goal <= 1.10)\n",
        a, b, b > 0 ? a / b : 0.0);
    return 0;
}
