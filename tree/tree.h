// The tree control: an owner-drawn list box whose rows are the visible nodes of a chain of
// TreeNode records kept in display order (each node followed by its descendants).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "ZnTreeCt.h"
#include "frame/arena.h"
#include "frame/control.h"
#include "frame/id_index.h"
#include "frame/pod_array.h"
#include "frame/registry.h"
#include "frame/scoped.h"
#include "frame/text_widths.h"
#include "frame/widest.h"

namespace zn {

// What the tree keeps of each node besides the record the host reads; it sits just before the
// TreeNode in the same allocation.
struct NodeExtras {
    int rowHint;        // where the node's row was last seen
    int shownRows;      // how many rows show the node (0 or 1 in practice)
    int textWidth;      // widest text line in its font; kWidthUnknown until measured, -1 without lines
    int shownExtent;    // the value the node's row adds to the widest-line tally, kNotTallied when none
    TreeNode* lastInSubtree;  // the last of its descendants in the chain, or the node itself
    static constexpr int kWidthUnknown = -2;
    static constexpr int kNotTallied = -0x7FFFFFFF;
};
inline NodeExtras& Extras(const TreeNode* node) {
    return *reinterpret_cast<NodeExtras*>(reinterpret_cast<char*>(const_cast<TreeNode*>(node)) -
                                          sizeof(NodeExtras));
}

// Where a row's pictures and texts start (x in the row's device-context coordinates).
struct RowLayout {
    int connectorX;
    int severityX;     // -1 when the severity icon is not shown
    int additionalX;   // -1 when the additional icon is not shown
    int checkX;        // -1 when the row reserves no check-box slot
    int checkImage;
    int textX;
};

class TreeControl : public ListBoxControl {
public:
    using Item = TreeNode;
    static constexpr registry::Role kListBoxRole = registry::Role::TreeListBox;

    // Creation and teardown.
    static TreeControl* Create(HWND parent, int placeholderId, int listBoxId);
    static TreeControl* FromWindow(HWND window);  // null unless `window` is a live tree's list box
    void Destroy();
    int Clear();
    int AttachIcons(IconSet set, HIMAGELIST list);

    // Insertion and updates.
    TreeNode* Head() const { return head; }
    TreeNode* SortedInsert(const NodeInfo* info, DWORD groupKey);
    int UpdateNode(const NodeInfo* info, DWORD groupKey);
    int UpdateTreeEntry(NodeInfo* info, DWORD groupKey, LONG* checkedCount);

    // Rows.
    int Refresh(LONG* selectedIndex, LONG* checkedCount);
    int ExpandNode(DWORD id, DWORD groupKey);
    int CollapseNode(DWORD id, DWORD groupKey);
    int SelectNode(DWORD id, DWORD groupKey);
    void RecalcHorizontalExtent();

    // Forwarded messages.
    int MeasureItem(MEASUREITEMSTRUCT* item);
    void DrawRow(DRAWITEMSTRUCT* item, LONG* selectedIndex);
    void OnCommand(WPARAM wParam, LPARAM lParam, LONG* checkedCount);
    int OnCharToItem(WPARAM wParam, LPARAM lParam, LONG* checkedCount);
    bool ArrowKey(WPARAM key);  // Left or Right on the selected row; false leaves it to the list box
    void ListBoxResized() { RecalcHorizontalExtent(); }
    void ListBoxMoved() {}

    // Lookups.
    TreeNode* FindInGroup(DWORD id, DWORD groupKey) const;  // first of the key's run, then the id
    TreeNode* FindPair(DWORD id, DWORD groupKey) const;     // first node matching both
    int RowOf(const TreeNode* node);                        // list-box row, or LB_ERR
    bool IdIsUnique(DWORD id) const;                         // exactly one node carries the id
    // Applies the text bits (0x10, 0x20, 0x40) of an update to a node, keeping textCount in step:
    // a null text clears the line, a given one replaces it.
    void UpdateTexts(TreeNode& node, const NodeInfo& info, DWORD mask);
    // Rows changed by someone else than the tree (a host's own list-box message).
    void NoteForeignRowChange(UINT message);
    // A message reaching the list box: the host's own drawing switch is noted, a top row the tree
    // lent while drawing is kept off is put back, and drawing the tree kept off itself is caught
    // up, before anything else can see the list box.
    void BeforeListBoxMessage(UINT message, WPARAM wParam);
    void AfterListBoxMessage(UINT message, WPARAM wParam);

    // Layout arithmetic (no window needed).
    bool ShowsSeverity(const TreeNode* node) const;
    bool ShowsAdditional(const TreeNode* node) const;
    int AncestorIconWidth(const TreeNode* node) const;
    bool ShowsCheckColumn(const TreeNode* node) const;
    RowLayout RowSlots(const TreeNode* node) const;
    int CheckBoxX(const TreeNode* node) const;  // the check box's x in hit tests and repaints
    static int RowHeight(const TreeNode* node);

    // Check states. ChildrenCheckSummary tells whether all, some or none of a node's
    // descendants that have a box are checked.
    static constexpr int kSummaryNone = 0, kSummaryAll = 1, kSummarySome = 2;
    void ToggleCheck(TreeNode* node, int index, HDC dc, int xoff, int checkX, LONG* checkedCount, bool drawEx);
    bool RowTopIfShown(int row, int* top) const;
    // Checked descendants and descendants with a box, as the walks over them count them.
    struct BoxCount {
        DWORD checked = 0, boxed = 0;
        void Add(const TreeNode* n) {
            checked += n->checkState == ZN_CHECKED;
            boxed += n->checkState != ZN_CHECK_DISABLED;
        }
        int Summary() const { return boxed == checked ? kSummaryAll : checked > 0 ? kSummarySome : kSummaryNone; }
    };
    // `after`, when given, gets the count of the node's descendants once they have their states.
    void SetDescendantsCheck(TreeNode* node, int index, DWORD state, int image, LONG delta, LONG* checkedCount,
                             HDC dc, int xoff, BoxCount* after = nullptr);
    struct AncestorBoxes;
    // `boxes` shares one DC and the rows' bounds among the walks of one change; `below`, when
    // given, is the count of the node's descendants, so that each ancestor's is counted once.
    void UpdateAncestorsCheck(TreeNode* node, LONG* checkedCount, AncestorBoxes* boxes = nullptr,
                              const BoxCount* below = nullptr);
    static int ChildrenCheckSummary(const TreeNode* node);

    // Editor: the look-alike of a choice line is its widest entry and this wide.
    static constexpr int kChoiceMargin = 16;
    SIZE MeasureChoices(const TextField& text) { return ListBoxControl::MeasureChoices(text, kChoiceMargin); }

    // Checks the chain's invariants; returns a description of the first fault, or null.
    const char* CheckChain() const;

    // Accessibility (accessible.cpp): what aids are told of a row, its default action, and the
    // events for nodes whose states, texts or icons changed and for branches opened or closed.
    LONG ClientRole() const override { return ROLE_SYSTEM_OUTLINE; }
    LONG RowRole() const override { return ROLE_SYSTEM_OUTLINEITEM; }
    bool DescribeItem(LPARAM item, unsigned parts, accessible::RowFacts* facts) override;
    HRESULT DoRowAction(int row) override;
    void AnnounceNodeChange(const TreeNode* node, unsigned changes);
    void AnnounceChecks(const TreeNode* node);  // the node, its ancestors and its descendants in view
    void AnnounceBranch(int row);               // the row's branch opened or closed

    TreeNode* head = nullptr;
    DWORD nodeCount = 0;

    TreeControl() : ListBoxControl(ZN_TREE_CHECK_STATE_CHANGED) {}

private:
    TreeNode* tail_ = nullptr;  // last node of the chain, so appends need no walk
    // The first node inserted with each id, and the second, recorded for ids more than one node carries.
    IdIndex<TreeNode> ids_, secondIds_;
    Arena nodes_;  // the nodes with their extras, freed together with the chain
    // The widest visible line, kept as rows come and go: line extents of the shown rows.
    WidestTally extents_;
    PodArray<TreeNode*> untallied_;  // rows added since the extents were last brought up to date
    bool extentsStale_ = true;          // recount every row at the next update
    bool ownRowChange_ = false;         // the rows are being changed by the tree itself
    bool rowsUnknown_ = false;          // someone else changed the rows: trust no hint
    // The list box's drawing kept off between calls: while the host keeps it off, the tree leaves
    // it off, and invalidates and measures once when the host switches it on again. After opening
    // a branch far below the top row the tree may keep it off itself (holding_), with the top row
    // left by the new rows, until the list box's next message that is not a plain read: a loop of
    // calls then pays for the top row and the repaint once.
    bool drawingOff_ = false;
    bool holding_ = false;     // drawing is off by the tree's choice, not the host's
    bool ownSwitch_ = false;   // the tree itself is switching drawing
    bool catchUp_ = false;     // rows or states changed while drawing was kept off
    bool ownWork_ = false;     // the tree is opening a branch: its messages leave the top row alone
    // The host's top row while the list box's top row stands by the rows last opened (only while
    // drawing is kept off), -1 when the list box's top row is the host's.
    LRESULT lentTop_ = -1;
    long long lentWalks_ = 0;  // rows walked by insertions since the lent top row last moved
    void SwitchDrawing(bool on);   // the tree's own switch, left alone while the host has drawing off
    void RowsChanged();            // invalidation and extent, or a note to catch up later
    void ReturnTop();              // puts the host's top row back
    void Hold();                   // keeps drawing off after an opening, until the next message
    void Release();                // switches drawing on again and catches up
    void AddRow(int index, TreeNode* node);
    void RemoveRow(int index, TreeNode* node);
    void RemoveAllRows();
    // Character widths of normalFont and boldFont, made once for the fonts they name, so that
    // rows can be measured without a DC wherever the sums are exact.
    TextWidths normalWidths_, boldWidths_;
    HFONT widthsNormalFont_ = nullptr, widthsBoldFont_ = nullptr;
    class LazyDC;
    int RowExtent(LazyDC& dc, TreeNode* node);
    int LineWidth(LazyDC& dc, HFONT font, const char* narrow);
    void Tally(TreeNode* node, int extent);
    void Untally(TreeNode* node);
    void TextsChanged(TreeNode* node);
    TreeNode* heldChecked_ = nullptr;  // a just-checked node that ancestor updates leave alone
    TreeNode* MakeNode(const NodeInfo* info, TreeNode* prev, DWORD level, TreeNode* parent, DWORD groupKey);
    void FreeChain();
    void ShowDescendants(TreeNode* node, int row);
    void HideDescendants(TreeNode* node, int row);
    void ToggleOpen(TreeNode* node, int row);  // a closed parent at `row` opens, an open one closes
    bool FromTheBottom(int row, int going) const;
    void ExpandAll(int row);
    void DrawTreeLines(const DRAWITEMSTRUCT* item, const TreeNode* node);
    void DrawSelectionBox(const DRAWITEMSTRUCT* item, TreeNode* node, int textX);
    void DrawChoiceLookAlike(const DRAWITEMSTRUCT* item, TreeNode* node, int line, int textX, int y);
    void PlaceEditor(const DRAWITEMSTRUCT* item, TreeNode* node, int line, int textX);
    void RedrawCheckBox(HDC dc, const TreeNode* node, int first, int end, int xoff, int image);
    void RepaintAncestorBox(AncestorBoxes& boxes, const TreeNode* node, int image);
    static int SettledState(const TreeNode* p, int summary, bool unchecked);
    void SetSettled(TreeNode* p, int state, LONG* checkedCount, AncestorBoxes& boxes);
    bool SettleBranches(TreeNode* node, LONG* checkedCount, AncestorBoxes& boxes, BoxCount* below);
    TreeNode* NodeAt(int row) const { return ItemAt<TreeNode>(row); }
    int TextWidth(HDC dc, HFONT font, const TextField& text) const;
};


// The tree's list-box procedure: sees scrolling, editor choices and resizing first.
LRESULT CALLBACK TreeListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The list box class's own procedure, taken from the first tree's list box.
extern WNDPROC savedListBoxProc;

}  // namespace zn
