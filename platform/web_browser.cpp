#include "platform/web_browser.h"

#include <vector>

namespace platform {

bool CWebBrowser::Create(const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateControl(CLSID_WebBrowser, DIID_DWebBrowserEvents2, windowName, style | WS_VISIBLE, rect,
                         parent, id);
}

void CWebBrowser::Navigate(const wchar_t* url) {
    // Navigate(URL, Flags, TargetFrameName, PostData, Headers): the four optional arguments are passed
    // as references to empty variants, which the control reads as "not given".
    Bstr text(url);
    VARIANTARG address;
    VariantInit(&address);
    address.vt = VT_BSTR;
    address.bstrVal = text.get();
    Variant empty[4];
    CallMethod(kNavigate, {address, ByReference(empty[0]), ByReference(empty[1]), ByReference(empty[2]),
                           ByReference(empty[3])});
}

void CWebBrowser::Navigate2(const wchar_t* url) {
    // Navigate2(URL, Flags, TargetFrameName, PostData, Headers) takes every argument as VARIANT*: the URL
    // and the flags are references to filled variants, the other three to empty ones.
    Variant address, flags, empty[3];
    address.get()->vt = VT_BSTR;
    address.get()->bstrVal = SysAllocString(url ? url : L"");
    flags.get()->vt = VT_I4;
    flags.get()->lVal = 0;
    CallMethod(kNavigate2, {ByReference(address), ByReference(flags), ByReference(empty[0]),
                            ByReference(empty[1]), ByReference(empty[2])});
}

void CWebBrowser::CallMethod(DISPID id, std::initializer_list<VARIANTARG> inCallOrder) {
    ComPtr<IDispatch> control = QueryControl<IDispatch>();
    if (!control) return;
    std::vector<VARIANTARG> args = InDispatchOrder(inCallOrder);
    DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    Variant result;
    control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.get(), nullptr,
                    nullptr);
}

VARIANTARG CWebBrowser::ByReference(Variant& value) {
    VARIANTARG reference;
    VariantInit(&reference);
    reference.vt = VT_BYREF | VT_VARIANT;
    reference.pvarVal = value.get();
    return reference;
}

}  // namespace platform
