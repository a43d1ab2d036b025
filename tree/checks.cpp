// Check states: a flipped box is carried down to the node's descendants and up to its
// ancestors, the host's count of checked nodes follows every change, and the boxes that are
// on screen are repainted at once instead of waiting for the list box to repaint its rows.
#include <optional>

#include "frame/gdi.h"
#include "frame/pod_array.h"
#include "frame/shortcuts.h"
#include "tree.h"

namespace zn {

constexpr int kBoxSize = 18;  // a check box image is 18 x 18 pixels
namespace {

void Bump(LONG* checkedCount, LONG delta) {
    if (checkedCount) *checkedCount += delta;
}

void DrawBox(HIMAGELIST images, int image, HDC dc, int x, int y) {
    if (dc && images) ImageList_DrawEx(images, image, dc, x, y, 18, 18, CLR_NONE, CLR_NONE, ILD_NORMAL);
}

}  // namespace

int TreeControl::ChildrenCheckSummary(const TreeNode* node) {
    if (node->descendantCount == 0) return node->checkState != ZN_UNCHECKED ? kSummaryAll : kSummaryNone;
    DWORD checkable = node->descendantCount, checked = 0;
    const TreeNode* d = node->next;
    for (DWORD i = 0; i < node->descendantCount && d; ++i, d = d->next) {
        if (d->checkState == ZN_CHECK_DISABLED) --checkable;
        else if (d->checkState == ZN_CHECKED) ++checked;
    }
    if (checkable == checked) return kSummaryAll;
    return checked > 0 ? kSummarySome : kSummaryNone;
}

// The top of a row in the list box's client area, or false for a row whose 18-pixel check box
// cannot show: 18 rows or more above the top row, or a client height or more below it (no row
// is less than a pixel high). Those are answered without LB_GETITEMRECT, which adds up every
// height from the top row to the row.
bool TreeControl::RowTopIfShown(int row, int* top) const {
    if (!listBox || row < 0) return false;
    RECT client, item;
    GetClientRect(listBox, &client);
    const LRESULT first = SendMessageA(listBox, LB_GETTOPINDEX, 0, 0);
    if (row <= first - kBoxSize || row - first >= client.bottom) return false;
    if (SendMessageA(listBox, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
        return false;
    *top = item.top;
    return true;
}

void TreeControl::SetDescendantsCheck(TreeNode* node, int index, DWORD state, int image, LONG delta,
                                      LONG* checkedCount, HDC dc, int xoff, BoxCount* after) {
    BoxCount counted;
    int row = index + 1;
    RECT client = {0, 0, 0, 0};
    bool painting = dc && listBox && !drawingOff_;
    if (painting) GetClientRect(listBox, &client);
    // Row tops are followed from the first shown descendant by adding row heights, since the list
    // box would add up every height from its top row for each one. Once past the bottom of the
    // client area nothing more can show, and the rest only change state.
    // Rows whose boxes end above the client area are passed over without asking where they are.
    bool haveTop = false;
    int y = 0;
    const int topRow = painting ? static_cast<int>(SendMessageA(listBox, LB_GETTOPINDEX, 0, 0)) : 0;
    TreeNode* d = node->next;
    for (DWORD i = 0; i < node->descendantCount && d; ++i, d = d->next) {
        const bool parentDisabled = d->parent && d->parent->checkState == ZN_CHECK_DISABLED;
        // A node the tree knows to have no row is passed without asking the list box.
        if (painting && (rowsUnknown_ || Extras(d).shownRows > 0) && NodeAt(row) == d) {
            if (!haveTop && row > topRow - kBoxSize) {
                haveTop = RowTopIfShown(row, &y);
                if (!haveTop) painting = false;  // below the client area, and so is the rest
            }
            // Boxes outside the client area would be clipped away: they are not drawn at all.
            if (haveTop && !(state == ZN_CHECKED && parentDisabled) && d->checkState != ZN_CHECK_DISABLED &&
                y + 18 > client.top && y < client.bottom)
                DrawBox(imageList, image, dc, CheckBoxX(d) - xoff, y);
            y += static_cast<int>(SendMessageA(listBox, LB_GETITEMHEIGHT, static_cast<WPARAM>(row), 0));
            ++row;
            if (haveTop && y >= client.bottom) painting = false;
        }
        // A box under a parent without one is never checked from above.
        if (d->checkState != ZN_CHECK_DISABLED && !(state == ZN_CHECKED && parentDisabled) && d->checkState != state) {
            d->checkState = state;
            Bump(checkedCount, delta);
        }
        counted.Add(d);
    }
    if (after) *after = counted;
}

void TreeControl::RedrawCheckBox(HDC dc, const TreeNode* node, int first, int end, int xoff, int image) {
    if (!dc || !listBox) return;
    if (IdIsUnique(node->id)) {
        // No other node carries the id, so the row showing this node is the one searched for.
        int row = RowOf(node);
        RECT item;
        if (row != LB_ERR && row >= first && row < end &&
            SendMessageA(listBox, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != LB_ERR)
            DrawBox(imageList, image, dc, CheckBoxX(node) - xoff, item.top);
        return;
    }
    for (int row = first; row < end; ++row) {
        const TreeNode* shown = NodeAt(row);
        if (!shown || shown->id != node->id || shown->groupKey != node->groupKey) continue;
        RECT item;
        if (SendMessageA(listBox, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
            return;
        DrawBox(imageList, image, dc, CheckBoxX(node) - xoff, item.top);
        return;
    }
}

// The repaints of ancestors' boxes share a DC of the list box clipped to its client area, the
// rows that can show and the scroll offset; they are taken on the first repaint and kept for
// every walk of one change (neither rows nor scrolling change meanwhile).
struct TreeControl::AncestorBoxes {
    std::optional<WindowDC> dc;
    int first = 0, end = 0, xoff = 0;
    bool ready = false;
};

void TreeControl::RepaintAncestorBox(AncestorBoxes& boxes, const TreeNode* node, int image) {
    if (!listBox || drawingOff_) return;
    if (!boxes.ready) {
        boxes.ready = true;
        boxes.dc.emplace(listBox);
        ClipToClient(*boxes.dc, listBox);
        // Full values: the same as their low 16 bits below 65,536 rows, and right above.
        boxes.first = static_cast<int>(SendMessageA(listBox, LB_GETTOPINDEX, 0, 0));
        boxes.end = static_cast<int>(SendMessageA(listBox, LB_GETCOUNT, 0, 0));
        RECT client;
        GetClientRect(listBox, &client);
        // Rows a client height or more below the top row cannot show (none is under a pixel high).
        if (client.bottom >= 0 && boxes.end - boxes.first > client.bottom) boxes.end = boxes.first + client.bottom;
        boxes.xoff = ScrollOffsetAt(0);
    }
    RedrawCheckBox(boxes.dc->get(), node, boxes.first, boxes.end, boxes.xoff, image);
}

// One ancestor's new state from the summary of its descendants, by the rule the walk up chose
// (`unchecked`: the walk started at an unchecked node); 0 where it is left as it is.
int TreeControl::SettledState(const TreeNode* p, int summary, bool unchecked) {
    if (p->checkState == ZN_CHECK_DISABLED) return 0;
    if (unchecked) return summary != kSummaryNone ? ZN_PARTLY_CHECKED : ZN_UNCHECKED;
    if (summary == kSummaryNone) return 0;
    return summary == kSummaryAll ? ZN_CHECKED : ZN_PARTLY_CHECKED;
}

void TreeControl::SetSettled(TreeNode* p, int state, LONG* checkedCount, AncestorBoxes& boxes) {
    // An unchecked box counts nothing; any other state counts once.
    Bump(checkedCount, (state != ZN_UNCHECKED) - (p->checkState != ZN_UNCHECKED));
    p->checkState = static_cast<DWORD>(state);
    RepaintAncestorBox(boxes, p, state == ZN_CHECKED ? 14 : state == ZN_UNCHECKED ? 13 : 15);
}

void TreeControl::UpdateAncestorsCheck(TreeNode* node, LONG* checkedCount, AncestorBoxes* shared,
                                       const BoxCount* below) {
    AncestorBoxes own;
    AncestorBoxes& boxes = shared ? *shared : own;
    // The node's own state picks the rule once for the whole walk up.
    const bool nodeUnchecked = node->checkState == ZN_UNCHECKED;
    // With the node's descendants counted, an ancestor's count is the count below it, that node
    // and the ancestor's other descendants, so each node of the top ancestor's branch is counted
    // once instead of once for every ancestor above it.
    BoxCount count;
    if (below) count = *below, count.Add(node);
    const TreeNode* counted = node;
    for (TreeNode* p = node->parent; p; p = p->parent) {
        int summary;
        if (below) {
            const TreeNode* last = Extras(p).lastInSubtree;
            for (const TreeNode* d = p->next; d; d = d->next) {
                if (d == counted) d = Extras(counted).lastInSubtree;
                else count.Add(d);
                if (d == last) break;
            }
            summary = count.Summary();
        } else {
            summary = ChildrenCheckSummary(p);
        }
        if (p != heldChecked_)
            if (int state = SettledState(p, summary, nodeUnchecked)) SetSettled(p, state, checkedCount, boxes);
        count.Add(p);
        counted = p;
    }
}

// Settles the branches below a just-checked node that keeps unchecked boxes under boxless
// parents: every descendant that has descendants, in chain order, has the ancestors between it
// and the node recomputed as UpdateAncestorsCheck would (the node itself is held). The summaries
// are kept as counts of checked and boxed descendants, brought up to date as each walk goes up,
// instead of being counted afresh; *below ends as the node's count. False when there is no room
// for the counts.
bool TreeControl::SettleBranches(TreeNode* node, LONG* checkedCount, AncestorBoxes& boxes, BoxCount* below) {
    struct Branch {
        TreeNode* node;
        size_t parent;   // index of the branch it lies in, 0 for the node itself
        BoxCount count;  // of its descendants
    };
    // The node and each of its descendants that has descendants, in chain order.
    PodArray<Branch> branches;
    PodArray<size_t> open;  // the branches the chain is inside
    if (!branches.Push({node, 0, {}}) || !open.Push(0)) return false;
    TreeNode* d = node->next;
    for (DWORD i = 0; i < node->descendantCount && d; ++i, d = d->next) {
        while (open.size() > 1 && branches[open.Back()].node != d->parent) open.Pop();
        branches[open.Back()].count.Add(d);
        if (d->descendantCount == 0) continue;
        if (!branches.Push({d, open.Back(), {}}) || !open.Push(branches.size() - 1)) return false;
    }
    for (size_t i = branches.size(); i-- > 1;) {
        BoxCount& up = branches[branches[i].parent].count;
        up.checked += branches[i].count.checked;
        up.boxed += branches[i].count.boxed;
    }
    for (size_t i = 1; i < branches.size(); ++i) {
        const bool unchecked = branches[i].node->checkState == ZN_UNCHECKED;
        LONG gained = 0;  // checked boxes gained below the branch the walk has reached
        size_t a = branches[i].parent;
        for (; a != 0; a = branches[a].parent) {
            Branch& b = branches[a];
            b.count.checked += gained;
            const int state = SettledState(b.node, b.count.Summary(), unchecked);
            if (!state) continue;
            gained += (state == ZN_CHECKED) - (b.node->checkState == ZN_CHECKED);
            SetSettled(b.node, state, checkedCount, boxes);
        }
        branches[0].count.checked += gained;
    }
    *below = branches[0].count;
    return true;
}

void TreeControl::ToggleCheck(TreeNode* node, int index, HDC dc, int xoff, int checkX, LONG* checkedCount,
                              bool drawEx) {
    int image = 13;
    BoxCount below;  // the node's descendants, counted as the new state goes down to them
    if (node->descendantCount > 0) {
        // A collapsed node's descendants have no rows to repaint.
        HDC paint = node->expandState != 0 ? dc : nullptr;
        if (node->checkState == ZN_CHECKED || node->checkState == ZN_PARTLY_CHECKED) {
            node->checkState = ZN_UNCHECKED;
            Bump(checkedCount, -1);
            SetDescendantsCheck(node, index, ZN_UNCHECKED, 13, -1, checkedCount, paint, xoff, &below);
        } else {
            node->checkState = ZN_CHECKED;
            Bump(checkedCount, +1);
            image = 14;
            SetDescendantsCheck(node, index, ZN_CHECKED, 14, +1, checkedCount, paint, xoff, &below);
        }
    } else if (node->checkState == ZN_CHECKED) {
        node->checkState = ZN_UNCHECKED;
        Bump(checkedCount, -1);
    } else {
        node->checkState = ZN_CHECKED;
        Bump(checkedCount, +1);
        image = 14;
    }
    PostCheckStateChanged();

    // Boxes below a parent without a box stay as they were, so a checked node can still have
    // unchecked descendants: its box shows that at once, the branches in between are settled,
    // and the node itself stays checked.
    AncestorBoxes boxes;
    bool counted = ShortcutsTaken();
    if (node->descendantCount > 0 && node->checkState == ZN_CHECKED &&
        (counted ? below.Summary() : ChildrenCheckSummary(node)) == kSummarySome) {
        image = 15;
        heldChecked_ = node;
        // The walks above the node are left out: the walk up from the node itself, last, gives
        // every ancestor its state from the states below it, whatever the walks left there.
        if (!counted || !SettleBranches(node, checkedCount, boxes, &below)) {
            counted = false;
            TreeNode* d = node->next;
            for (DWORD i = 0; i < node->descendantCount && d; ++i, d = d->next)
                if (d->descendantCount > 0) UpdateAncestorsCheck(d, checkedCount, &boxes);
        }
        heldChecked_ = nullptr;
    }
    UpdateAncestorsCheck(node, checkedCount, &boxes, counted ? &below : nullptr);
    AnnounceChecks(node);

    if (drawingOff_) catchUp_ = true;
    if (!dc || !listBox || !imageList || drawingOff_) return;
    int top = 0;
    if (!RowTopIfShown(index, &top)) return;
    if (drawEx)
        ImageList_DrawEx(imageList, image, dc, checkX - xoff, top, 18, 18, CLR_NONE, CLR_NONE, ILD_NORMAL);
    else
        ImageList_Draw(imageList, image, dc, checkX - xoff, top, ILD_NORMAL);
}

}  // namespace zn
