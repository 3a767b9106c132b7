#include "platform/on_demand.h"

namespace platform {

HMODULE OnDemandLibrary::module() {
    if (!tried_) {
        tried_ = true;
        // Only from the system folder: the program often runs from a downloads folder, where a DLL of
        // the same name must never be picked up. Systems without the search flags answer
        // ERROR_INVALID_PARAMETER and get the plain search.
        module_.reset(LoadLibraryExW(name_, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
        if (!module_ && GetLastError() == ERROR_INVALID_PARAMETER) module_.reset(LoadLibraryW(name_));
    }
    return module_.get();
}

namespace shell {
namespace {

OnDemandLibrary& Shell32() {
    static OnDemandLibrary library(L"shell32.dll");
    return library;
}

}  // namespace

HRESULT GetSpecialFolderLocation(HWND owner, int folder, PIDLIST_ABSOLUTE* ids) {
    static const auto function =
        Shell32().Find<decltype(::SHGetSpecialFolderLocation)>("SHGetSpecialFolderLocation");
    if (!function) return E_NOTIMPL;
    return function(owner, folder, ids);
}

BOOL GetPathFromIdList(PCIDLIST_ABSOLUTE ids, wchar_t* path) {
    static const auto function = Shell32().Find<decltype(::SHGetPathFromIDListW)>("SHGetPathFromIDListW");
    return function ? function(ids, path) : FALSE;
}

HINSTANCE Execute(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                  const wchar_t* directory, int show) {
    static const auto function = Shell32().Find<decltype(::ShellExecuteW)>("ShellExecuteW");
    // What ShellExecute itself answers when it finds no way to open the file.
    if (!function) return reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC);
    return function(owner, verb, file, parameters, directory, show);
}

}  // namespace shell
}  // namespace platform
