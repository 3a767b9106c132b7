#include "game/drag_tracker.h"

#include "game/game_window.h"

namespace {

const PointerSource* g_pointerSource = nullptr;

const PointerSource& Pointer() {
    static const PointerSource system;
    return g_pointerSource ? *g_pointerSource : system;
}

bool HasLeftEdge(int mode) { return mode == HTLEFT || mode == HTTOPLEFT || mode == HTBOTTOMLEFT; }
bool HasRightEdge(int mode) { return mode == HTRIGHT || mode == HTTOPRIGHT || mode == HTBOTTOMRIGHT; }
bool HasTopEdge(int mode) { return mode == HTTOP || mode == HTTOPLEFT || mode == HTTOPRIGHT; }
bool HasBottomEdge(int mode) { return mode == HTBOTTOM || mode == HTBOTTOMLEFT || mode == HTBOTTOMRIGHT; }

void StartTicking(HWND window) {
    // A running timer with the same id is restarted, so a second press never adds a second timer.
    SetTimer(window, kDragTimerId, kDragTickMs, nullptr);
}

// A press while a resize is pending arms it instead of starting a drag.
void ArmResize(HWND window) {
    DragState& state = SharedDragState();
    if (state.resizeMode != 0) return;
    state.resizeMode = state.pendingResizeMode;
    StartTicking(window);
    state.resizeAnchor = Pointer().CursorPos();
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

// Moves the edges that the resize mode names to follow the cursor.
void ResizeByCursor(GameBrowserConainter& window) {
    DragState& state = SharedDragState();
    const int mode = state.resizeMode;
    const POINT cursor = Pointer().CursorPos();
    const POINT anchor = state.resizeAnchor;
    RECT rect{};
    GetWindowRect(window.hwnd(), &rect);
    LONG left = rect.left, top = rect.top;
    LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (HasLeftEdge(mode)) {
        left = cursor.x;
        width += anchor.x - cursor.x;
    } else if (HasRightEdge(mode)) {
        width += cursor.x - anchor.x;
    }
    if (HasTopEdge(mode)) {
        top = cursor.y;
        height += anchor.y - cursor.y;
    } else if (HasBottomEdge(mode)) {
        height += cursor.y - anchor.y;
    }
    MoveWindow(window.hwnd(), left, top, width, height, TRUE);
    window.FitBrowserToClient();
    state.resizeAnchor = Pointer().CursorPos();
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
    if (state.pendingResizeMode != 0) {
        ArmResize(hwnd());
        return;
    }
    if (point.y < kDragBandTop || point.y > kDragBandBottom) return;
    state.dragging = 1;
    // A press during a drag re-anchors at the current cursor position: the window does not jump.
    state.dragAnchor = Pointer().CursorPos();
    StartTicking(hwnd());
}

// A drag does not end here but on the next tick that finds the button up; without mouse capture a
// release outside the window would never arrive here anyway.
void GameBrowserConainter::OnLButtonUp(UINT, POINT) { SharedDragState().resizeMode = 0; }

// The timer id is not examined: the drag timer is the only one a game window has.
void GameBrowserConainter::OnTimer(UINT_PTR) {
    DragState& state = SharedDragState();
    if (state.resizeMode != 0) {
        if (Pointer().LeftButtonDown())
            ResizeByCursor(*this);
        else
            state.resizeMode = 0;
        if (state.resizeMode != 0) return;
    }
    if (state.dragging == 1) {
        if (Pointer().LeftButtonDown())
            MoveByCursor(*this);
        else
            state.dragging = 0;
    }
    if (state.resizeMode == 0 && state.dragging == 0) KillTimer(hwnd(), kDragTimerId);
}
