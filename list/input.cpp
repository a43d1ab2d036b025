// The parent hook, the list box's replacement procedure, clicks and keys.
#include "frame/boundary.h"
#include "frame/gdi.h"
#include "frame/list_box_messages.h"
#include "list.h"

namespace zn {
namespace {

constexpr int kBoxSize = 18;

void Toggle(ListRow* row) { row->checkState = row->checkState == ZN_CHECKED ? ZN_UNCHECKED : ZN_CHECKED; }

}  // namespace

LRESULT ListControl::DispatchParentMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = false;
    switch (message) {
    case WM_DRAWITEM:
        if (LOWORD(wParam) != listBoxId || !lParam) return 0;
        DrawRow(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        *handled = true;
        return 1;
    case WM_MEASUREITEM: {
        if (wParam != listBoxId || !lParam) return 0;
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure->CtlType != ODT_LISTBOX) return 0;
        measure->itemHeight = static_cast<UINT>(RowHeight(reinterpret_cast<const ListRow*>(measure->itemData)));
        *handled = true;
        return 1;
    }
    case WM_CHARTOITEM:
        // Only the list's own list box: the parent's other list boxes, a tree's among them, are
        // answered by the parent's own procedure (which forwards a tree's to it).
        if (reinterpret_cast<HWND>(lParam) != listBox) return 0;
        *handled = true;
        return OnCharToItem(wParam, lParam);
    case WM_COMMAND:
        // The host hears nothing from the list box but the list's own notification.
        if (LOWORD(wParam) != listBoxId || HIWORD(wParam) == ZN_LIST_CHECK_STATE_CHANGED) return 0;
        OnListCommand(wParam, reinterpret_cast<HWND>(lParam));
        *handled = true;
        return 1;
    default:
        return 0;
    }
}

void ListControl::OnListCommand(WPARAM wParam, HWND listWindow) {
    WORD code = HIWORD(wParam);
    if ((code != LBN_SELCHANGE && code != LBN_DBLCLK) || LOWORD(wParam) != listBoxId) return;
    // Only the list's own list box (its item data are rows), and only a selection the mouse made.
    if (listWindow != listBox || KeyedListBox() == listBox) return;
    POINT cursor;
    if (!GetCursorPos(&cursor)) return;
    ScreenToClient(listBox, &cursor);
    LRESULT current = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    if (current == LB_ERR) return;
    RECT item;
    if (SendMessageA(listBox, LB_GETITEMRECT, current, reinterpret_cast<LPARAM>(&item)) == LB_ERR) return;
    ListRow* row = RowAt(current);
    if (!row || row->checkState == ZN_CHECK_DISABLED) return;
    LONG scroll = ScrollOffset(item);
    LONG boxX = ((row->severity && severityIconsAttached) ? 22 : 2) +
                ((row->extraIcon && additionalIconsAttached) ? 20 : 0) - scroll;
    if (!(cursor.x > boxX && cursor.x < boxX + kBoxSize && cursor.y < item.top + 16)) return;
    Toggle(row);
    PostCheckStateChanged();
    PaintCheckBox(row, static_cast<int>(current), row->checkState == ZN_CHECKED ? 14 : 13);
}

void ListControl::ToggleCurrentRowCheck() {
    LRESULT current = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    if (current == LB_ERR) return;
    ListRow* row = RowAt(current);
    if (!row || row->checkState == ZN_CHECK_DISABLED) return;
    Toggle(row);
    PostCheckStateChanged();
    PaintCheckBox(row, static_cast<int>(current), row->checkState == ZN_CHECKED ? 14 : 13);
}

LRESULT ListControl::OnCharToItem(WPARAM wParam, LPARAM lParam) {
    LRESULT current = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    if (reinterpret_cast<HWND>(lParam) == listBox && LOWORD(wParam) == ' ') {
        ToggleCurrentRowCheck();
        return -1;
    }
    return current;
}

RECT ListControl::ListBoxPlace() const {
    RECT rect;
    GetWindowRect(listBox, &rect);
    HWND owner = GetParent(listBox);
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    ScreenToClient(owner, &corners[0]);
    ScreenToClient(owner, &corners[1]);
    return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void ListControl::RelayoutList() {
    if (IsWindow(headerParent)) {
        // The header band is the 20 pixels directly above the list box, as wide as it.
        const RECT place = ListBoxPlace();
        SetWindowPos(headerParent, nullptr, place.left, place.top - 20, place.right - place.left, 20,
                     SWP_NOZORDER | SWP_SHOWWINDOW);
        // A parent that does not clip its children paints its background over the moved band
        // after it; the band and the header are drawn again on top of that.
        RedrawWindow(headerParent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    UpdateHorizontalExtent();
}

LRESULT CALLBACK ListParentWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    registry::Entry hook = {};
    ListControl* list = ListControl::FromWindow(window, registry::Role::ListParent, &hook);
    if (!hook.window) return DefWindowProcA(window, message, wParam, lParam);  // no hook of a list
    if (list) {
        // A message the list could not finish taking goes on, as if the list were not there.
        bool handled = false;
        LRESULT result = Guarded<LRESULT>(0, [&] {
            return list->DispatchParentMessage(window, message, wParam, lParam, &handled);
        });
        if (handled) return result;
    } else if (GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&ListParentWndProc)) {
        // The list is gone and nothing stands in front of its hook any more: the parent gets its
        // procedure back.
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook.replaced));
        registry::Remove(window, registry::Role::ListParent);
    }
    LRESULT result = CallWindowProcA(hook.replaced, window, message, wParam, lParam);
    if (message == WM_NCDESTROY) registry::Remove(window, registry::Role::ListParent);
    return result;
}

LRESULT CALLBACK ListBoxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ListBoxMessage(ListControl::FromWindow(window), baseListProc, window, message, wParam, lParam);
}

}  // namespace zn
