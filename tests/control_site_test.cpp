// The control container: a control hosted in a site window of ours, its events routed to typed
// handlers, the external object handed out on request, and teardown that leaves nothing behind.
#include <gtest/gtest.h>

#include <exdisp.h>
#include <exdispid.h>
#include <mshtmhst.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "platform/web_browser.h"
#include "tests/fixtures/fake_browser.h"
#include "tests/support/test_windows.h"

using fixtures::FakeBrowserRecord;
using platform::ComPtr;
using Calls = std::vector<std::wstring>;

namespace {

constexpr UINT kSiteId = 77;
const Calls kCreated = {L"SetClientSite", L"Advise", L"DoVerb INPLACEACTIVATE"};
const Calls kTornDown = {L"InPlaceDeactivate", L"Close NOSAVE", L"SetClientSite(null)", L"Unadvise",
                         L"Deleted"};

Calls Concat(Calls a, const Calls& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A site that hands out an external object of the test's choosing.
class ExternalSite : public platform::CWebBrowser {
  public:
    IDispatch* external = nullptr;

  protected:
    HRESULT OnGetExternal(IDispatch** out) override {
        if (!external) return CWebBrowser::OnGetExternal(out);
        *out = external;
        external->AddRef();
        return S_OK;
    }
};

// A window that hosts a site and takes its events through a table.
class HostWindow : public platform::Window, public platform::ControlEventTarget {
  public:
    struct Completed {
        IDispatch* browser;
        std::wstring url;
    };
    std::vector<Completed> completed;
    std::vector<long> progress;
    std::vector<std::wstring> statusTexts;
    std::vector<DISPID> unhandled;
    ExternalSite site;

    HostWindow() {
        CreateEx(0, platform::PlainWindowClass(), L"host", WS_POPUP | WS_VISIBLE, RECT{50, 50, 450, 350},
                 nullptr, 0);
        site.SetEventTarget(this);
    }
    ~HostWindow() override { Destroy(); }
    bool CreateSite(DWORD style = WS_CHILD | WS_VISIBLE) {
        return site.CreateControl(CLSID_WebBrowser, DIID_DWebBrowserEvents2, nullptr, style,
                                  RECT{10, 20, 210, 170}, hwnd(), kSiteId);
    }

    void OnControlEvent(UINT controlId, DISPID id, DISPPARAMS& params) override {
        if (!kEvents.Route(*this, controlId, id, params)) unhandled.push_back(id);
    }

  private:
    void OnDocumentComplete(IDispatch* browser, VARIANT* url) {
        completed.push_back({browser, url && url->vt == VT_BSTR ? url->bstrVal : L"(not a string)"});
    }
    void OnProgress(long value, long) { progress.push_back(value); }
    void OnStatusText(BSTR text) { statusTexts.push_back(text ? text : L"(null)"); }

    static const platform::EventTable<HostWindow> kEvents;
};

using Events = platform::EventTable<HostWindow>;
const Events HostWindow::kEvents = {
    Events::On(kSiteId, DISPID_DOCUMENTCOMPLETE, &HostWindow::OnDocumentComplete),
    Events::On(kSiteId, DISPID_STATUSTEXTCHANGE, &HostWindow::OnStatusText),
    Events::On(kSiteId + 1, DISPID_PROGRESSCHANGE, &HostWindow::OnProgress),
};

class ControlSiteTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(fake_.ok()); }
    FakeBrowserRecord& Control() { return *fake_.records().back(); }

    fixtures::FakeBrowserRegistration fake_;
};

TEST_F(ControlSiteTest, ControlIsInPlaceActiveOverTheWholeSite) {
    HostWindow host;
    ASSERT_TRUE(host.CreateSite());
    FakeBrowserRecord& control = Control();
    EXPECT_EQ(control.calls, kCreated);
    EXPECT_EQ(control.site, host.site.hwnd());
    EXPECT_EQ(GetParent(host.site.hwnd()), host.hwnd());
    EXPECT_EQ(GetDlgCtrlID(host.site.hwnd()), static_cast<int>(kSiteId));
    EXPECT_TRUE(platform::Window::FromHandle(host.site.hwnd()) == &host.site) << "the site window is ours";

    RECT page = testsupport::WindowRect(control.window);
    MapWindowPoints(nullptr, host.hwnd(), reinterpret_cast<POINT*>(&page), 2);
    const RECT created{10, 20, 210, 170};
    EXPECT_TRUE(EqualRect(&page, &created));

    host.site.MoveWindow(5, 5, 300, 250);
    ASSERT_FALSE(control.objectRects.empty());
    const RECT sized{0, 0, 300, 250};
    EXPECT_TRUE(EqualRect(&control.objectRects.back(), &sized)) << "sizing the site sets the rects";

    EXPECT_TRUE(host.site.QueryControl<IDispatch>());
    ASSERT_NE(host.site.activeObject(), nullptr);
    MSG key{control.window, WM_KEYDOWN, VK_TAB, 1, 0, {}};
    host.site.activeObject()->TranslateAccelerator(&key);
    EXPECT_EQ(control.calls.back(), L"TranslateAccelerator 9");
}

TEST_F(ControlSiteTest, SiteAnswersTheControlsQuestions) {
    HostWindow host;
    ASSERT_TRUE(host.CreateSite());
    IOleClientSite* client = Control().live->clientSite();
    ASSERT_NE(client, nullptr);

    ComPtr<IDispatch> ambient;
    ASSERT_EQ(client->QueryInterface(IID_IDispatch, ambient.PutVoid()), S_OK);
    platform::Variant userMode;
    DISPPARAMS none{};
    EXPECT_EQ(ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                              userMode.get(), nullptr, nullptr),
              S_OK);
    EXPECT_EQ((*userMode).vt, VT_BOOL);
    EXPECT_EQ((*userMode).boolVal, VARIANT_TRUE);

    ComPtr<IOleInPlaceSite> inPlace;
    ASSERT_EQ(client->QueryInterface(IID_IOleInPlaceSite, inPlace.PutVoid()), S_OK);
    ComPtr<IUnknown> a, b;
    client->QueryInterface(IID_IUnknown, a.PutVoid());
    inPlace->QueryInterface(IID_IUnknown, b.PutVoid());
    EXPECT_EQ(a.get(), b.get()) << "one COM identity for every interface of the site";

    // A control that asks to be placed elsewhere is placed there.
    const RECT wanted{3, 4, 103, 54};
    inPlace->OnPosRectChange(&wanted);
    EXPECT_TRUE(EqualRect(&Control().objectRects.back(), &wanted));
}

TEST_F(ControlSiteTest, ExternalObjectIsTheSitesChoice) {
    HostWindow host;
    ASSERT_TRUE(host.CreateSite());
    HRESULT result = E_FAIL;
    EXPECT_FALSE(Control().live->AskExternal(&result));
    EXPECT_EQ(result, S_FALSE) << "by default the site has no external object";

    fixtures::FakeFrame bridge(nullptr);
    host.site.external = &bridge;
    {
        ComPtr<IDispatch> external = Control().live->AskExternal(&result);
        EXPECT_EQ(result, S_OK);
        EXPECT_EQ(external.get(), static_cast<IDispatch*>(&bridge));
        EXPECT_EQ(bridge.refs(), 1) << "the caller gets one reference";
    }
    EXPECT_EQ(bridge.refs(), 0);
}

TEST_F(ControlSiteTest, EventsReachTheTypedHandlerOfTheirControlAndDispid) {
    HostWindow host;
    ASSERT_TRUE(host.CreateSite());
    fixtures::FakeBrowser& control = *Control().live;
    control.FireDocumentComplete(control.AsDispatch(), L"http://page.example/");
    ASSERT_EQ(host.completed.size(), 1u);
    EXPECT_EQ(host.completed[0].browser, control.AsDispatch());
    EXPECT_EQ(host.completed[0].url, L"http://page.example/");

    platform::Bstr ready(L"ready");
    VARIANTARG text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = ready.get();
    DISPPARAMS oneArgument{&text, nullptr, 1, 0};
    control.FireEvent(DISPID_STATUSTEXTCHANGE, oneArgument);
    EXPECT_EQ(host.statusTexts, std::vector<std::wstring>{L"ready"});

    // A DocumentComplete with the wrong number of arguments is not for the handler.
    control.FireEvent(DISPID_DOCUMENTCOMPLETE, oneArgument);
    EXPECT_EQ(host.completed.size(), 1u);

    // ProgressChange is in the table for another control only.
    VARIANTARG progress[2];
    for (VARIANTARG& v : progress) {
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = 50;
    }
    DISPPARAMS twoArguments{progress, nullptr, 2, 0};
    control.FireEvent(DISPID_PROGRESSCHANGE, twoArguments);
    EXPECT_TRUE(host.progress.empty());
    EXPECT_EQ(host.unhandled, std::vector<DISPID>{DISPID_PROGRESSCHANGE});

    // Without a target events are dropped.
    host.site.SetEventTarget(nullptr);
    control.FireDocumentComplete(control.AsDispatch(), L"http://page.example/");
    EXPECT_EQ(host.completed.size(), 1u);
}

TEST_F(ControlSiteTest, TeardownLeavesTheControlNothingOfOursAndHappensOnce) {
    struct Case {
        const char* label;
        void (*tearDown)(HostWindow&);
    };
    const Case kCases[] = {
        {"DestroyControl", [](HostWindow& h) { h.site.DestroyControl(); }},
        {"site window destroyed", [](HostWindow& h) { DestroyWindow(h.site.hwnd()); }},
        {"parent window destroyed", [](HostWindow& h) { DestroyWindow(h.hwnd()); }},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        HostWindow host;
        ASSERT_TRUE(host.CreateSite());
        FakeBrowserRecord& control = Control();
        // The control keeps its site beyond teardown, as a misbehaving control might.
        ComPtr<IOleClientSite> kept(control.live->clientSite());
        const HWND page = control.window;

        c.tearDown(host);
        EXPECT_EQ(control.calls, Concat(kCreated, kTornDown));
        EXPECT_EQ(control.refs, 0);
        EXPECT_FALSE(IsWindow(page));
        EXPECT_EQ(host.site.hwnd(), nullptr);
        EXPECT_FALSE(host.site.hasControl());
        EXPECT_EQ(host.site.activeObject(), nullptr);

        // What the kept site answers now: nothing that reaches the gone window.
        ComPtr<IOleInPlaceSite> inPlace;
        ASSERT_EQ(kept->QueryInterface(IID_IOleInPlaceSite, inPlace.PutVoid()), S_OK);
        HWND window = reinterpret_cast<HWND>(1);
        EXPECT_EQ(inPlace->GetWindow(&window), E_FAIL);
        EXPECT_EQ(window, nullptr);
        EXPECT_EQ(inPlace->CanInPlaceActivate(), S_FALSE);

        host.site.DestroyControl();
        EXPECT_EQ(control.calls, Concat(kCreated, kTornDown)) << "a second teardown found something";
    }
}

TEST_F(ControlSiteTest, UnknownControlLeavesAnEmptySite) {
    HostWindow host;
    const CLSID kNobody = {0x1d2e3f40, 0x1111, 0x2222, {0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0x00}};
    EXPECT_FALSE(host.site.CreateControl(kNobody, DIID_DWebBrowserEvents2, nullptr, WS_CHILD | WS_VISIBLE,
                                         RECT{0, 0, 50, 50}, host.hwnd(), kSiteId));
    EXPECT_NE(host.site.hwnd(), nullptr);
    EXPECT_FALSE(host.site.hasControl());
    EXPECT_FALSE(host.site.QueryControl<IDispatch>());
    host.site.MoveWindow(0, 0, 80, 80);  // sizing an empty site is harmless
    EXPECT_FALSE(host.CreateSite()) << "one control per site";
    EXPECT_TRUE(fake_.records().empty());
}

// A control that will not activate is let go at once; the site stays, holds nothing, and whatever is
// asked of it afterwards is harmless.
TEST_F(ControlSiteTest, ControlThatFailsAnActivationStepIsReleasedAndTheSiteStaysEmpty) {
    struct StepCase {
        const wchar_t* step;
        Calls asked;  // what the control saw before it was let go
    };
    const StepCase kCases[] = {
        {L"SetClientSite", {L"SetClientSite"}},
        {L"InitNew", {L"SetClientSite"}},
        {L"DoVerb", {L"SetClientSite", L"Advise", L"DoVerb INPLACEACTIVATE"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << "failing " << c.step);
        fake_.OnEachControl([&](FakeBrowserRecord& record) { record.failing = c.step; });
        HostWindow host;
        EXPECT_FALSE(host.CreateSite());
        FakeBrowserRecord& control = Control();
        EXPECT_EQ(control.refs, 0) << "the control was not released";
        EXPECT_EQ(control.live, nullptr);
        ASSERT_FALSE(control.calls.empty());
        EXPECT_EQ(Calls(control.calls.begin(), control.calls.begin() + c.asked.size()), c.asked);
        EXPECT_EQ(control.calls.back(), L"Deleted");
        EXPECT_EQ(control.window, nullptr);

        EXPECT_TRUE(IsWindow(host.site.hwnd())) << "the site stays";
        EXPECT_FALSE(host.site.hasControl());
        EXPECT_FALSE(host.site.QueryControl<IDispatch>());
        EXPECT_EQ(host.site.activeObject(), nullptr);
        const size_t seen = control.calls.size();
        host.site.MoveWindow(0, 0, 120, 90);
        platform::CWebBrowser& browser = host.site;
        browser.Navigate(L"http://page.example/");
        host.site.DestroyControl();
        EXPECT_EQ(control.calls.size(), seen) << "the released control was reached again";
        EXPECT_EQ(host.site.hwnd(), nullptr);
    }
}

TEST_F(ControlSiteTest, ControlIsInitialisedBeforeItIsActivated) {
    HostWindow host;
    ASSERT_TRUE(host.CreateSite());
    EXPECT_TRUE(Control().initialised);
}

TEST_F(ControlSiteTest, BrowserIsShownAndNavigatesWithTheUrlAndFourEmptyOptionals) {
    HostWindow host;
    platform::CWebBrowser browser;
    ASSERT_TRUE(browser.Create(nullptr, WS_CHILD, RECT{0, 0, 100, 100}, host.hwnd(), 5));
    EXPECT_TRUE(IsWindowVisible(browser.hwnd())) << "created visible although WS_VISIBLE was not asked for";
    browser.Navigate(L"http://page.example/a b?c=d");
    browser.Navigate(nullptr);
    EXPECT_EQ(Control().calls, Concat(kCreated, {L"Navigate http://page.example/a b?c=d", L"Navigate "}));
}

}  // namespace
