// Operations of the list that are not built yet: each answers 0 and changes nothing.
#include "list.h"

namespace zn {

void ListControl::FreeRows() {}
ListRow* ListControl::Insert(const NodeInfo*) { return nullptr; }
ListRow* ListControl::InsertFromTree(const TreeNode*) { return nullptr; }
int ListControl::UpdateItem(const NodeInfo*) { return 0; }
int ListControl::UpdateEntry(NodeInfo*, LONG*) { return 0; }
int ListControl::Clear() { return 0; }
int ListControl::Refresh(int, int) { return 0; }
int ListControl::SelectNode(DWORD) { return 0; }
int ListControl::GetListCount() const { return 0; }
int ListControl::GetSelectedNodeCount() const { return 0; }
int ListControl::AddHeaderColumn(const WCHAR*, DWORD) { return 0; }
int ListControl::SetHeaderColumn(DWORD, DWORD, BSTR) { return 0; }

LRESULT ListControl::ListBoxMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(baseListProc, window, message, wParam, lParam);
}

LRESULT ListControl::DispatchParentMessage(HWND, UINT, WPARAM, LPARAM, bool* handled) {
    *handled = false;
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
