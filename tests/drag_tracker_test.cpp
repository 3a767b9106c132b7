// The drag tracker, steered through a pointer of the test's own: which presses start a drag, how each
// tick moves the window, and how the drag ends.
#include <gtest/gtest.h>

#include <windowsx.h>

#include "game/drag_tracker.h"
#include "game/game_window.h"
#include "tests/fixtures/fake_browser.h"
#include "tests/support/test_windows.h"

using testsupport::PumpUntil;
using testsupport::WindowRect;

namespace {

class FakePointer : public PointerSource {
  public:
    POINT CursorPos() const override { return cursor; }
    bool LeftButtonDown() const override { return down; }
    void MoveBy(LONG dx, LONG dy) {
        cursor.x += dx;
        cursor.y += dy;
    }
    POINT cursor{200, 15};
    bool down = true;
};

bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

class DragTrackerTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fake_.ok());
        SharedDragState() = DragState{};
        SetPointerSource(&pointer_);
        OpenGameWindow(L"http://game.example/");
        hwnd_ = GameWindows().back()->hwnd();
        // A normal window, so that moves are plain moves.
        ShowWindow(hwnd_, SW_RESTORE);
    }
    void TearDown() override {
        DestroyGameWindows();
        SetPointerSource(nullptr);
        SharedDragState() = DragState{};
    }

    void Press(int x, int y) { SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Release() { SendMessageW(hwnd_, WM_LBUTTONUP, 0, MAKELPARAM(10, 10)); }
    void Tick() { SendMessageW(hwnd_, WM_TIMER, kDragTimerId, 0); }
    // Whether the drag timer runs on the window; it keeps running if it did.
    bool TimerRunning() {
        if (!KillTimer(hwnd_, kDragTimerId)) return false;
        SetTimer(hwnd_, kDragTimerId, kDragTickMs, nullptr);
        return true;
    }
    void ExpectMovedBy(const RECT& before, LONG dx, LONG dy) {
        const RECT now = WindowRect(hwnd_);
        EXPECT_EQ(now.left, before.left + dx);
        EXPECT_EQ(now.top, before.top + dy);
        EXPECT_EQ(now.right - now.left, before.right - before.left) << "a drag keeps the size";
        EXPECT_EQ(now.bottom - now.top, before.bottom - before.top);
    }
    void ExpectBrowserFillsClient() {
        RECT client{};
        GetClientRect(hwnd_, &client);
        RECT browser = WindowRect(GameWindows().back()->browser().hwnd());
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&browser), 2);
        EXPECT_TRUE(EqualRect(&browser, &client));
    }

    fixtures::FakeBrowserRegistration fake_;
    FakePointer pointer_;
    HWND hwnd_ = nullptr;
};

TEST_F(DragTrackerTest, OnlyAPressInClientRowsOneToThirtyStartsADrag) {
    struct Case {
        int x, y;
        bool starts;
    };
    const Case kCases[] = {
        {10, 0, false}, {10, 1, true},  {10, 30, true},  {10, 31, false}, {10, -1, false},
        {0, 15, true},  {-7, 15, true}, {5000, 1, true}, {400, 30, true}, {400, 200, false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << "press at client (" << c.x << ", " << c.y << ")");
        SharedDragState() = DragState{};
        KillTimer(hwnd_, kDragTimerId);
        pointer_.cursor = POINT{321 + c.x, 123 + c.y};
        Press(c.x, c.y);
        EXPECT_EQ(SharedDragState().dragging, c.starts ? 1 : 0);
        EXPECT_EQ(TimerRunning(), c.starts);
        if (c.starts) {
            EXPECT_TRUE(SamePoint(SharedDragState().dragAnchor, pointer_.cursor));
        }
    }
}

TEST_F(DragTrackerTest, EachTickMovesTheWindowByTheWholeCursorDisplacement) {
    struct Move {
        const char* label;
        LONG dx, dy;
    };
    const Move kMoves[] = {
        {"down and right", 35, 20},
        {"no movement", 0, 0},
        {"far out of the window", -300, 700},
        {"back up", 1, -650},
    };
    Press(200, 15);
    for (const Move& move : kMoves) {
        SCOPED_TRACE(move.label);
        const RECT before = WindowRect(hwnd_);
        pointer_.MoveBy(move.dx, move.dy);
        Tick();
        ExpectMovedBy(before, move.dx, move.dy);
        EXPECT_TRUE(SamePoint(SharedDragState().dragAnchor, pointer_.cursor)) << "re-anchored after the move";
        EXPECT_EQ(SharedDragState().dragging, 1);
        ExpectBrowserFillsClient();
    }
}

TEST_F(DragTrackerTest, TheTimerDrivesTheDragUntilTheButtonIsUp) {
    Press(200, 15);
    const RECT before = WindowRect(hwnd_);
    pointer_.MoveBy(50, 40);
    EXPECT_TRUE(PumpUntil([&] { return WindowRect(hwnd_).left == before.left + 50; }))
        << "no tick moved the window";
    ExpectMovedBy(before, 50, 40);

    pointer_.down = false;
    EXPECT_TRUE(PumpUntil([] { return SharedDragState().dragging == 0; }));
    EXPECT_FALSE(KillTimer(hwnd_, kDragTimerId)) << "the tick that ended the drag kills its timer";
    const RECT ended = WindowRect(hwnd_);
    pointer_.MoveBy(80, 80);
    Tick();
    ExpectMovedBy(ended, 0, 0);
}

TEST_F(DragTrackerTest, ReleaseEndsTheDragOnlyAtTheNextTick) {
    Press(200, 15);
    Release();
    EXPECT_EQ(SharedDragState().dragging, 1) << "the release message itself does not end the drag";
    EXPECT_TRUE(TimerRunning());

    pointer_.down = false;
    pointer_.MoveBy(25, 25);
    const RECT before = WindowRect(hwnd_);
    Tick();
    EXPECT_EQ(SharedDragState().dragging, 0);
    EXPECT_FALSE(KillTimer(hwnd_, kDragTimerId));
    ExpectMovedBy(before, 0, 0);
}

TEST_F(DragTrackerTest, SecondPressReanchorsWithoutAJump) {
    Press(200, 15);
    pointer_.MoveBy(60, 30);  // no tick in between
    Press(260, 20);
    EXPECT_TRUE(SamePoint(SharedDragState().dragAnchor, pointer_.cursor));
    EXPECT_TRUE(TimerRunning());
    const RECT before = WindowRect(hwnd_);
    Tick();
    ExpectMovedBy(before, 0, 0);
    pointer_.MoveBy(-12, 9);
    Tick();
    ExpectMovedBy(before, -12, 9);
}

}  // namespace
