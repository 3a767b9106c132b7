// A button host with its image button under a test owner window, set up the way the login window
// sets up its buttons, and a recorder for what the buttons hand to the desktop shell.
#pragma once

#include <string>
#include <vector>

#include "controls/button_host.h"
#include "res/resource.h"
#include "tests/support/test_windows.h"

namespace testsupport {

struct HostedButton {
    // The owner is hidden unless the test asks for WS_VISIBLE.
    explicit HostedButton(const wchar_t* tag, DWORD ownerStyle = WS_POPUP, UINT normalId = IDP_MIN,
                          UINT hoverId = IDP_MIN_HOVER)
        : owner(100, 40, 1152, 889, ownerStyle) {
        created = host.Create(IDD_BUTTON_HOST, owner.hwnd());
        if (created) host.SetupButton(L"caption", normalId, hoverId, tag, 1001);
    }
    HWND button() { return host.button().hwnd(); }

    TestOwner owner;  // declared first: outlives the host it owns
    DialogImageButton host;
    bool created = false;
};

// Replaces the desktop shell for the length of a scope and records every target handed to it.
class ShellRecorder {
  public:
    ShellRecorder() : previous_(CImageButton::SetShellOpener(&Record)) { opened().clear(); }
    ~ShellRecorder() { CImageButton::SetShellOpener(previous_); }
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    static std::vector<std::wstring>& opened() {
        static std::vector<std::wstring> targets;
        return targets;
    }

  private:
    static void Record(const wchar_t* target) { opened().push_back(target); }
    CImageButton::ShellOpener previous_;
};

}  // namespace testsupport
