// The login page's external object (window.external in the page's script): the one way the page
// reaches the program. It answers the single name "StartGame", which opens a game window.
#pragma once

#include <windows.h>
#include <oaidl.h>

// Opens one game window on `url`. The string lives only for the call: the opener copies what it keeps.
using GameOpener = void (*)(const wchar_t* url);

// A heap object without type information, class factory or registration; it deletes itself when the
// last reference goes. Every call comes on the GUI thread, so the count is a plain integer.
class CExternalDisp final : public IDispatch {
  public:
    static constexpr DISPID kStartGameId = 1234;

    // Starts with no reference: the creator takes the first one with AddRef.
    explicit CExternalDisp(GameOpener openGame) : openGame_(openGame) {}
    CExternalDisp(const CExternalDisp&) = delete;
    CExternalDisp& operator=(const CExternalDisp&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch. There is no type library to describe the one method.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT nameCount, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

  private:
    // Only Release deletes the object.
    ~CExternalDisp() = default;

    HRESULT StartGame(const DISPPARAMS* params);

    LONG refs_ = 0;
    GameOpener openGame_;
};
