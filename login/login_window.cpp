#include "login/login_window.h"

#include "login/skin.h"
#include "platform/handles.h"
#include "platform/layered.h"
#include "res/png_resource.h"
#include "res/resource.h"

using platform::Message;

const platform::MessageTable<CTravenorDlg> CTravenorDlg::kMessages = {
    {WM_PAINT, &CTravenorDlg::OnPaint},
    {WM_QUERYDRAGICON, &CTravenorDlg::OnQueryDragIcon},
    {WM_NCHITTEST, &CTravenorDlg::OnNcHitTest},
    {WM_CREATE, &CTravenorDlg::OnCreate},
    {WM_DESTROY, &CTravenorDlg::OnDestroy},
    {WM_MOVE, &CTravenorDlg::OnMove},
    {WM_WINDOWPOSCHANGED, &CTravenorDlg::OnWindowPosChanged},
    {WM_RAISE_SURFACE, &CTravenorDlg::OnRaiseSurface},
    {WM_LOGIN_SHOWN, &CTravenorDlg::OnLoginShown},
    {WM_SHOWHIDE_LOGIN, &CTravenorDlg::OnShowHideMessage},
};

CTravenorDlg::CTravenorDlg(ShortcutWriter writeShortcut)
    : MessageRouted(IDD_LOGIN),
      // A shared icon at the system's large-icon size: the system owns it, nothing to destroy.
      icon_(LoadIconW(platform::ResourceModule(), MAKEINTRESOURCEW(IDI_MAIN))),
      writeShortcut_(writeShortcut) {}

// The window's handlers must run while this object is still a CTravenorDlg.
CTravenorDlg::~CTravenorDlg() { Destroy(); }

BOOL CTravenorDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    RenderSkin(skin_);
    BuildLoginSurface();
    SetWindowTextW(hwnd(), L"Quorvane");
    return TRUE;
}

LRESULT CTravenorDlg::OnCreate(Message& m) {
    if (m.Default() == -1) return -1;
    blend_ = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    platform::MakeLayered(hwnd());
    LoadPngResource(IDP_SKIN, skin_);
    return 0;
}

// The skin is drawn once; the layered window keeps it, so moving the window repaints nothing.
BOOL CTravenorDlg::RenderSkin(const platform::Image& skin) {
    platform::WindowDc reference(hwnd());
    platform::LayeredCanvas canvas(reference.get(), kSkinWidth, kSkinHeight);
    // The canvas already holds the skin's own alpha; 254 scales it once more, so the window shows
    // alpha x 254/255 and never quite hides what lies beneath.
    blend_.SourceConstantAlpha = 254;
    platform::WindowDc destination(hwnd());
    RECT rect{};
    GetWindowRect(hwnd(), &rect);
    DrawSkin(skin, canvas);
    return canvas.PushTo(hwnd(), destination.get(), POINT{rect.left, rect.top}, blend_);
}

LRESULT CTravenorDlg::OnNcHitTest(Message& m) {
    const LRESULT hit = m.Default();
    return hit == HTCLIENT ? HTCAPTION : hit;  // the whole visible body drags the window
}

LRESULT CTravenorDlg::OnQueryDragIcon(Message&) { return reinterpret_cast<LRESULT>(icon_); }

LRESULT CTravenorDlg::OnPaint(Message& m) {
    if (!IsIconic(hwnd())) return m.Default();
    platform::PaintDc paint(hwnd());
    SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.get()), 0);
    RECT client{};
    GetClientRect(hwnd(), &client);
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(paint.get(), x, y, icon_);
    return 0;
}

LRESULT CTravenorDlg::OnDestroy(Message& m) {
    skin_.Reset();
    ReleaseLoginSurface();
    return m.Default();
}

LRESULT CTravenorDlg::OnMove(Message& m) {
    const LRESULT result = m.Default();
    // Signed: monitors left of or above the primary one have negative coordinates.
    const POINT origin = m.point();
    MoveLoginSurface(origin.x, origin.y);
    return result;
}

// The floating windows wait, hidden and in place, for the login window's first show and are shown
// right after it, so they appear above it. Windows keeps owned popups above their owner and shows
// them again when the owner comes back from the taskbar, but not every window system does both
// (Wine's X11 driver without a window manager stacks windows in the order they appear, and leaves
// popups hidden after a restore). Showing them and placing them on top once a showing or restoring
// is over costs nothing where it is not needed.
LRESULT CTravenorDlg::OnWindowPosChanged(Message& m) {
    const LRESULT result = m.Default();
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.lParam);
    const bool iconic = IsIconic(hwnd()) != FALSE;
    if ((pos->flags & SWP_SHOWWINDOW) && !shownOnce_) {
        // The surface waited, hidden and in place, for this first show; what start-up still has to do
        // comes right after it.
        shownOnce_ = true;
        RaiseLoginSurface();
        PostMessageW(hwnd(), WM_LOGIN_SHOWN, 0, 0);
    }
    if ((pos->flags & SWP_SHOWWINDOW) || (iconic_ && !iconic)) PostMessageW(hwnd(), WM_RAISE_SURFACE, 0, 0);
    iconic_ = iconic;
    return result;
}

LRESULT CTravenorDlg::OnRaiseSurface(Message&) {
    RaiseLoginSurface();
    return 0;
}

// The login page starts loading first, as the first thing after the window is up; nothing on screen
// waits for the shortcut, so it comes last.
LRESULT CTravenorDlg::OnLoginShown(Message&) {
    if (loginPane_) loginPane_->OpenLoginPage();
    if (writeShortcut_) writeShortcut_();
    return 0;
}

LRESULT CTravenorDlg::OnShowHideMessage(Message& m) { return OnShowHide(m.wParam, m.lParam); }
