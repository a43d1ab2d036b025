// The parent hook, the list box's replacement procedure, clicks and keys.
#include "list.h"

namespace zn {

LRESULT ListControl::ListBoxMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(baseListProc, window, message, wParam, lParam);
}

LRESULT ListControl::DispatchParentMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = false;
    if (message == WM_MEASUREITEM && wParam == listBoxId && lParam) {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure->CtlType != ODT_LISTBOX) return 0;
        measure->itemHeight = static_cast<UINT>(RowHeight(reinterpret_cast<const ListRow*>(measure->itemData)));
        *handled = true;
        return 1;
    }
    return 0;
}

LRESULT CALLBACK ListParentWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* list = static_cast<ListControl*>(GetPropA(window, ListControl::kPropertyName));
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
