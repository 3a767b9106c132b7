// Prints what decoding and drawing the program's PNGs costs in a fresh process, our in-process decoder
// against GDI+'s own, as interleaved runs. Run through tools/bench; nothing here is a pass/fail test.
//
// With no arguments of its own it starts itself once per decoder and per run, alternating; a child
// started with "--decode-with spng|gdiplus" measures once and prints its milliseconds: skin decode +
// render, the decoding alone, the twelve button images.
#include <windows.h>

#include "bench/bench_clock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "login/skin.h"
#include "platform/com.h"
#include "platform/gdiplus.h"
#include "platform/handles.h"
#include "platform/layered.h"
#include "res/png_resource.h"
#include "res/resource.h"
#include "tests/support/gdiplus_png.h"

namespace {

const UINT kButtonPngs[] = {IDP_MIN,   IDP_MIN_HOVER,   IDP_CLOSE,   IDP_CLOSE_HOVER,
                            IDP_HOME,  IDP_HOME_HOVER,  IDP_DEPOSIT, IDP_DEPOSIT_HOVER,
                            IDP_FORUM, IDP_FORUM_HOVER, IDP_SERVICE, IDP_SERVICE_HOVER};

struct SkinTimes {
    double total = -1;
    double decode = -1;
};

// The skin as the login window renders it: decoded, then put premultiplied onto a layered canvas.
SkinTimes SkinWithOurDecoder(HDC screen) {
    const double start = Now();
    platform::Image skin;
    LoadPngResource(IDP_SKIN, skin);
    const double decoded = Now();
    platform::LayeredCanvas canvas(screen, kSkinWidth, kSkinHeight);
    DrawSkin(skin, canvas);
    return {Now() - start, decoded - start};
}

// As the login window rendered it before: GDI+ decodes, and converts to premultiplied while copying.
SkinTimes SkinWithGdiplus(HDC screen) {
    const double start = Now();
    testsupport::GdiplusPng skin(IDP_SKIN);
    skin.Width();
    const double decoded = Now();
    platform::LayeredCanvas canvas(screen, kSkinWidth, kSkinHeight);
    platform::CopyBitmapPixels(skin.get(), canvas.mutablePixels(), kSkinWidth, kSkinHeight,
                               PixelFormat32bppPARGB);
    return {Now() - start, decoded - start};
}

// The twelve button images, each decoded and drawn once as a button draws it.
double ButtonsWithOurDecoder(HDC screen) {
    const double start = Now();
    platform::LayeredCanvas canvas(screen, 120, 50);
    for (UINT id : kButtonPngs) {
        platform::Image image;
        LoadPngResource(id, image);
        platform::Graphics(canvas.dc()).DrawNatural(image);
    }
    return Now() - start;
}

double ButtonsWithGdiplus(HDC screen) {
    const double start = Now();
    platform::LayeredCanvas canvas(screen, 120, 50);
    for (UINT id : kButtonPngs) {
        testsupport::GdiplusPng image(id);
        platform::Graphics graphics(canvas.dc());
        platform::gp::GdipDrawImageRectI(graphics.get(), image.get(), 0, 0, static_cast<INT>(image.Width()),
                                         static_cast<INT>(image.Height()));
    }
    return Now() - start;
}

int MeasureOnce(const std::wstring& decoder) {
    platform::OleSession ole;
    platform::GdiplusSession gdiplus;
    platform::WindowDc screen(nullptr);
    const bool ours = decoder == L"spng";
    const SkinTimes skin = ours ? SkinWithOurDecoder(screen.get()) : SkinWithGdiplus(screen.get());
    const double buttons = ours ? ButtonsWithOurDecoder(screen.get()) : ButtonsWithGdiplus(screen.get());
    std::printf("%.3f %.3f %.3f\n", skin.total, skin.decode, buttons);
    return 0;
}

struct Figures {
    double skin = -1;
    double skinDecode = -1;
    double buttons = -1;
};

// Starts this program again as a child that measures with `decoder`, and reads what it prints.
Figures MeasureInFreshProcess(const wchar_t* decoder) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = std::wstring(L"\"") + self + L"\" --decode-with " + decoder;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {};
    platform::UniqueKernelHandle reader(readEnd), writer(writeEnd);
    SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer.get();
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(self, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return {};
    platform::UniqueKernelHandle child(process.hProcess), thread(process.hThread);
    writer.reset();  // the child's copy is the only writer left, so the read ends when it exits
    std::string output;
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(reader.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0)
        output.append(buffer, got);
    WaitForSingleObject(child.get(), 30000);
    Figures figures;
    if (std::sscanf(output.c_str(), "%lf %lf %lf", &figures.skin, &figures.skinDecode, &figures.buttons) != 3)
        return {};
    return figures;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintComparison(const char* what, const std::vector<double>& ours, const std::vector<double>& theirs) {
    std::vector<double> ratios;
    for (size_t i = 0; i < ours.size(); ++i) ratios.push_back(ours[i] / theirs[i]);
    std::printf(
        "  %s: libspng %.1f ms, GDI+ %.1f ms (medians); libspng / GDI+ per pair: median %.2f, "
        "spread %.2f-%.2f\n",
        what, Median(ours), Median(theirs), Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
        *std::max_element(ratios.begin(), ratios.end()));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 2 && std::wstring(argv[1]) == L"--decode-with") return MeasureOnce(argv[2]);

    const int kPairs = 9;
    std::vector<double> skinOurs, skinGdiplus, decodeOurs, decodeGdiplus, buttonsOurs, buttonsGdiplus;
    for (int i = 0; i < kPairs; ++i) {
        const Figures ours = MeasureInFreshProcess(L"spng");
        const Figures gdiplus = MeasureInFreshProcess(L"gdiplus");
        if (ours.skin <= 0 || gdiplus.skin <= 0) continue;
        skinOurs.push_back(ours.skin);
        skinGdiplus.push_back(gdiplus.skin);
        decodeOurs.push_back(ours.skinDecode);
        decodeGdiplus.push_back(gdiplus.skinDecode);
        buttonsOurs.push_back(ours.buttons);
        buttonsGdiplus.push_back(gdiplus.buttons);
    }
    if (skinOurs.empty()) {
        std::printf("png decoding in a fresh process: no run succeeded\n");
        return 1;
    }
    std::printf("png decoding in a fresh process, %zu interleaved pairs:\n", skinOurs.size());
    PrintComparison("skin decode + render (goal <= 20 ms)", skinOurs, skinGdiplus);
    PrintComparison("  of which the skin's decoding", decodeOurs, decodeGdiplus);
    PrintComparison("twelve button images decoded + drawn", buttonsOurs, buttonsGdiplus);
    return 0;
}
