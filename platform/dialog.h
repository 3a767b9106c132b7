// Dialogs made from resource templates: a modal run that serves as the thread's message loop, and
// modeless dialogs with an owner.
#pragma once

#include "platform/window.h"

namespace platform {

class Dialog : public Window {
  public:
    explicit Dialog(UINT templateId = 0) : templateId_(templateId) {}

    // Creates the dialog from its template and runs the thread's message loop until EndDialog,
    // dispatching the messages of every window on the thread. Returns the EndDialog result, or -1
    // when the window could not be created. The window is destroyed before this returns.
    INT_PTR DoModal(HWND owner = nullptr);

    // Who gives a dialog its first place: the dialog manager's centring after initialisation (when
    // the dialog stayed hidden and did not move), or the caller, right after Create returns.
    enum class Placement { kCentred, kByCaller };

    // Creates a modeless dialog from a template; returns once WM_INITDIALOG has been handled.
    bool Create(UINT templateId, HWND owner, Placement placement = Placement::kCentred);

    // In a modal run: ends the run with `result`. For a modeless dialog: hides it (the platform's
    // EndDialog), leaving the window alive.
    void EndDialog(INT_PTR result);

    LRESULT OnMessage(Message& m) override;
    // Dialog keyboard handling (Tab, Enter -> IDOK, Escape -> IDCANCEL) for keys aimed at this dialog.
    bool PreTranslateMessage(MSG& msg) override;

  protected:
    // Runs inside WM_INITDIALOG; the result goes back to the dialog manager (TRUE: set the focus).
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    // Centres the window over its owner, or in the work area of its monitor when it has none,
    // keeping the top-left corner inside that work area.
    void CenterWindow();

  private:
    static INT_PTR CALLBACK StaticDialogProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleInitDialog();
    LRESULT HandleCommand(Message& m);
    void RunModalLoop();

    UINT templateId_;
    Placement placement_ = Placement::kCentred;
    bool inModalRun_ = false;
    bool modalEnded_ = false;
    INT_PTR modalResult_ = -1;
};

}  // namespace platform
