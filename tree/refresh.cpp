// Rebuilding the rows from the chain; expanding, collapsing and selecting nodes; the
// horizontal scrolling extent that follows the widest visible text line.
#include <optional>
#include <vector>

#include "frame/insert_run.h"
#include "frame/text.h"
#include "tree.h"

namespace zn {
namespace {

constexpr DWORD kQuietBranch = 64;  // descendants from which a branch is closed without drawing

// Line shapes of the nodes of one level: each ends with 1 (a sibling follows) or 2 (last).
void AssignLineShapes(TreeNode* head, DWORD level) {
    TreeNode* prev = nullptr;
    bool leafSeen = false;
    for (TreeNode* n = head; n;) {
        if (n->level == level) {
            if (prev && prev->parentId != n->parentId) prev->lineShape = 2;
            n->lineShape = 1;
            if (n->expandState == -1) leafSeen = true;
            prev = n;
        }
        n = n->next;
        if (!n) {
            if (prev) prev->lineShape = 2;
            break;
        }
        if (n->level < level && leafSeen) {
            if (prev) prev->lineShape = 2;
            leafSeen = false;
        }
    }
}

// Parents show the state of their descendants: all checked (those without a box left out)
// gives checked, some gives partly checked, none unchecked. Parents without a box keep theirs.
// Walking the chain backwards settles every descendant before its ancestors, as deepest-level
// first would, in one pass.
void AggregateCheckStates(TreeNode* head, DWORD count) {
    std::vector<TreeNode*> nodes;
    nodes.reserve(count);
    std::vector<size_t> parentIndex;
    parentIndex.reserve(count);
    std::vector<size_t> open;  // indexes of the ancestors of the current node
    for (TreeNode* n = head; n; n = n->next) {
        while (!open.empty() && nodes[open.back()] != n->parent) open.pop_back();
        parentIndex.push_back(open.empty() ? SIZE_MAX : open.back());
        open.push_back(nodes.size());
        nodes.push_back(n);
    }
    std::vector<DWORD> disabled(nodes.size(), 0), checked(nodes.size(), 0);
    for (size_t i = nodes.size(); i-- > 0;) {
        TreeNode* n = nodes[i];
        if (n->descendantCount > 0 && n->checkState != ZN_CHECK_DISABLED) {
            DWORD eligible = n->descendantCount - disabled[i];
            n->checkState = eligible == checked[i] ? ZN_CHECKED : (checked[i] > 0 ? ZN_PARTLY_CHECKED : ZN_UNCHECKED);
        }
        size_t p = parentIndex[i];
        if (p == SIZE_MAX) continue;
        disabled[p] += disabled[i] + (n->checkState == ZN_CHECK_DISABLED);
        checked[p] += checked[i] + (n->checkState == ZN_CHECKED);
    }
}

}  // namespace

int TreeControl::Refresh(LONG* selectedIndex, LONG* checkedCount) {
    if (!head) {
        if (listBox) RemoveAllRows();
        return 0;
    }
    // Rows are rebuilt with drawing switched off: the list box repaints once at the end.
    if (listBox) {
        SendMessageA(listBox, WM_SETREDRAW, FALSE, 0);
        RemoveAllRows();
    }
    LONG checkedNodes = 0;
    head->lineShape = 0;
    TreeNode* lastTop = head;
    DWORD maxLevel = 0;
    int row = 0;
    std::optional<InsertRun> run;
    if (listBox) run.emplace(listBox);
    for (TreeNode* n = head; n; n = n->next) {
        if (n->checkState == ZN_CHECKED) ++checkedNodes;
        n->expandState = n->descendantCount > 0 ? 0 : -1;
        if (!n->parent && n != head) {
            n->lineShape = 1;
            lastTop = n;
        }
        if (n->level > maxLevel) maxLevel = n->level;
        if (n->flags & (ZN_CHOICE_TEXT1 | ZN_CHOICE_TEXT2 | ZN_CHOICE_TEXT3)) {
            int line = (n->flags & ZN_CHOICE_TEXT1) ? 0 : (n->flags & ZN_CHOICE_TEXT2) ? 1 : 2;
            n->choiceValue = text::ValueAtStart(n->texts[line]);
            n->choiceValueSet = 1;
        }
        if (n->level == 0 && listBox) {
            AddRow(row, n);
            run->Inserted(row++);
        }
    }
    run.reset();
    if (checkedCount) *checkedCount = checkedNodes;
    lastTop->lineShape = lastTop->lineShape != 0 ? 2 : 3;
    for (DWORD level = 1; level <= maxLevel; ++level) AssignLineShapes(head, level);
    AggregateCheckStates(head, nodeCount);

    if (selectedIndex) *selectedIndex = -1;
    currentIndex = -1;
    if (!listBox) return 1;
    SendMessageA(listBox, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox, nullptr, TRUE);
    SetFocus(listBox);
    SendMessageA(listBox, LB_SETCURSEL, 0, 0);
    RecalcHorizontalExtent();
    return 1;
}

void TreeControl::ShowDescendants(TreeNode* node, int row) {
    SendMessageA(listBox, WM_SETREDRAW, FALSE, 0);
    int index = row + 1;
    TreeNode* d = node->next;
    {
        InsertRun run(listBox);
        for (DWORD i = 0; i < node->descendantCount && d; ++i, d = d->next) {
            const TreeNode* parent = d->parent;
            // Only the parent and the grandparent are asked whether they are open.
            if (parent && parent->expandState == 1 && (!parent->parent || parent->parent->expandState == 1)) {
                AddRow(index, d);
                run.Inserted(index++);
            }
        }
    }
    SendMessageA(listBox, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox, nullptr, TRUE);
    RecalcHorizontalExtent();
}

void TreeControl::HideDescendants(TreeNode* node, int row) {
    if (editorWindow) ShowWindow(editorWindow, SW_HIDE);
    // A drawing list box updates its scroll bar and marks the rows below as changed for every
    // row deleted; a large branch is closed with drawing switched off and is repainted once
    // below, as a small one is. A list box without WS_VISIBLE is left alone: switching drawing
    // back on would show it.
    bool quiet = node->descendantCount >= kQuietBranch && (GetWindowLongPtrA(listBox, GWL_STYLE) & WS_VISIBLE);
    if (quiet) SendMessageA(listBox, WM_SETREDRAW, FALSE, 0);
    LRESULT next = SendMessageA(listBox, LB_GETITEMDATA, static_cast<WPARAM>(row + 1), 0);
    TreeNode* d = node->next;
    for (DWORD i = 0; i < node->descendantCount && d; ++i, d = d->next) {
        if (reinterpret_cast<TreeNode*>(next) != d) continue;
        RemoveRow(row + 1, d);
        next = SendMessageA(listBox, LB_GETITEMDATA, static_cast<WPARAM>(row + 1), 0);
    }
    if (quiet) SendMessageA(listBox, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox, nullptr, TRUE);
    RecalcHorizontalExtent();
}

int TreeControl::ExpandNode(DWORD id, DWORD groupKey) {
    TreeNode* node = FindPair(id, groupKey);
    if (!node) return 0;
    int row = RowOf(node);
    if (row == LB_ERR) return 0;
    if (node->expandState != 0) return 1;
    node->expandState = 1;
    ShowDescendants(node, row);
    return 1;
}

int TreeControl::CollapseNode(DWORD id, DWORD groupKey) {
    TreeNode* node = FindPair(id, groupKey);
    if (!node) return 0;
    int row = RowOf(node);
    if (row == LB_ERR) return 0;
    if (node->expandState == -1) return 1;
    HideDescendants(node, row);
    node->expandState = 0;
    return 1;
}

int TreeControl::SelectNode(DWORD id, DWORD groupKey) {
    TreeNode* node = FindPair(id, groupKey);
    if (!node) return 0;
    std::vector<TreeNode*> path;
    for (TreeNode* a = node->parent; a; a = a->parent) path.push_back(a);
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        TreeNode* ancestor = *it;
        int row = RowOf(ancestor);
        if (row != LB_ERR && ancestor->expandState == 0) {
            ancestor->expandState = 1;
            ShowDescendants(ancestor, row);
        }
    }
    int row = RowOf(node);
    if (row == LB_ERR) return 0;
    if (IsWindow(editorWindow)) {
        ShowWindow(editorWindow, SW_HIDE);
        SetWindowLongPtrA(editorWindow, GWLP_USERDATA, 0);
    }
    PostMessageA(listBox, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    return 1;
}

}  // namespace zn
