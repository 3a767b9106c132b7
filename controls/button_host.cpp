#include "controls/button_host.h"

#include "platform/handles.h"
#include "platform/layered.h"

using platform::Message;

namespace {

// Fills a rectangle with one colour without creating a brush: an opaque, empty text output.
void FillSolidRect(HDC dc, const RECT& rect, COLORREF colour) {
    const COLORREF previous = SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}

}  // namespace

const platform::MessageTable<DialogImageButton> DialogImageButton::kMessages = {
    {WM_CREATE, &DialogImageButton::OnCreate},
    {WM_ERASEBKGND, &DialogImageButton::OnEraseBkgnd},
    {WM_DESTROY, &DialogImageButton::OnDestroy},
};

void DialogImageButton::SetupButton(const wchar_t* caption, UINT normalId, UINT hoverId, const wchar_t* tag,
                                    UINT childId) {
    // A button that could not be created leaves the host empty and transparent; nothing else changes.
    button_.Create(caption, RECT{0, 0, 0, 0}, hwnd(), childId);
    button_.LoadImages(normalId, hoverId, tag);
    Redraw();
}

void DialogImageButton::SetPlacement(int x, int y, int width) {
    x_ = x;
    y_ = y;
    width_ = width;
    height_ = kHeight;
    Reposition();
}

void DialogImageButton::Reposition() {
    const HWND owner = Owner();
    if (!owner) {
        MoveWindow(0, 0, 0, 0);
        return;
    }
    RECT frame{};
    GetWindowRect(owner, &frame);
    MoveWindow(frame.left + x_, frame.top + y_, width_, height_);
    // The button sits at the host's corner and only changes with the placement: an owner's move,
    // which calls this every time, leaves it alone.
    RECT button{};
    if (button_.hwnd() && GetClientRect(button_.hwnd(), &button) &&
        (button.right != width_ || button.bottom != height_))
        button_.MoveWindow(0, 0, width_, height_);
}

void DialogImageButton::Redraw() {
    // A hidden host covers nothing and shows nothing; it is painted when it is shown.
    if (!IsWindowVisible(hwnd())) return;
    InvalidateOwnerUnderHost();
    platform::PaintDc paint(hwnd());
    RECT client{};
    GetClientRect(hwnd(), &client);
    FillSolidRect(paint.get(), client, kColourKey);
    if (button_.hwnd()) button_.DrawCurrentImage();
}

// The host is its own window, so the owner does not know what the host used to cover.
void DialogImageButton::InvalidateOwnerUnderHost() {
    const HWND owner = Owner();
    if (!owner) return;
    RECT area{};
    GetWindowRect(hwnd(), &area);
    MapWindowPoints(nullptr, owner, reinterpret_cast<POINT*>(&area), 2);
    InvalidateRect(owner, &area, TRUE);
}

LRESULT DialogImageButton::OnCreate(Message& m) {
    if (m.Default() == -1) return -1;
    // The button has no window yet: this paints the host transparent and nothing more.
    Redraw();
    platform::MakeLayered(hwnd(), WS_EX_TRANSPARENT);
    // The key alone decides what shows: without LWA_ALPHA the alpha value plays no part.
    SetLayeredWindowAttributes(hwnd(), kColourKey, 0, LWA_COLORKEY);
    return 0;
}

// Never erased before painting: what is not the button is the colour key, painted by Redraw.
LRESULT DialogImageButton::OnEraseBkgnd(Message&) { return FALSE; }

LRESULT DialogImageButton::OnDestroy(Message& m) {
    // The button goes first, releasing its images while the host is still whole.
    button_.Destroy();
    return m.Default();
}
