// The login surface: the login pane and six button hosts that float over the login window as popups it
// owns, placed in screen coordinates at fixed offsets from its top-left corner. Every member is looked
// at on its own: WM_USER+1 and WM_MOVE can arrive while the surface is half built (a message sent from
// another thread is served while this one waits inside a call).
#include "login/login_window.h"
#include "login/site_hosts.h"
#include "res/resource.h"

namespace {

constexpr int kPaneX = 543;
constexpr int kPaneY = 208;
constexpr int kPaneWidth = 405;
// The pane starts 491 rows high and is 485 after every move of the login window, which hides the
// bottom rows of the page's view.
constexpr int kPaneHeightAtCreation = 491;
constexpr int kPaneHeightAfterMove = 485;

}  // namespace

struct CTravenorDlg::ButtonRow {
    HostSlot slot;
    const wchar_t* caption;
    UINT normalImage;
    UINT hoverImage;
    const wchar_t* tag;
    UINT childId;
    int x, y, width;  // offset from the login window's top-left corner; every host is 50 high
};

// In creation order. Minimise and recharge share child id 1004: each lives in a host of its own.
const CTravenorDlg::ButtonRow CTravenorDlg::kButtons[kHostCount] = {
    {kCloseHost, L"close", IDP_CLOSE, IDP_CLOSE_HOVER, L"close", 1002, 1008, 229, 50},
    {kMinHost, L"index", IDP_MIN, IDP_MIN_HOVER, L"min", 1004, 958, 188, 50},
    {kHomeHost, L"index", IDP_HOME, IDP_HOME_HOVER, L"http://" QUORVANE_MAIN_HOST L"/qvn/", 1003, 383, 153,
     120},
    {kDepositHost, L"deposit", IDP_DEPOSIT, IDP_DEPOSIT_HOVER,
     L"http://" QUORVANE_PAY_HOST L"/?payway=1&gname=qvn", 1004, 531, 153, 120},
    {kServiceHost, L"service", IDP_SERVICE, IDP_SERVICE_HOVER, L"http://" QUORVANE_SERVICE_HOST L"/", 1005,
     827, 153, 120},
    {kForumHost, L"bbs", IDP_FORUM, IDP_FORUM_HOVER, L"http://" QUORVANE_FORUM_HOST L"/forum-2332-1.html",
     152, 679, 153, 120},
};

// Every member is placed while it is still hidden and first shown together with the login window
// (ShowLoginSurface): a popup placed before it shows costs a fraction of one moved on screen, and
// each shows where it stays. The desktop shortcut is written once the window is up (OnLoginShown).
void CTravenorDlg::BuildLoginSurface() {
    BuildPane();
    for (const ButtonRow& row : kButtons) BuildHost(row);
}

// The login window still sits at the screen origin here, so the offset is the pane's screen position.
void CTravenorDlg::BuildPane() {
    // The browser control is the costliest part of the surface, and an empty pane looks the same as one
    // whose page is still loading: the view comes right after the first show (OnLoginShown).
    loginPane_ = std::make_unique<CLoginBrowserConainter>(CLoginBrowserConainter::PageLoad::kWhenAsked);
    loginPane_->Create(IDD_LOGIN_PANE, hwnd(), Dialog::Placement::kByCaller);
    // Hidden: there is nothing on screen to repaint yet.
    loginPane_->MoveWindow(kPaneX, kPaneY, kPaneWidth, kPaneHeightAtCreation, FALSE);
}

void CTravenorDlg::BuildHost(const ButtonRow& row) {
    std::unique_ptr<DialogImageButton>& host = hosts_[row.slot];
    host = std::make_unique<DialogImageButton>();
    host->Create(IDD_BUTTON_HOST, hwnd(), Dialog::Placement::kByCaller);
    host->SetupButton(row.caption, row.normalImage, row.hoverImage, row.tag, row.childId);
    host->SetPlacement(row.x, row.y, row.width);  // after SetupButton: placement sizes the button too
}

void CTravenorDlg::MoveLoginSurface(int x, int y) {
    if (loginPane_) loginPane_->MoveWindow(x + kPaneX, y + kPaneY, kPaneWidth, kPaneHeightAfterMove, TRUE);
    for (auto& host : hosts_)
        if (host) host->Reposition();
}

LRESULT CTravenorDlg::OnShowHide(WPARAM wParam, LPARAM) {
    const int command = wParam == 1 ? SW_HIDE : SW_SHOW;
    // Hiding takes the pane first; showing brings the login window first, so it is never seen alone.
    if (command == SW_HIDE) {
        if (loginPane_) loginPane_->ShowWindow(SW_HIDE);
        ShowWindow(SW_HIDE);
    } else {
        ShowWindow(SW_SHOW);
        if (loginPane_) loginPane_->ShowWindow(SW_SHOW);
    }
    for (auto& host : hosts_)
        if (host) host->ShowWindow(command);
    return 0;
}

// Shows every member of the surface (again) and puts it on top of the login window, without taking
// the activation; only while the login window itself is up.
void CTravenorDlg::RaiseLoginSurface() {
    if (!IsWindowVisible(hwnd()) || IsIconic(hwnd())) return;
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_SHOWWINDOW;
    if (loginPane_) SetWindowPos(loginPane_->hwnd(), HWND_TOP, 0, 0, 0, 0, flags);
    for (auto& host : hosts_)
        if (host) SetWindowPos(host->hwnd(), HWND_TOP, 0, 0, 0, 0, flags);
}

// The platform destroys owned popups before their owner, so their windows are normally gone already;
// this frees what remains.
void CTravenorDlg::ReleaseLoginSurface() {
    for (auto& host : hosts_) host.reset();
    loginPane_.reset();
}
