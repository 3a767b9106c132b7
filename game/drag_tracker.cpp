#include "game/drag_tracker.h"

#include "game/game_window.h"

namespace {

const PointerSource* g_pointerSource = nullptr;

const PointerSource& Pointer() {
    static const PointerSource system;
    return g_pointerSource ? *g_pointerSource : system;
}

void StartTicking(HWND window) {
    // A running timer with the same id is restarted, so a second press never adds a second timer.
    SetTimer(window, kDragTimerId, kDragTickMs, nullptr);
}

// All cursor movement since the last tick becomes one move of the window, wherever the cursor is now.
void MoveByCursor(GameBrowserConainter& window) {
    DragState& state = SharedDragState();
    const POINT cursor = Pointer().CursorPos();
    RECT rect{};
    GetWindowRect(window.hwnd(), &rect);
    MoveWindow(window.hwnd(), rect.left + cursor.x - state.dragAnchor.x,
               rect.top + cursor.y - state.dragAnchor.y, rect.right - rect.left, rect.bottom - rect.top,
               TRUE);
    state.dragAnchor = Pointer().CursorPos();
    window.FitBrowserToClient();
}

}  // namespace

DragState& SharedDragState() {
    static DragState state;
    return state;
}

POINT PointerSource::CursorPos() const {
    POINT point{};
    GetCursorPos(&point);
    return point;
}

bool PointerSource::LeftButtonDown() const { return (GetKeyState(VK_LBUTTON) & 0x8000) != 0; }

void SetPointerSource(const PointerSource* source) { g_pointerSource = source; }

void GameBrowserConainter::OnLButtonDown(UINT, POINT point) {
    DragState& state = SharedDragState();
    if (point.y < kDragBandTop || point.y > kDragBandBottom) return;
    state.dragging = 1;
    // A press during a drag re-anchors at the current cursor position: the window does not jump.
    state.dragAnchor = Pointer().CursorPos();
    StartTicking(hwnd());
}

// The timer id is not examined: the drag timer is the only one a game window has.
void GameBrowserConainter::OnTimer(UINT_PTR) {
    DragState& state = SharedDragState();
    if (state.dragging == 1) {
        if (Pointer().LeftButtonDown())
            MoveByCursor(*this);
        else
            state.dragging = 0;
    }
    if (state.dragging == 0) KillTimer(hwnd(), kDragTimerId);
}
