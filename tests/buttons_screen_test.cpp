// Buttons on a real screen under a real pointer: what shows while the pointer is over a button and
// after it has left, the cursor, clicks, and the keys that must leave a host alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/layered.h"
#include "res/png_resource.h"
#include "tests/fixtures/hosted_button.h"

using testsupport::HostedButton;
using testsupport::PumpUntil;
using testsupport::ShellRecorder;

namespace {

const wchar_t kForumUrl[] = L"http://127.0.0.1:8480/forum.html";
constexpr DWORD kPatience = 5000;  // ms; the pointer-leave notice alone takes about half a second
const POINT kHost{1058, 228};      // owner at (100, 40), host at (958, 188)
const POINT kAwayFromEverything{1900, 1070};
const POINT kOverTheOwner{600, 500};

// ---- the screen

COLORREF ScreenPixel(POINT p) {
    platform::WindowDc screen(nullptr);
    return GetPixel(screen.get(), p.x, p.y) & 0xFFFFFF;
}

// A copy of a screen area, pixel by pixel as 0x00BBGGRR like COLORREF.
class ScreenShot {
  public:
    ScreenShot(POINT at, int width, int height) : width_(width), pixels_(width * height) {
        platform::WindowDc screen(nullptr);
        platform::LayeredCanvas canvas(screen.get(), width, height);
        BitBlt(canvas.dc(), 0, 0, width, height, screen.get(), at.x, at.y, SRCCOPY);
        GdiFlush();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint32_t bgra = canvas.Pixel(x, y);
                pixels_[y * width + x] = RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
            }
    }
    COLORREF at(int x, int y) const { return pixels_[y * width_ + x]; }

  private:
    int width_;
    std::vector<COLORREF> pixels_;
};

// ---- the images, as decoded from the program's own PNGs

struct ImagePixel {
    BYTE alpha;
    COLORREF colour;
};

ImagePixel PixelOf(const platform::Image& image, int x, int y) {
    Gdiplus::ARGB argb = 0;
    platform::gp::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(image.get()), x, y, &argb);
    return {static_cast<BYTE>(argb >> 24), RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF)};
}

int Distance(COLORREF a, COLORREF b) {
    return abs(GetRValue(a) - GetRValue(b)) + abs(GetGValue(a) - GetGValue(b)) +
           abs(GetBValue(a) - GetBValue(b));
}

// The point where the two images differ most, among points opaque in both.
struct Probe {
    POINT at;
    COLORREF normal;
    COLORREF hover;
};

Probe MostTellingPoint(UINT normalId, UINT hoverId) {
    platform::Image normal, hover;
    LoadPngResource(normalId, normal);
    LoadPngResource(hoverId, hover);
    Probe best{{0, 0}, 0, 0};
    int bestDistance = -1;
    for (int y = 0; y < static_cast<int>(normal.Height()); ++y)
        for (int x = 0; x < static_cast<int>(normal.Width()); ++x) {
            const ImagePixel n = PixelOf(normal, x, y), h = PixelOf(hover, x, y);
            if (n.alpha != 255 || h.alpha != 255) continue;
            const int d = Distance(n.colour, h.colour);
            if (d > bestDistance) {
                bestDistance = d;
                best = {{x, y}, n.colour, h.colour};
            }
        }
    return best;
}

// ---- real input

void MovePointer(POINT p) {
    testsupport::SendMouse(p);
    PumpUntil([p] {
        POINT now{};
        GetCursorPos(&now);
        return abs(now.x - p.x) <= 1 && abs(now.y - p.y) <= 1;
    });
}

bool LeftButtonDown() { return (GetKeyState(VK_LBUTTON) & 0x8000) != 0; }

// A click at p; returns once this thread has taken both button messages from its queue.
void ClickAt(POINT p) {
    MovePointer(p);
    testsupport::SendMouseButtons(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(PumpUntil(LeftButtonDown, kPatience));
    testsupport::SendMouseButtons(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([] { return !LeftButtonDown(); }, kPatience));
}

HCURSOR CursorShown() {
    CURSORINFO info{};
    info.cbSize = sizeof(info);
    GetCursorInfo(&info);
    return info.hCursor;
}

// A visible owner at (100, 40) with a host at (958, 188), 50 wide, shown the way the login window
// shows its hosts; the pointer starts away from both.
class ScreenButton : public testing::Test {
  protected:
    void SetUpHost(const wchar_t* tag) {
        MovePointer(kAwayFromEverything);
        hosted_ = std::make_unique<HostedButton>(tag, WS_POPUP | WS_VISIBLE);
        ASSERT_TRUE(hosted_->created);
        ShowWindow(hosted_->host.hwnd(), SW_SHOW);
        hosted_->host.SetPlacement(958, 188, 50);
    }
    void TearDown() override { MovePointer(kAwayFromEverything); }

    HostedButton& hosted() { return *hosted_; }
    CImageButton& button() { return hosted_->host.button(); }
    bool ScreenShows(POINT inHost, COLORREF colour) {
        return ScreenPixel({kHost.x + inHost.x, kHost.y + inHost.y}) == colour;
    }
    // How many pixels of the host on screen are not what the image shows there (only the image's
    // opaque pixels are compared), plus any magenta showing.
    static int PixelsUnlike(const platform::Image& image) {
        const ScreenShot shot(kHost, 50, 50);
        int unlike = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x) {
                const ImagePixel expected = PixelOf(image, x, y);
                if (expected.alpha == 255 && Distance(shot.at(x, y), expected.colour) > 3) ++unlike;
                if (shot.at(x, y) == RGB(255, 0, 255)) ++unlike;
            }
        return unlike;
    }

    ShellRecorder shell_;
    std::unique_ptr<HostedButton> hosted_;
};

TEST_F(ScreenButton, PointerOverShowsTheHoverImageAndTheHandLeavingBringsBackTheNormalImage) {
    const Probe probe = MostTellingPoint(IDP_MIN, IDP_MIN_HOVER);
    ASSERT_GT(Distance(probe.normal, probe.hover), 60) << "the min images must differ clearly somewhere";
    SetUpHost(L"min");
    EXPECT_TRUE(PumpUntil([&] { return ScreenShows(probe.at, probe.normal); }, kPatience));

    MovePointer({kHost.x + 25, kHost.y + 25});
    EXPECT_TRUE(PumpUntil([&] { return ScreenShows(probe.at, probe.hover); }, kPatience))
        << "screen shows " << std::hex << ScreenPixel({kHost.x + probe.at.x, kHost.y + probe.at.y});
    EXPECT_TRUE(button().showsHoverImage());
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    EXPECT_TRUE(PumpUntil([&] { return CursorShown() == hand; }, kPatience));

    MovePointer({kHost.x + 3, kHost.y + 46});  // still over it, near a corner
    EXPECT_TRUE(PumpUntil([&] { return CursorShown() == hand; }, kPatience));
    EXPECT_TRUE(ScreenShows(probe.at, probe.hover));

    MovePointer(kOverTheOwner);
    EXPECT_TRUE(PumpUntil([&] { return ScreenShows(probe.at, probe.normal); }, kPatience));
    EXPECT_FALSE(button().showsHoverImage());
}

TEST_F(ScreenButton, TheButtonCoversItsHostWithItsImage) {
    SetUpHost(L"min");
    platform::Image normal;
    ASSERT_TRUE(LoadPngResource(IDP_MIN, normal));
    EXPECT_TRUE(PumpUntil([&] { return PixelsUnlike(normal) == 0; }, kPatience))
        << PixelsUnlike(normal) << " pixels differ";
}

TEST_F(ScreenButton, ButtonStateChangesNeverShowThePlatformFace) {
    SetUpHost(kForumUrl);
    platform::Image normal;
    ASSERT_TRUE(LoadPngResource(IDP_MIN, normal));
    const HWND b = button().hwnd();
    ASSERT_TRUE(PumpUntil([&] { return PixelsUnlike(normal) == 0; }, kPatience));

    struct Change {
        const char* what;
        void (*apply)(HWND);
    };
    const Change kChanges[] = {
        {"focus", [](HWND h) { SetFocus(h); }},
        {"pushed", [](HWND h) { SendMessageW(h, BM_SETSTATE, TRUE, 0); }},
        {"default button", [](HWND h) { SendMessageW(h, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE); }},
        {"disabled", [](HWND h) { EnableWindow(h, FALSE); }},
        {"enabled", [](HWND h) { EnableWindow(h, TRUE); }},
        {"text", [](HWND h) { SetWindowTextW(h, L"a longer caption than before"); }},
        {"keyboard cues",
         [](HWND h) { SendMessageW(h, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0); }},
        {"released", [](HWND h) { SendMessageW(h, BM_SETSTATE, FALSE, 0); }},
        {"focus lost", [](HWND h) { SetFocus(GetParent(h)); }},
    };
    for (const Change& c : kChanges) {
        SCOPED_TRACE(c.what);
        c.apply(b);
        // Whatever was drawn has reached the screen once the queue is empty and repaints are done.
        testsupport::PumpFor(0);
        UpdateWindow(b);
        GdiFlush();
        EXPECT_TRUE(PumpUntil([&] { return PixelsUnlike(normal) == 0; }, kPatience))
            << PixelsUnlike(normal) << " pixels differ";
    }
}

TEST_F(ScreenButton, ARealClickActsOnceAndLaterClicksElsewhereDoNothing) {
    SetUpHost(kForumUrl);
    ClickAt({kHost.x + 25, kHost.y + 25});
    EXPECT_EQ(ShellRecorder::opened(), std::vector<std::wstring>{kForumUrl});
    EXPECT_TRUE(button().showsHoverImage()) << "after a press the hover image stays until the pointer leaves";

    ClickAt(kOverTheOwner);
    ClickAt({kHost.x - 300, kHost.y + 400});
    EXPECT_EQ(ShellRecorder::opened().size(), 1u) << "clicks away from the button reached it";

    ClickAt({kHost.x + 10, kHost.y + 40});
    EXPECT_EQ(ShellRecorder::opened().size(), 2u);
}

TEST_F(ScreenButton, RealMinimiseClickReachesTheOwner) {
    SetUpHost(L"min");
    ClickAt({kHost.x + 25, kHost.y + 25});
    EXPECT_EQ(hosted().owner.lastSysCommand(), static_cast<UINT>(SC_MINIMIZE));
    EXPECT_TRUE(ShellRecorder::opened().empty());
}

// Records the commands the host receives, then lets the host handle them.
class CommandRecordingHost : public DialogImageButton {
  public:
    std::vector<WORD> commands;
    ~CommandRecordingHost() override { Destroy(); }
    LRESULT OnMessage(platform::Message& m) override {
        if (m.id == WM_COMMAND) commands.push_back(LOWORD(m.wParam));
        return DialogImageButton::OnMessage(m);
    }
};

// Delivers a key the way the program's message loop does: pre-translation first.
void PressKey(HWND target, UINT vk) {
    PostMessageW(target, WM_KEYDOWN, vk, 1);
    PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (platform::Window::PreTranslateQueued(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

TEST(ScreenButtonHost, EnterAndEscapeLeaveTheHostOpenAndInPlace) {
    MovePointer(kAwayFromEverything);
    testsupport::TestOwner owner(100, 40, 1152, 889);
    CommandRecordingHost host;
    ASSERT_TRUE(host.Create(IDD_BUTTON_HOST, owner.hwnd()));
    host.SetupButton(L"caption", IDP_CLOSE, IDP_CLOSE_HOVER, L"close", 1001);
    ShowWindow(host.hwnd(), SW_SHOW);
    host.SetPlacement(1008, 229, 50);
    const RECT placed = testsupport::WindowRect(host.hwnd());

    struct KeyCase {
        const char* what;
        HWND target;
        UINT vk;
    };
    const KeyCase kKeys[] = {
        {"Enter at the host", host.hwnd(), VK_RETURN},
        {"Escape at the host", host.hwnd(), VK_ESCAPE},
        {"Enter at the focused button", host.button().hwnd(), VK_RETURN},
        {"Escape at the focused button", host.button().hwnd(), VK_ESCAPE},
    };
    for (const KeyCase& k : kKeys) {
        SCOPED_TRACE(k.what);
        if (k.target == host.button().hwnd()) SetFocus(k.target);
        host.commands.clear();
        PressKey(k.target, k.vk);
        EXPECT_EQ(host.commands.size(), 1u) << "the dialog manager turned the key into a command";
        EXPECT_TRUE(IsWindowVisible(host.hwnd()));
        const RECT now = testsupport::WindowRect(host.hwnd());
        EXPECT_TRUE(EqualRect(&placed, &now));
    }
    for (WPARAM command : {IDOK, IDCANCEL}) {
        SendMessageW(host.hwnd(), WM_COMMAND, command, 0);
        EXPECT_TRUE(IsWindowVisible(host.hwnd()));
    }
    EXPECT_EQ(owner.lastSysCommand(), 0u) << "no key pressed the close button";
}

}  // namespace
