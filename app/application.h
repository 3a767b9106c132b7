// The application object: prepares the platform on the GUI thread, runs the login window, cleans up.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/com.h"
#include "platform/gdiplus.h"

class CTravenorApp {
  public:
    CTravenorApp() = default;
    CTravenorApp(const CTravenorApp&) = delete;
    CTravenorApp& operator=(const CTravenorApp&) = delete;

    // The whole life of the program: InitInstance, then ExitInstance, whose result is the exit status.
    int Run();

    // Prepares common controls, OLE with our message filter and GDI+, then runs the login window
    // modally: that run is the program's only message loop. Always returns false (no loop follows).
    bool InitInstance();
    // Destroys the game windows, then shuts GDI+ down (only if it started) and OLE after it. Returns the
    // exit status, 0.
    int ExitInstance();

    // The caption of the program's message boxes: the executable's file name without extension.
    static std::wstring ApplicationName();

    // True when GDI+ was started and is still up.
    bool gdiplusStarted() const { return gdiplus_ && gdiplus_->started(); }

  private:
    std::unique_ptr<platform::OleSession> ole_;
    platform::MessageFilter filter_;
    std::unique_ptr<platform::GdiplusSession> gdiplus_;
};
