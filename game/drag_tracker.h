// The drag tracker: a left-button press in the top band of a game window's client area drags the
// window, polled on a timer until the button is released. No mouse capture: the tracker reads the
// button and the cursor on each tick.
#pragma once

#include <windows.h>

// One record for the whole process, shared by every game window.
struct DragState {
    int dragging = 0;    // 1 while a drag is in progress
    POINT dragAnchor{};  // screen position against which the next tick measures the move
};
DragState& SharedDragState();

// Client rows 1 to 30 inclusive start a drag; x is not examined.
constexpr LONG kDragBandTop = 1;
constexpr LONG kDragBandBottom = 30;
// The drag timer on the pressed window; it is the only timer a game window has.
constexpr UINT_PTR kDragTimerId = 1;
constexpr UINT kDragTickMs = 50;

// Where the tracker reads the pointer. The system's by default; tests put in one they steer.
class PointerSource {
  public:
    virtual ~PointerSource() = default;
    // Screen coordinates.
    virtual POINT CursorPos() const;
    // The state the thread's message queue reports, so a release shows on the first tick after it.
    virtual bool LeftButtonDown() const;
};
// source must outlive its use; null puts the system's pointer back.
void SetPointerSource(const PointerSource* source);
