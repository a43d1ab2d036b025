// The in-place choice editor: one drop-down list per list control, filled with the choices of
// the row it serves and placed over that row's choice cell while the row is selected.
#include "list.h"

namespace zn {
namespace {

constexpr int kLineHeight = 18;

}  // namespace

HWND ListControl::BuildEditor(ListRow* row) {
    HWND editor = row ? ListBoxControl::BuildEditor(row) : nullptr;
    // The size may have changed behind editorRect's back: the next placing must move it.
    if (editor) SetRectEmpty(&editorRect);
    return editor;
}

void ListControl::PlaceEditorOverCell(ListRow* row, int textNumber, const DRAWITEMSTRUCT* cell, int textX) {
    if (!IsWindow(editorWindow) || GetWindowLongPtrA(editorWindow, GWLP_USERDATA) != reinterpret_cast<LONG_PTR>(row)) {
        // An editor left serving another row must not stand over this one.
        if (!BuildEditor(row)) {
            if (IsWindow(editorWindow)) ShowWindow(editorWindow, SW_HIDE);
            return;
        }
    }
    SIZE size = MeasureChoices(row->texts[textNumber - 1]);
    const LONG scroll = ScrollOffsetAt(0);
    // A cell narrower than its text start gives the full width (the minimum is unsigned).
    DWORD room = static_cast<DWORD>(cell->rcItem.right - textX);
    DWORD width = static_cast<DWORD>(size.cx) < room ? static_cast<DWORD>(size.cx) : room;
    RECT rect;
    rect.left = textX - scroll;
    rect.top = cell->rcItem.top + kLineHeight * (textNumber - 1) - 2;
    rect.right = textX + static_cast<LONG>(width) - scroll;
    rect.bottom = rect.top + size.cy;
    MoveEditor(rect);
    SendMessageA(editorWindow, CB_SETDROPPEDWIDTH, size.cx, 0);
    ShowWindow(editorWindow, SW_SHOW);
}

void ListControl::MoveEditor(const RECT& rect) {
    // Moving a child to where it stands would invalidate the list box during its own paint.
    if (EqualRect(&rect, &editorRect)) return;
    editorRect = rect;
    if (IsWindow(editorWindow))
        SetWindowPos(editorWindow, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOACTIVATE);
}

}  // namespace zn
