#include "platform/com.h"

namespace platform {

bool MessageFilter::Register() {
    if (registered_) return true;
    registered_ = SUCCEEDED(CoRegisterMessageFilter(this, previous_.Put()));
    return registered_;
}

void MessageFilter::Revoke() {
    if (!registered_) return;
    ComPtr<IMessageFilter> ours;
    CoRegisterMessageFilter(previous_.get(), ours.Put());
    previous_.Reset();
    registered_ = false;
}

HRESULT MessageFilter::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMessageFilter)) {
        *out = static_cast<IMessageFilter*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

DWORD MessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
    return busyCount_ > 0 ? busyReply_ : static_cast<DWORD>(SERVERCALL_ISHANDLED);
}

DWORD MessageFilter::RetryRejectedCall(HTASK, DWORD, DWORD rejectType) {
    // -1 cancels the call. Only a retry-later answer is worth another try, and only while no busy
    // dialog is wanted: this filter has no dialog to show, so "ask the user" means "give up".
    if (rejectType == SERVERCALL_RETRYLATER && !busyDialog_) return kRetryDelayMs;
    return static_cast<DWORD>(-1);
}

DWORD MessageFilter::MessagePending(HTASK, DWORD, DWORD) {
    // Let COM dispatch what arrives while an outgoing call waits. This filter has no not-responding
    // dialog to show, however long the call takes.
    return PENDINGMSG_WAITDEFPROCESS;
}

}  // namespace platform
