#include "controls/image_button.h"

#include "platform/handles.h"
#include "platform/on_demand.h"
#include "res/png_resource.h"

using platform::Message;

const platform::MessageTable<CImageButton> CImageButton::kMessages = {
    {WM_CREATE, &CImageButton::OnCreate},
    {WM_PAINT, &CImageButton::OnPaint},
    {WM_MOUSEMOVE, &CImageButton::OnMouseMove},
    {WM_MOUSELEAVE, &CImageButton::OnMouseLeave},
    {WM_SETCURSOR, &CImageButton::OnSetCursor},
    {WM_LBUTTONDOWN, &CImageButton::OnLButtonDown},
    {WM_LBUTTONUP, &CImageButton::OnLButtonUp},
    {WM_DESTROY, &CImageButton::OnDestroy},
    // The classic system button draws its face straight onto the screen, outside WM_PAINT, when its
    // pushed, focus, default, enabled or text state changes (the version 6 one asks for a repaint,
    // which OnPaint serves); either way the image goes back on top at once.
    {BM_SETSTATE, &CImageButton::OnFaceChange},
    {BM_SETSTYLE, &CImageButton::OnFaceChange},
    {BM_SETCHECK, &CImageButton::OnFaceChange},
    {WM_SETFOCUS, &CImageButton::OnFaceChange},
    {WM_KILLFOCUS, &CImageButton::OnFaceChange},
    {WM_ENABLE, &CImageButton::OnFaceChange},
    {WM_SETTEXT, &CImageButton::OnFaceChange},
    {WM_SETFONT, &CImageButton::OnFaceChange},
    {WM_UPDATEUISTATE, &CImageButton::OnFaceChange},
};

CImageButton::ShellOpener CImageButton::shellOpener_ = &CImageButton::OpenWithShell;

void CImageButton::OpenWithShell(const wchar_t* target) {
    // The shell picks the program (a browser for a URL) and starts it; the outcome is not ours to report.
    platform::shell::Execute(nullptr, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

CImageButton::ShellOpener CImageButton::SetShellOpener(ShellOpener opener) {
    const ShellOpener previous = shellOpener_;
    shellOpener_ = opener ? opener : &CImageButton::OpenWithShell;
    return previous;
}

bool CImageButton::Create(const wchar_t* caption, const RECT& rect, HWND parent, UINT id) {
    return CreateEx(0, L"Button", caption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, rect, parent, id);
}

void CImageButton::LoadImages(UINT normalId, UINT hoverId, const wchar_t* tag) {
    LoadPngResource(normalId, normal_);
    LoadPngResource(hoverId, hover_);
    tag_ = tag ? tag : L"";
    current_ = &normal_;
}

void CImageButton::DrawCurrentImage() {
    if (!hwnd() || !current_) return;
    // The whole client area, not just what waits to be painted: the image always goes on complete.
    platform::WindowDc dc(hwnd());
    platform::Graphics graphics(dc.get());
    graphics.DrawNatural(*current_);
}

LRESULT CImageButton::OnCreate(Message& m) {
    if (m.Default() == -1) return -1;
    current_ = &normal_;
    return 0;
}

LRESULT CImageButton::OnPaint(Message&) {
    PaintNow();
    return 0;  // the standard face is never drawn
}

LRESULT CImageButton::OnMouseMove(Message& m) {
    Show(hover_);
    AskForLeaveNotice();
    return m.Default();
}

LRESULT CImageButton::OnMouseLeave(Message& m) {
    Show(normal_);
    return m.Default();
}

LRESULT CImageButton::OnSetCursor(Message&) {
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
}

LRESULT CImageButton::OnLButtonDown(Message& m) {
    // The hover image is on screen before the action, which may hide or close the button's windows.
    UpdateWindow(hwnd());
    const HWND self = hwnd();
    RunAction();
    // "close" may have destroyed the owner, and with it the host and this button.
    if (!IsWindow(self)) return 0;
    return m.Default();
}

LRESULT CImageButton::OnLButtonUp(Message&) {
    // The release never reaches the standard button, so it never reports a click: the action ran on
    // the press. The press did take the mouse capture, though, and it is given back here; a button
    // that kept it would receive the next press anywhere in the program and run its action again.
    if (GetCapture() == hwnd()) ReleaseCapture();
    return 0;
}

LRESULT CImageButton::OnDestroy(Message& m) {
    const LRESULT result = m.Default();
    current_ = nullptr;
    normal_.Reset();
    hover_.Reset();
    return result;
}

LRESULT CImageButton::OnFaceChange(Message& m) {
    const LRESULT result = m.Default();
    DrawCurrentImage();
    return result;
}

void CImageButton::Show(const platform::Image& image) {
    current_ = &image;
    PaintNow();
}

// A full paint pass right now, not a request for one later: the pointer's effect shows at once.
void CImageButton::PaintNow() {
    platform::PaintDc paint(hwnd());
    DrawCurrentImage();
}

// The leave notice is one-shot; asking again on every move keeps it armed while the pointer is over
// the button.
void CImageButton::AskForLeaveNotice() {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = hwnd();
    TrackMouseEvent(&track);
}

void CImageButton::RunAction() {
    if (tag_ == L"min") {
        SendToHostOwner(SC_MINIMIZE);
    } else if (tag_ == L"close") {
        SendToHostOwner(SC_CLOSE);
    } else {
        shellOpener_(tag_.c_str());
    }
}

// The button's parent is its host, a popup; the window that owns the host is the one to act on.
void CImageButton::SendToHostOwner(WPARAM command) {
    const HWND host = GetParent(hwnd());
    const HWND owner = host ? GetWindow(host, GW_OWNER) : nullptr;
    if (owner) SendMessageW(owner, WM_SYSCOMMAND, command, 0);
}
