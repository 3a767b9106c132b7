// The window layer: objects see their window's first messages, tables route, dialogs run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/com.h"
#include "platform/dialog.h"
#include "res/resource.h"
#include "tests/support/test_windows.h"

using platform::Message;
using platform::MessageTable;
using testsupport::PumpUntil;

namespace {

// Records the messages its table lists, and what the default processing had done at that point.
class RecordingWindow : public platform::MessageRouted<RecordingWindow, platform::Window> {
  public:
    static const MessageTable<RecordingWindow> kMessages;
    std::vector<std::wstring> log;
    bool postNcDestroyed = false;

    bool Create() {
        return CreateEx(0, platform::PlainWindowClass(), L"before", WS_POPUP, RECT{0, 0, 50, 50}, nullptr, 0);
    }

  protected:
    void PostNcDestroy() override { postNcDestroyed = true; }

  private:
    LRESULT OnNcCreate(Message& m) {
        log.push_back(L"nccreate");
        return m.Default();
    }
    LRESULT OnCreate(Message& m) {
        log.push_back(hwnd() ? L"create with hwnd" : L"create without hwnd");
        return m.Default();
    }
    // Default first, then own work: the text is already set when the handler looks.
    LRESULT OnSetText(Message& m) {
        log.push_back(L"before default: " + Text());
        LRESULT result = m.Default();
        m.Default();  // a second call must not run the default processing again
        log.push_back(L"after default: " + Text());
        return result;
    }
    // Consumed: DefWindowProc would destroy the window.
    LRESULT OnClose(Message&) {
        log.push_back(L"close consumed");
        return 0;
    }
    std::wstring Text() {
        wchar_t text[64] = {};
        GetWindowTextW(hwnd(), text, 64);
        return text;
    }
};

const MessageTable<RecordingWindow> RecordingWindow::kMessages = {
    {WM_NCCREATE, &RecordingWindow::OnNcCreate},
    {WM_CREATE, &RecordingWindow::OnCreate},
    {WM_SETTEXT, &RecordingWindow::OnSetText},
    {WM_CLOSE, &RecordingWindow::OnClose},
};

// A derived class whose table adds one message and falls back to its base's table for the rest.
class DerivedWindow : public platform::MessageRouted<DerivedWindow, RecordingWindow> {
  public:
    static const MessageTable<DerivedWindow> kMessages;
    int userMessages = 0;

  private:
    LRESULT OnUser(Message&) { return ++userMessages; }
};
const MessageTable<DerivedWindow> DerivedWindow::kMessages = {{WM_USER + 7, &DerivedWindow::OnUser}};

TEST(WindowLayer, CreationMessagesReachTheObjectWithItsHandle) {
    RecordingWindow window;
    ASSERT_TRUE(window.Create());
    EXPECT_EQ(window.log, (std::vector<std::wstring>{L"nccreate", L"create with hwnd"}));
    EXPECT_EQ(platform::Window::FromHandle(window.hwnd()), &window);
}

TEST(WindowLayer, HandlerChoosesWhenDefaultProcessingRuns) {
    RecordingWindow window;
    ASSERT_TRUE(window.Create());
    window.log.clear();
    SetWindowTextW(window.hwnd(), L"after");
    EXPECT_EQ(window.log, (std::vector<std::wstring>{L"before default: before", L"after default: after"}));

    window.log.clear();
    SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(window.log, (std::vector<std::wstring>{L"close consumed"}));
    EXPECT_TRUE(IsWindow(window.hwnd())) << "a consumed WM_CLOSE must not reach DefWindowProc";
}

TEST(WindowLayer, DerivedTableFallsBackToBaseTableAndDefault) {
    DerivedWindow window;
    ASSERT_TRUE(window.Create());
    EXPECT_EQ(SendMessageW(window.hwnd(), WM_USER + 7, 0, 0), 1);
    EXPECT_EQ(window.log.size(), 2u) << "base table still saw the creation messages";
    SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window.hwnd()));
    // Unlisted messages get the default processing.
    wchar_t text[16] = {};
    EXPECT_EQ(SendMessageW(window.hwnd(), WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text)), 6);
}

TEST(WindowLayer, ObjectLetsGoOfItsWindowAfterDestroy) {
    RecordingWindow window;
    ASSERT_TRUE(window.Create());
    HWND hwnd = window.hwnd();
    DestroyWindow(hwnd);
    EXPECT_EQ(window.hwnd(), nullptr);
    EXPECT_TRUE(window.postNcDestroyed);
    EXPECT_EQ(platform::Window::FromHandle(hwnd), nullptr);
}

TEST(WindowLayer, DestroyingTheObjectDestroysItsWindow) {
    HWND hwnd;
    {
        RecordingWindow window;
        ASSERT_TRUE(window.Create());
        hwnd = window.hwnd();
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

// A dialog made from the game window's template (hidden, captioned, no controls) that records its
// life and can be scripted from its own initialisation.
class ScriptedDialog : public platform::MessageRouted<ScriptedDialog, platform::Dialog> {
  public:
    static const MessageTable<ScriptedDialog> kMessages;
    ScriptedDialog() : MessageRouted(IDD_GAME) {}
    ~ScriptedDialog() override { Destroy(); }
    std::vector<std::wstring> log;
    bool okEndsRun = false;
    std::vector<MSG> toPost;  // posted to the dialog when initialisation is done
    RECT moveDuringInit{};
    bool moveInInit = false;

  protected:
    BOOL OnInitDialog() override {
        log.push_back(L"initdialog");
        if (moveInInit) SetWindowPos(hwnd(), nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        for (const MSG& msg : toPost) PostMessageW(hwnd(), msg.message, msg.wParam, msg.lParam);
        return Dialog::OnInitDialog();
    }
    void OnOK() override {
        log.push_back(L"ok");
        if (okEndsRun) Dialog::OnOK();
    }
    void OnCancel() override {
        log.push_back(L"cancel");
        Dialog::OnCancel();
    }

  private:
    LRESULT OnCreate(Message& m) {
        log.push_back(L"create");
        return m.Default();
    }
};
const MessageTable<ScriptedDialog> ScriptedDialog::kMessages = {{WM_CREATE, &ScriptedDialog::OnCreate}};

MSG Key(UINT vk) {
    MSG msg{};
    msg.message = WM_KEYDOWN;
    msg.wParam = vk;
    msg.lParam = 1;
    return msg;
}
MSG Plain(UINT message) {
    MSG msg{};
    msg.message = message;
    return msg;
}

TEST(DialogLayer, ModalRunSeesCreateThenInitAndEndsOnEscape) {
    ScriptedDialog dialog;
    dialog.toPost = {Key(VK_RETURN), Key(VK_ESCAPE)};
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.log, (std::vector<std::wstring>{L"create", L"initdialog", L"ok", L"cancel"}))
        << "Enter reached OnOK without ending the run; Escape became IDCANCEL";
    EXPECT_EQ(dialog.hwnd(), nullptr) << "the modal run destroys its window";
}

TEST(DialogLayer, CloseRequestBecomesCancel) {
    ScriptedDialog dialog;
    dialog.toPost = {Plain(WM_CLOSE)};
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.log.back(), L"cancel");
}

TEST(DialogLayer, BaseOnOkEndsTheRunWithIdOk) {
    ScriptedDialog dialog;
    dialog.okEndsRun = true;
    dialog.toPost = {Key(VK_RETURN)};
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(DialogLayer, ModalRunDispatchesOtherWindowsMessages) {
    DerivedWindow other;
    ASSERT_TRUE(other.Create());
    ScriptedDialog dialog;
    // The other window's message is queued before the dialog's Escape, so the run must dispatch it.
    PostMessageW(other.hwnd(), WM_USER + 7, 0, 0);
    dialog.toPost = {Key(VK_ESCAPE)};
    dialog.DoModal();
    EXPECT_EQ(other.userMessages, 1);
}

TEST(DialogLayer, UnmovedDialogIsCentredInTheWorkArea) {
    ScriptedDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_GAME, nullptr));
    const RECT seen = testsupport::WindowRect(dialog.hwnd());
    const RECT work = testsupport::WorkArea();
    const LONG width = seen.right - seen.left, height = seen.bottom - seen.top;
    EXPECT_NEAR(seen.left, (work.left + work.right - width) / 2, 1);
    EXPECT_NEAR(seen.top, (work.top + work.bottom - height) / 2, 1);
}

TEST(DialogLayer, DialogThatPlacedItselfIsNotCentred) {
    ScriptedDialog dialog;
    dialog.moveInInit = true;
    ASSERT_TRUE(dialog.Create(IDD_GAME, nullptr));
    const RECT seen = testsupport::WindowRect(dialog.hwnd());
    EXPECT_EQ(seen.left, 10);
    EXPECT_EQ(seen.top, 20);
}

TEST(DialogLayer, ModelessDialogIsOwnedAndEndDialogOnlyHidesIt) {
    testsupport::TestOwner owner(0, 0, 200, 200);
    ScriptedDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_GAME, owner.hwnd()));
    EXPECT_EQ(GetWindow(dialog.hwnd(), GW_OWNER), owner.hwnd());
    const RECT placed = testsupport::WindowRect(dialog.hwnd());
    EXPECT_EQ(placed.left, 0) << "a part of its owner is placed by the owner, not centred";
    EXPECT_EQ(placed.top, 0);
    ShowWindow(dialog.hwnd(), SW_SHOW);
    SendMessageW(dialog.hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(dialog.log.back(), L"cancel");
    EXPECT_TRUE(IsWindow(dialog.hwnd()));
    EXPECT_FALSE(IsWindowVisible(dialog.hwnd()));
}

// A window that wants keys before its dialog does.
class KeyGrabber : public platform::Window {
  public:
    int grabbed = 0;
    bool PreTranslateMessage(MSG& msg) override {
        if (msg.message != WM_KEYDOWN) return false;
        ++grabbed;
        return true;
    }
};

TEST(DialogLayer, ChildSeesQueuedKeysBeforeTheDialog) {
    ScriptedDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_GAME, nullptr));
    KeyGrabber child;
    ASSERT_TRUE(child.CreateEx(0, platform::PlainWindowClass(), L"", WS_CHILD | WS_VISIBLE,
                               RECT{0, 0, 10, 10}, dialog.hwnd(), 5));
    MSG msg = Key(VK_ESCAPE);
    msg.hwnd = child.hwnd();
    EXPECT_TRUE(platform::Window::PreTranslateQueued(msg));
    EXPECT_EQ(child.grabbed, 1);
    EXPECT_EQ(dialog.log.back(), L"initdialog") << "the dialog never saw the Escape";
}

TEST(MessageFilter, RetriesBusyCalleesWithoutDialogAndGivesUpOnRejection) {
    platform::MessageFilter filter;
    filter.EnableBusyDialog(false);
    filter.SetBusyReply(SERVERCALL_RETRYLATER);
    EXPECT_EQ(filter.RetryRejectedCall(nullptr, 10, SERVERCALL_RETRYLATER),
              platform::MessageFilter::kRetryDelayMs);
    EXPECT_EQ(filter.RetryRejectedCall(nullptr, 100000000, SERVERCALL_RETRYLATER),
              platform::MessageFilter::kRetryDelayMs)
        << "however long the callee stays busy";
    EXPECT_EQ(filter.RetryRejectedCall(nullptr, 10, SERVERCALL_REJECTED), static_cast<DWORD>(-1));
    EXPECT_EQ(filter.HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr), SERVERCALL_ISHANDLED);
    filter.BeginBusyState();
    EXPECT_EQ(filter.HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr), SERVERCALL_RETRYLATER);
}

TEST(MessageFilter, RegistersOnTheThreadAndRestoresThePrevious) {
    platform::MessageFilter filter;
    ASSERT_TRUE(filter.Register());
    platform::ComPtr<IMessageFilter> current;
    CoRegisterMessageFilter(nullptr, current.Put());
    EXPECT_EQ(current.get(), static_cast<IMessageFilter*>(&filter));
    CoRegisterMessageFilter(current.get(), nullptr);
    filter.Revoke();
    platform::ComPtr<IMessageFilter> after;
    CoRegisterMessageFilter(nullptr, after.Put());
    EXPECT_EQ(after.get(), nullptr);
}

}  // namespace
