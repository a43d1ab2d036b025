// Check states: a flipped box is carried down to the node's descendants and up to its
// ancestors, the host's count of checked nodes follows every change, and the boxes that are
// on screen are repainted at once instead of waiting for the list box to repaint its rows.
#include <optional>

#include "frame/gdi.h"
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
                                      LONG* checkedCount, HDC dc, int xoff) {
    int row = index + 1;
    RECT client = {0, 0, 0, 0};
    bool painting = dc && listBox;
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
        if (painting && NodeAt(row) == d) {
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
        if (d->checkState == ZN_CHECK_DISABLED || (state == ZN_CHECKED && parentDisabled) || d->checkState == state)
            continue;
        d->checkState = state;
        Bump(checkedCount, delta);
    }
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

void TreeControl::UpdateAncestorsCheck(TreeNode* node, LONG* checkedCount) {
    std::optional<WindowDC> dc;
    int first = 0, end = 0, xoff = 0;
    if (listBox) {
        dc.emplace(listBox);
        ClipToClient(*dc, listBox);
        // Full values: the same as their low 16 bits below 65,536 rows, and right above.
        first = static_cast<int>(SendMessageA(listBox, LB_GETTOPINDEX, 0, 0));
        end = static_cast<int>(SendMessageA(listBox, LB_GETCOUNT, 0, 0));
        RECT client;
        GetClientRect(listBox, &client);
        // Rows a client height or more below the top row cannot show (none is under a pixel high).
        if (client.bottom >= 0 && end - first > client.bottom) end = first + client.bottom;
        xoff = ScrollOffsetAt(0);
    }
    HDC paint = dc ? dc->get() : nullptr;
    // The node's own state picks the rule once for the whole walk up.
    const bool nodeUnchecked = node->checkState == ZN_UNCHECKED;
    for (TreeNode* p = node->parent; p; p = p->parent) {
        if (p == heldChecked_) continue;
        int summary = ChildrenCheckSummary(p);
        if (nodeUnchecked) {
            if (p->checkState == ZN_CHECK_DISABLED) continue;
            if (summary != kSummaryNone) {
                if (p->checkState == ZN_UNCHECKED) Bump(checkedCount, +1);
                p->checkState = ZN_PARTLY_CHECKED;
                RedrawCheckBox(paint, p, first, end, xoff, 15);
            } else {
                if (p->checkState != ZN_UNCHECKED) Bump(checkedCount, -1);
                p->checkState = ZN_UNCHECKED;
                RedrawCheckBox(paint, p, first, end, xoff, 13);
            }
        } else if (summary != kSummaryNone) {
            if (p->checkState == ZN_CHECK_DISABLED) continue;
            if (p->checkState == ZN_UNCHECKED) Bump(checkedCount, +1);
            const bool all = summary == kSummaryAll;
            p->checkState = all ? ZN_CHECKED : ZN_PARTLY_CHECKED;
            RedrawCheckBox(paint, p, first, end, xoff, all ? 14 : 15);
        }
    }
}

void TreeControl::ToggleCheck(TreeNode* node, int index, HDC dc, int xoff, int checkX, LONG* checkedCount,
                              bool drawEx) {
    int image = 13;
    if (node->descendantCount > 0) {
        // A collapsed node's descendants have no rows to repaint.
        HDC paint = node->expandState != 0 ? dc : nullptr;
        if (node->checkState == ZN_CHECKED || node->checkState == ZN_PARTLY_CHECKED) {
            node->checkState = ZN_UNCHECKED;
            Bump(checkedCount, -1);
            SetDescendantsCheck(node, index, ZN_UNCHECKED, 13, -1, checkedCount, paint, xoff);
        } else {
            node->checkState = ZN_CHECKED;
            Bump(checkedCount, +1);
            image = 14;
            SetDescendantsCheck(node, index, ZN_CHECKED, 14, +1, checkedCount, paint, xoff);
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
    if (node->descendantCount > 0 && node->checkState == ZN_CHECKED &&
        ChildrenCheckSummary(node) == kSummarySome) {
        image = 15;
        heldChecked_ = node;
        TreeNode* d = node->next;
        for (DWORD i = 0; i < node->descendantCount && d; ++i, d = d->next)
            if (d->descendantCount > 0) UpdateAncestorsCheck(d, checkedCount);
        heldChecked_ = nullptr;
    }
    UpdateAncestorsCheck(node, checkedCount);
    AnnounceChecks(node);

    if (!dc || !listBox || !imageList) return;
    int top = 0;
    if (!RowTopIfShown(index, &top)) return;
    if (drawEx)
        ImageList_DrawEx(imageList, image, dc, checkX - xoff, top, 18, 18, CLR_NONE, CLR_NONE, ILD_NORMAL);
    else
        ImageList_Draw(imageList, image, dc, checkX - xoff, top, ILD_NORMAL);
}

}  // namespace zn
