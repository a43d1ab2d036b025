// The list box's drawing switch. The tree switches drawing off while it changes rows and on
// again after, then invalidates the list box and measures the horizontal extent. A host may
// switch drawing off itself around a loop of calls, as hosts of the common tree control do:
// the tree then leaves the switch as the host set it, does none of that work per call, and
// catches up once (the top row back, the invalidation, the extent) when the host switches
// drawing on again.
//
// A host that leaves drawing on and opens parent after parent far below the top row (an "expand
// all" walking its data) would pay for the top row's two moves, the switch and the repaint on
// every call. After such an opening the tree keeps drawing off itself, with the top row by the
// new rows, and catches up at the list box's next message other than a plain read: at the latest
// the paint its invalidation brings, so a host that returns to its message loop sees the picture
// drawing on gives. Reads that do not depend on the top row are answered meanwhile.
#include "tree.h"

namespace zn {
namespace {

// Queries that do not depend on the list box's top row.
bool ReadsNoTopRow(UINT message) {
    switch (message) {
    case LB_GETCOUNT: case LB_GETITEMDATA: case LB_GETITEMHEIGHT: case LB_GETCURSEL: case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
        return true;
    default:
        return false;
    }
}

}  // namespace

void TreeControl::SwitchDrawing(bool on) {
    if (!listBox || drawingOff_) return;
    Raised own(ownSwitch_);
    SendMessageA(listBox, WM_SETREDRAW, on ? TRUE : FALSE, 0);
}

void TreeControl::RowsChanged() {
    if (!listBox) return;
    if (drawingOff_) {
        catchUp_ = true;
        return;
    }
    InvalidateRect(listBox, nullptr, TRUE);
    RecalcHorizontalExtent();
}

void TreeControl::ReturnTop() {
    if (lentTop_ < 0 || !listBox) return;
    const LRESULT top = lentTop_;
    lentTop_ = -1;
    Raised own(ownWork_);
    SendMessageA(listBox, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
}

void TreeControl::Hold() {
    holding_ = true;
    drawingOff_ = true;
    catchUp_ = true;
    InvalidateRect(listBox, nullptr, TRUE);  // a paint is due, and the catch-up with it
}

void TreeControl::Release() {
    holding_ = false;
    drawingOff_ = false;
    ReturnTop();  // while drawing is still off, so the scroll bar moves once
    SwitchDrawing(true);
    if (!catchUp_) return;
    catchUp_ = false;
    RowsChanged();
}

void TreeControl::BeforeListBoxMessage(UINT message, WPARAM wParam) {
    if (ownWork_ || ownRowChange_) return;
    if (holding_ && !ReadsNoTopRow(message)) {
        if (message == WM_DESTROY) {
            holding_ = drawingOff_ = false;
            return;
        }
        // The host switching drawing off takes the held state over as its own.
        if (message == WM_SETREDRAW && !wParam) {
            holding_ = false;
            return;
        }
        Release();
        if (message == WM_SETREDRAW) return;
    }
    // Switched on by the host, the top row goes back while drawing is still off.
    if (message == WM_SETREDRAW) {
        if (wParam && !ownSwitch_) ReturnTop();
        return;
    }
    if (!ReadsNoTopRow(message)) ReturnTop();
}

void TreeControl::AfterListBoxMessage(UINT message, WPARAM wParam) {
    if (message != WM_SETREDRAW || ownSwitch_ || ownWork_ || ownRowChange_) return;
    const bool wasOff = drawingOff_;
    drawingOff_ = wParam == 0;
    if (!wasOff || drawingOff_ || !catchUp_) return;
    catchUp_ = false;
    RowsChanged();
}

}  // namespace zn
