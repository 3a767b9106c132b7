// Work done over and over leaves no GDI or USER objects behind: moving the login window and hiding
// and showing its surface, and opening and closing game windows, where a closed window may keep only
// what any hidden window of its kind keeps.
#include <gtest/gtest.h>

#include "game/game_window.h"
#include "login/login_window.h"
#include "platform/window.h"
#include "res/resource.h"
#include "tests/fixtures/fake_browser.h"
#include "tests/fixtures/gui_objects.h"
#include "tests/support/test_windows.h"

namespace {

// Dispatches what is queued now, as the message loop would between two user actions.
void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

struct Holdings {
    long gdi;
    long user;
};

Holdings Count() {
    PumpPending();
    return {fixtures::GdiObjectCount(), fixtures::UserObjectCount()};
}

// Runs `work` a few times to fill the caches of the system and of GDI+, then `times` more, and
// answers what those left behind.
template <class Work>
Holdings LeftBehind(int times, Work work) {
    for (int i = 0; i < 5; ++i) work(i);
    const Holdings before = Count();
    for (int i = 0; i < times; ++i) work(i);
    const Holdings after = Count();
    return {after.gdi - before.gdi, after.user - before.user};
}

class LoginWindowLeaks : public testing::Test {
  protected:
    void SetUp() override {
        if (fixtures::GdiObjectCount() < 0) GTEST_SKIP() << "this system reports no GDI object count";
        ASSERT_TRUE(fake_.ok());
        ASSERT_TRUE(login_.Create(IDD_LOGIN, nullptr));
        testsupport::PumpUntil([&] { return IsWindowVisible(login_.hwnd()) != FALSE; });
    }
    fixtures::FakeBrowserRegistration fake_;
    CTravenorDlg login_;
};

TEST_F(LoginWindowLeaks, AThousandMovesLeaveNothingBehind) {
    const RECT start = testsupport::WindowRect(login_.hwnd());
    const Holdings left = LeftBehind(1000, [&](int i) {
        SetWindowPos(login_.hwnd(), nullptr, start.left + (i % 2 ? 7 : -7), start.top + (i % 3), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        PumpPending();
    });
    EXPECT_LE(left.gdi, 0);
    EXPECT_LE(left.user, 0);
}

TEST_F(LoginWindowLeaks, AHundredHideShowCyclesOfTheSurfaceLeaveNothingBehind) {
    const Holdings left = LeftBehind(100, [&](int) {
        SendMessageW(login_.hwnd(), WM_SHOWHIDE_LOGIN, 1, 0);
        PumpPending();
        SendMessageW(login_.hwnd(), WM_SHOWHIDE_LOGIN, 0, 0);
        PumpPending();
    });
    EXPECT_LE(left.gdi, 0);
    EXPECT_LE(left.user, 0);
}

// A plain dialog from the game window's template, shown maximised and hidden as a closed game
// window is: what the system keeps for such a window is what a closed game window may keep.
INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(GameWindowLeaks, AClosedGameWindowKeepsNoMoreThanAHiddenDialogOfItsTemplate) {
    if (fixtures::GdiObjectCount() < 0) GTEST_SKIP() << "this system reports no GDI object count";
    fixtures::FakeBrowserRegistration fake;
    ASSERT_TRUE(fake.ok());
    constexpr int kCycles = 50;

    std::vector<HWND> plain;
    const Holdings hiddenDialogs = LeftBehind(kCycles, [&](int) {
        HWND dialog = CreateDialogParamW(platform::ResourceModule(), MAKEINTRESOURCEW(IDD_GAME),
                                         GetDesktopWindow(), &PlainDialogProc, 0);
        ShowWindow(dialog, SW_MAXIMIZE);
        PumpPending();
        ShowWindow(dialog, SW_HIDE);
        plain.push_back(dialog);
    });
    for (HWND dialog : plain) DestroyWindow(dialog);

    const Holdings closedGames = LeftBehind(kCycles, [](int) {
        OpenGameWindow(L"http://game.example/");
        PumpPending();
        SendMessageW(GameWindows().back()->hwnd(), WM_CLOSE, 0, 0);
        PumpPending();
        ASSERT_FALSE(IsWindowVisible(GameWindows().back()->hwnd()));
    });
    DestroyGameWindows();

    EXPECT_LE(closedGames.gdi, hiddenDialogs.gdi) << "hidden dialogs kept " << hiddenDialogs.gdi;
    EXPECT_LE(closedGames.user, hiddenDialogs.user) << "hidden dialogs kept " << hiddenDialogs.user;
    EXPECT_EQ(closedGames.user, hiddenDialogs.user) << "each closed game window stays, hidden";
}

}  // namespace
