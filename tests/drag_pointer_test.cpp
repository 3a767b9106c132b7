// The drag tracker with the real pointer: a press in the top band of a game window's client area and
// a move of the mouse drag the window; letting go ends the drag.
#include <gtest/gtest.h>

#include "game/drag_tracker.h"
#include "game/game_window.h"
#include "tests/fixtures/fake_browser.h"
#include "tests/support/test_windows.h"

using testsupport::PumpUntil;
using testsupport::WindowRect;

namespace {

// The left button, pressed for real; let go on scope exit at the latest, so a failing test never
// leaves it down for the next one.
class LeftButton {
  public:
    LeftButton() { testsupport::SendMouseButtons(MOUSEEVENTF_LEFTDOWN); }
    ~LeftButton() { LetGo(); }
    LeftButton(const LeftButton&) = delete;
    LeftButton& operator=(const LeftButton&) = delete;
    void LetGo() {
        if (down_) testsupport::SendMouseButtons(MOUSEEVENTF_LEFTUP);
        down_ = false;
    }

  private:
    bool down_ = true;
};

bool CursorAt(POINT p) {
    POINT now{};
    GetCursorPos(&now);
    return now.x == p.x && now.y == p.y;
}

// A new game window, restored to a known place, with no drag going on.
GameBrowserConainter& OpenRestoredGameWindow() {
    SharedDragState() = DragState{};
    OpenGameWindow(L"http://game.example/");
    GameBrowserConainter& window = *GameWindows().back();
    ShowWindow(window.hwnd(), SW_RESTORE);
    MoveWindow(window.hwnd(), 100, 100, 600, 400, TRUE);
    return window;
}

TEST(DragWithTheRealPointer, PressInTheBandAndMoveDragsTheWindow) {
    fixtures::FakeBrowserRegistration fake;
    ASSERT_TRUE(fake.ok());
    GameBrowserConainter& window = OpenRestoredGameWindow();
    const HWND hwnd = window.hwnd();
    // The browser covers the whole client area and takes every press there; without it the band is
    // the game window's own.
    window.browser().DestroyControl();
    SetForegroundWindow(hwnd);

    POINT press{60, 15};
    ClientToScreen(hwnd, &press);
    SetCursorPos(press.x, press.y);
    ASSERT_TRUE(PumpUntil([&] { return CursorAt(press); }));
    LeftButton button;
    EXPECT_TRUE(PumpUntil([] { return SharedDragState().dragging == 1; }))
        << "the press did not start a drag";

    const RECT before = WindowRect(hwnd);
    SetCursorPos(press.x + 80, press.y + 50);
    EXPECT_TRUE(PumpUntil([&] {
        const RECT now = WindowRect(hwnd);
        return now.left == before.left + 80 && now.top == before.top + 50;
    })) << "the window did not follow the pointer";

    button.LetGo();
    EXPECT_TRUE(PumpUntil([] { return SharedDragState().dragging == 0; }))
        << "letting go did not end the drag";
    EXPECT_FALSE(KillTimer(hwnd, kDragTimerId));

    DestroyGameWindows();
    SharedDragState() = DragState{};
}

// A control passes the presses in its top rows on (its window answers HTTRANSPARENT there): such a
// press reaches the game window through the site and drags it; a press the control keeps does not.
TEST(DragWithTheRealPointer, PressTheControlLetsThroughDragsTheWindow) {
    fixtures::FakeBrowserRegistration fake;
    ASSERT_TRUE(fake.ok());
    const HWND hwnd = OpenRestoredGameWindow().hwnd();
    fixtures::FakeBrowserRecord& control = *fake.records().back();
    control.transparentRows = 30;
    ASSERT_TRUE(IsWindowVisible(control.window));
    SetForegroundWindow(hwnd);

    struct PressCase {
        LONG row;
        bool drags;
    };
    for (const PressCase c : {PressCase{10, true}, PressCase{40, false}}) {
        SCOPED_TRACE(testing::Message() << "client row " << c.row);
        POINT press{60, c.row};
        ClientToScreen(hwnd, &press);
        SetCursorPos(press.x, press.y);
        ASSERT_TRUE(PumpUntil([&] { return CursorAt(press); }));
        const RECT before = WindowRect(hwnd);
        {
            LeftButton button;
            testsupport::PumpFor(150);
            SetCursorPos(press.x + 80, press.y + 50);
            const bool followed = PumpUntil(
                [&] {
                    const RECT now = WindowRect(hwnd);
                    return now.left == before.left + 80 && now.top == before.top + 50;
                },
                c.drags ? 3000 : 600);
            EXPECT_EQ(followed, c.drags);
            if (!c.drags) {
                const RECT now = WindowRect(hwnd);
                EXPECT_EQ(now.left, before.left);
                EXPECT_EQ(now.top, before.top);
            }
        }
        EXPECT_TRUE(PumpUntil([] { return SharedDragState().dragging == 0; }));
    }

    DestroyGameWindows();
    SharedDragState() = DragState{};
}

}  // namespace
