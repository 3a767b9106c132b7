// Helpers for tests that create windows and wait for them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/gdiplus.h"

namespace testsupport {

// Dispatches this thread's queued messages until `ms` milliseconds have passed.
void PumpFor(DWORD ms);
// Pumps messages until `done` holds or `timeoutMs` passes; returns the last value of `done`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);

RECT WindowRect(HWND hwnd);

// Real pointer input through SendInput: moves the pointer to `at` (screen coordinates) together with the
// button changes in `buttons` (MOUSEEVENTF_LEFTDOWN, ...), or presses and lets go without moving.
void SendMouse(POINT at, DWORD buttons = 0);
void SendMouseButtons(DWORD buttons);

// A decoded image's pixels as straight (not premultiplied) ARGB, row by row from the top.
std::vector<uint32_t> StraightArgb(const platform::Image& image);
// The primary monitor's work area.
RECT WorkArea();

// A plain visible top-level window for tests to own popups, destroyed on scope exit.
class TestOwner {
  public:
    TestOwner(int x, int y, int width, int height, DWORD style = WS_POPUP | WS_VISIBLE);
    ~TestOwner();
    TestOwner(const TestOwner&) = delete;
    TestOwner& operator=(const TestOwner&) = delete;
    HWND hwnd() const { return hwnd_; }
    // Messages received, for checks of what a child or popup sent to its owner.
    UINT lastSysCommand() const { return lastSysCommand_; }

  private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
    UINT lastSysCommand_ = 0;
};

}  // namespace testsupport
