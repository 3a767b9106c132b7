// Hosting an ActiveX control as a child of one of our windows: a site window of our own in which the
// control is in-place active, the container interfaces the control asks its site for, and the
// control's events delivered to a per-class event table.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "platform/com.h"
#include "platform/window.h"

namespace platform {

// Receives the events of the controls whose site names it as their target.
class ControlEventTarget {
  public:
    virtual void OnControlEvent(UINT controlId, DISPID id, DISPPARAMS& params) = 0;

  protected:
    ~ControlEventTarget() = default;
};

// How one event argument reaches a typed handler; an argument of another type reads as empty.
template <class A>
struct EventArg;
template <>
struct EventArg<IDispatch*> {
    static IDispatch* From(VARIANTARG& v) {
        if (v.vt == VT_DISPATCH) return v.pdispVal;
        if (v.vt == (VT_BYREF | VT_DISPATCH) && v.ppdispVal) return *v.ppdispVal;
        return nullptr;
    }
};
template <>
struct EventArg<VARIANT*> {
    // A by-value argument is handed over as the variant itself.
    static VARIANT* From(VARIANTARG& v) { return v.vt == (VT_BYREF | VT_VARIANT) ? v.pvarVal : &v; }
};
template <>
struct EventArg<BSTR> {
    static BSTR From(VARIANTARG& v) { return v.vt == VT_BSTR ? v.bstrVal : nullptr; }
};
template <>
struct EventArg<long> {
    static long From(VARIANTARG& v) { return v.vt == VT_I4 ? v.lVal : 0; }
};

// (control id, DISPID) -> handler with typed parameters, for one class; for example
//   Events::On(2001, DISPID_DOCUMENTCOMPLETE, &GameWindow::OnDocumentComplete)
// with void OnDocumentComplete(IDispatch* browser, VARIANT* url).
template <class T>
class EventTable {
  public:
    struct Entry {
        UINT controlId;
        DISPID id;
        std::function<void(T&, DISPPARAMS&)> call;
    };

    EventTable(std::initializer_list<Entry> entries) : entries_(entries) {}

    template <class... Args>
    static Entry On(UINT controlId, DISPID id, void (T::*handler)(Args...)) {
        return Entry{controlId, id, [handler](T& self, DISPPARAMS& params) {
                         // An event whose arguments do not match the handler's is not for it.
                         if (params.cArgs != sizeof...(Args)) return;
                         Call(self, handler, params, std::index_sequence_for<Args...>());
                     }};
    }

    // Runs the handler for the event; false when the table has none.
    bool Route(T& self, UINT controlId, DISPID id, DISPPARAMS& params) const {
        for (const Entry& e : entries_) {
            if (e.controlId == controlId && e.id == id) {
                e.call(self, params);
                return true;
            }
        }
        return false;
    }

  private:
    template <class... Args, size_t... I>
    static void Call(T& self, void (T::*handler)(Args...), DISPPARAMS& params, std::index_sequence<I...>) {
        (self.*handler)(EventArg<Args>::From(ArgumentInCallOrder(params, static_cast<UINT>(I)))...);
    }

    std::vector<Entry> entries_;
};

namespace detail {
class SiteHost;
class EventSink;
}  // namespace detail

// A child window of ours in which one ActiveX control is in-place active. Moving or sizing this window
// sets the control's rectangle; destroying it (or DestroyControl) tears the control down.
class ControlSite : public MessageRouted<ControlSite, Window> {
  public:
    static const MessageTable<ControlSite> kMessages;
    ControlSite();
    ~ControlSite() override;

    // Creates the site window (a child of parent with the given style, rectangle and id) and the control
    // of class clsid in it, in-place active over the whole site. Events of the dispinterface `events` go
    // to the event target. False when the site window or the control could not be made or activated
    // (SetClientSite, InitNew or DoVerb failed); a control that failed is released at once, and a site
    // window made before a failure stays, empty.
    bool CreateControl(REFCLSID clsid, REFIID events, const wchar_t* name, DWORD style, const RECT& rect,
                       HWND parent, UINT id);

    // Deactivates and closes the control, cuts every link between it and this site, releases it and
    // destroys the site window. Harmless when there is nothing (left) to tear down.
    void DestroyControl();

    // Where the control's events go; null (the default) drops them.
    void SetEventTarget(ControlEventTarget* target) { eventTarget_ = target; }

    bool hasControl() const { return static_cast<bool>(object_); }
    // Any interface of the control, e.g. its IDispatch or IWebBrowser2; empty when there is no control.
    template <class I>
    ComPtr<I> QueryControl() const {
        ComPtr<I> result;
        if (object_) object_.As(&result);
        return result;
    }
    // For keyboard forwarding: a window that wants the control's accelerators (Tab, Delete, shortcuts)
    // hands queued keys to TranslateAccelerator. Null when there is no control.
    IOleInPlaceActiveObject* activeObject() const { return activeObject_.get(); }

  protected:
    // The control asks its host for an object that page script reaches as window.external. The default
    // hands out none; S_FALSE tells the control that the host answered but has nothing.
    virtual HRESULT OnGetExternal(IDispatch** external) {
        *external = nullptr;
        return S_FALSE;
    }

  private:
    friend class detail::SiteHost;
    friend class detail::EventSink;

    LRESULT OnNcHitTest(Message& m);
    LRESULT OnSize(Message& m);
    LRESULT OnDestroy(Message& m);

    bool ActivateControl(ComPtr<IOleObject> object, REFIID events);
    void AdviseEvents(IUnknown* control, REFIID events);
    void ReleaseControl();
    void FitControlToSite();
    void DeliverEvent(DISPID id, DISPPARAMS* params);

    UINT controlId_ = 0;
    ControlEventTarget* eventTarget_ = nullptr;
    ComPtr<detail::SiteHost> host_;
    ComPtr<detail::EventSink> sink_;
    ComPtr<IOleObject> object_;
    ComPtr<IOleInPlaceObject> inPlaceObject_;
    ComPtr<IOleInPlaceActiveObject> activeObject_;
    ComPtr<IConnectionPoint> connection_;
    DWORD adviseCookie_ = 0;
};

}  // namespace platform
