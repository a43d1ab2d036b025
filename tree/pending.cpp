// Operations of the tree that are not built yet: each answers 0 and changes nothing.
#include "tree.h"

namespace zn {

TreeNode* TreeControl::SortedInsert(const NodeInfo*, DWORD) { return nullptr; }
int TreeControl::UpdateNode(const NodeInfo*, DWORD) { return 0; }
int TreeControl::UpdateTreeEntry(NodeInfo*, DWORD, LONG*) { return 0; }
int TreeControl::Refresh(LONG*, LONG*) { return 0; }
int TreeControl::ExpandNode(DWORD, DWORD) { return 0; }
int TreeControl::CollapseNode(DWORD, DWORD) { return 0; }
int TreeControl::SelectNode(DWORD, DWORD) { return 0; }
void TreeControl::RecalcHorizontalExtent() {}
int TreeControl::MeasureItem(MEASUREITEMSTRUCT*) { return 0; }
void TreeControl::DrawRow(DRAWITEMSTRUCT*, LONG*) {}
void TreeControl::OnCommand(WPARAM, LPARAM, LONG*) {}
int TreeControl::OnCharToItem(WPARAM, LPARAM, LONG*) { return 0; }
LRESULT TreeControl::ListBoxMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(savedListBoxProc, window, message, wParam, lParam);
}

LRESULT CALLBACK TreeListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* tree = reinterpret_cast<TreeControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (tree && tree->signature == TreeControl::kSignature)
        return tree->ListBoxMessage(window, message, wParam, lParam);
    return CallWindowProcA(savedListBoxProc, window, message, wParam, lParam);
}

}  // namespace zn
