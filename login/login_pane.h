// The login pane: a popup owned by the login window, showing the publisher's login page. The page
// reaches the program only through the script bridge the view hands out as window.external.
#pragma once

#include "login/external_disp.h"
#include "platform/dialog.h"
#include "platform/web_browser.h"

// The HTML view inside the pane: the web browser control, which hands the page the script bridge.
class CHtmlCtrl : public platform::MessageRouted<CHtmlCtrl, platform::CWebBrowser> {
  public:
    static const platform::MessageTable<CHtmlCtrl> kMessages;
    CHtmlCtrl() = default;
    ~CHtmlCtrl() override { Destroy(); }

    // Keys for the page go to the control first, so Tab moves between the page's fields and the
    // clipboard keys work in its text fields.
    bool PreTranslateMessage(MSG& msg) override;

    // The bridge this view hands out; null until a page first asks.
    CExternalDisp* bridge() const { return bridge_.get(); }

    static constexpr UINT kId = 100;

  protected:
    HRESULT OnGetExternal(IDispatch** external) override;

  private:
    LRESULT OnDestroy(platform::Message& m);

    platform::ComPtr<CExternalDisp> bridge_;  // the view's own reference
};

class CLoginBrowserConainter : public platform::MessageRouted<CLoginBrowserConainter, platform::Dialog> {
  public:
    static const platform::MessageTable<CLoginBrowserConainter> kMessages;

    // When the login page starts loading: as the pane is created, or at the owner's OpenLoginPage.
    enum class PageLoad { kWithThePane, kWhenAsked };
    explicit CLoginBrowserConainter(PageLoad load = PageLoad::kWithThePane);
    ~CLoginBrowserConainter() override { Destroy(); }

    // The pane has no controls of its own to move between: keys are for the page.
    bool PreTranslateMessage(MSG&) override { return false; }

    CHtmlCtrl& view() { return view_; }
    // Creates the view and starts the login page's navigation; does nothing once the view exists.
    void OpenLoginPage();

    // The address of the login page.
    static const wchar_t* LoginPageUrl();

  protected:
    BOOL OnInitDialog() override;
    // Enter, Escape and close requests never end, hide or close the pane.
    void OnOK() override {}
    void OnCancel() override {}

  private:
    LRESULT OnCtlColorDlg(platform::Message& m);

    PageLoad load_;
    CHtmlCtrl view_;
};
