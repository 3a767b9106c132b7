#include "login/external_disp.h"

#include <string>
#include <string_view>

#include "platform/com.h"
#include "platform/web_address.h"

namespace {

constexpr wchar_t kStartGameName[] = L"StartGame";

// VarBstrCmp reads the length prefix of both operands, but a caller's name is only promised to be a
// NUL-terminated string. Comparing a BSTR copy keeps that read inside memory we allocated.
bool NamesStartGame(const wchar_t* name) {
    if (!name) return false;
    platform::Bstr candidate(name);
    platform::Bstr startGame(kStartGameName);
    // Flags 0: case-sensitive, so "startgame" is another name.
    return VarBstrCmp(candidate.get(), startGame.get(), LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
}

// The string a variant carries, by value or by reference; false for every other type.
bool ReadString(const VARIANT& arg, BSTR* text) {
    switch (V_VT(&arg)) {
        case VT_BSTR:
            *text = V_BSTR(&arg);
            return true;
        case VT_BSTR | VT_BYREF:
            *text = V_BSTRREF(&arg) ? *V_BSTRREF(&arg) : nullptr;
            return true;
        default:
            return false;
    }
}

// A BSTR may hold NULs; the URL is what comes before the first one. A null BSTR is the empty string.
std::wstring UpToFirstNul(BSTR text) {
    if (!text) return {};
    std::wstring_view all(text, SysStringLen(text));
    return std::wstring(all.substr(0, all.find(L'\0')));
}

}  // namespace

HRESULT CExternalDisp::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG CExternalDisp::AddRef() { return static_cast<ULONG>(++refs_); }

ULONG CExternalDisp::Release() {
    LONG left = --refs_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

// An unknown name answers E_NOTIMPL rather than DISP_E_UNKNOWNNAME; the script engine fails the
// page's call either way. Only the first name is a member name; the rest would be argument names.
HRESULT CExternalDisp::GetIDsOfNames(REFIID, LPOLESTR* names, UINT nameCount, LCID, DISPID* ids) {
    if (nameCount == 0 || !names || !ids) return E_INVALIDARG;
    if (!NamesStartGame(names[0])) return E_NOTIMPL;
    ids[0] = kStartGameId;
    return S_OK;
}

// A property assignment of StartGame starts the game like a call: the flags are not looked at.
// The result, exception and argument-error slots are never written: the page gets no value back.
HRESULT CExternalDisp::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                              UINT*) {
    if (id != kStartGameId) return E_NOTIMPL;
    return StartGame(params);
}

// The URL is the last argument of the call: with one argument that one, with several the last.
HRESULT CExternalDisp::StartGame(const DISPPARAMS* params) {
    if (!params || params->cArgs == 0 || !params->rgvarg) return DISP_E_BADPARAMCOUNT;
    BSTR text = nullptr;
    if (!ReadString(platform::LastArgument(*params), &text)) return DISP_E_TYPEMISMATCH;
    // Our own copy: the opener sees a string that nothing the page does can change during the call.
    std::wstring url = UpToFirstNul(text);
    // Every page the login view shows gets this object, the user's own navigations and frames
    // included, so only an absolute web address may open a game window: never script, local files or
    // resources. The opener is given exactly the string that was checked.
    if (!platform::IsWebAddress(url)) return E_INVALIDARG;
    openGame_(url.c_str());
    return S_OK;
}
