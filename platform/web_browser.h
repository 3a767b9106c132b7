// The system's web browser control, hosted in a site window of ours.
#pragma once

#include <exdisp.h>

#include <initializer_list>

#include "platform/control_site.h"

namespace platform {

class CWebBrowser : public ControlSite {
  public:
    // Creates the web browser control as a child of parent over rect, with the given id; its events
    // (DWebBrowserEvents2) go to the site's event target. The control is always created visible: its
    // owners never show it themselves and rely on it to show the page it navigates to.
    bool Create(const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent, UINT id);

    // Starts loading url and returns at once; the result of the request is not examined.
    void Navigate(const wchar_t* url);

    // Loads url into the control itself: flags 0, no target frame, post data or extra headers.
    void Navigate2(const wchar_t* url);

    // Dispatch ids of the browser object, the same for the control and for each frame's browser.
    static constexpr DISPID kNavigate = 104;
    static constexpr DISPID kDocument = 203;
    static constexpr DISPID kNavigate2 = 500;

  private:
    // Calls method `id` of the control with the arguments in the order of the call; nothing is
    // returned or examined.
    void CallMethod(DISPID id, std::initializer_list<VARIANTARG> inCallOrder);
    // An argument that refers to `value` (VT_BYREF | VT_VARIANT), as VARIANT* parameters want it.
    static VARIANTARG ByReference(Variant& value);
};

}  // namespace platform
