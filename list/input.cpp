// The parent hook, the list box's replacement procedure, clicks and keys.
#include "frame/gdi.h"
#include "frame/keys.h"
#include "hooked_parents.h"
#include "list.h"

namespace zn {
namespace {

constexpr int kBoxSize = 18;

LRESULT AskBase(HWND listBox, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(baseListProc, listBox, message, wParam, lParam);
}

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
        // Taken from every list box of the parent: the host's own list boxes get the default
        // answer, the current selection.
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
    // Only the list's own list box: its item data are rows.
    if (listWindow != listBox) return;
    POINT cursor;
    if (!GetCursorPos(&cursor)) return;
    ScreenToClient(listBox, &cursor);
    LRESULT current = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    if (current == LB_ERR) return;
    RECT item, client;
    if (SendMessageA(listBox, LB_GETITEMRECT, current, reinterpret_cast<LPARAM>(&item)) == LB_ERR) return;
    auto* row = reinterpret_cast<ListRow*>(SendMessageA(listBox, LB_GETITEMDATA, current, 0));
    if (!row || row == reinterpret_cast<ListRow*>(LB_ERR) || row->checkState == ZN_CHECK_DISABLED) return;
    GetClientRect(listBox, &client);
    LONG scroll = item.right > client.right ? item.right - client.right : 0;
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
    auto* row = reinterpret_cast<ListRow*>(SendMessageA(listBox, LB_GETITEMDATA, current, 0));
    if (!row || row == reinterpret_cast<ListRow*>(LB_ERR) || row->checkState == ZN_CHECK_DISABLED) return;
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

LRESULT ListControl::ListBoxMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_VSCROLL || message == WM_MOUSEWHEEL) && IsWindow(editorWindow) &&
        IsWindowVisible(editorWindow)) {
        // Hidden once the row it stands over has left the view (positions before the scroll).
        LONG_PTR served = GetWindowLongPtrA(editorWindow, GWLP_USERDATA);
        RECT item, client;
        if (served && AskBase(window, LB_GETITEMDATA, currentIndex, 0) == served &&
            AskBase(window, LB_GETITEMRECT, currentIndex, reinterpret_cast<LPARAM>(&item)) != LB_ERR) {
            GetClientRect(window, &client);
            if (item.top < 0 || item.top > client.bottom) ShowWindow(editorWindow, SW_HIDE);
        }
    } else if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELCHANGE && LOWORD(wParam) == ZN_EDITOR_ID &&
               reinterpret_cast<HWND>(lParam) == editorWindow && editorWindow) {
        auto* row = reinterpret_cast<ListRow*>(GetWindowLongPtrA(editorWindow, GWLP_USERDATA));
        LRESULT choice = SendMessageA(editorWindow, CB_GETCURSEL, 0, 0);
        if (row && choice != CB_ERR) {
            row->choiceIndex = static_cast<DWORD>(choice);
            row->choiceValue = static_cast<LONG>(SendMessageA(editorWindow, CB_GETITEMDATA, choice, 0));
            row->checkState = ZN_CHECKED;
            PostCheckStateChanged();
            RECT item;
            if (AskBase(window, LB_GETITEMRECT, currentIndex, reinterpret_cast<LPARAM>(&item)) != LB_ERR)
                InvalidateRect(window, &item, FALSE);
        }
    }
    if (message == WM_CHAR) AskOwnerAboutChar(window, wParam, baseListProc);
    LRESULT result = AskBase(window, message, wParam, lParam);
    if (message == WM_SIZE) RelayoutList();
    return result;
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
    }
    UpdateHorizontalExtent();
}

LRESULT CALLBACK ListParentWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ListControl* list = hooked::Find(window);
    if (!list || !list->savedParentProc) return 0;
    bool handled = false;
    LRESULT result = list->DispatchParentMessage(window, message, wParam, lParam, &handled);
    if (handled) return result;
    return CallWindowProcA(list->savedParentProc, window, message, wParam, lParam);
}

LRESULT CALLBACK ListBoxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* list = reinterpret_cast<ListControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (list && list->signature == ListControl::kSignature) return list->ListBoxMessage(window, message, wParam, lParam);
    return CallWindowProcA(baseListProc, window, message, wParam, lParam);
}

}  // namespace zn
