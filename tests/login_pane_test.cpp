// The login pane: its view, the login page, and the script bridge it hands to every page.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/game_window.h"
#include "login/login_pane.h"
#include "res/resource.h"
#include "tests/fixtures/fake_browser.h"
#include "tests/fixtures/script_host.h"
#include "tests/support/test_windows.h"

namespace {

bool Contains(const std::vector<std::wstring>& calls, const std::wstring& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

ULONG RefCount(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// A pane under a stand-in login window, with a fake browser control in its view.
class LoginPaneTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fakes_.ok());
        pane_ = std::make_unique<CLoginBrowserConainter>();
        ASSERT_TRUE(pane_->Create(IDD_LOGIN_PANE, owner_.hwnd()));
        ASSERT_EQ(fakes_.records().size(), 1u);
        control_ = fakes_.records().front();
    }
    void TearDown() override {
        pane_.reset();
        DestroyGameWindows();
    }
    fixtures::FakeBrowser& page() { return *control_->live; }

    fixtures::FakeBrowserRegistration fakes_;
    testsupport::TestOwner owner_{100, 40, 1152, 889};
    std::unique_ptr<CLoginBrowserConainter> pane_;
    std::shared_ptr<fixtures::FakeBrowserRecord> control_;
};

TEST_F(LoginPaneTest, ViewShowsTheLoginPageInAWideChildOfTheHiddenOwnedPane) {
    EXPECT_EQ(GetWindow(pane_->hwnd(), GW_OWNER), owner_.hwnd());
    EXPECT_FALSE(IsWindowVisible(pane_->hwnd())) << "the login window shows the pane once it is placed";
    HWND view = pane_->view().hwnd();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(GetParent(view), pane_->hwnd());
    EXPECT_EQ(GetDlgCtrlID(view), 100);
    EXPECT_TRUE(GetWindowLongW(view, GWL_STYLE) & WS_VISIBLE);
    RECT r = testsupport::WindowRect(view);
    MapWindowPoints(nullptr, pane_->hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, -5);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 650);
    EXPECT_EQ(r.bottom - r.top, 491);
    const std::wstring login = CLoginBrowserConainter::LoginPageUrl();
    EXPECT_EQ(login.rfind(L"http://", 0), 0u);
    EXPECT_EQ(login.substr(login.size() - 20), L"/qvn/login/index.php");
    EXPECT_TRUE(Contains(control_->calls, L"Navigate2 " + login));
    EXPECT_EQ(pane_->view().bridge(), nullptr) << "no page asked for window.external yet";
}

TEST_F(LoginPaneTest, EveryRequestForTheExternalObjectGetsTheSameBridge) {
    HRESULT first = E_FAIL, second = E_FAIL;
    platform::ComPtr<IDispatch> a = page().AskExternal(&first);
    platform::ComPtr<IDispatch> b = page().AskExternal(&second);
    EXPECT_EQ(first, S_OK);
    EXPECT_EQ(second, S_OK);
    ASSERT_TRUE(a);
    EXPECT_EQ(a.get(), b.get());
    EXPECT_EQ(static_cast<IDispatch*>(pane_->view().bridge()), a.get());
    EXPECT_EQ(RefCount(a.get()), 3u) << "the view's own reference and one for each request";
}

TEST_F(LoginPaneTest, PageScriptStartsTheGameThroughTheBridge) {
    platform::ComPtr<IDispatch> external = page().AskExternal();
    ASSERT_TRUE(external);
    testfixtures::ScriptHost script;
    ASSERT_TRUE(script.ok());
    ASSERT_EQ(script.AddObject(L"external", external.get()), S_OK);
    const size_t before = GameWindows().size();
    EXPECT_EQ(script.Run(L"external.StartGame('http://127.0.0.1:8480/qvn/game/index.html');"), S_OK);
    ASSERT_EQ(GameWindows().size(), before + 1);
    GameBrowserConainter& game = *GameWindows().back();
    EXPECT_TRUE(IsWindowVisible(game.hwnd()));
    fixtures::FakeBrowserRecord* gameControl = fakes_.RecordForParent(game.hwnd());
    ASSERT_NE(gameControl, nullptr);
    EXPECT_TRUE(Contains(gameControl->calls, L"Navigate http://127.0.0.1:8480/qvn/game/index.html"));
    // A page that is not ours cannot open anything: only web addresses start a game.
    EXPECT_NE(script.Run(L"external.StartGame('file:///C:/windows/system32/calc.exe');"), S_OK);
    EXPECT_EQ(GameWindows().size(), before + 1);
}

TEST_F(LoginPaneTest, AcceptCancelAndCloseLeaveThePaneOpen) {
    ShowWindow(pane_->hwnd(), SW_SHOW);
    for (UINT command : {IDOK, IDCANCEL}) SendMessageW(pane_->hwnd(), WM_COMMAND, command, 0);
    SendMessageW(pane_->hwnd(), WM_CLOSE, 0, 0);
    testsupport::PumpFor(50);
    EXPECT_TRUE(IsWindow(pane_->hwnd()));
    EXPECT_TRUE(IsWindowVisible(pane_->hwnd()));
}

// Keys typed into the page go to the control's accelerator handling before any dialog handling.
TEST_F(LoginPaneTest, KeysForThePageReachTheControlFirst) {
    control_->acceleratorKeys = {VK_TAB};
    struct Case {
        WPARAM key;
        bool consumed;
    };
    const Case kKeys[] = {{VK_TAB, true}, {VK_RETURN, false}, {VK_ESCAPE, false}, {'C', false}};
    for (const Case& c : kKeys) {
        SCOPED_TRACE(testing::Message() << "key " << c.key);
        MSG msg{};
        msg.hwnd = control_->window;
        msg.message = WM_KEYDOWN;
        msg.wParam = c.key;
        EXPECT_EQ(platform::Window::PreTranslateQueued(msg), c.consumed);
        EXPECT_EQ(control_->calls.back(), L"TranslateAccelerator " + std::to_wstring(c.key));
    }
    EXPECT_TRUE(IsWindow(pane_->hwnd())) << "Escape in the page does not close the pane";
}

TEST_F(LoginPaneTest, DestroyingThePaneReleasesTheControlAndTheViewsBridgeReference) {
    platform::ComPtr<IDispatch> external = page().AskExternal();
    ASSERT_TRUE(external);
    DestroyWindow(pane_->hwnd());
    EXPECT_EQ(control_->live, nullptr) << "the browser control was released";
    EXPECT_TRUE(Contains(control_->calls, L"Close NOSAVE"));
    EXPECT_EQ(pane_->view().bridge(), nullptr);
    EXPECT_EQ(RefCount(external.get()), 1u) << "only the page's reference is left";
    pane_.reset();  // the view goes with the pane object, once
}

}  // namespace
