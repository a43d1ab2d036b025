// Clicks, keys and the list box's replacement procedure.
#include "frame/boundary.h"
#include "frame/gdi.h"
#include "frame/list_box_messages.h"
#include "tree.h"

namespace zn {

void TreeControl::OnCommand(WPARAM wParam, LPARAM lParam, LONG* checkedCount) {
    if (LOWORD(wParam) != listBoxId || (HIWORD(wParam) != LBN_SELCHANGE && HIWORD(wParam) != LBN_DBLCLK)) return;
    // Only the tree's own list box (the hit test and the repaint are in its coordinates), and only
    // a selection the mouse made.
    if (!listBox || reinterpret_cast<HWND>(lParam) != listBox || KeyedListBox() == listBox) return;
    WindowDC dc(listBox);
    // Where the cursor is now, not where the list box saw the click.
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(listBox, &cursor);

    // Without a selected row there is nothing to hit.
    int sel = static_cast<int>(SendMessageA(listBox, LB_GETCURSEL, 0, 0));
    if (sel == LB_ERR) return;
    RECT item;
    if (SendMessageA(listBox, LB_GETITEMRECT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
        return;
    TreeNode* node = NodeAt(sel);
    if (!node) return;
    ClipToClient(dc, listBox);
    const int xoff = ScrollOffset(item);
    // Only the first line of a row holds the boxes.
    const bool topLine = cursor.y < item.top + 16;

    const int level = 18 * static_cast<int>(node->level) + AncestorIconWidth(node);
    if (node->expandState != -1 && topLine && cursor.x > level + 4 - xoff && cursor.x < level + 22 - xoff) {
        ToggleOpen(node, sel);
        return;
    }
    // A double click on a parent's text opens or closes it, as in every Win32 tree.
    if (HIWORD(wParam) == LBN_DBLCLK && node->expandState != -1 && cursor.x >= RowSlots(node).textX - xoff &&
        cursor.y >= item.top && cursor.y < item.bottom) {
        ToggleOpen(node, sel);
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
        TreeNode* node = NodeAt(sel);
        if (!node || node->checkState == ZN_CHECK_DISABLED) return -1;
        ClipToClient(dc, listBox);
        ToggleCheck(node, sel, dc, ScrollOffset(item), CheckBoxX(node), checkedCount, true);
        return -1;
    }
    if (key != '*' && key != '+' && key != '-') return r;
    TreeNode* node = r == LB_ERR ? nullptr : NodeAt(r);
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
    TreeNode* top = NodeAt(row);
    if (!top) return;
    top->expandState = 1;
    ShowDescendants(top, row);
    int rows = static_cast<int>(SendMessageA(listBox, LB_GETCOUNT, 0, 0));
    for (int i = row + 1; i < rows; ++i) {
        TreeNode* n = NodeAt(i);
        if (!n || n->descendantCount == 0 || n->level <= top->level) continue;
        if (n->expandState == 0) {
            n->expandState = 1;
            ShowDescendants(n, i);
        }
        rows = static_cast<int>(SendMessageA(listBox, LB_GETCOUNT, 0, 0));
    }
}

// Left and Right as in every Win32 tree: Right opens a closed parent or goes to its first child,
// Left closes an open parent or goes to its parent. A row chosen so is announced as a key's
// selection is (LBN_SELCHANGE to the owner), and is no click. False leaves the key to the list box.
bool TreeControl::ArrowKey(WPARAM key) {
    const int sel = static_cast<int>(SendMessageA(listBox, LB_GETCURSEL, 0, 0));
    TreeNode* node = sel == LB_ERR ? nullptr : NodeAt(sel);
    if (!node || busy) return false;
    struct Busy {
        TreeControl* tree;
        HWND keyed = KeyedListBox();
        ~Busy() { --tree->busy, KeyedListBox() = keyed; }
    } guard{this};
    ++busy, KeyedListBox() = listBox;
    int row = LB_ERR;
    if (key == VK_RIGHT && node->expandState == 0) {
        node->expandState = 1;
        ShowDescendants(node, sel);
    } else if (key == VK_RIGHT && node->expandState == 1) {
        row = sel + 1;
    } else if (key == VK_LEFT && node->expandState == 1) {
        HideDescendants(node, sel);
        node->expandState = 0;
    } else if (key == VK_LEFT && node->parent) {
        row = RowOf(node->parent);
    }
    if (row != LB_ERR && SendMessageA(listBox, LB_SETCURSEL, static_cast<WPARAM>(row), 0) != LB_ERR)
        SendMessageA(GetParent(listBox), WM_COMMAND, MAKEWPARAM(listBoxId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(listBox));
    return true;
}

LRESULT CALLBACK TreeListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TreeControl* tree = TreeControl::FromWindow(window);
    if (tree) Guarded(0, [&] { return tree->BeforeListBoxMessage(message, wParam), 0; });
    if (tree && message == WM_KEYDOWN && (wParam == VK_LEFT || wParam == VK_RIGHT) &&
        Guarded(false, [&] { return tree->ArrowKey(wParam); }))
        return 0;
    const LRESULT result = ListBoxMessage(tree, savedListBoxProc, window, message, wParam, lParam);
    if (tree && message == WM_SETREDRAW) Guarded(0, [&] { return tree->AfterListBoxMessage(message, wParam), 0; });
    return result;
}

}  // namespace zn
