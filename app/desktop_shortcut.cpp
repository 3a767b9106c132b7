#include "app/desktop_shortcut.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>

#include "platform/com.h"
#include "platform/on_demand.h"

using platform::ComPtr;

namespace {

const wchar_t kShortcutName[] = L"\\Quorvane.lnk";

// One more reference to this thread's COM initialisation for the length of a scope. OLE is normally
// initialised here already; the extra reference keeps the shell's objects usable even if it is not.
class ComInitialization {
  public:
    ComInitialization() : result_(CoInitialize(nullptr)) {}
    ~ComInitialization() {
        if (SUCCEEDED(result_)) CoUninitialize();  // S_FALSE counts as a reference too
    }
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

  private:
    HRESULT result_;
};

// An item id list from the shell, freed with the task allocator.
class ShellItemIds {
  public:
    ShellItemIds() = default;
    ~ShellItemIds() { CoTaskMemFree(ids_); }
    ShellItemIds(const ShellItemIds&) = delete;
    ShellItemIds& operator=(const ShellItemIds&) = delete;
    PIDLIST_ABSOLUTE get() const { return ids_; }
    PIDLIST_ABSOLUTE* Put() { return &ids_; }

  private:
    PIDLIST_ABSOLUTE ids_ = nullptr;
};

// The current user's desktop (never the one shared by all users) as a file-system path.
bool DesktopFolder(wchar_t (&path)[MAX_PATH]) {
    ShellItemIds desktop;
    if (FAILED(platform::shell::GetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, desktop.Put())))
        return false;
    return platform::shell::GetPathFromIdList(desktop.get(), path) && path[0] != L'\0';
}

bool ExecutablePath(wchar_t (&path)[MAX_PATH]) {
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A path that filled the whole buffer was cut short and names some other file.
    return length > 0 && length < MAX_PATH;
}

bool ShortcutPathIn(const wchar_t* folder, wchar_t (&path)[MAX_PATH]) {
    const size_t folderLength = wcslen(folder);
    const size_t nameLength = wcslen(kShortcutName);
    if (folderLength + nameLength >= MAX_PATH) return false;
    wmemcpy(path, folder, folderLength);
    wmemcpy(path + folderLength, kShortcutName, nameLength + 1);
    return true;
}

}  // namespace

void CreateDesktopShortcut() {
    ComInitialization com;
    wchar_t desktop[MAX_PATH] = {};
    if (!DesktopFolder(desktop)) return;
    wchar_t program[MAX_PATH] = {};
    if (!ExecutablePath(program)) return;
    WriteShortcut(desktop, program);
}

void WriteShortcut(const wchar_t* desktopDir, const wchar_t* exePath) {
    wchar_t shortcut[MAX_PATH] = {};
    if (!ShortcutPathIn(desktopDir, shortcut)) return;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.PutVoid())))
        return;
    ComPtr<IPersistFile> file;  // released before the link, which it belongs to
    if (FAILED(link.As(&file))) return;

    // Failures from here on are ignored: a read-only desktop or shortcut simply keeps what it had.
    link->SetPath(exePath);
    const std::wstring icon = ShortcutIconPath(exePath);
    // Only a name without extension grows here; one that no longer fits a path keeps the default icon.
    if (icon.size() < MAX_PATH) link->SetIconLocation(icon.c_str(), 0);
    // FALSE: the link object does not take the file as its own; it is only written there.
    file->Save(shortcut, FALSE);
}

std::wstring ShortcutIconPath(const std::wstring& exePath) {
    const size_t lastSeparator = exePath.find_last_of(L"\\/");
    const size_t dot = exePath.find_last_of(L'.');
    // A dot in a folder name is no extension of the file's name.
    const bool nameHasExtension =
        dot != std::wstring::npos && (lastSeparator == std::wstring::npos || dot > lastSeparator);
    std::wstring icon = nameHasExtension ? exePath.substr(0, dot + 1) : exePath + L'.';
    return icon + L"exe";
}
