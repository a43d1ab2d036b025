// The list box's rows as the tree keeps track of them: where each node's row was last seen,
// and the widest visible text line, kept up to date as rows come and go so that opening a
// branch costs the rows it shows rather than every row of the list box.
#include <algorithm>
#include <optional>

#include "frame/gdi.h"
#include "frame/shortcuts.h"
#include "frame/text.h"
#include "tree.h"

namespace zn {
namespace {

constexpr int kHintReach = 256;  // rows above a stale hint where the search for its row starts
// Rows noted one by one for the next extent update; past this many, every shown row is measured
// again instead, which costs a walk of the chain rather than memory for each row.
constexpr size_t kUntalliedRows = 4096;

}  // namespace

void TreeControl::AddRow(int index, TreeNode* node) {
    {
        Raised own(ownRowChange_);
        SendMessageA(listBox, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(node));
    }
    NodeExtras& extras = Extras(node);
    extras.rowHint = index;
    ++extras.shownRows;
    // Without room to note the row, every row is measured afresh at the next update.
    if (!extentsStale_ && (untallied_.size() >= kUntalliedRows || !untallied_.Push(node))) extentsStale_ = true;
}

void TreeControl::RemoveRow(int index, TreeNode* node) {
    {
        Raised own(ownRowChange_);
        SendMessageA(listBox, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    }
    NodeExtras& extras = Extras(node);
    if (extras.shownRows > 0) --extras.shownRows;
    Untally(node);
}

void TreeControl::RemoveAllRows() {
    // One reset leaves the list box as deleting its first row again and again would.
    {
        Raised own(ownRowChange_);
        if (ShortcutsTaken())
            SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
        else
            while (SendMessageA(listBox, LB_DELETESTRING, 0, 0) > 0) {
            }
    }
    lentTop_ = -1;  // an empty list box has its top row at the first row
    for (TreeNode* n = head; n; n = n->next) {
        NodeExtras& extras = Extras(n);
        extras.shownRows = 0;
        extras.shownExtent = NodeExtras::kNotTallied;
    }
    extents_.Clear();
    untallied_.Clear();
    extentsStale_ = false;
    rowsUnknown_ = false;
}

void TreeControl::NoteForeignRowChange(UINT message) {
    if (ownRowChange_) return;
    switch (message) {
    case LB_ADDSTRING: case LB_INSERTSTRING: case LB_DELETESTRING: case LB_RESETCONTENT: case LB_SETITEMDATA:
        rowsUnknown_ = true;
        extentsStale_ = true;
        break;
    default:
        break;
    }
}

int TreeControl::RowOf(const TreeNode* node) {
    if (!listBox || !node) return LB_ERR;
    NodeExtras& extras = Extras(node);
    const LPARAM key = reinterpret_cast<LPARAM>(node);
    WPARAM from = static_cast<WPARAM>(-1);  // the search starts after this row
    if (!rowsUnknown_) {
        if (extras.shownRows == 0) return LB_ERR;
        if (extras.shownRows == 1) {
            // Rows above it come and go, so its row is near where it was last seen, most likely
            // below it, where rows opened above it pushed it. The list box searches on from a
            // little above the hint and round from its first row; the node has one row, so
            // whichever search finds it finds that row. Asking row by row would cost a message a row.
            const int hint = extras.rowHint;
            const LRESULT there = SendMessageA(listBox, LB_GETITEMDATA, static_cast<WPARAM>(hint), 0);
            if (there == key) return hint;
            if (there != LB_ERR && hint > kHintReach) from = static_cast<WPARAM>(hint - kHintReach - 1);
        }
    }
    int row = static_cast<int>(SendMessageA(listBox, LB_FINDSTRING, from, key));
    if (row != LB_ERR) extras.rowHint = row;
    return row;
}

// A DC of the list box, taken only when a width has to be measured.
class TreeControl::LazyDC {
public:
    explicit LazyDC(HWND window) : window_(window) {}
    HDC get() {
        if (!dc_) dc_.emplace(window_);
        return *dc_;
    }

private:
    HWND window_;
    std::optional<WindowDC> dc_;
};

int TreeControl::LineWidth(LazyDC& dc, HFONT font, const char* narrow) {
    if (!narrow) return 0;
    // A bold line of a tree without a bold font is measured in the normal one, as it is painted.
    if (!font) font = normalFont;
    TextWidths& table = font == boldFont ? boldWidths_ : normalWidths_;
    HFONT& madeFor = font == boldFont ? widthsBoldFont_ : widthsNormalFont_;
    if (madeFor != font && font) {
        Selected selected(dc.get(), font);
        table.Prepare(dc.get());
        madeFor = font;
    }
    if (table.Exact() && madeFor == font) return static_cast<int>(table.Width(narrow));
    Selected selected(dc.get(), font);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc.get(), narrow, lstrlenA(narrow), &size);
    return size.cx;
}

// The widest line of a row, from where its text starts: its indentation and the icons it and
// its ancestors show, then its widest text in its own font. Nodes without lines add nothing.
int TreeControl::RowExtent(LazyDC& dc, TreeNode* node) {
    NodeExtras& extras = Extras(node);
    if (extras.textWidth == NodeExtras::kWidthUnknown) {
        int widest = -1;
        for (int j = 0; j < node->textCount && j < 3; ++j)
            widest = std::max(widest, LineWidth(dc, (node->flags & (0x0002 << j)) ? boldFont : normalFont,
                                                text::Narrow(node->texts[j])));
        extras.textWidth = widest;
    }
    if (extras.textWidth < 0) return NodeExtras::kNotTallied;
    int x = static_cast<int>(node->level) * 18 + 42 + AncestorIconWidth(node);
    if (ShowsSeverity(node)) x += 20;
    if (ShowsAdditional(node)) x += 20;
    return x + extras.textWidth;
}

void TreeControl::Tally(TreeNode* node, int extent) {
    if (extent == NodeExtras::kNotTallied) return;
    // A row the tally has no room for is measured again, with every other row, next time.
    if (!extents_.Add(extent)) {
        extentsStale_ = true;
        return;
    }
    Extras(node).shownExtent = extent;
}

void TreeControl::Untally(TreeNode* node) {
    NodeExtras& extras = Extras(node);
    if (extras.shownExtent == NodeExtras::kNotTallied) return;
    extents_.Remove(extras.shownExtent);
    extras.shownExtent = NodeExtras::kNotTallied;
}

void TreeControl::TextsChanged(TreeNode* node) {
    Extras(node).textWidth = NodeExtras::kWidthUnknown;
    extentsStale_ = true;
}

void TreeControl::RecalcHorizontalExtent() {
    if (!listBox) return;
    {
        // Most updates measure from the width tables: a DC is taken only when one is needed.
        LazyDC dc(listBox);
        if (extentsStale_) {
            // Count every row afresh: after texts, icons or rows changed behind the tally's back.
            extents_.Clear();
            untallied_.Clear();
            extentsStale_ = false;
            for (TreeNode* n = head; n; n = n->next) Extras(n).shownExtent = NodeExtras::kNotTallied;
            if (rowsUnknown_) {  // the list box is asked which nodes it shows
                int rows = static_cast<int>(SendMessageA(listBox, LB_GETCOUNT, 0, 0));
                for (int r = 0; r < rows; ++r) {
                    TreeNode* n = NodeAt(r);
                    if (n && Extras(n).shownExtent == NodeExtras::kNotTallied) Tally(n, RowExtent(dc, n));
                }
            } else {
                for (TreeNode* n = head; n; n = n->next)
                    if (Extras(n).shownRows > 0) Tally(n, RowExtent(dc, n));
            }
        } else {
            for (TreeNode* n : untallied_)
                if (Extras(n).shownRows > 0 && Extras(n).shownExtent == NodeExtras::kNotTallied)
                    Tally(n, RowExtent(dc, n));
            untallied_.Clear();
        }
    }
    int widest = extents_.Widest();
    if (widest < 0) widest = 0;
    SendMessageA(listBox, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 10), 0);
}

}  // namespace zn
