// Prints start-up and rendering figures. Run through tools/bench; nothing here is a pass/fail test.
#include <windows.h>

#include "bench/bench_clock.h"
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "login/skin.h"
#include "platform/com.h"
#include "platform/gdiplus.h"
#include "platform/layered.h"
#include "res/png_resource.h"
#include "res/resource.h"
#include "tests/support/program_windows.h"

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

// A started child process, ended (closed, or killed when it does not close) when this goes.
class Child {
  public:
    // Starts `exe` with `arguments`; with `entryPipe` its standard output goes into the pipe.
    Child(const std::wstring& exe, const wchar_t* arguments, HANDLE entryPipe = nullptr) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        // Without a pipe, no standard handles at all: the child then reports nothing.
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = entryPipe;
        std::wstring command = L"\"" + exe + L"\"" + (arguments ? std::wstring(L" ") + arguments : L"");
        started = Now();
        ok = CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, entryPipe != nullptr, 0, nullptr,
                            nullptr, &startup, &process) != FALSE;
    }
    ~Child() {
        if (!ok) return;
        if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    bool Ended(DWORD ms) const { return WaitForSingleObject(process.hProcess, ms) == WAIT_OBJECT_0; }

    bool ok = false;
    double started = 0;
    PROCESS_INFORMATION process{};
};

// The child's visible unowned window titled "Quorvane", and how many visible windows it owns.
struct Surface {
    HWND login = nullptr;
    int shownPopups = 0;
};

Surface SurfaceOf(DWORD pid) {
    Surface surface;
    surface.login = testsupport::ShownTopLevelWindow(pid, L"Quorvane");
    for (HWND popup : testsupport::OwnedWindows(surface.login))
        surface.shownPopups += IsWindowVisible(popup) != 0;
    return surface;
}

// Milliseconds from CreateProcess until the program's login window and `popups` windows owned by it
// are all on screen; -1 when that does not happen within 20 s.
double TimeToSurface(const std::wstring& exe, int popups, const wchar_t* arguments = nullptr) {
    Child child(exe, arguments);
    if (!child.ok) return -1;
    while (Now() - child.started < 20000) {
        const Surface surface = SurfaceOf(child.process.dwProcessId);
        if (surface.login && surface.shownPopups >= popups) {
            const double seen = Now() - child.started;
            PostMessageW(surface.login, WM_CLOSE, 0, 0);
            return seen;
        }
        if (child.Ended(1)) break;
    }
    return -1;
}

// Milliseconds from CreateProcess until the first line of the child's entry point, which the child
// reports on its standard output (bench/launch_report.h); -1 when it reports nothing.
double TimeToEntry(const std::wstring& exe, const wchar_t* arguments = nullptr) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) return -1;
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    double started = 0;
    {
        Child child(exe, arguments, write);
        started = child.started;
        CloseHandle(write);
        if (!child.ok) {
            CloseHandle(read);
            return -1;
        }
        child.Ended(10000);
    }
    char text[64] = {};
    DWORD got = 0;
    ReadFile(read, text, sizeof(text) - 1, &got, nullptr);
    CloseHandle(read);
    long long counter = 0;
    if (std::sscanf(text, "%lld", &counter) != 1) return -1;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter) * 1000.0 / static_cast<double>(frequency.QuadPart) - started;
}

// Ratios of runs taken in alternation (A, B, A, B, ...): median and spread of the per-pair ratios.
struct Ratios {
    std::vector<double> a, b, ratio;
    void Add(double x, double y) {
        if (x <= 0 || y <= 0) return;
        a.push_back(x);
        b.push_back(y);
        ratio.push_back(x / y);
    }
    void Print(const char* what, const char* goal) const {
        if (ratio.empty()) {
            std::printf("%s: no run succeeded\n", what);
            return;
        }
        std::printf("%s: ratio median %.2f (spread %.2f-%.2f over %zu pairs; medians %.1f / %.1f ms)%s\n",
                    what, Median(ratio), *std::min_element(ratio.begin(), ratio.end()),
                    *std::max_element(ratio.begin(), ratio.end()), ratio.size(), Median(a), Median(b), goal);
    }
};

constexpr int kPairs = 9;
constexpr int kSurfacePopups = 7;  // the login pane and six button hosts

std::wstring Sibling(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    dir.erase(dir.find_last_of(L"\\/") + 1);
    return dir + name;
}

}  // namespace

// tools/bench passes the program's path. Comparing two builds of the program, A against B:
//   startup_bench --compare A.exe B.exe          (time to the whole surface)
//   startup_bench --compare-entry A.exe B.exe    (time to the entry point; loader probes)
int wmain(int argc, wchar_t** argv) {
    // Unbuffered: the children started below share the console, and no line may come out twice.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc == 4 &&
        (std::wcscmp(argv[1], L"--compare") == 0 || std::wcscmp(argv[1], L"--compare-entry") == 0)) {
        const bool entry = std::wcscmp(argv[1], L"--compare-entry") == 0;
        Ratios ab;
        for (int i = 0; i < kPairs; ++i) {
            const double a = entry ? TimeToEntry(argv[2]) : TimeToSurface(argv[2], kSurfacePopups);
            const double b = entry ? TimeToEntry(argv[3]) : TimeToSurface(argv[3], kSurfacePopups);
            ab.Add(a, b);
        }
        ab.Print(entry ? "time to entry point, A / B" : "time to the whole login surface, A / B", "");
        return 0;
    }

    platform::OleSession ole;
    platform::GdiplusSession gdiplus;
    const std::wstring product = argc > 1 ? argv[1] : Sibling(L"..\\Quorvane.exe");
    const std::wstring bareLayered = Sibling(L"bare_layered.exe");
    const std::wstring bareSurface = Sibling(L"bare_surface.exe");
    const std::wstring probe = Sibling(L"loader_probe.exe");

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

    // Interleaved: the program, the bare surface, the bare layered window, and again.
    Ratios toSurface, toWindow;
    for (int i = 0; i < kPairs; ++i) {
        const double ours = TimeToSurface(product, kSurfacePopups);
        const double surface = TimeToSurface(bareSurface, kSurfacePopups);
        const double layered = TimeToSurface(bareLayered, 0);
        toSurface.Add(ours, surface);
        toWindow.Add(ours, layered);
    }
    toSurface.Print("start-up to the login window and its 7 popups shown, Quorvane / bare surface",
                    " (goal <= 1.50)");
    toWindow.Print("start-up to the whole surface, Quorvane / one bare layered window", "");

    Ratios loader;
    for (int i = 0; i < kPairs; ++i) loader.Add(TimeToEntry(probe), TimeToEntry(bareSurface));
    loader.Print("launch to the first line of wWinMain (loader + run-time), Quorvane / bare surface", "");
    return 0;
}
