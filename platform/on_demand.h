// System libraries that start-up does not need, loaded the first time one of their functions is
// called rather than by the loader before the program's first line runs (MinGW's linker has no
// delay-load imports). The shell is the one the program uses this way.
#pragma once

#include <windows.h>
#include <shlobj.h>
#include <shellapi.h>

#include "platform/handles.h"

namespace platform {

// One library, loaded on the first lookup and kept until the object goes.
class OnDemandLibrary {
  public:
    explicit OnDemandLibrary(const wchar_t* name) : name_(name) {}
    OnDemandLibrary(const OnDemandLibrary&) = delete;
    OnDemandLibrary& operator=(const OnDemandLibrary&) = delete;

    // The exported function `name` as a pointer of type F*, or null when the library or the
    // function is not there.
    template <class F>
    F* Find(const char* name) {
        const FARPROC proc = module() ? GetProcAddress(module_.get(), name) : nullptr;
        // Through a plain function pointer type: casting FARPROC straight to another one is what
        // compilers warn about, and the address is the same either way.
        return reinterpret_cast<F*>(reinterpret_cast<void (*)()>(proc));
    }

  private:
    HMODULE module();

    const wchar_t* name_;
    UniqueModule module_;
    bool tried_ = false;
};

// The shell's functions the program calls, with the shell's own signatures and results; each
// answers as a failed call would when shell32 cannot be loaded.
namespace shell {
HRESULT GetSpecialFolderLocation(HWND owner, int folder, PIDLIST_ABSOLUTE* ids);
BOOL GetPathFromIdList(PCIDLIST_ABSOLUTE ids, wchar_t* path);
HINSTANCE Execute(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                  const wchar_t* directory, int show);
}  // namespace shell

}  // namespace platform
