// The login surface: what floats over the login window and follows it.
#include "login/login_window.h"

void CTravenorDlg::BuildLoginSurface() {
    if (writeShortcut_) writeShortcut_();
}

void CTravenorDlg::MoveLoginSurface(int, int) {}

LRESULT CTravenorDlg::OnShowHide(WPARAM wParam, LPARAM) {
    ShowWindow(wParam == 1 ? SW_HIDE : SW_SHOW);
    return 0;
}

void CTravenorDlg::ReleaseLoginSurface() {}
