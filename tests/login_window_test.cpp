// The skinned login window: geometry, layered rendering, dragging and the keys that end it.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "login/login_window.h"
#include "login/skin.h"
#include "platform/handles.h"
#include "res/png_resource.h"
#include "res/resource.h"
#include "tests/support/test_windows.h"

using testsupport::PumpUntil;
using testsupport::WindowRect;

namespace {

int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

// Skin pixels that the login pane and the button hosts float over (offsets from the window's corner).
bool UnderTheLoginSurface(int x, int y) {
    const RECT kFloating[] = {{543, 208, 948, 699}, {1008, 229, 1058, 279}, {958, 188, 1008, 238},
                              {383, 153, 503, 203}, {531, 153, 651, 203},   {827, 153, 947, 203},
                              {679, 153, 799, 203}};
    for (const RECT& r : kFloating)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    return false;
}

// A login window shown the way the modal run shows it, over a black backdrop so that what the screen
// shows of a half-transparent pixel is its premultiplied colour.
class LoginWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        backdrop_ = std::make_unique<testsupport::TestOwner>(0, 0, width, height);
        ASSERT_TRUE(login_.Create(IDD_LOGIN, nullptr));
        PumpUntil([&] { return IsWindowVisible(login_.hwnd()) != FALSE; });
        testsupport::PumpFor(300);
    }
    HWND hwnd() const { return login_.hwnd(); }
    RECT rect() const { return WindowRect(login_.hwnd()); }

    std::unique_ptr<testsupport::TestOwner> backdrop_;
    CTravenorDlg login_;
};

TEST_F(LoginWindowTest, OpensCentredInTheWorkAreaAtTheSkinsSize) {
    const RECT r = rect();
    const RECT work = testsupport::WorkArea();
    EXPECT_EQ(r.right - r.left, 1152);
    EXPECT_EQ(r.bottom - r.top, 889);
    const LONG expectLeft = std::max(work.left, (work.left + work.right - 1152) / 2);
    const LONG expectTop = std::max(work.top, (work.top + work.bottom - 889) / 2);
    EXPECT_NEAR(r.left, expectLeft, 1);
    EXPECT_NEAR(r.top, expectTop, 1);
}

TEST_F(LoginWindowTest, IsABorderlessLayeredAppWindowWithTitleAndIcons) {
    const LONG style = GetWindowLongW(hwnd(), GWL_STYLE);
    const LONG exStyle = GetWindowLongW(hwnd(), GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_APPWINDOW);
    wchar_t title[32] = {};
    GetWindowTextW(hwnd(), title, 32);
    EXPECT_STREQ(title, L"Quorvane");
    const LRESULT big = SendMessageW(hwnd(), WM_GETICON, ICON_BIG, 0);
    EXPECT_NE(big, 0);
    EXPECT_EQ(SendMessageW(hwnd(), WM_GETICON, ICON_SMALL, 0), big);
    EXPECT_EQ(SendMessageW(hwnd(), WM_QUERYDRAGICON, 0, 0), big);
}

TEST_F(LoginWindowTest, LayeredUpdateScalesTheSkinsOwnAlphaOnceBy254) {
    const BLENDFUNCTION& blend = login_.blend();
    EXPECT_EQ(blend.BlendOp, AC_SRC_OVER);
    EXPECT_EQ(blend.BlendFlags, 0);
    EXPECT_EQ(blend.SourceConstantAlpha, 254);
    EXPECT_EQ(blend.AlphaFormat, AC_SRC_ALPHA);
}

TEST_F(LoginWindowTest, BodyHitTestsAsCaptionSoAnyVisiblePixelDrags) {
    const RECT r = rect();
    const POINT kInside[] = {
        {r.left + 700, r.top + 400}, {r.left + 1, r.top + 1}, {r.right - 1, r.bottom - 1}};
    for (const POINT& p : kInside) {
        SCOPED_TRACE(testing::Message() << "at " << p.x - r.left << "," << p.y - r.top);
        EXPECT_EQ(SendMessageW(hwnd(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTCAPTION);
    }
    EXPECT_NE(SendMessageW(hwnd(), WM_NCHITTEST, 0, MAKELPARAM(r.right + 5, r.top + 5)), HTCAPTION);
    // No maximise box and no system menu: a double-click on the body changes nothing.
    SendMessageW(hwnd(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(r.left + 700, r.top + 400));
    testsupport::PumpFor(100);
    const RECT after = rect();
    EXPECT_FALSE(IsZoomed(hwnd()));
    EXPECT_EQ(after.left, r.left);
    EXPECT_EQ(after.right - after.left, 1152);
}

TEST_F(LoginWindowTest, ScreenShowsEachSkinPixelPremultipliedOnce) {
    platform::Image skin;
    ASSERT_TRUE(LoadPngResource(IDP_SKIN, skin));
    const std::vector<uint32_t> argb = testsupport::StraightArgb(skin);
    // Opaque pixels and half-transparent ones: if the alpha were applied twice, the latter would
    // show visibly darker than colour x alpha.
    std::vector<POINT> samples;
    for (int y = 0; y < 889 && samples.size() < 40; y += 7)
        for (int x = 0; x < 1152 && samples.size() < 40; x += 13) {
            const uint32_t p = argb[y * 1152 + x];
            const int a = Channel(p, 24);
            if (UnderTheLoginSurface(x, y)) continue;
            const int brightest = std::max({Channel(p, 16), Channel(p, 8), Channel(p, 0)});
            if ((a == 255 && brightest > 60) || (a > 60 && a < 200 && brightest * a / 255 > 40))
                samples.push_back({x, y});
        }
    ASSERT_FALSE(samples.empty());
    const RECT r = rect();
    platform::WindowDc screen(nullptr);
    for (const POINT& s : samples) {
        const uint32_t p = argb[s.y * 1152 + s.x];
        const int a = Channel(p, 24) * 254 / 255;
        const COLORREF shown = GetPixel(screen.get(), r.left + s.x, r.top + s.y);
        SCOPED_TRACE(testing::Message() << "skin pixel " << s.x << "," << s.y << " alpha " << Channel(p, 24));
        EXPECT_NEAR(GetRValue(shown), Channel(p, 16) * a / 255, 4);
        EXPECT_NEAR(GetGValue(shown), Channel(p, 8) * a / 255, 4);
        EXPECT_NEAR(GetBValue(shown), Channel(p, 0) * a / 255, 4);
    }
}

TEST(Skin, CanvasHoldsThePremultipliedSkin) {
    platform::Image skin;
    ASSERT_TRUE(LoadPngResource(IDP_SKIN, skin));
    const std::vector<uint32_t> argb = testsupport::StraightArgb(skin);
    platform::WindowDc screen(nullptr);
    platform::LayeredCanvas canvas(screen.get(), kSkinWidth, kSkinHeight);
    ASSERT_TRUE(canvas.ok());
    DrawSkin(skin, canvas);
    for (int y = 0; y < 889; y += 11)
        for (int x = 0; x < 1152; x += 17) {
            const uint32_t want = argb[y * 1152 + x], got = canvas.Pixel(x, y);
            const int a = Channel(want, 24);
            SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
            ASSERT_NEAR(Channel(got, 24), a, 1);
            ASSERT_NEAR(Channel(got, 16), Channel(want, 16) * a / 255, 2);
            ASSERT_NEAR(Channel(got, 8), Channel(want, 8) * a / 255, 2);
            ASSERT_NEAR(Channel(got, 0), Channel(want, 0) * a / 255, 2);
        }
}

TEST(Skin, EmptyImageLeavesTheCanvasTransparent) {
    platform::WindowDc screen(nullptr);
    platform::LayeredCanvas canvas(screen.get(), kSkinWidth, kSkinHeight);
    platform::Image empty;
    DrawSkin(empty, canvas);
    EXPECT_EQ(canvas.Pixel(600, 400), 0u);
}

TEST_F(LoginWindowTest, ShowHideMessageHidesOnlyForOne) {
    struct Case {
        WPARAM wParam;
        bool visible;
    };
    const Case kCases[] = {{1, false}, {0, true}, {1, false}, {2, true}, {0xFFFF, true}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << "wParam " << c.wParam);
        EXPECT_EQ(SendMessageW(hwnd(), WM_USER + 1, c.wParam, 0), 0);
        EXPECT_EQ(IsWindowVisible(hwnd()) != FALSE, c.visible);
    }
}

// Drives a modal run from a thread timer: posts `keys` one per tick to the login window and reports
// whether the window was still there before each next key.
struct KeyScript {
    std::vector<MSG> keys;
    size_t next = 0;
    std::vector<bool> aliveBeforeKey;
    CTravenorDlg* login = nullptr;
    static KeyScript* current;

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        KeyScript& s = *current;
        HWND login = s.login->hwnd();
        if (!login || s.next >= s.keys.size()) return;
        s.aliveBeforeKey.push_back(IsWindow(login) != FALSE);
        const MSG& k = s.keys[s.next++];
        PostMessageW(login, k.message, k.wParam, k.lParam);
    }
};
KeyScript* KeyScript::current = nullptr;

MSG KeyMessage(UINT message, WPARAM key, LPARAM lParam = 1) {
    MSG m{};
    m.message = message;
    m.wParam = key;
    m.lParam = lParam;
    return m;
}

TEST(LoginWindowRun, EnterIsInertWhileEscapeAltF4AndCloseEndTheRun) {
    const MSG kEnter = KeyMessage(WM_KEYDOWN, VK_RETURN);
    struct Case {
        const char* name;
        MSG ending;
    };
    const Case kCases[] = {
        {"Escape", KeyMessage(WM_KEYDOWN, VK_ESCAPE)},
        {"Alt+F4", KeyMessage(WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29))},
        {"close button / taskbar close", KeyMessage(WM_SYSCOMMAND, SC_CLOSE, 0)},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        KeyScript script;
        script.keys = {kEnter, kEnter, c.ending};
        CTravenorDlg login;
        script.login = &login;
        KeyScript::current = &script;
        const UINT_PTR timer = SetTimer(nullptr, 0, 150, &KeyScript::Tick);
        EXPECT_EQ(login.DoModal(), IDCANCEL);
        KillTimer(nullptr, timer);
        EXPECT_EQ(script.next, 3u) << "the run ended before the last key";
        EXPECT_EQ(script.aliveBeforeKey, (std::vector<bool>{true, true, true}));
    }
}

// Real pointer input: press on the body, move, release; the platform's window move follows.
TEST_F(LoginWindowTest, DraggingTheBodyMovesTheWindow) {
    const RECT before = rect();
    // A point of the ink body left of the login pane.
    const POINT start{before.left + 470, before.top + 450};
    std::thread pointer([start] {
        auto send = [](DWORD flags, int x, int y) {
            testsupport::SendMouse({x, y}, flags);
            Sleep(60);
        };
        send(0, start.x, start.y);
        send(MOUSEEVENTF_LEFTDOWN, start.x, start.y);
        for (int i = 1; i <= 10; ++i) send(0, start.x - 8 * i, start.y - 4 * i);
        send(MOUSEEVENTF_LEFTUP, start.x - 80, start.y - 40);
    });
    PumpUntil([&] { return rect().left == before.left - 80 && rect().top == before.top - 40; }, 5000);
    pointer.join();
    testsupport::PumpFor(200);
    EXPECT_EQ(rect().left, before.left - 80);
    EXPECT_EQ(rect().top, before.top - 40);
    EXPECT_EQ(rect().right - rect().left, 1152);
}

}  // namespace

namespace {

// Sets the primary monitor's work area for one test and puts the old one back afterwards.
class WorkAreaOverride {
  public:
    explicit WorkAreaOverride(RECT area) : old_(testsupport::WorkArea()) {
        SystemParametersInfoW(SPI_SETWORKAREA, 0, &area, 0);
    }
    ~WorkAreaOverride() { SystemParametersInfoW(SPI_SETWORKAREA, 0, &old_, 0); }
    WorkAreaOverride(const WorkAreaOverride&) = delete;
    WorkAreaOverride& operator=(const WorkAreaOverride&) = delete;

  private:
    RECT old_;
};

// Where centring puts the window, and what that means for the pane: a window that centring leaves at
// the origin never moves, so the pane keeps its first placement, 491 rows high.
TEST(LoginWindowPlacement, CentringWithinTheWorkAreaDecidesThePanesFirstMove) {
    struct Case {
        const char* name;
        RECT workArea;
        POINT expected;
        int paneHeight;
    };
    const Case kCases[] = {
        {"work area larger than the window", {0, 0, 1600, 1000}, {224, 56}, 485},
        {"work area exactly the window's size", {0, 0, 1152, 889}, {0, 0}, 491},
        {"work area smaller than the window", {0, 0, 1000, 700}, {0, 0}, 491},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        WorkAreaOverride area(c.workArea);
        ASSERT_EQ(testsupport::WorkArea().right, c.workArea.right) << "the platform kept its own work area";
        CTravenorDlg login;
        ASSERT_TRUE(login.Create(IDD_LOGIN, nullptr));
        PumpUntil([&] { return IsWindowVisible(login.hwnd()) != FALSE; });
        const RECT r = WindowRect(login.hwnd());
        EXPECT_EQ(r.left, c.expected.x);
        EXPECT_EQ(r.top, c.expected.y);
        ASSERT_NE(login.loginPane(), nullptr);
        const RECT pane = WindowRect(login.loginPane()->hwnd());
        EXPECT_EQ(pane.left - r.left, 543);
        EXPECT_EQ(pane.top - r.top, 208);
        EXPECT_EQ(pane.right - pane.left, 405);
        EXPECT_EQ(pane.bottom - pane.top, c.paneHeight);
    }
}

}  // namespace

namespace {

// Where each window of the login surface was when it first became visible, seen from inside the
// thread that shows them.
struct FirstShow {
    HWND hwnd;
    HWND owner;
    RECT rect;
    bool ownerVisible;
};
std::vector<FirstShow> g_firstShows;

LRESULT CALLBACK RecordFirstShows(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_WINDOWPOSCHANGED &&
        (reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags & SWP_SHOWWINDOW)) {
        const HWND owner = GetWindow(call->hwnd, GW_OWNER);
        const bool seen = std::any_of(g_firstShows.begin(), g_firstShows.end(),
                                      [&](const FirstShow& s) { return s.hwnd == call->hwnd; });
        if (owner && !seen)
            g_firstShows.push_back(
                {call->hwnd, owner, WindowRect(call->hwnd), IsWindowVisible(owner) != FALSE});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The surface is placed before it is shown: each popup first shows where it stays, over the login
// window that is already up, so nothing is ever seen jumping from the screen's corner into place.
TEST(LoginSurfaceStart, EveryPopupFirstShowsInItsFinalPlaceAfterTheLoginWindow) {
    g_firstShows.clear();
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, &RecordFirstShows, nullptr, GetCurrentThreadId());
    CTravenorDlg login;
    ASSERT_TRUE(login.Create(IDD_LOGIN, nullptr));
    PumpUntil([&] { return IsWindowVisible(login.hwnd()) != FALSE && g_firstShows.size() >= 7; });
    testsupport::PumpFor(200);
    UnhookWindowsHookEx(hook);
    ASSERT_EQ(g_firstShows.size(), 7u);
    for (const FirstShow& shown : g_firstShows) {
        SCOPED_TRACE(testing::Message() << "popup " << shown.hwnd);
        const RECT now = WindowRect(shown.hwnd);
        EXPECT_EQ(shown.owner, login.hwnd());
        EXPECT_TRUE(shown.ownerVisible) << "shown before the login window";
        EXPECT_EQ(shown.rect.left, now.left);
        EXPECT_EQ(shown.rect.top, now.top);
        EXPECT_EQ(shown.rect.right, now.right);
        EXPECT_EQ(shown.rect.bottom, now.bottom);
    }
    const RECT pane = WindowRect(login.loginPane()->hwnd());
    EXPECT_EQ(pane.bottom - pane.top, 485) << "the pane shows at its size after the centring move";
}

int g_shortcutsWritten = 0;
bool g_loginVisibleWhenWritten = false;
HWND g_loginForShortcut = nullptr;
void CountShortcut() {
    ++g_shortcutsWritten;
    g_loginVisibleWhenWritten = g_loginForShortcut && IsWindowVisible(g_loginForShortcut);
}

TEST(LoginSurfaceStart, ShortcutIsWrittenOnceRightAfterTheWindowIsUp) {
    g_shortcutsWritten = 0;
    CTravenorDlg login(&CountShortcut);
    ASSERT_TRUE(login.Create(IDD_LOGIN, nullptr));
    g_loginForShortcut = login.hwnd();
    EXPECT_EQ(g_shortcutsWritten, 0) << "nothing waits for the shortcut before the window shows";
    PumpUntil([&] { return g_shortcutsWritten > 0; });
    EXPECT_EQ(g_shortcutsWritten, 1);
    EXPECT_TRUE(g_loginVisibleWhenWritten);
    // Hiding and showing again is no new start.
    SendMessageW(login.hwnd(), WM_USER + 1, 1, 0);
    SendMessageW(login.hwnd(), WM_USER + 1, 0, 0);
    testsupport::PumpFor(200);
    EXPECT_EQ(g_shortcutsWritten, 1);
}

// The browser control is the costliest part of the surface: the pane shows without it, and the view
// comes, with the login page's navigation, as the first thing after the window is up and before the
// shortcut is written.
CTravenorDlg* g_loginForView = nullptr;
bool g_viewWhenShortcutWritten = false;
void NoteViewAtShortcut() {
    g_viewWhenShortcutWritten = g_loginForView && g_loginForView->loginPane()->view().hwnd() != nullptr;
}

TEST(LoginSurfaceStart, LoginPageOpensRightAfterTheFirstShowBeforeTheShortcut) {
    g_viewWhenShortcutWritten = false;
    CTravenorDlg login(&NoteViewAtShortcut);
    g_loginForView = &login;
    ASSERT_TRUE(login.Create(IDD_LOGIN, nullptr));
    ASSERT_NE(login.loginPane(), nullptr);
    EXPECT_EQ(login.loginPane()->view().hwnd(), nullptr) << "the view waits for the first show";
    PumpUntil([&] { return login.loginPane()->view().hwnd() != nullptr; });
    EXPECT_NE(login.loginPane()->view().hwnd(), nullptr);
    EXPECT_EQ(GetParent(login.loginPane()->view().hwnd()), login.loginPane()->hwnd());
    testsupport::PumpFor(200);
    EXPECT_TRUE(g_viewWhenShortcutWritten) << "the page starts before the shortcut is written";
    g_loginForView = nullptr;
}

}  // namespace
