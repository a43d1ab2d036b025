// Clicks, keys and the list box's replacement procedure.
#include "tree.h"

namespace zn {

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
