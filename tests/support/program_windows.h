// Finding a running program's windows from outside it: for the tests that start the real program and
// for the start-up benchmark, which has no test framework to link.
#pragma once

#include <windows.h>

#include <vector>

namespace testsupport {

// The process's visible top-level window that nothing owns and that is titled exactly `title`; null
// while there is none.
inline HWND ShownTopLevelWindow(DWORD pid, const wchar_t* title) {
    struct Search {
        DWORD pid;
        const wchar_t* title;
        HWND found;
    } search{pid, title, nullptr};
    struct Visit {
        static BOOL CALLBACK Window(HWND hwnd, LPARAM param) {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner != s->pid || !IsWindowVisible(hwnd) || GetWindow(hwnd, GW_OWNER)) return TRUE;
            wchar_t text[64] = {};
            GetWindowTextW(hwnd, text, 64);
            if (lstrcmpW(text, s->title) != 0) return TRUE;
            s->found = hwnd;
            return FALSE;
        }
    };
    EnumWindows(&Visit::Window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Every top-level window that `owner` owns, shown or hidden, in no particular order.
inline std::vector<HWND> OwnedWindows(HWND owner) {
    struct Search {
        HWND owner;
        std::vector<HWND> found;
    } search{owner, {}};
    if (!owner) return {};
    struct Visit {
        static BOOL CALLBACK Window(HWND hwnd, LPARAM param) {
            auto* s = reinterpret_cast<Search*>(param);
            if (GetWindow(hwnd, GW_OWNER) == s->owner) s->found.push_back(hwnd);
            return TRUE;
        }
    };
    EnumWindows(&Visit::Window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace testsupport
