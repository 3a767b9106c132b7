#include "login/login_pane.h"

#include "game/game_window.h"
#include "login/site_hosts.h"
#include "res/resource.h"

using platform::Message;

const platform::MessageTable<CHtmlCtrl> CHtmlCtrl::kMessages = {
    {WM_DESTROY, &CHtmlCtrl::OnDestroy},
};

bool CHtmlCtrl::PreTranslateMessage(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    IOleInPlaceActiveObject* active = activeObject();
    return active && active->TranslateAccelerator(&msg) == S_OK;
}

// One bridge per view: every page the view shows, and every frame of it, gets the same object,
// with one more reference for each request.
HRESULT CHtmlCtrl::OnGetExternal(IDispatch** external) {
    if (!external) return E_POINTER;
    if (!bridge_) bridge_ = platform::ComPtr<CExternalDisp>(new CExternalDisp(&OpenGameWindow));
    return bridge_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(external));
}

// The browser goes first, then the view's reference to the bridge; the bridge itself lives on
// until the control has released its own references too.
LRESULT CHtmlCtrl::OnDestroy(Message& m) {
    const LRESULT result = platform::CWebBrowser::OnMessage(m);
    bridge_.Reset();
    return result;
}

const platform::MessageTable<CLoginBrowserConainter> CLoginBrowserConainter::kMessages = {
    {WM_CTLCOLORDLG, &CLoginBrowserConainter::OnCtlColorDlg},
};

CLoginBrowserConainter::CLoginBrowserConainter(PageLoad load) : MessageRouted(IDD_LOGIN_PANE), load_(load) {}

// White, as a page starts out: a pane shown before its view exists does not flash the dialog colour.
LRESULT CLoginBrowserConainter::OnCtlColorDlg(platform::Message&) {
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

const wchar_t* CLoginBrowserConainter::LoginPageUrl() {
    return L"http://" QUORVANE_LOGIN_HOST L"/qvn/login/index.php";
}

BOOL CLoginBrowserConainter::OnInitDialog() {
    if (load_ == PageLoad::kWithThePane) OpenLoginPage();
    return Dialog::OnInitDialog();
}

void CLoginBrowserConainter::OpenLoginPage() {
    if (view_.hwnd()) return;
    view_.Create(nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 100, 100}, hwnd(), CHtmlCtrl::kId);
    // Wider than the pane and 5 pixels to its left: the page's left margin and its right part never show.
    view_.MoveWindow(-5, 0, 650, 491, TRUE);
    view_.Navigate2(LoginPageUrl());
}
