// The image button inside its host, driven by window messages: what a press does for each tag,
// which mouse messages run nothing, how the pointer switches the images, and what destruction frees.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fixtures/gui_objects.h"
#include "tests/fixtures/hosted_button.h"

using testsupport::HostedButton;
using testsupport::ShellRecorder;

namespace {

const wchar_t kForumUrl[] = L"http://127.0.0.1:8480/forum.html";

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

void Press(HWND button, int x = 10, int y = 10) {
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
}
void Release(HWND button, int x = 10, int y = 10) { SendMessageW(button, WM_LBUTTONUP, 0, At(x, y)); }

TEST(ImageButton, PressActsOnTheExactTag) {
    struct TagCase {
        const wchar_t* tag;
        UINT ownerCommand;  // 0: the owner hears nothing
        bool toShell;
    };
    const TagCase kTags[] = {
        {L"min", SC_MINIMIZE, false}, {L"close", SC_CLOSE, false}, {L"Min", 0, true},   {L"MIN", 0, true},
        {L" min", 0, true},           {L"min ", 0, true},          {L"Close", 0, true}, {L"", 0, true},
        {kForumUrl, 0, true},
    };
    for (const TagCase& c : kTags) {
        SCOPED_TRACE(testing::Message() << "tag '" << testing::PrintToString(std::wstring(c.tag)) << "'");
        ShellRecorder shell;
        HostedButton hosted(c.tag);
        ASSERT_TRUE(hosted.button());
        Press(hosted.button());
        // No pumping in between: the owner must have handled the command before the press returned.
        EXPECT_EQ(hosted.owner.lastSysCommand(), c.ownerCommand);
        EXPECT_EQ(ShellRecorder::opened(),
                  c.toShell ? std::vector<std::wstring>{c.tag} : std::vector<std::wstring>{});
        Release(hosted.button());
        EXPECT_EQ(ShellRecorder::opened().size(), c.toShell ? 1u : 0u) << "the release runs nothing";
    }
}

TEST(ImageButton, OnlyTheLeftPressRunsTheAction) {
    ShellRecorder shell;
    HostedButton hosted(kForumUrl);
    const HWND button = hosted.button();

    Release(button);
    SendMessageW(button, WM_RBUTTONDOWN, MK_RBUTTON, At(10, 10));
    SendMessageW(button, WM_RBUTTONUP, 0, At(10, 10));
    SendMessageW(button, WM_MBUTTONDOWN, MK_MBUTTON, At(10, 10));
    SendMessageW(button, WM_MBUTTONUP, 0, At(10, 10));
    EXPECT_TRUE(ShellRecorder::opened().empty());

    // A quick double click: the second press arrives as a double-click message and runs nothing.
    Press(button);
    Release(button);
    SendMessageW(button, WM_LBUTTONDBLCLK, MK_LBUTTON, At(10, 10));
    Release(button);
    EXPECT_EQ(ShellRecorder::opened(), std::vector<std::wstring>{kForumUrl});
}

TEST(ImageButton, PressThenDragOffRunsOnceAndGivesTheMouseBack) {
    ShellRecorder shell;
    HostedButton hosted(kForumUrl);
    const HWND button = hosted.button();

    Press(button);
    EXPECT_EQ(GetCapture(), button) << "the standard button follows the press";
    SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, At(-40, 90));
    Release(button, -40, 90);
    EXPECT_EQ(ShellRecorder::opened(), std::vector<std::wstring>{kForumUrl});
    // A button still holding the capture would get the next press anywhere in the program.
    EXPECT_NE(GetCapture(), button);
}

TEST(ImageButton, PointerSwitchesImagesAndPaintsAtOnce) {
    ShellRecorder shell;
    HostedButton hosted(kForumUrl);
    CImageButton& button = hosted.host.button();
    hosted.host.SetPlacement(958, 188, 50);
    EXPECT_FALSE(button.showsHoverImage());

    InvalidateRect(button.hwnd(), nullptr, FALSE);
    SendMessageW(button.hwnd(), WM_MOUSEMOVE, 0, At(10, 10));
    EXPECT_TRUE(button.showsHoverImage());
    EXPECT_FALSE(GetUpdateRect(button.hwnd(), nullptr, FALSE))
        << "painted during the move, not queued for later";

    SendMessageW(button.hwnd(), WM_MOUSEMOVE, 0, At(12, 11));
    Press(button.hwnd());
    Release(button.hwnd());
    EXPECT_TRUE(button.showsHoverImage()) << "a press keeps the hover image";

    InvalidateRect(button.hwnd(), nullptr, FALSE);
    SendMessageW(button.hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button.showsHoverImage());
    EXPECT_FALSE(GetUpdateRect(button.hwnd(), nullptr, FALSE));
}

TEST(ImageButton, SetCursorAnswersWithTheHandEverywhere) {
    HostedButton hosted(kForumUrl);
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    for (UINT hit : {HTCLIENT, HTBORDER, HTNOWHERE}) {
        SCOPED_TRACE(testing::Message() << "hit test " << hit);
        SetCursor(nullptr);
        EXPECT_TRUE(SendMessageW(hosted.button(), WM_SETCURSOR, reinterpret_cast<WPARAM>(hosted.button()),
                                 MAKELPARAM(hit, WM_MOUSEMOVE)));
        EXPECT_EQ(GetCursor(), hand);
    }
}

TEST(ImageButton, MissingImageDrawsNothingAndTheActionStillRuns) {
    ShellRecorder shell;
    HostedButton hosted(kForumUrl, WS_POPUP, 9999, 9998);
    hosted.host.SetPlacement(0, 0, 50);
    SendMessageW(hosted.button(), WM_MOUSEMOVE, 0, At(10, 10));
    SendMessageW(hosted.button(), WM_MOUSELEAVE, 0, 0);
    UpdateWindow(hosted.button());
    Press(hosted.button());
    EXPECT_EQ(ShellRecorder::opened().size(), 1u);
    EXPECT_FALSE(hosted.host.button().holdsImages());
}

TEST(ImageButton, ImagesGoWithTheWindowEvenWhenBothAreTheSamePng) {
    HostedButton hosted(L"min", WS_POPUP, IDP_MIN, IDP_MIN);
    CImageButton& button = hosted.host.button();
    ASSERT_TRUE(button.holdsImages());
    DestroyWindow(button.hwnd());
    EXPECT_FALSE(button.holdsImages()) << "released on destroy, not when the object goes";
    EXPECT_FALSE(button.showsHoverImage());
}

// GDI+ graphics objects and client DCs are made on every pointer move; none may stay behind.
TEST(ImageButton, AThousandHoversLeaveNoGdiOrUserObjectsBehind) {
    HostedButton hosted(kForumUrl);
    hosted.host.SetPlacement(958, 188, 50);
    const HWND button = hosted.button();
    auto hover = [button] {
        SendMessageW(button, WM_MOUSEMOVE, 0, At(10, 10));
        SendMessageW(button, WM_MOUSELEAVE, 0, 0);
    };
    hover();  // first use: caches inside GDI+ and the system are filled here, not counted
    const long gdiBefore = fixtures::GdiObjectCount();
    const long userBefore = fixtures::UserObjectCount();
    for (int i = 0; i < 1000; ++i) hover();
    const long gdiAfter = fixtures::GdiObjectCount();
    const long userAfter = fixtures::UserObjectCount();
    if (gdiBefore < 0) GTEST_SKIP() << "this system reports no GDI object count";
    EXPECT_LE(gdiAfter, gdiBefore);
    EXPECT_LE(userAfter, userBefore);
}

}  // namespace
