#include "platform/web_browser.h"

namespace platform {

bool CWebBrowser::Create(const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateControl(CLSID_WebBrowser, DIID_DWebBrowserEvents2, windowName, style | WS_VISIBLE, rect,
                         parent, id);
}

void CWebBrowser::Navigate(const wchar_t* url) {
    ComPtr<IDispatch> control = QueryControl<IDispatch>();
    if (!control) return;
    // Navigate(URL, Flags, TargetFrameName, PostData, Headers): the four optional arguments are passed
    // as references to empty variants, which the control reads as "not given".
    Bstr text(url);
    Variant empty[4];
    VARIANTARG args[5];
    for (int i = 0; i < 4; ++i) {
        VariantInit(&args[i]);
        args[i].vt = VT_BYREF | VT_VARIANT;
        args[i].pvarVal = empty[i].get();
    }
    // rgvarg holds the arguments from the last to the first, so the URL comes last.
    VariantInit(&args[4]);
    args[4].vt = VT_BSTR;
    args[4].bstrVal = text.get();
    DISPPARAMS params{args, nullptr, 5, 0};
    Variant result;
    control->Invoke(kNavigate, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.get(), nullptr,
                    nullptr);
}

void CWebBrowser::Navigate2(const wchar_t* url) {
    ComPtr<IDispatch> control = QueryControl<IDispatch>();
    if (!control) return;
    // Navigate2(URL, Flags, TargetFrameName, PostData, Headers) takes every argument as VARIANT*: the URL
    // and the flags are references to filled variants, the other three to empty ones.
    Variant address, flags, empty[3];
    address.get()->vt = VT_BSTR;
    address.get()->bstrVal = SysAllocString(url ? url : L"");
    flags.get()->vt = VT_I4;
    flags.get()->lVal = 0;
    VARIANT* byOrder[5] = {address.get(), flags.get(), empty[0].get(), empty[1].get(), empty[2].get()};
    VARIANTARG args[5];
    for (int i = 0; i < 5; ++i) {
        VariantInit(&args[i]);
        args[i].vt = VT_BYREF | VT_VARIANT;
        args[i].pvarVal = byOrder[4 - i];  // rgvarg runs from the last argument to the first
    }
    DISPPARAMS params{args, nullptr, 5, 0};
    Variant result;
    control->Invoke(kNavigate2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.get(),
                    nullptr, nullptr);
}

}  // namespace platform
