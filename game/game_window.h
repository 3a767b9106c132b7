// The game window: a maximised top-level window whose whole client area is a web browser showing the
// game, dragged by the top band of its client area.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/web_browser.h"

// Opens one more game window showing url. When it returns the window is shown maximised and the
// navigation has started; the url is copied, so the caller's text may go right after the call.
void OpenGameWindow(const wchar_t* url);

class GameBrowserConainter : public platform::MessageRouted<GameBrowserConainter, platform::Dialog>,
                             public platform::ControlEventTarget {
  public:
    static const platform::MessageTable<GameBrowserConainter> kMessages;
    explicit GameBrowserConainter(const wchar_t* url);
    ~GameBrowserConainter() override;

    // No dialog keyboard handling: Enter and Escape must never end the game, and Tab has nowhere to go.
    bool PreTranslateMessage(MSG&) override { return false; }

    // Makes the browser cover the whole client area.
    void FitBrowserToClient();

    platform::CWebBrowser& browser() { return browser_; }
    static constexpr UINT kBrowserId = 2001;

  protected:
    BOOL OnInitDialog() override;
    // Enter never ends the dialog; a close request keeps the base behaviour (hide via IDCANCEL).
    void OnOK() override {}
    void OnControlEvent(UINT controlId, DISPID id, DISPPARAMS& params) override {
        kEvents.Route(*this, controlId, id, params);
    }

  private:
    LRESULT OnCreate(platform::Message& m);
    LRESULT OnSize(platform::Message& m);
    LRESULT OnLButtonDown(platform::Message& m);
    LRESULT OnTimer(platform::Message& m);
    LRESULT OnLButtonDblClk(platform::Message& m);
    LRESULT OnClose(platform::Message& m);
    LRESULT OnDestroy(platform::Message& m);

    // The drag tracker's share of the mouse and timer messages (drag_tracker.cpp).
    void OnLButtonDown(UINT flags, POINT point);
    void OnTimer(UINT_PTR id);

    void OnDocumentComplete(IDispatch* browser, VARIANT* url);
    void UnloadBrowser();
    void DropIcon();

    static const platform::EventTable<GameBrowserConainter> kEvents;

    platform::CWebBrowser browser_;
    std::wstring url_;  // read once, while the window is created
};

// Every game window opened so far, shown or closed (hidden). Nothing in the program deletes one.
const std::vector<std::unique_ptr<GameBrowserConainter>>& GameWindows();
// Destroys every game window and its browser. The program calls it before it shuts COM down, since
// the browser controls must be released while COM still runs.
void DestroyGameWindows();
