// The desktop shortcut to the running program.
#pragma once

#include <string>

// Writes "Quorvane.lnk" on the current user's desktop, pointing at the running executable with its
// own icon, replacing any file of that name. Reports nothing; failures leave the desktop as it was.
void CreateDesktopShortcut();

// What CreateDesktopShortcut is made of, for callers that know the folder and the program already.
// Writes `desktopDir`\Quorvane.lnk pointing at exePath; writes nothing when that path would not fit
// in MAX_PATH characters or the shell's link object is not available. Expects COM on the thread.
void WriteShortcut(const wchar_t* desktopDir, const wchar_t* exePath);
// The program path with the extension of its file name replaced by "exe" (".exe" appended when the
// name has none): where the shortcut takes its icon from.
std::wstring ShortcutIconPath(const std::wstring& exePath);
