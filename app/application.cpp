#include "app/application.h"

#include <commctrl.h>

#include <string>

#include "app/desktop_shortcut.h"
#include "game/game_window.h"
#include "login/login_window.h"

int CTravenorApp::Run() {
    InitInstance();
    return ExitInstance();
}

bool CTravenorApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // Lets the system restart the program after an update or a crash; nothing else depends on it.
    RegisterApplicationRestart(nullptr, 0);

    ole_ = std::make_unique<platform::OleSession>();
    if (!ole_->ok()) {
        ole_.reset();
        MessageBoxW(nullptr, L"ole init error", ApplicationName().c_str(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    // A busy COM server is retried later; neither a busy nor a not-responding dialog ever comes up.
    filter_.Register();
    filter_.EnableBusyDialog(false);
    filter_.SetBusyReply(SERVERCALL_RETRYLATER);

    gdiplus_ = std::make_unique<platform::GdiplusSession>();

    CTravenorDlg login(&CreateDesktopShortcut);
    login.DoModal();
    return false;
}

int CTravenorApp::ExitInstance() {
    // The program ends with its game windows; their browser controls go while COM still runs.
    DestroyGameWindows();
    gdiplus_.reset();  // after every image is gone: the login window took its images with it
    filter_.Revoke();
    ole_.reset();
    return 0;
}

std::wstring CTravenorApp::ApplicationName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path);
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > 0) name.erase(dot);
    return name;
}
