// The skinned login window: the program's main window and the owner of the login surface.
#pragma once

#include "platform/dialog.h"
#include "platform/gdiplus.h"

class CLoginBrowserConainter;
class DialogImageButton;

// Sent to the login window: wParam 1 hides it with its login surface, any other value shows them.
constexpr UINT WM_SHOWHIDE_LOGIN = WM_USER + 1;

class CTravenorDlg : public platform::Dialog {
  public:
    using ShortcutWriter = void (*)();
    // writeShortcut runs once while the login surface is built (it may be null).
    explicit CTravenorDlg(ShortcutWriter writeShortcut = nullptr);
    ~CTravenorDlg() override;

    LRESULT OnMessage(platform::Message& m) override { return kMessages.Route<platform::Dialog>(*this, m); }

    // What the layered update was given: the constant alpha is 254 once the skin is rendered.
    const BLENDFUNCTION& blend() const { return blend_; }
    CLoginBrowserConainter* loginPane() const { return loginPane_; }

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
    LRESULT OnShowHideMessage(platform::Message& m);

    BOOL RenderSkin(const platform::Image& skin);

    // The login surface: the login pane and six button hosts floating over the window.
    void BuildLoginSurface();
    void MoveLoginSurface(int x, int y);
    LRESULT OnShowHide(WPARAM wParam, LPARAM lParam);
    void ReleaseLoginSurface();

    static const platform::MessageTable<CTravenorDlg> kMessages;

    HICON icon_;
    BLENDFUNCTION blend_{};
    platform::Image skin_;
    ShortcutWriter writeShortcut_;

    CLoginBrowserConainter* loginPane_ = nullptr;
    DialogImageButton* minHost_ = nullptr;
    DialogImageButton* closeHost_ = nullptr;
    DialogImageButton* homeHost_ = nullptr;
    DialogImageButton* depositHost_ = nullptr;
    DialogImageButton* serviceHost_ = nullptr;
    DialogImageButton* forumHost_ = nullptr;
};
