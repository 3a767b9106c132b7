// The skinned login window: the program's main window and the owner of the login surface.
#pragma once

#include <memory>

#include "controls/button_host.h"
#include "login/login_pane.h"
#include "platform/dialog.h"
#include "platform/gdiplus.h"

// Sent to the login window: wParam 1 hides it with its login surface, any other value shows them.
constexpr UINT WM_SHOWHIDE_LOGIN = WM_USER + 1;
// Posted to itself: put the login surface back on top once a showing or restoring is over.
constexpr UINT WM_RAISE_SURFACE = WM_APP + 1;
// Posted to itself once, when it is first shown: the start-up work that need not come before that.
constexpr UINT WM_LOGIN_SHOWN = WM_APP + 2;

class CTravenorDlg : public platform::MessageRouted<CTravenorDlg, platform::Dialog> {
  public:
    static const platform::MessageTable<CTravenorDlg> kMessages;
    using ShortcutWriter = void (*)();
    // writeShortcut runs once, right after the window is first shown (it may be null).
    explicit CTravenorDlg(ShortcutWriter writeShortcut = nullptr);
    ~CTravenorDlg() override;

    // What the layered update was given: the constant alpha is 254 once the skin is rendered.
    const BLENDFUNCTION& blend() const { return blend_; }
    // The login surface, for inspection: null before it is built and after it is released.
    CLoginBrowserConainter* loginPane() const { return loginPane_.get(); }
    enum HostSlot { kMinHost, kCloseHost, kHomeHost, kDepositHost, kServiceHost, kForumHost, kHostCount };
    DialogImageButton* host(HostSlot slot) const { return hosts_[slot].get(); }

  protected:
    BOOL OnInitDialog() override;
    // Enter never ends the login window; Escape and close requests keep the base behaviour.
    void OnOK() override {}

  private:
    LRESULT OnPaint(platform::Message& m);
    LRESULT OnQueryDragIcon(platform::Message& m);
    LRESULT OnNcHitTest(platform::Message& m);
    LRESULT OnCreate(platform::Message& m);
    LRESULT OnDestroy(platform::Message& m);
    LRESULT OnMove(platform::Message& m);
    LRESULT OnWindowPosChanged(platform::Message& m);
    LRESULT OnRaiseSurface(platform::Message& m);
    LRESULT OnLoginShown(platform::Message& m);
    LRESULT OnShowHideMessage(platform::Message& m);

    BOOL RenderSkin(const platform::Image& skin);

    // The login surface: the login pane and six button hosts floating over the window (login_surface.cpp).
    struct ButtonRow;
    static const ButtonRow kButtons[kHostCount];
    void BuildLoginSurface();
    void BuildPane();
    void BuildHost(const ButtonRow& row);
    void MoveLoginSurface(int x, int y);
    LRESULT OnShowHide(WPARAM wParam, LPARAM lParam);
    void ReleaseLoginSurface();
    void RaiseLoginSurface();

    HICON icon_;
    BLENDFUNCTION blend_{};
    platform::Image skin_;
    ShortcutWriter writeShortcut_;
    bool iconic_ = false;
    bool shownOnce_ = false;

    std::unique_ptr<CLoginBrowserConainter> loginPane_;
    // In field order: min, close, home, deposit, service, forum; created in the button table's order.
    std::unique_ptr<DialogImageButton> hosts_[kHostCount];
};
