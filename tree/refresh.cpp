// Rebuilding the rows from the chain; expanding, collapsing and selecting nodes. (The rows as
// the tree keeps track of them, and the horizontal extent, are in rows.cpp.)
#include <algorithm>
#include <cstdint>
#include <optional>

#include "frame/insert_run.h"
#include "frame/pod_array.h"
#include "frame/shortcuts.h"
#include "frame/text.h"
#include "tree.h"

namespace zn {
namespace {

constexpr int kQuietBranch = 64;  // shown rows from which a branch is closed without drawing
constexpr int kTopStride = 512;   // rows deleted between two moves of the top row

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
// first would, in one pass. The room it needs is taken before anything changes.
class StateSettling {
public:
    bool Prepare(DWORD count) { return nodes_.Reserve(count) && open_.Reserve(count); }
    void Run(TreeNode* head) {
        for (TreeNode* n = head; n; n = n->next) {
            while (open_.size() && nodes_[open_.Back()].node != n->parent) open_.Pop();
            const size_t index = nodes_.size();
            if (!nodes_.Push({n, open_.size() ? open_.Back() : SIZE_MAX, 0, 0}) || !open_.Push(index)) return;
        }
        for (size_t i = nodes_.size(); i-- > 0;) {
            const Settled& s = nodes_[i];
            TreeNode* n = s.node;
            if (n->descendantCount > 0 && n->checkState != ZN_CHECK_DISABLED) {
                DWORD eligible = n->descendantCount - s.disabled;
                n->checkState = eligible == s.checked ? ZN_CHECKED : (s.checked > 0 ? ZN_PARTLY_CHECKED : ZN_UNCHECKED);
            }
            if (s.parent == SIZE_MAX) continue;
            nodes_[s.parent].disabled += s.disabled + (n->checkState == ZN_CHECK_DISABLED);
            nodes_[s.parent].checked += s.checked + (n->checkState == ZN_CHECKED);
        }
    }

private:
    struct Settled {
        TreeNode* node;
        size_t parent;  // index of the parent, SIZE_MAX at top level
        DWORD disabled, checked;  // descendants without a box, and checked ones
    };
    PodArray<Settled> nodes_;
    PodArray<size_t> open_;  // indexes of the current node's ancestors
};

}  // namespace

int TreeControl::Refresh(LONG* selectedIndex, LONG* checkedCount) {
    if (holding_) Release();  // the rebuild switches drawing itself
    if (!head) {
        if (listBox) RemoveAllRows();
        return 0;
    }
    // Without room to settle the parents' states the tree is left as it is.
    StateSettling settling;
    if (!settling.Prepare(nodeCount)) return 0;
    // Rows are rebuilt with drawing switched off: the list box repaints once at the end.
    if (listBox) {
        SwitchDrawing(false);
        RemoveAllRows();
    }
    LONG checkedNodes = 0;
    head->lineShape = 0;
    TreeNode* lastTop = head;
    DWORD maxLevel = 0;
    int row = 0;
    std::optional<InsertRun> run;
    if (listBox) run.emplace(listBox, 0, 0);
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
    settling.Run(head);

    if (selectedIndex) *selectedIndex = -1;
    currentIndex = -1;
    if (!listBox) return 1;
    SwitchDrawing(true);
    if (drawingOff_)
        catchUp_ = true;
    else
        InvalidateRect(listBox, nullptr, TRUE);
    SetFocus(listBox);
    SendMessageA(listBox, LB_SETCURSEL, 0, 0);
    if (!drawingOff_) RecalcHorizontalExtent();
    accessible::RowsReordered(*this, listBox);
    return 1;
}

void TreeControl::ShowDescendants(TreeNode* node, int row) {
    SwitchDrawing(false);
    // Only the parent and the grandparent are asked whether they are open.
    auto shows = [](const TreeNode* d) {
        const TreeNode* parent = d->parent;
        return parent && parent->expandState == 1 && (!parent->parent || parent->parent->expandState == 1);
    };
    int rows = 0;
    TreeNode* d = node->next;
    for (DWORD i = 0; i < node->descendantCount && d; ++i, d = d->next) rows += shows(d);
    int index = row + 1;
    {
        // The top row may stay by these rows until something needs it: a run of the host's next
        // call nearby then moves it once, or not at all.
        Raised own(ownWork_);
        const bool lend = ShortcutsTaken();
        const LRESULT top = lentTop_ >= 0 ? lentTop_ : SendMessageA(listBox, LB_GETTOPINDEX, 0, 0);
        if (!lend || index <= top) ReturnTop();
        InsertRun run(listBox, index, rows, top, lend ? &lentWalks_ : nullptr);
        d = node->next;
        for (DWORD i = 0; i < node->descendantCount && d; ++i, d = d->next) {
            if (!shows(d)) continue;
            AddRow(index, d);
            run.Inserted(index++);
        }
        if (lend && run.Moved()) lentTop_ = top;
    }
    if (!drawingOff_ && lentTop_ >= 0) {
        Hold();
    } else {
        SwitchDrawing(true);
        RowsChanged();
    }
    AnnounceBranch(row);
}

void TreeControl::HideDescendants(TreeNode* node, int row) {
    ReturnTop();
    Raised own(ownWork_);  // drawing kept off by the tree stays off through the closing
    if (editorWindow) ShowWindow(editorWindow, SW_HIDE);
    // The rows that go: the descendants, in chain order, standing one after another below the
    // node's row (deleting row + 1 while it shows the next descendant takes exactly these).
    int going = 0;
    const TreeNode* next = NodeAt(row + 1);
    const TreeNode* d = node->next;
    for (DWORD i = 0; i < node->descendantCount && d; ++i, d = d->next) {
        if (next != d) continue;
        ++going;
        next = NodeAt(row + 1 + going);
    }
    // A drawing list box updates its scroll bar and marks the rows below as changed for every
    // row deleted; a large branch is closed with drawing switched off and is repainted once
    // below, as a small one is. A list box without WS_VISIBLE is left alone: switching drawing
    // back on would show it. While drawing is kept off (by the host or the tree), it is off already.
    const bool quiet = ShortcutsTaken() && going >= kQuietBranch &&
                       (drawingOff_ || (GetWindowLongPtrA(listBox, GWL_STYLE) & WS_VISIBLE));
    if (quiet) SwitchDrawing(false);
    if (quiet && FromTheBottom(row, going)) {
        // Deleting from the top down makes the list box move every later row up for each
        // deleted one; from the bottom up only the rows after the branch move, and the top row,
        // kept near the deletions, spares the list box adding up the heights down to them.
        // The top row stays above every row deleted while it is there (at the node's row at
        // the lowest), so it never stands on a deleted row or past the last one.
        const LRESULT top = SendMessageA(listBox, LB_GETTOPINDEX, 0, 0);
        LRESULT topNow = top;
        for (int k = going; k >= 1; --k) {
            int index = row + k;
            if (index <= topNow || index - topNow > kTopStride) {
                SendMessageA(listBox, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(row, index - kTopStride)), 0);
                topNow = SendMessageA(listBox, LB_GETTOPINDEX, 0, 0);
            }
            RemoveRow(index, NodeAt(index));
        }
        SendMessageA(listBox, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    } else {
        for (int k = 0; k < going; ++k) RemoveRow(row + 1, NodeAt(row + 1));
    }
    if (quiet) SwitchDrawing(true);
    RowsChanged();
    node->expandState = 0;  // as every caller leaves it, before aids hear of the branch
    AnnounceBranch(row);
}

void TreeControl::ToggleOpen(TreeNode* node, int row) {
    if (node->expandState == 0) {
        node->expandState = 1;
        ShowDescendants(node, row);
    } else if (node->expandState == 1) {
        HideDescendants(node, row);  // leaves the node closed
    }
}

// Whether closing `going` rows below `row` from the bottom up, moving the top row along and
// putting it back, leaves the list box as closing them from the top down does. The list box
// keeps its top row through deletions, and puts a top row it is given back no lower than the
// last rows that fill it, and goes back to its first row when its count falls to a page. So the
// top row must be at or above the node's row, and either be the first row or, once the branch is
// gone, have more rows below it than the list box is pixels high (every row is at least one
// pixel, so the count then never falls to a page either).
bool TreeControl::FromTheBottom(int row, int going) const {
    RECT client = {};
    GetClientRect(listBox, &client);
    const LRESULT top = SendMessageA(listBox, LB_GETTOPINDEX, 0, 0);
    const LRESULT remaining = SendMessageA(listBox, LB_GETCOUNT, 0, 0) - going;
    return top <= row && (top == 0 || remaining - top > client.bottom + 2);
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
    PodArray<TreeNode*> path;
    for (TreeNode* a = node->parent; a; a = a->parent)
        if (!path.Push(a)) return 0;
    for (size_t i = path.size(); i-- > 0;) {
        TreeNode* ancestor = path[i];
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
