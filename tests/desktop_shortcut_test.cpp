// The desktop shortcut as the shell reads it back: where it is written, what it points at, where
// its icon comes from, and what happens when the desktop folder cannot take it.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "app/desktop_shortcut.h"
#include "platform/com.h"
#include "platform/handles.h"

using platform::ComPtr;

namespace {

std::wstring DesktopFolder() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::wstring ThisProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// Also for paths longer than MAX_PATH: the "\\?\" form has no such limit.
bool Exists(const std::wstring& path) {
    return GetFileAttributesW((L"\\\\?\\" + path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteFileBytes(const std::wstring& path, const char* bytes) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes, static_cast<DWORD>(strlen(bytes)), &written, nullptr);
    CloseHandle(file);
}

// What a shortcut file says, as the shell's own link object reads it.
struct LinkContents {
    bool loaded = false;
    std::wstring target;
    std::wstring icon;
    int iconIndex = -1;
};

LinkContents ReadLink(const std::wstring& path) {
    LinkContents contents;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.PutVoid())))
        return contents;
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(&file)) || FAILED(file->Load(path.c_str(), STGM_READ))) return contents;
    contents.loaded = true;
    wchar_t buffer[MAX_PATH] = {};
    link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH);
    contents.target = buffer;
    wchar_t icon[MAX_PATH] = {};
    link->GetIconLocation(icon, MAX_PATH, &contents.iconIndex);
    contents.icon = icon;
    return contents;
}

bool SamePath(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

// A fresh folder under the temporary folder, removed with everything in it at the end.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::wstring& name) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + name;
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { Remove(path_); }
    const std::wstring& path() const { return path_; }

  private:
    static void Remove(const std::wstring& folder) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring full = folder + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    Remove(full);
                } else {
                    SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW(full.c_str());
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }
    std::wstring path_;
};

TEST(DesktopShortcut, PointsAtTheRunningProgramWithItsIcon) {
    const std::wstring shortcut = DesktopFolder() + L"\\Quorvane.lnk";
    DeleteFileW(shortcut.c_str());
    CreateDesktopShortcut();
    const LinkContents link = ReadLink(shortcut);
    ASSERT_TRUE(link.loaded) << "no shortcut at " << testing::PrintToString(shortcut);
    EXPECT_TRUE(SamePath(link.target, ThisProgram())) << testing::PrintToString(link.target);
    EXPECT_TRUE(SamePath(link.icon, ThisProgram())) << testing::PrintToString(link.icon);
    EXPECT_EQ(link.iconIndex, 0);
}

TEST(DesktopShortcut, ReplacesWhateverHadItsName) {
    const std::wstring shortcut = DesktopFolder() + L"\\Quorvane.lnk";
    WriteFileBytes(shortcut, "not a shortcut at all");
    ASSERT_FALSE(ReadLink(shortcut).loaded);
    CreateDesktopShortcut();
    EXPECT_TRUE(SamePath(ReadLink(shortcut).target, ThisProgram()));

    // A shortcut left by a copy of the program started from elsewhere is replaced as well.
    ScratchFolder elsewhere(L"quorvane-shortcut-elsewhere");
    const std::wstring oldProgram = elsewhere.path() + L"\\Quorvane.exe";
    WriteFileBytes(oldProgram, "MZ");
    WriteShortcut(DesktopFolder().c_str(), oldProgram.c_str());
    ASSERT_TRUE(SamePath(ReadLink(shortcut).target, oldProgram));
    CreateDesktopShortcut();
    EXPECT_TRUE(SamePath(ReadLink(shortcut).target, ThisProgram()));
}

TEST(DesktopShortcut, IconComesFromTheProgramPathWithTheExtensionExe) {
    struct IconCase {
        const wchar_t* program;
        const wchar_t* icon;
    };
    const IconCase kCases[] = {
        {L"C:\\Games\\Quorvane.exe", L"C:\\Games\\Quorvane.exe"},
        {L"C:\\Games\\Quorvane.EXE", L"C:\\Games\\Quorvane.exe"},
        {L"C:\\Games\\Quorvane", L"C:\\Games\\Quorvane.exe"},
        {L"C:\\Games\\Quorvane.bin", L"C:\\Games\\Quorvane.exe"},
        {L"C:\\Games\\Quorvane.backup", L"C:\\Games\\Quorvane.exe"},
        {L"C:\\Games\\Quorvane.1.2", L"C:\\Games\\Quorvane.1.exe"},
        {L"C:\\My.Games\\Quorvane", L"C:\\My.Games\\Quorvane.exe"},
        {L"\\\\server\\share.d\\Quorvane", L"\\\\server\\share.d\\Quorvane.exe"},
    };
    for (const IconCase& c : kCases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.program)));
        EXPECT_EQ(ShortcutIconPath(c.program), c.icon);
    }
}

TEST(DesktopShortcut, FollowsTheProgramWhereverItWasStartedFrom) {
    ScratchFolder folder(L"quorvane-shortcut-moved");
    struct ProgramCase {
        const wchar_t* name;
        const wchar_t* iconName;
    };
    const ProgramCase kPrograms[] = {
        {L"Quorvane.exe", L"Quorvane.exe"},
        {L"Renamed.exe", L"Renamed.exe"},
        {L"Quorvane", L"Quorvane.exe"},  // names no file: the shell shows its default icon
        {L"Quorvane.bin", L"Quorvane.exe"},
    };
    for (const ProgramCase& c : kPrograms) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        const std::wstring program = folder.path() + L"\\" + c.name;
        WriteFileBytes(program, "MZ");
        WriteShortcut(folder.path().c_str(), program.c_str());
        const LinkContents link = ReadLink(folder.path() + L"\\Quorvane.lnk");
        ASSERT_TRUE(link.loaded);
        EXPECT_TRUE(SamePath(link.target, program)) << testing::PrintToString(link.target);
        EXPECT_TRUE(SamePath(link.icon, folder.path() + L"\\" + c.iconName))
            << testing::PrintToString(link.icon);
        EXPECT_EQ(link.iconIndex, 0);
    }
}

TEST(DesktopShortcut, WritesNothingWhenTheShortcutPathWouldNotFit) {
    // "\Quorvane.lnk" is 13 characters: a folder of 246 fills MAX_PATH (260) exactly, terminator
    // included; one of 247 does not fit.
    ScratchFolder base(L"quorvane-shortcut-long");
    for (size_t length : {246u, 247u}) {
        SCOPED_TRACE(testing::Message() << "folder of " << length << " characters");
        std::wstring folder = base.path() + L"\\";
        folder += std::wstring(length - folder.size(), L'd');
        ASSERT_EQ(folder.size(), length);
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        WriteShortcut(folder.c_str(), ThisProgram().c_str());
        EXPECT_EQ(Exists(folder + L"\\Quorvane.lnk"), length == 246);
    }
}

// A shortcut the program may not overwrite (here: held open by someone who shares it with nobody)
// keeps what it had, and the caller carries on.
TEST(DesktopShortcut, ShortcutThatCannotBeWrittenStaysAsItWas) {
    ScratchFolder folder(L"quorvane-shortcut-locked");
    const std::wstring oldProgram = folder.path() + L"\\Old.exe";
    WriteFileBytes(oldProgram, "MZ");
    const std::wstring shortcut = folder.path() + L"\\Quorvane.lnk";
    WriteShortcut(folder.path().c_str(), oldProgram.c_str());
    {
        platform::UniqueKernelHandle held(CreateFileW(shortcut.c_str(), GENERIC_READ, 0, nullptr,
                                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
        WriteShortcut(folder.path().c_str(), ThisProgram().c_str());
    }
    EXPECT_TRUE(SamePath(ReadLink(shortcut).target, oldProgram));
}

// Points the current user's desktop somewhere else for the length of a scope, through the value the
// shell reads it from, and puts the old value back afterwards.
class DesktopRedirect {
  public:
    explicit DesktopRedirect(const std::wstring& folder) {
        RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_);
        DWORD size = sizeof(old_);
        hadValue_ = RegQueryValueExW(key_, L"Desktop", nullptr, &oldType_, reinterpret_cast<BYTE*>(old_),
                                     &size) == ERROR_SUCCESS;
        Set(REG_EXPAND_SZ, folder.c_str());
    }
    ~DesktopRedirect() {
        if (hadValue_)
            Set(oldType_, old_);
        else
            RegDeleteValueW(key_, L"Desktop");
        RegCloseKey(key_);
    }
    DesktopRedirect(const DesktopRedirect&) = delete;
    DesktopRedirect& operator=(const DesktopRedirect&) = delete;

  private:
    void Set(DWORD type, const wchar_t* value) {
        RegSetValueExW(key_, L"Desktop", 0, type, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
    }
    static constexpr const wchar_t* kKey =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    HKEY key_ = nullptr;
    bool hadValue_ = false;
    DWORD oldType_ = REG_EXPAND_SZ;
    wchar_t old_[1024] = {};
};

// Runs this program's CreateDesktopShortcut in a process of its own, so that the shell looks the
// desktop folder up afresh (it keeps the first answer for the rest of a process); returns its exit code.
DWORD CreateShortcutInChildProcess() {
    std::wstring command = L"\"" + ThisProgram() + L"\" --gtest_also_run_disabled_tests " +
                           L"--gtest_filter=DesktopShortcutChild.DISABLED_CreatesTheShortcut";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return static_cast<DWORD>(-1);
    platform::UniqueKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    DWORD exitCode = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode;
}

TEST(DesktopShortcutChild, DISABLED_CreatesTheShortcut) { CreateDesktopShortcut(); }

TEST(DesktopShortcut, DesktopThatCannotTakeTheShortcutGetsNothing) {
    ScratchFolder base(L"quorvane-shortcut-nodesktop");
    const std::wstring realShortcut = DesktopFolder() + L"\\Quorvane.lnk";
    const std::wstring missing = base.path() + L"\\missing";
    // With "\Quorvane.lnk" it would take 263 characters, more than MAX_PATH.
    std::wstring tooLong = base.path() + L"\\";
    tooLong += std::wstring(250 - tooLong.size(), L'x');
    CreateDirectoryW(tooLong.c_str(), nullptr);

    for (const std::wstring& folder : {missing, tooLong}) {
        SCOPED_TRACE(testing::PrintToString(folder));
        DeleteFileW(realShortcut.c_str());
        {
            DesktopRedirect redirect(folder);
            ASSERT_TRUE(SamePath(DesktopFolder(), folder)) << "the shell did not follow the redirection";
            EXPECT_EQ(CreateShortcutInChildProcess(), 0u) << "the program must carry on";
        }
        EXPECT_FALSE(Exists(folder + L"\\Quorvane.lnk"));
        EXPECT_FALSE(Exists(realShortcut)) << "written to a desktop the shell no longer reports";
    }
    EXPECT_FALSE(Exists(missing)) << "a missing desktop is not created";
    EXPECT_EQ(CreateShortcutInChildProcess(), 0u);
    EXPECT_TRUE(Exists(realShortcut)) << "the desktop is back";
}

}  // namespace
