// COM ownership helpers and the thread's OLE session.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <initializer_list>
#include <iterator>
#include <utility>
#include <vector>

namespace platform {

// Holds one reference to a COM interface and releases it on scope exit.
template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes an additional reference to p.
    explicit ComPtr(T* p) : ptr_(p) {
        if (ptr_) ptr_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.ptr_) {}
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(ptr_, other.ptr_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Adopts a reference the caller already owns (from a factory that returned it AddRef'd).
    static ComPtr Adopt(T* p) {
        ComPtr result;
        result.ptr_ = p;
        return result;
    }

    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }

    // For out parameters: releases what is held and hands out the slot.
    T** Put() {
        Reset();
        return &ptr_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    void Reset() {
        if (T* old = std::exchange(ptr_, nullptr)) old->Release();
    }
    // Gives the reference to the caller (an out parameter of a COM method).
    T* Detach() { return std::exchange(ptr_, nullptr); }

    template <class U>
    HRESULT As(ComPtr<U>* out) const {
        if (!ptr_) return E_POINTER;
        return ptr_->QueryInterface(__uuidof(U), out->PutVoid());
    }
    HRESULT QueryInterface(REFIID iid, void** out) const {
        *out = nullptr;
        return ptr_ ? ptr_->QueryInterface(iid, out) : E_POINTER;
    }

  private:
    T* ptr_ = nullptr;
};

// An owned BSTR.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : bstr_(text ? SysAllocString(text) : nullptr) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : bstr_(std::exchange(other.bstr_, nullptr)) {}
    ~Bstr() { SysFreeString(bstr_); }
    BSTR get() const { return bstr_; }
    BSTR* Put() {
        SysFreeString(std::exchange(bstr_, nullptr));
        return &bstr_;
    }

  private:
    BSTR bstr_ = nullptr;
};

// An owned VARIANT, cleared on scope exit.
class Variant {
  public:
    Variant() { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* get() { return &value_; }
    const VARIANT& operator*() const { return value_; }

  private:
    VARIANT value_;
};

// IDispatch hands arguments over in reverse: rgvarg[0] is the last argument of the call and
// rgvarg[cArgs - 1] the first. These three are the only code that knows it.
// The argument at `position` of the call (0 is the first); position must be below params.cArgs.
inline VARIANTARG& ArgumentInCallOrder(const DISPPARAMS& params, UINT position) {
    return params.rgvarg[params.cArgs - 1 - position];
}
// The last argument of the call; params must hold at least one.
inline VARIANTARG& LastArgument(const DISPPARAMS& params) {
    return ArgumentInCallOrder(params, params.cArgs - 1);
}
// Arguments given in the order of the call, laid out as rgvarg wants them.
inline std::vector<VARIANTARG> InDispatchOrder(std::initializer_list<VARIANTARG> inCallOrder) {
    return std::vector<VARIANTARG>(std::rbegin(inCallOrder), std::rend(inCallOrder));
}

// The type-information half of IDispatch for objects that are reached by DISPID only: they describe
// themselves to nobody and know no names.
template <class Base>
class DispatchByIdOnly : public Base {
  public:
    using Base::Base;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
};

// OleInitialize for this thread, undone on destruction when it succeeded.
class OleSession {
  public:
    OleSession() : result_(OleInitialize(nullptr)) {}
    ~OleSession() {
        if (SUCCEEDED(result_)) OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    bool ok() const { return SUCCEEDED(result_); }

  private:
    HRESULT result_;
};

// The thread's COM message filter: a call to a busy server is retried later, and no "server busy"
// or "not responding" dialog ever comes up for the user.
class MessageFilter : public IMessageFilter {
  public:
    MessageFilter() = default;
    MessageFilter(const MessageFilter&) = delete;
    MessageFilter& operator=(const MessageFilter&) = delete;

    // Installs this filter on the calling thread; Revoke (or destruction) puts the previous one back.
    bool Register();
    void Revoke();
    ~MessageFilter() { Revoke(); }

    // This filter never shows a dialog of its own: with the busy dialog off a rejected call is
    // retried after kRetryDelayMs, and with it on the call is cancelled instead of asking anyone.
    void EnableBusyDialog(bool enable) { busyDialog_ = enable; }
    // What incoming calls get while the thread has declared itself busy.
    void SetBusyReply(DWORD reply) { busyReply_ = reply; }
    void BeginBusyState() { ++busyCount_; }
    void EndBusyState() {
        if (busyCount_ > 0) --busyCount_;
    }

    static constexpr DWORD kRetryDelayMs = 100;

    // IUnknown: the filter lives as long as its owner; the count only satisfies COM.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // IMessageFilter
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD type, HTASK caller, DWORD tick,
                                               LPINTERFACEINFO info) override;
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD elapsed, DWORD rejectType) override;
    DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD elapsed, DWORD pendingType) override;

  private:
    bool registered_ = false;
    ComPtr<IMessageFilter> previous_;
    bool busyDialog_ = true;
    DWORD busyReply_ = SERVERCALL_ISHANDLED;
    int busyCount_ = 0;
};

}  // namespace platform
