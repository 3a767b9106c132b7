#include "platform/dialog.h"

namespace platform {
namespace {

// The work area of the monitor that holds the window. For the primary monitor the system's own
// setting is asked, which follows every change of the taskbar and desktop toolbars (Wine's monitor
// information does not).
RECT WorkAreaOf(HWND hwnd) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT work = monitor.rcWork;
    if (monitor.dwFlags & MONITORINFOF_PRIMARY) SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

}  // namespace

INT_PTR Dialog::DoModal(HWND owner) {
    modalEnded_ = false;
    modalResult_ = -1;
    inModalRun_ = true;
    if (Create(templateId_, owner, Placement::kCentred)) RunModalLoop();
    inModalRun_ = false;
    Destroy();
    return modalResult_;
}

bool Dialog::Create(UINT templateId, HWND owner, Placement placement) {
    templateId_ = templateId;
    placement_ = placement;
    CreationHook hook(*this);
    return CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(templateId), owner,
                              &Dialog::StaticDialogProc, 0) != nullptr;
}

void Dialog::RunModalLoop() {
    MSG msg;
    while (!modalEnded_ && hwnd()) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // Someone asked the thread to quit: end the run and leave WM_QUIT for an outer loop.
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (PreTranslateQueued(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Dialog::EndDialog(INT_PTR result) {
    if (inModalRun_) {
        modalResult_ = result;
        modalEnded_ = true;
        // Wake GetMessage so the loop sees the end even when the queue is empty.
        PostMessageW(hwnd(), WM_NULL, 0, 0);
        return;
    }
    ::EndDialog(hwnd(), result);
}

LRESULT Dialog::OnMessage(Message& m) {
    switch (m.id) {
        case WM_INITDIALOG:
            return HandleInitDialog();
        case WM_COMMAND:
            return HandleCommand(m);
        default:
            return m.Default();
    }
}

LRESULT Dialog::HandleInitDialog() {
    RECT before{};
    GetWindowRect(hwnd(), &before);
    BOOL result = OnInitDialog();
    // A dialog that is still hidden and did not move itself during initialisation gets centred,
    // before the dialog manager shows it; one that its caller places at once is left alone, since
    // the centring would be undone before anything showed it.
    if (placement_ == Placement::kByCaller) return result;
    RECT after{};
    GetWindowRect(hwnd(), &after);
    LONG style = GetWindowLongW(hwnd(), GWL_STYLE);
    if (!(style & (WS_VISIBLE | WS_CHILD)) && before.left == after.left && before.top == after.top)
        CenterWindow();
    return result;
}

LRESULT Dialog::HandleCommand(Message& m) {
    switch (LOWORD(m.wParam)) {
        case IDOK:
            OnOK();
            return 0;
        case IDCANCEL:
            OnCancel();
            return 0;
        default:
            return m.Default();
    }
}

bool Dialog::PreTranslateMessage(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    if (msg.hwnd != hwnd() && !IsChild(hwnd(), msg.hwnd)) return false;
    return IsDialogMessageW(hwnd(), &msg) != FALSE;
}

void Dialog::CenterWindow() {
    RECT window{};
    GetWindowRect(hwnd(), &window);
    const RECT work = WorkAreaOf(hwnd());

    RECT around = work;
    HWND owner = GetWindow(hwnd(), GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);

    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    LONG left = (around.left + around.right) / 2 - width / 2;
    LONG top = (around.top + around.bottom) / 2 - height / 2;
    // Keep the window inside the work area; a window larger than it sits at its top-left corner.
    if (left + width > work.right) left = work.right - width;
    if (top + height > work.bottom) top = work.bottom - height;
    if (left < work.left) left = work.left;
    if (top < work.top) top = work.top;
    SetWindowPos(hwnd(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK Dialog::StaticDialogProc(HWND, UINT, WPARAM, LPARAM) {
    // Everything reaches the Dialog object through its window procedure first; what it hands on
    // to the default processing wants the dialog manager's behaviour and nothing else.
    return FALSE;
}

}  // namespace platform
