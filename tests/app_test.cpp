// The application object: the whole run, and the one message box it may show.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "app/application.h"
#include "tests/support/test_windows.h"

namespace {

struct FoundBox {
    HWND hwnd = nullptr;
    std::wstring text;
};

BOOL CALLBACK CollectText(HWND child, LPARAM param) {
    wchar_t text[128] = {};
    GetWindowTextW(child, text, 128);
    auto* box = reinterpret_cast<FoundBox*>(param);
    if (std::wstring(text) == L"ole init error") box->text = text;
    return TRUE;
}

// A message box of thread `thread` with caption `caption`, if one is up.
FoundBox FindMessageBox(DWORD thread, const std::wstring& caption) {
    FoundBox box;
    HWND hwnd = FindWindowW(L"#32770", caption.c_str());
    if (hwnd && GetWindowThreadProcessId(hwnd, nullptr) == thread) {
        box.hwnd = hwnd;
        EnumChildWindows(hwnd, &CollectText, reinterpret_cast<LPARAM>(&box));
    }
    return box;
}

HWND FindLoginWindow(DWORD thread) {
    HWND hwnd = FindWindowW(nullptr, L"Quorvane");
    return hwnd && GetWindowThreadProcessId(hwnd, nullptr) == thread && IsWindowVisible(hwnd) ? hwnd
                                                                                              : nullptr;
}

TEST(Application, OleFailureShowsTheOneMessageBoxAndEndsWithoutAWindow) {
    std::atomic<bool> done{false};
    std::atomic<DWORD> threadId{0};
    bool initResult = true, gdiplusStarted = true;
    int exitStatus = -1;
    // A thread whose COM apartment is already multithreaded cannot take OLE.
    std::thread worker([&] {
        threadId = GetCurrentThreadId();
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        CTravenorApp app;
        initResult = app.InitInstance();
        gdiplusStarted = app.gdiplusStarted();
        exitStatus = app.ExitInstance();
        CoUninitialize();
        done = true;
    });
    FoundBox box;
    testsupport::PumpUntil(
        [&] {
            box = FindMessageBox(threadId, CTravenorApp::ApplicationName());
            return box.hwnd != nullptr || done;
        },
        10000);
    ASSERT_NE(box.hwnd, nullptr) << "no message box came up";
    EXPECT_EQ(box.text, L"ole init error");
    EXPECT_EQ(FindLoginWindow(threadId), nullptr);
    PostMessageW(box.hwnd, WM_COMMAND, IDOK, 0);  // the player presses OK
    testsupport::PumpUntil([&] { return done.load(); }, 10000);
    if (!done) PostMessageW(box.hwnd, WM_CLOSE, 0, 0);
    worker.join();
    EXPECT_FALSE(initResult);
    EXPECT_FALSE(gdiplusStarted) << "GDI+ never starts, so it is never shut down";
    EXPECT_EQ(exitStatus, 0);
}

TEST(Application, RunShowsTheLoginWindowAndEndsWhenItIsCancelled) {
    std::atomic<bool> done{false};
    std::atomic<DWORD> threadId{0};
    int status = -1;
    std::thread worker([&] {
        threadId = GetCurrentThreadId();
        CTravenorApp app;
        status = app.Run();
        done = true;
    });
    HWND login = nullptr;
    testsupport::PumpUntil([&] { return (login = FindLoginWindow(threadId)) != nullptr || done; }, 15000);
    ASSERT_NE(login, nullptr) << "the login window never showed";
    const RECT rect = testsupport::WindowRect(login);
    EXPECT_EQ(rect.right - rect.left, 1152);
    EXPECT_EQ(rect.bottom - rect.top, 889);
    PostMessageW(login, WM_KEYDOWN, VK_ESCAPE, 1);
    testsupport::PumpUntil([&] { return done.load(); }, 10000);
    if (!done) PostMessageW(login, WM_COMMAND, IDCANCEL, 0);
    worker.join();
    EXPECT_TRUE(done);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(IsWindow(login));
}

TEST(Application, NameIsTheExecutableWithoutItsExtension) {
    EXPECT_EQ(CTravenorApp::ApplicationName(), L"app_tests");
}

}  // namespace
