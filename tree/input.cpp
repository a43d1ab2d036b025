// Clicks, keys and the list box's replacement procedure.
#include "frame/gdi.h"
#include "frame/keys.h"
#include "tree.h"

namespace zn {
namespace {

// How far the rows are scrolled to the left: the item's right edge past the client's.
int ScrollOffset(HWND listBox, const RECT& item) {
    RECT client;
    GetClientRect(listBox, &client);
    return item.right > client.right ? item.right - client.right : 0;
}

TreeNode* NodeAt(HWND listBox, int row) {
    LRESULT data = SendMessageA(listBox, LB_GETITEMDATA, static_cast<WPARAM>(row), 0);
    return data == LB_ERR ? nullptr : reinterpret_cast<TreeNode*>(data);
}

}  // namespace

void TreeControl::OnCommand(WPARAM wParam, LPARAM lParam, LONG* checkedCount) {
    if (LOWORD(wParam) != listBoxId || (HIWORD(wParam) != LBN_SELCHANGE && HIWORD(wParam) != LBN_DBLCLK)) return;
    HWND source = reinterpret_cast<HWND>(lParam);
    if (!listBox || !IsWindow(source)) return;
    WindowDC dc(source);
    // Where the cursor is now, not where the list box saw the click.
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(source, &cursor);

    // Without a selected row there is nothing to hit.
    int sel = static_cast<int>(SendMessageA(listBox, LB_GETCURSEL, 0, 0));
    if (sel == LB_ERR) return;
    RECT item;
    if (SendMessageA(listBox, LB_GETITEMRECT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
        return;
    TreeNode* node = NodeAt(listBox, sel);
    if (!node) return;
    ClipToClient(dc, listBox);
    const int xoff = ScrollOffset(listBox, item);
    // Only the first line of a row holds the boxes.
    const bool topLine = cursor.y < item.top + 16;

    const int level = 18 * static_cast<int>(node->level) + AncestorIconWidth(node);
    if (node->expandState != -1 && topLine && cursor.x > level + 4 - xoff && cursor.x < level + 22 - xoff) {
        if (node->expandState == 0) {
            node->expandState = 1;
            ShowDescendants(node, sel);
        } else if (node->expandState == 1) {
            HideDescendants(node, sel);
            node->expandState = 0;
        }
        return;
    }
    const int checkX = CheckBoxX(node);
    const int c = checkX - xoff;
    if (node->checkState == ZN_CHECK_DISABLED || !topLine || cursor.x <= c || cursor.x >= c + 18) return;
    ToggleCheck(node, sel, dc, xoff, checkX, checkedCount, false);
}

int TreeControl::OnCharToItem(WPARAM wParam, LPARAM lParam, LONG* checkedCount) {
    const int r = static_cast<int>(SendMessageA(listBox, LB_GETCURSEL, 0, 0));
    if (!listBox || reinterpret_cast<HWND>(lParam) != listBox) return r;
    const WORD key = LOWORD(wParam);
    if (key == ' ') {
        WindowDC dc(listBox);
        int sel = static_cast<int>(SendMessageA(listBox, LB_GETCURSEL, 0, 0));
        RECT item;
        // Without a selected row the key is taken and nothing changes.
        if (sel == LB_ERR ||
            SendMessageA(listBox, LB_GETITEMRECT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
            return -1;
        TreeNode* node = NodeAt(listBox, sel);
        if (!node || node->checkState == ZN_CHECK_DISABLED) return -1;
        ClipToClient(dc, listBox);
        ToggleCheck(node, sel, dc, ScrollOffset(listBox, item), CheckBoxX(node), checkedCount, true);
        return -1;
    }
    if (key != '*' && key != '+' && key != '-') return r;
    TreeNode* node = r == LB_ERR ? nullptr : NodeAt(listBox, r);
    if (!node) return r;
    if (key == '-') {
        if (node->expandState != 1) return r;
        HideDescendants(node, r);
        node->expandState = 0;
        return -1;
    }
    if (node->expandState != 0) return r;
    if (key == '+') {
        node->expandState = 1;
        ShowDescendants(node, r);
    } else {
        ExpandAll(r);
    }
    return -1;
}

// Opens the node at `row` and every collapsed node with descendants in the rows after it that
// is deeper than it; the walk goes on past the end of the node's own subtree.
void TreeControl::ExpandAll(int row) {
    TreeNode* top = NodeAt(listBox, row);
    if (!top) return;
    top->expandState = 1;
    ShowDescendants(top, row);
    int rows = static_cast<int>(SendMessageA(listBox, LB_GETCOUNT, 0, 0));
    for (int i = row + 1; i < rows; ++i) {
        TreeNode* n = NodeAt(listBox, i);
        if (!n || n->descendantCount == 0 || n->level <= top->level) continue;
        if (n->expandState == 0) {
            n->expandState = 1;
            ShowDescendants(n, i);
        }
        rows = static_cast<int>(SendMessageA(listBox, LB_GETCOUNT, 0, 0));
    }
}

LRESULT TreeControl::ListBoxMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto ask = [&](UINT m, WPARAM w, LPARAM l) { return CallWindowProcA(savedListBoxProc, window, m, w, l); };
    if (message == WM_VSCROLL || message == WM_MOUSEWHEEL) {
        // The editor follows its row only while the row is in view; the row is judged where it
        // stands before this scroll step.
        if (IsWindow(editorWindow) && IsWindowVisible(editorWindow)) {
            LONG_PTR served = GetWindowLongPtrA(editorWindow, GWLP_USERDATA);
            RECT item, client;
            if (served && served == ask(LB_GETITEMDATA, static_cast<WPARAM>(currentIndex), 0) &&
                ask(LB_GETITEMRECT, static_cast<WPARAM>(currentIndex), reinterpret_cast<LPARAM>(&item)) != LB_ERR) {
                GetClientRect(window, &client);
                if (item.top < 0 || item.top > client.bottom) ShowWindow(editorWindow, SW_HIDE);
            }
        }
    } else if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELCHANGE && LOWORD(wParam) == ZN_EDITOR_ID &&
               editorWindow && reinterpret_cast<HWND>(lParam) == editorWindow) {
        auto* node = reinterpret_cast<TreeNode*>(GetWindowLongPtrA(editorWindow, GWLP_USERDATA));
        LRESULT choice = node ? SendMessageA(editorWindow, CB_GETCURSEL, 0, 0) : CB_ERR;
        if (choice != CB_ERR) {
            // The count is the host's and is not reachable from here.
            node->choiceIndex = static_cast<DWORD>(choice);
            node->choiceValue = static_cast<LONG>(SendMessageA(editorWindow, CB_GETITEMDATA, choice, 0));
            node->checkState = ZN_CHECKED;
            PostCheckStateChanged();
            RECT item;
            if (ask(LB_GETITEMRECT, static_cast<WPARAM>(currentIndex), reinterpret_cast<LPARAM>(&item)) != LB_ERR)
                InvalidateRect(window, &item, FALSE);
        }
    }
    if (message == WM_CHAR) AskOwnerAboutChar(window, wParam, savedListBoxProc);
    NoteForeignRowChange(message);
    LRESULT result = ask(message, wParam, lParam);
    if (message == WM_SIZE) RecalcHorizontalExtent();
    return result;
}

LRESULT CALLBACK TreeListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* tree = reinterpret_cast<TreeControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (tree && tree->signature == TreeControl::kSignature)
        return tree->ListBoxMessage(window, message, wParam, lParam);
    return CallWindowProcA(savedListBoxProc, window, message, wParam, lParam);
}

}  // namespace zn
