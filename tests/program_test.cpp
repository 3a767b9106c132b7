// The real program, started as a player starts it and watched from outside: its login window, the
// login surface around it, the desktop shortcut, and the ways it ends.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/com.h"

#include "tests/support/program_windows.h"
#include "tests/support/test_windows.h"

using testsupport::PumpUntil;
using testsupport::WindowRect;

namespace {

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    dir.erase(dir.find_last_of(L"\\/") + 1);
    return dir + L"..\\Quorvane.exe";
}

struct OwnedPopup {
    HWND hwnd;
    RECT rect;
    bool visible;
};

struct Program {
    PROCESS_INFORMATION process{};
    HWND login = nullptr;

    bool Start() {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring path = ProgramPath(), command = L"\"" + path + L"\"";
        if (!CreateProcessW(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process))
            return false;
        // Up once the login window is visible and its surface has followed the centring move; the
        // surface shows right after the login window itself.
        PumpUntil(
            [&] {
                if ((login = FindLogin()) == nullptr) return false;
                const std::vector<OwnedPopup> popups = Popups();
                return popups.size() == 7 && std::all_of(popups.begin(), popups.end(),
                                                         [](const OwnedPopup& p) { return p.visible; });
            },
            20000);
        return login != nullptr;
    }
    ~Program() {
        if (!process.hProcess) return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    bool Ended(DWORD ms) { return WaitForSingleObject(process.hProcess, ms) == WAIT_OBJECT_0; }

    HWND FindLogin() const { return testsupport::ShownTopLevelWindow(process.dwProcessId, L"Quorvane"); }

    // The popups the login window owns, in no particular order.
    std::vector<OwnedPopup> Popups() const {
        std::vector<OwnedPopup> found;
        for (HWND hwnd : testsupport::OwnedWindows(login))
            found.push_back({hwnd, WindowRect(hwnd), IsWindowVisible(hwnd) != FALSE});
        return found;
    }
};

struct Placement {
    LONG x, y, width, height;
    bool operator==(const Placement& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
    bool operator<(const Placement& o) const {
        return std::tie(x, y, width, height) < std::tie(o.x, o.y, o.width, o.height);
    }
};

std::ostream& operator<<(std::ostream& out, const Placement& p) {
    return out << "(" << p.x << "," << p.y << " " << p.width << "x" << p.height << ")";
}

// Every popup of the login surface as an offset from the login window's top-left corner, sorted.
std::vector<Placement> SurfaceOffsets(const Program& program) {
    const RECT login = WindowRect(program.login);
    std::vector<Placement> offsets;
    for (const OwnedPopup& p : program.Popups())
        offsets.push_back({p.rect.left - login.left, p.rect.top - login.top, p.rect.right - p.rect.left,
                           p.rect.bottom - p.rect.top});
    std::sort(offsets.begin(), offsets.end());
    return offsets;
}

// The pane (405 x 485 once the login window has moved) and the six hosts, sorted like SurfaceOffsets.
const std::vector<Placement> kSurface = {
    {383, 153, 120, 50}, {531, 153, 120, 50}, {543, 208, 405, 485}, {679, 153, 120, 50},
    {827, 153, 120, 50}, {958, 188, 50, 50},  {1008, 229, 50, 50},
};

class ProgramTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(program_.Start()) << "the login window never showed"; }
    Program program_;
};

TEST_F(ProgramTest, LoginWindowOpensCentredWithItsSurfaceInPlace) {
    const RECT r = WindowRect(program_.login);
    const RECT work = testsupport::WorkArea();
    EXPECT_EQ(r.right - r.left, 1152);
    EXPECT_EQ(r.bottom - r.top, 889);
    EXPECT_NEAR(r.left, std::max(work.left, (work.left + work.right - 1152) / 2), 1);
    EXPECT_NEAR(r.top, std::max(work.top, (work.top + work.bottom - 889) / 2), 1);
    EXPECT_EQ(SurfaceOffsets(program_), kSurface);
    for (const OwnedPopup& p : program_.Popups()) EXPECT_TRUE(p.visible);
}

TEST_F(ProgramTest, SurfaceFollowsEveryMoveAlsoToNegativeCoordinates) {
    const POINT kPlaces[] = {{200, 100}, {-300, -150}, {17, 3}};
    for (const POINT& place : kPlaces) {
        SCOPED_TRACE(testing::Message() << "login window moved to " << place.x << "," << place.y);
        SetWindowPos(program_.login, nullptr, place.x, place.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        PumpUntil(
            [&] {
                return SurfaceOffsets(program_) == kSurface && WindowRect(program_.login).left == place.x;
            },
            5000);
        EXPECT_EQ(WindowRect(program_.login).left, place.x);
        EXPECT_EQ(SurfaceOffsets(program_), kSurface);
    }
}

TEST_F(ProgramTest, ShowHideMessageTakesTheWholeSurfaceAlong) {
    struct Case {
        WPARAM wParam;
        bool visible;
    };
    const Case kCases[] = {{1, false}, {0, true}, {1, false}, {2, true}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << "wParam " << c.wParam);
        EXPECT_EQ(SendMessageW(program_.login, WM_USER + 1, c.wParam, 0), 0);
        EXPECT_EQ(IsWindowVisible(program_.login) != FALSE, c.visible);
        const std::vector<OwnedPopup> popups = program_.Popups();
        EXPECT_EQ(popups.size(), 7u);
        for (const OwnedPopup& p : popups) EXPECT_EQ(p.visible, c.visible);
    }
}

TEST_F(ProgramTest, WritesItsShortcutOnTheDesktop) {
    wchar_t desktop[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
    const std::wstring link = std::wstring(desktop) + L"\\Quorvane.lnk";
    platform::ComPtr<IShellLinkW> shell;
    ASSERT_EQ(
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shell.PutVoid()),
        S_OK);
    platform::ComPtr<IPersistFile> file;
    ASSERT_EQ(shell.As(&file), S_OK);
    // The program writes it right after its window is on screen.
    PumpUntil([&] { return file->Load(link.c_str(), STGM_READ) == S_OK; }, 10000);
    ASSERT_EQ(file->Load(link.c_str(), STGM_READ), S_OK);
    wchar_t target[MAX_PATH] = {};
    shell->GetPath(target, MAX_PATH, nullptr, 0);
    wchar_t expected[MAX_PATH] = {};
    GetFullPathNameW(ProgramPath().c_str(), MAX_PATH, expected, nullptr);
    EXPECT_EQ(lstrcmpiW(target, expected), 0) << "target " << testing::PrintToString(std::wstring(target));
}

TEST_F(ProgramTest, EscapeEndsTheProgram) {
    PostMessageW(program_.login, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(program_.Ended(10000));
}

// Real clicks on the painted buttons, as a player makes them.
void ClickAt(POINT p) {
    auto send = [](DWORD flags, POINT at) {
        testsupport::SendMouse(at, flags);
        testsupport::PumpFor(80);
    };
    send(0, p);
    send(MOUSEEVENTF_LEFTDOWN, p);
    send(MOUSEEVENTF_LEFTUP, p);
}

TEST_F(ProgramTest, MinimiseButtonMinimisesAndCloseButtonEndsTheProgram) {
    const RECT r = WindowRect(program_.login);
    ClickAt({r.left + 958 + 25, r.top + 188 + 25});
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(program_.login) != FALSE; }, 5000));
    ShowWindow(program_.login, SW_RESTORE);
    auto surfaceBack = [&] {
        const std::vector<OwnedPopup> popups = program_.Popups();
        return !IsIconic(program_.login) && SurfaceOffsets(program_) == kSurface &&
               std::all_of(popups.begin(), popups.end(), [](const OwnedPopup& p) { return p.visible; });
    };
    PumpUntil(surfaceBack, 5000);
    EXPECT_EQ(SurfaceOffsets(program_), kSurface) << "the surface is back at its offsets after restoring";
    const RECT restored = WindowRect(program_.login);
    for (const OwnedPopup& p : program_.Popups()) EXPECT_TRUE(p.visible);
    ClickAt({restored.left + 1008 + 25, restored.top + 229 + 25});
    EXPECT_TRUE(program_.Ended(10000));
}

}  // namespace
