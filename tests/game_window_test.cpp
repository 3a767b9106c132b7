// The game window: opened by OpenGameWindow, a maximised unowned window whose browser fills it, shows
// the game without scroll bars, and on close unloads the game and hides.
#include <gtest/gtest.h>

#include <exdisp.h>

#include <functional>
#include <string>
#include <vector>

#include "game/drag_tracker.h"
#include "game/game_window.h"
#include "tests/fixtures/fake_browser.h"
#include "tests/fixtures/fake_document.h"
#include "tests/support/test_windows.h"

using fixtures::FakeBrowserRecord;
using platform::ComPtr;
using testsupport::PumpUntil;
using Calls = std::vector<std::wstring>;

// Printing and comparing rectangles, for the assertions below (found by argument-dependent lookup).
std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}
bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

namespace {

Calls Opened(const std::wstring& url) {
    return {L"SetClientSite", L"Advise", L"DoVerb INPLACEACTIVATE", L"Navigate " + url};
}
const Calls kTornDown = {L"InPlaceDeactivate", L"Close NOSAVE", L"SetClientSite(null)", L"Unadvise",
                         L"Deleted"};

Calls Concat(Calls a, const Calls& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

RECT ClientRectOnScreen(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring Text(HWND hwnd) {
    wchar_t text[64] = {};
    GetWindowTextW(hwnd, text, 64);
    return text;
}

// Drains the queue the way the program's message loop does: pre-translation first, then dispatch.
void PumpLikeTheProgram() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (platform::Window::PreTranslateQueued(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void RecordScroll(void* context, const wchar_t* value) { static_cast<Calls*>(context)->push_back(value); }

class GameWindowTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(fake_.ok()); }
    void TearDown() override {
        DestroyGameWindows();
        SharedDragState() = DragState{};
    }

    GameBrowserConainter& Open(const wchar_t* url) {
        OpenGameWindow(url);
        return *GameWindows().back();
    }
    FakeBrowserRecord& ControlOf(GameBrowserConainter& window) {
        static FakeBrowserRecord none;
        FakeBrowserRecord* record = fake_.RecordForParent(window.hwnd());
        EXPECT_NE(record, nullptr) << "no control was activated in this window";
        return record ? *record : none;
    }
    // The control's own window covers exactly the game window's client area.
    void ExpectBrowserFillsClient(GameBrowserConainter& window) {
        FakeBrowserRecord& control = ControlOf(window);
        RECT client{};
        GetClientRect(window.hwnd(), &client);
        EXPECT_EQ(testsupport::WindowRect(window.browser().hwnd()), ClientRectOnScreen(window.hwnd()));
        EXPECT_EQ(testsupport::WindowRect(control.window), ClientRectOnScreen(window.hwnd()));
        ASSERT_FALSE(control.objectRects.empty());
        EXPECT_EQ(control.objectRects.back(), client);
    }

    fixtures::FakeBrowserRegistration fake_;
};

TEST_F(GameWindowTest, EachCallOpensAnotherMaximisedUnownedWindowWithItsOwnBrowser) {
    const wchar_t kUrl[] = L"http://game.example/play?server=3";
    GameBrowserConainter& first = Open(kUrl);
    GameBrowserConainter& second = Open(kUrl);
    ASSERT_EQ(GameWindows().size(), 2u);
    EXPECT_NE(first.hwnd(), second.hwnd());

    for (GameBrowserConainter* window : {&first, &second}) {
        SCOPED_TRACE(window == &first ? "first window" : "second window");
        const HWND hwnd = window->hwnd();
        EXPECT_TRUE(IsWindowVisible(hwnd));
        EXPECT_TRUE(IsZoomed(hwnd));
        EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr);
        EXPECT_EQ(GetParent(hwnd), nullptr);
        EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW) << "its own taskbar button";
        const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        EXPECT_TRUE((style & WS_THICKFRAME) && (style & WS_MINIMIZEBOX) && (style & WS_MAXIMIZEBOX));
        EXPECT_EQ(Text(hwnd), L"Quorvane");
        EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), 0);
        EXPECT_EQ(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0), 0) << "only the big icon is set";

        FakeBrowserRecord& control = ControlOf(*window);
        EXPECT_EQ(control.calls, Opened(kUrl));
        EXPECT_EQ(GetDlgCtrlID(control.site), 2001);
        EXPECT_TRUE(IsWindowVisible(control.window))
            << "the page must show although nobody shows the browser";
        ExpectBrowserFillsClient(*window);
    }
    EXPECT_NE(ControlOf(first).window, ControlOf(second).window);
}

TEST_F(GameWindowTest, NavigatesToACopyOfTheUrlBeforeTheWindowShows) {
    std::vector<bool> visibleAtNavigate;
    fake_.OnEachControl([&visibleAtNavigate](FakeBrowserRecord& record) {
        record.observer = [&visibleAtNavigate, &record](const std::wstring& call) {
            if (call.rfind(L"Navigate", 0) == 0)
                visibleAtNavigate.push_back(IsWindowVisible(GetAncestor(record.site, GA_ROOT)) != FALSE);
        };
    });
    std::wstring url = L"http://game.example/first";
    OpenGameWindow(url.c_str());
    // The caller's text changes and moves right after the call.
    url.assign(200, L'x');
    url.shrink_to_fit();

    GameBrowserConainter& window = *GameWindows().back();
    EXPECT_EQ(visibleAtNavigate, std::vector<bool>{false});
    EXPECT_TRUE(IsWindowVisible(window.hwnd())) << "shown before OpenGameWindow returned";
    FakeBrowserRecord& control = ControlOf(window);
    control.live->FireDocumentComplete(nullptr, L"http://game.example/first");
    SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(control.calls, Concat(Opened(L"http://game.example/first"), kTornDown))
        << "the url was read once, during the call";
}

// Script hands over an empty string as a null BSTR.
TEST_F(GameWindowTest, NullUrlIsAnEmptyOne) {
    GameBrowserConainter& window = Open(nullptr);
    EXPECT_EQ(ControlOf(window).calls, Opened(L""));
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));
}

TEST_F(GameWindowTest, EveryCompletedDocumentLosesItsScrollBarsButAFrameset) {
    enum class Source { TopLevel, Frame, NoBrowser };
    struct Case {
        const char* label;
        Source source;
        bool hasDocument;
        FakeBodyKind body;
        Calls scrolls;
    };
    const Case kCases[] = {
        {"top-level document", Source::TopLevel, true, FAKE_BODY_ELEMENT, {L"no"}},
        {"a frame's document", Source::Frame, true, FAKE_BODY_ELEMENT, {L"no"}},
        {"frameset document", Source::TopLevel, true, FAKE_BODY_FRAMESET, {}},
        {"frameset in a frame", Source::Frame, true, FAKE_BODY_FRAMESET, {}},
        {"document without body", Source::TopLevel, true, FAKE_BODY_NONE, {}},
        {"no document", Source::TopLevel, false, FAKE_BODY_ELEMENT, {}},
        {"frame without document", Source::Frame, false, FAKE_BODY_ELEMENT, {}},
        {"no browser object", Source::NoBrowser, true, FAKE_BODY_ELEMENT, {}},
    };
    GameBrowserConainter& window = Open(L"http://game.example/");
    fixtures::FakeBrowser* control = ControlOf(window).live;
    ASSERT_NE(control, nullptr);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        Calls scrolls;
        {
            ComPtr<IDispatch> document;
            if (c.hasDocument)
                document = ComPtr<IDispatch>::Adopt(FakeDocumentCreate(c.body, &RecordScroll, &scrolls));
            fixtures::FakeFrame frame(document.get());
            IDispatch* browser = nullptr;
            if (c.source == Source::TopLevel) {
                control->SetDocument(document.get());
                browser = control->AsDispatch();
            } else if (c.source == Source::Frame) {
                browser = &frame;
            }
            control->FireDocumentComplete(browser, L"http://game.example/");
            control->SetDocument(nullptr);
            EXPECT_EQ(frame.refs(), 0) << "the frame's browser object was not released";
        }
        EXPECT_EQ(scrolls, c.scrolls);
        EXPECT_EQ(FakeDocumentLiveObjects(), 0) << "a document or body was not released";
    }
}

TEST_F(GameWindowTest, BrowserFillsTheClientAreaAfterEverySizeChange) {
    struct Step {
        const char* label;
        std::function<void(HWND)> act;
    };
    const Step kSteps[] = {
        {"restore", [](HWND h) { ShowWindow(h, SW_RESTORE); }},
        {"frame drag", [](HWND h) { MoveWindow(h, 40, 30, 700, 500, TRUE); }},
        {"minimise and restore",
         [](HWND h) {
             ShowWindow(h, SW_MINIMIZE);
             ShowWindow(h, SW_RESTORE);
         }},
        {"maximise", [](HWND h) { ShowWindow(h, SW_MAXIMIZE); }},
        {"minimise and restore to maximised",
         [](HWND h) {
             ShowWindow(h, SW_MINIMIZE);
             ShowWindow(h, SW_RESTORE);
         }},
    };
    GameBrowserConainter& window = Open(L"http://game.example/");
    for (const Step& step : kSteps) {
        SCOPED_TRACE(step.label);
        step.act(window.hwnd());
        ExpectBrowserFillsClient(window);
    }
}

TEST_F(GameWindowTest, RestoringGivesTheTemplateSizeAtTheScreenTopLeft) {
    GameBrowserConainter& window = Open(L"http://game.example/");
    ShowWindow(window.hwnd(), SW_RESTORE);
    RECT expectedClient{0, 0, 318, 185};  // the template's size, in dialog units
    MapDialogRect(window.hwnd(), &expectedClient);
    RECT client{};
    GetClientRect(window.hwnd(), &client);
    EXPECT_EQ(client, expectedClient);
    const RECT frame = testsupport::WindowRect(window.hwnd());
    EXPECT_EQ(frame.left, 0);
    EXPECT_EQ(frame.top, 0);
    ExpectBrowserFillsClient(window);
}

TEST_F(GameWindowTest, CloseUnloadsThePageAndOnlyHidesTheWindow) {
    const wchar_t kUrl[] = L"http://game.example/";
    GameBrowserConainter& window = Open(kUrl);
    const HWND hwnd = window.hwnd();
    FakeBrowserRecord& control = ControlOf(window);
    const HWND site = window.browser().hwnd();
    const HWND page = control.window;

    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(control.calls, Concat(Opened(kUrl), kTornDown));
    EXPECT_EQ(control.refs, 0);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_FALSE(IsWindow(site));
    EXPECT_FALSE(window.browser().hasControl());
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(hwnd); }))
        << "the close request must hide the window";
    EXPECT_TRUE(IsWindow(hwnd)) << "a closed game window stays alive";

    // Nothing is left to tear down: another close, a size change and finally the window's end are harmless.
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    PumpLikeTheProgram();
    DestroyWindow(hwnd);
    EXPECT_EQ(control.calls, Concat(Opened(kUrl), kTornDown)) << "the control was torn down twice";

    GameBrowserConainter& next = Open(kUrl);
    EXPECT_TRUE(IsWindowVisible(next.hwnd())) << "the next call opens a fresh window";
    EXPECT_EQ(ControlOf(next).calls, Opened(kUrl));
}

TEST_F(GameWindowTest, DestroyingAnOpenWindowTearsItsBrowserDownOnce) {
    const wchar_t kUrl[] = L"http://game.example/";
    GameBrowserConainter& window = Open(kUrl);
    FakeBrowserRecord& control = ControlOf(window);
    DestroyGameWindows();
    EXPECT_TRUE(GameWindows().empty());
    EXPECT_EQ(control.calls, Concat(Opened(kUrl), kTornDown));
    EXPECT_EQ(control.refs, 0);
}

TEST_F(GameWindowTest, EnterEscapeAndDoubleClickDoNothing) {
    const wchar_t kUrl[] = L"http://game.example/";
    GameBrowserConainter& window = Open(kUrl);
    const HWND hwnd = window.hwnd();
    FakeBrowserRecord& control = ControlOf(window);
    for (HWND target : {hwnd, control.window}) {
        SCOPED_TRACE(target == hwnd ? "keys at the game window" : "keys at the page");
        for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
            PostMessageW(target, WM_KEYDOWN, key, 1);
            PostMessageW(target, WM_KEYUP, key, 0xC0000001);
        }
        PumpLikeTheProgram();
        EXPECT_TRUE(IsWindowVisible(hwnd));
        EXPECT_TRUE(IsZoomed(hwnd));
    }

    SendMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 10));
    PumpLikeTheProgram();
    EXPECT_EQ(SharedDragState().dragging, 0) << "a double-click in the drag band starts no drag";
    EXPECT_FALSE(KillTimer(hwnd, kDragTimerId));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_TRUE(IsZoomed(hwnd));
    EXPECT_EQ(control.calls, Opened(kUrl)) << "the browser was left alone";
}

// The system's own control, not the fake: under Wine it has no HTML engine, but it is created, placed,
// asked to navigate and torn down like the real thing. The address is a closed loopback port.
TEST(RealBrowserControl, OpensNavigatesAndClosesWithoutHanging) {
    OpenGameWindow(L"http://127.0.0.1:9/");
    GameBrowserConainter& window = *GameWindows().back();
    platform::CWebBrowser& browser = window.browser();
    ASSERT_TRUE(browser.hasControl()) << "the web browser control could not be created";
    EXPECT_TRUE(browser.QueryControl<IWebBrowser2>());
    EXPECT_NE(browser.activeObject(), nullptr);
    EXPECT_TRUE(IsZoomed(window.hwnd()));

    const HWND page = GetWindow(browser.hwnd(), GW_CHILD);
    ASSERT_NE(page, nullptr) << "the control made no window in its site";
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(testsupport::WindowRect(page), ClientRectOnScreen(window.hwnd()));
    ShowWindow(window.hwnd(), SW_RESTORE);
    EXPECT_EQ(testsupport::WindowRect(page), ClientRectOnScreen(window.hwnd()))
        << "the control follows its site";

    // Let the navigation run into its failure.
    ComPtr<IWebBrowser2> web = browser.QueryControl<IWebBrowser2>();
    PumpUntil([&] {
        VARIANT_BOOL busy = VARIANT_FALSE;
        return FAILED(web->get_Busy(&busy)) || busy == VARIANT_FALSE;
    });
    web.Reset();

    SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(browser.hasControl());
    EXPECT_FALSE(IsWindow(page));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(window.hwnd()); }));
    DestroyGameWindows();
}

}  // namespace
