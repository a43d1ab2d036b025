// The list box's drawing switch. The tree switches drawing off while it changes rows and on
// again after, then invalidates the list box and measures the horizontal extent. A host may
// switch drawing off itself around a loop of calls, as hosts of the common tree control do:
// the tree then leaves the switch as the host set it, does none of that work per call, and
// catches up once (the top row back, the invalidation, the extent) when the host switches
// drawing on again.
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
    if (!listBox || hostDrawingOff_) return;
    ownSwitch_ = true;
    SendMessageA(listBox, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    ownSwitch_ = false;
}

void TreeControl::RowsChanged() {
    if (!listBox) return;
    if (hostDrawingOff_) {
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
    ownWork_ = true;
    SendMessageA(listBox, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    ownWork_ = false;
}

void TreeControl::BeforeListBoxMessage(UINT message, WPARAM wParam) {
    if (ownWork_ || ownRowChange_) return;
    // Switched on by the host, the top row goes back while drawing is still off.
    if (message == WM_SETREDRAW) {
        if (wParam && !ownSwitch_) ReturnTop();
        return;
    }
    if (!ReadsNoTopRow(message)) ReturnTop();
}

void TreeControl::AfterListBoxMessage(UINT message, WPARAM wParam) {
    if (message != WM_SETREDRAW || ownSwitch_ || ownWork_ || ownRowChange_) return;
    const bool wasOff = hostDrawingOff_;
    hostDrawingOff_ = wParam == 0;
    if (!wasOff || hostDrawingOff_ || !catchUp_) return;
    catchUp_ = false;
    RowsChanged();
}

}  // namespace zn
