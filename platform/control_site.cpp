#include "platform/control_site.h"

#include <mshtmhst.h>
#include <olectl.h>

namespace platform {
namespace detail {

class SiteHost;

// One interface of the site. Every part shares the host's identity and reference count.
template <class I>
class HostPart : public I {
  public:
    explicit HostPart(SiteHost& host) : host_(host) {}
    HostPart(const HostPart&) = delete;
    HostPart& operator=(const HostPart&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

  protected:
    // The site window, or null once the control has been torn down and only late callers remain.
    ControlSite* site() const;
    SiteHost& host_;
};

class ClientSite : public HostPart<IOleClientSite> {
  public:
    using HostPart::HostPart;
    // Nothing is saved: the container keeps no persistent state of its controls.
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker) *moniker = nullptr;
        return E_NOTIMPL;
    }
    // There is no document container whose other objects the control could enumerate.
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        if (container) *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
};

class InPlaceSite : public HostPart<IOleInPlaceSite> {
  public:
    using HostPart::HostPart;
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP CanInPlaceActivate() override { return site() ? S_OK : S_FALSE; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT position) override;
};

// The frame the control sees: the top-level window around the site. It has no menus, toolbars or
// status bar to share with the control.
class InPlaceFrame : public HostPart<IOleInPlaceFrame> {
  public:
    using HostPart::HostPart;
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    // The frame has no accelerators of its own to offer the control's keys to.
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
};

// How an HTML control shows itself: every answer leaves the control its own behaviour (its context
// menu, its UI, its keys), except the external object, which the site's owner decides.
class UiHandler : public HostPart<IDocHostUIHandler> {
  public:
    using HostPart::HostPart;
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_FALSE; }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO*) override { return E_NOTIMPL; }
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
        return S_FALSE;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        if (key) *key = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) override {
        if (target) *target = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetExternal(IDispatch** external) override;
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) override {
        if (translated) *translated = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** filtered) override {
        if (filtered) *filtered = nullptr;
        return S_FALSE;
    }
};

// Ambient properties: the control asks its site how to behave. Only user mode is answered; for
// everything else the control keeps its own default.
class AmbientProperties : public DispatchByIdOnly<HostPart<IDispatch>> {
  public:
    using DispatchByIdOnly::DispatchByIdOnly;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        // The control runs for the user, never inside a design tool.
        if (id != DISPID_AMBIENT_USERMODE || !result) return DISP_E_MEMBERNOTFOUND;
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
        return S_OK;
    }
};

// The COM object the control knows as its site. It lives as long as someone holds it; the site
// window detaches it at teardown, so a control that keeps it longer reaches nothing.
class SiteHost {
  public:
    explicit SiteHost(ControlSite& site) : site_(&site) {}
    SiteHost(const SiteHost&) = delete;
    SiteHost& operator=(const SiteHost&) = delete;

    HRESULT QueryInterface(REFIID iid, void** out);
    ULONG AddRef() { return ++refs_; }
    ULONG Release() {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    ControlSite* site() const { return site_; }
    void Detach() { site_ = nullptr; }
    // What the parts ask of the site window, which lets only the host in.
    HRESULT GetExternal(IDispatch** external) { return site_ ? site_->OnGetExternal(external) : S_FALSE; }
    void SetControlRect(LPCRECT rect) {
        if (site_ && site_->inPlaceObject_) site_->inPlaceObject_->SetObjectRects(rect, rect);
    }
    IOleClientSite* clientSite() { return &client_; }
    IOleInPlaceFrame* frame() { return &frame_; }

  private:
    ~SiteHost() = default;

    ClientSite client_{*this};
    InPlaceSite inPlaceSite_{*this};
    InPlaceFrame frame_{*this};
    UiHandler uiHandler_{*this};
    AmbientProperties ambient_{*this};
    ControlSite* site_;
    ULONG refs_ = 0;  // the GUI thread's apartment is the only caller
};

HRESULT SiteHost::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
        *out = static_cast<IOleClientSite*>(&client_);
    } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)) {
        *out = static_cast<IOleInPlaceSite*>(&inPlaceSite_);
    } else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame)) {
        *out = static_cast<IOleInPlaceFrame*>(&frame_);
    } else if (IsEqualIID(iid, IID_IDocHostUIHandler)) {
        *out = static_cast<IDocHostUIHandler*>(&uiHandler_);
    } else if (IsEqualIID(iid, IID_IDispatch)) {
        *out = static_cast<IDispatch*>(&ambient_);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

template <class I>
HRESULT HostPart<I>::QueryInterface(REFIID iid, void** out) {
    return host_.QueryInterface(iid, out);
}
template <class I>
ULONG HostPart<I>::AddRef() {
    return host_.AddRef();
}
template <class I>
ULONG HostPart<I>::Release() {
    return host_.Release();
}
template <class I>
ControlSite* HostPart<I>::site() const {
    return host_.site();
}

HRESULT InPlaceSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = site() ? site()->hwnd() : nullptr;
    return *window ? S_OK : E_FAIL;
}

HRESULT InPlaceSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                      LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    if (!frame || !document || !position || !clip || !info) return E_POINTER;
    *frame = nullptr;
    // The frame is the document window too, which a null document window says.
    *document = nullptr;
    if (!site()) return E_FAIL;
    *frame = host_.frame();
    (*frame)->AddRef();
    // The control covers the whole site.
    GetClientRect(site()->hwnd(), position);
    *clip = *position;
    info->fMDIApp = FALSE;
    info->hwndFrame = GetAncestor(site()->hwnd(), GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

// The control wants another rectangle: it gets it, until the site is next sized.
HRESULT InPlaceSite::OnPosRectChange(LPCRECT position) {
    if (!position) return E_POINTER;
    host_.SetControlRect(position);
    return S_OK;
}

HRESULT InPlaceFrame::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = site() ? GetAncestor(site()->hwnd(), GA_ROOT) : nullptr;
    return *window ? S_OK : E_FAIL;
}

HRESULT UiHandler::GetExternal(IDispatch** external) {
    if (!external) return E_POINTER;
    *external = nullptr;
    return host_.GetExternal(external);
}

// Receives the control's events (a dispinterface, so only Invoke carries anything) and hands them to
// the site. A separate object: the site's own IDispatch answers ambient properties.
class EventSink : public DispatchByIdOnly<IDispatch> {
  public:
    EventSink(ControlSite& site, REFIID events) : site_(&site), events_(events) {}
    EventSink(const EventSink&) = delete;
    EventSink& operator=(const EventSink&) = delete;

    void Detach() { site_ = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) && !IsEqualIID(iid, events_))
            return E_NOINTERFACE;
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    // Every event is acknowledged, handled or not: a control must not take an unhandled one as a fault.
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        if (site_) site_->DeliverEvent(id, params);
        return S_OK;
    }

  private:
    virtual ~EventSink() = default;

    ControlSite* site_;
    IID events_;
    ULONG refs_ = 0;
};

}  // namespace detail

const MessageTable<ControlSite> ControlSite::kMessages = {
    {WM_NCHITTEST, &ControlSite::OnNcHitTest},
    {WM_SIZE, &ControlSite::OnSize},
    {WM_DESTROY, &ControlSite::OnDestroy},
};

ControlSite::ControlSite() = default;

ControlSite::~ControlSite() { DestroyControl(); }

bool ControlSite::CreateControl(REFCLSID clsid, REFIID events, const wchar_t* name, DWORD style,
                                const RECT& rect, HWND parent, UINT id) {
    if (hwnd()) return false;  // one control per site
    controlId_ = id;
    if (!CreateEx(0, PlainWindowClass(), name, style, rect, parent, id)) return false;
    ComPtr<IOleObject> object;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object.PutVoid())))
        return false;
    if (ActivateControl(std::move(object), events)) return true;
    // A control that would not come up is let go at once: the site stays, empty, and everything
    // asked of it later finds no control.
    ReleaseControl();
    return false;
}

bool ControlSite::ActivateControl(ComPtr<IOleObject> object, REFIID events) {
    host_ = ComPtr<detail::SiteHost>(new detail::SiteHost(*this));
    // Held from here on, so that a failure below is torn down like any other control.
    object_ = object;
    IOleClientSite* client = host_->clientSite();
    DWORD misc = 0;
    object->GetMiscStatus(DVASPECT_CONTENT, &misc);
    // Some controls, the web browser among them, need their site before they can initialise.
    const bool siteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst && FAILED(object->SetClientSite(client))) return false;
    // A control without persistence needs no initialising.
    ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(object.As(&persist)) && FAILED(persist->InitNew())) return false;
    if (!siteFirst && FAILED(object->SetClientSite(client))) return false;
    AdviseEvents(object.get(), events);

    RECT area{};
    GetClientRect(hwnd(), &area);
    if (FAILED(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, client, 0, hwnd(), &area))) return false;
    object.As(&inPlaceObject_);
    object.As(&activeObject_);
    return true;
}

void ControlSite::AdviseEvents(IUnknown* control, REFIID events) {
    ComPtr<IConnectionPointContainer> points;
    if (FAILED(control->QueryInterface(IID_IConnectionPointContainer, points.PutVoid()))) return;
    if (FAILED(points->FindConnectionPoint(events, connection_.Put()))) return;
    sink_ = ComPtr<detail::EventSink>(new detail::EventSink(*this, events));
    if (FAILED(connection_->Advise(sink_.get(), &adviseCookie_))) connection_.Reset();
}

void ControlSite::DestroyControl() {
    ReleaseControl();
    Destroy();
}

void ControlSite::ReleaseControl() {
    // Taking the control out first makes a nested call (from the site's WM_DESTROY) find nothing.
    ComPtr<IOleObject> object = std::move(object_);
    if (!object) return;
    // The order is deliberate. Deactivation first destroys the control's window while its parent,
    // the site, still exists. Close comes next, with the client site still attached: while it closes,
    // the browser control reports its deactivation and hides itself through that site, and asks its
    // document host for its last UI calls; a site taken away first would leave those calls without an
    // answer halfway through. Close may let go of the control's inner objects, but `object` holds our
    // own reference, so the interface stays valid for the one call that follows: SetClientSite(null),
    // which cuts the control's reference to our site, as the last link from the control to us.
    if (inPlaceObject_) inPlaceObject_->InPlaceDeactivate();
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
    if (connection_) connection_->Unadvise(adviseCookie_);
    connection_.Reset();
    adviseCookie_ = 0;
    inPlaceObject_.Reset();
    activeObject_.Reset();
    // Whatever still calls in late (a kept site, a queued event) finds no window behind it.
    if (sink_) sink_->Detach();
    sink_.Reset();
    if (host_) host_->Detach();
    host_.Reset();
}

// The site is a window only so that the control has a parent of ours; for the pointer it is not
// there. A press the control passes on (its window answers HTTRANSPARENT) then reaches the window
// that holds the site, just as when the control is that window's own child.
LRESULT ControlSite::OnNcHitTest(Message&) { return HTTRANSPARENT; }

LRESULT ControlSite::OnSize(Message& m) {
    const LRESULT result = m.Default();
    FitControlToSite();
    return result;
}

// The site is going (its parent may be taking it along): the control goes first, while its window,
// a child of the site, still exists.
LRESULT ControlSite::OnDestroy(Message& m) {
    ReleaseControl();
    return m.Default();
}

void ControlSite::FitControlToSite() {
    if (!inPlaceObject_) return;
    RECT area{};
    GetClientRect(hwnd(), &area);
    inPlaceObject_->SetObjectRects(&area, &area);
}

void ControlSite::DeliverEvent(DISPID id, DISPPARAMS* params) {
    if (eventTarget_ && params) eventTarget_->OnControlEvent(controlId_, id, *params);
}

}  // namespace platform
