// The button host: where it sits relative to its owner, how it follows the owner, its colour key,
// and what its destruction takes with it.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "tests/fixtures/hosted_button.h"

using testsupport::HostedButton;
using testsupport::WindowRect;

namespace {

struct Box {
    LONG x, y, width, height;
    bool operator==(const Box& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};
std::ostream& operator<<(std::ostream& os, const Box& b) {
    return os << "(" << b.x << ", " << b.y << ") " << b.width << " x " << b.height;
}
Box BoxOf(HWND hwnd) {
    const RECT r = WindowRect(hwnd);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void MoveOwner(HWND owner, int x, int y) {
    SetWindowPos(owner, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A captioned, framed owner: its client area starts well inside its window rectangle.
constexpr DWORD kFramedOwner = WS_OVERLAPPEDWINDOW;

TEST(ButtonHost, PlacementCountsFromTheOwnersWindowRectangle) {
    HostedButton hosted(L"min", kFramedOwner);
    ASSERT_TRUE(hosted.created);
    hosted.host.SetPlacement(958, 188, 50);
    EXPECT_EQ(BoxOf(hosted.owner.hwnd()), (Box{100, 40, 1152, 889}));
    POINT clientOrigin{0, 0};
    ClientToScreen(hosted.owner.hwnd(), &clientOrigin);
    ASSERT_GT(clientOrigin.y, 40) << "the owner needs a frame for this test to tell the rectangles apart";
    EXPECT_EQ(BoxOf(hosted.host.hwnd()), (Box{1058, 228, 50, 50}));
    EXPECT_EQ(BoxOf(hosted.button()), (Box{1058, 228, 50, 50})) << "the button fills its host";
}

TEST(ButtonHost, HeightIsFiftyWhateverTheWidth) {
    HostedButton hosted(L"http://127.0.0.1:8480/", WS_POPUP, IDP_HOME, IDP_HOME_HOVER);
    for (int width : {120, 1, 0, 300}) {
        SCOPED_TRACE(testing::Message() << "width " << width);
        hosted.host.SetPlacement(383, 153, width);
        EXPECT_EQ(BoxOf(hosted.host.hwnd()), (Box{483, 193, width, 50}));
        EXPECT_EQ(BoxOf(hosted.button()), (Box{483, 193, width, 50}));
    }
}

TEST(ButtonHost, RepositionFollowsTheOwnerAndKeepsTheSize) {
    HostedButton hosted(L"close", kFramedOwner);
    hosted.host.SetPlacement(1008, 229, 50);
    const POINT kOwnerMoves[] = {{300, 120}, {0, 0}, {-500, -30}, {1800, 1000}, {100, 40}};
    for (const POINT& to : kOwnerMoves) {
        SCOPED_TRACE(testing::Message() << "owner at (" << to.x << ", " << to.y << ")");
        MoveOwner(hosted.owner.hwnd(), to.x, to.y);
        hosted.host.Reposition();
        EXPECT_EQ(BoxOf(hosted.host.hwnd()), (Box{to.x + 1008, to.y + 229, 50, 50}));
        EXPECT_EQ(BoxOf(hosted.button()), (Box{to.x + 1008, to.y + 229, 50, 50}));
    }
}

TEST(ButtonHost, RepositionBeforePlacementCollapsesOntoTheOwnersCorner) {
    HostedButton hosted(L"min", kFramedOwner);
    hosted.host.Reposition();
    EXPECT_EQ(BoxOf(hosted.host.hwnd()), (Box{100, 40, 0, 0}));
}

TEST(ButtonHost, PlacementBeforeSetupLeavesTheButtonUnsizedUntilReposition) {
    testsupport::TestOwner owner(100, 40, 1152, 889, WS_POPUP);
    DialogImageButton host;
    ASSERT_TRUE(host.Create(IDD_BUTTON_HOST, owner.hwnd()));
    host.SetPlacement(958, 188, 50);
    host.SetupButton(L"caption", IDP_MIN, IDP_MIN_HOVER, L"min", 1001);
    EXPECT_EQ(BoxOf(host.hwnd()), (Box{1058, 228, 50, 50}));
    EXPECT_EQ(BoxOf(host.button().hwnd()), (Box{1058, 228, 0, 0}));
    host.Reposition();
    EXPECT_EQ(BoxOf(host.button().hwnd()), (Box{1058, 228, 50, 50}));
}

TEST(ButtonHost, HostWithoutOwnerCollapsesAtTheScreenOrigin) {
    DialogImageButton host;
    ASSERT_TRUE(host.Create(IDD_BUTTON_HOST, nullptr));
    host.SetupButton(L"caption", IDP_MIN, IDP_MIN_HOVER, L"min", 1001);
    host.SetPlacement(958, 188, 50);
    EXPECT_EQ(BoxOf(host.hwnd()), (Box{0, 0, 0, 0}));
    host.Redraw();  // nothing to invalidate under it; must not fail
}

TEST(ButtonHost, IsLayeredWithTheMagentaKeyOnly) {
    HostedButton hosted(L"min");
    const LONG exStyle = GetWindowLongW(hosted.host.hwnd(), GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_FALSE(exStyle & WS_EX_TRANSPARENT) << "the host takes the pointer itself";
    COLORREF key = 0;
    BYTE alpha = 1;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(hosted.host.hwnd(), &key, &alpha, &flags));
    EXPECT_EQ(key, RGB(255, 0, 255));
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
}

TEST(ButtonHost, IsAnOwnedPopupCarryingOneVisibleChildButton) {
    HostedButton hosted(L"min");
    EXPECT_EQ(GetWindow(hosted.host.hwnd(), GW_OWNER), hosted.owner.hwnd());
    EXPECT_EQ(GetParent(hosted.button()), hosted.host.hwnd());
    EXPECT_EQ(GetDlgCtrlID(hosted.button()), 1001);
    wchar_t className[16] = {};
    GetClassNameW(hosted.button(), className, 16);
    EXPECT_EQ(lstrcmpiW(className, L"Button"), 0);
    const LONG style = GetWindowLongW(hosted.button(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
}

// Watches the host's destruction from outside its own handler.
class WatchedHost : public DialogImageButton {
  public:
    bool buttonGoneDuringDestroy = false;
    bool imagesGoneDuringDestroy = false;
    ~WatchedHost() override { Destroy(); }
    LRESULT OnMessage(platform::Message& m) override {
        const LRESULT result = DialogImageButton::OnMessage(m);
        if (m.id == WM_DESTROY) {
            // Child windows would normally outlive their parent's WM_DESTROY; this one must not.
            buttonGoneDuringDestroy = button().hwnd() == nullptr;
            imagesGoneDuringDestroy = !button().holdsImages();
        }
        return result;
    }
};

TEST(ButtonHost, DestroyingTheHostTakesTheButtonAndItsImagesFirst) {
    testsupport::TestOwner owner(100, 40, 1152, 889, WS_POPUP);
    WatchedHost host;
    ASSERT_TRUE(host.Create(IDD_BUTTON_HOST, owner.hwnd()));
    host.SetupButton(L"caption", IDP_CLOSE, IDP_CLOSE_HOVER, L"close", 1001);
    const HWND button = host.button().hwnd();
    ASSERT_TRUE(host.button().holdsImages());
    DestroyWindow(host.hwnd());
    EXPECT_TRUE(host.buttonGoneDuringDestroy);
    EXPECT_TRUE(host.imagesGoneDuringDestroy);
    EXPECT_FALSE(IsWindow(button));
}

TEST(ButtonHost, OwnerDestructionTakesItsHosts) {
    auto owner = std::make_unique<testsupport::TestOwner>(100, 40, 1152, 889, WS_POPUP);
    DialogImageButton host;
    ASSERT_TRUE(host.Create(IDD_BUTTON_HOST, owner->hwnd()));
    host.SetupButton(L"caption", IDP_MIN, IDP_MIN_HOVER, L"min", 1001);
    owner.reset();
    EXPECT_EQ(host.hwnd(), nullptr);
    EXPECT_FALSE(host.button().holdsImages());
}

}  // namespace
