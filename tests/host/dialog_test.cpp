// Both controls in one dialog made from a template, as a host builds it: the dialog manager's own
// loop (IsDialogMessage), real keys and clicks, Tab between the controls, and resizing.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

// Nodes 1 to 3 on top, 4 to 6 under node 1; the list filled from the tree with two columns.
struct ScanDialog : zt::Host {
    ScanDialog() : Host(true) {
        MakeList(), MakeTree();  // in the opposite order to the template's, which alone decides Tab
        for (DWORD id = 1; id <= 6; ++id) zt::AddNode(tree, {id, id <= 3 ? 0u : 1u, L"node"});
        RefreshTree(tree, &selectedIndex, &checkedCount);
        ZNList_AddHeaderColumn(list, L"Finding", 0), ZNList_AddHeaderColumn(list, L"Path", ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE);
        for (const TreeNode* n = GetListHead(tree); n; n = n->next) ZNList_InsertFromTree(list, n);
        ZNList_Refresh(list, 0, 0);
        Pump();
    }
    DWORD RowState(int row) { return static_cast<const ListRow*>(zt::RowItem(list, row))->checkState; }
    void Select(HWND control, int row) { SetFocus(control), SendMessageA(control, LB_SETCURSEL, WPARAM(row), 0); }
};

TEST(Dialog, KeysAndTabReachEachControlAndNeverToggleTheBoxUnderTheMouse) {
    ScanDialog d;
    // Tab follows the template's order through both controls.
    HWND ok = GetDlgItem(d.window(), IDOK);
    SetFocus(ok);
    for (HWND next : {d.tree, d.list, ok}) {
        d.Press(VK_TAB);
        EXPECT_EQ(GetFocus(), next);
    }
    // The mouse rests over the first row's box and no row is selected: space selects the caret's
    // row, as a list box does, and toggles it once.
    d.Hover(d.list, 10, 8);
    d.Select(d.list, -1);
    d.Press(VK_SPACE);
    EXPECT_EQ(d.RowState(0), DWORD(ZN_CHECKED));
    EXPECT_EQ(d.Posted(ZN_LIST_CHECK_STATE_CHANGED), 1u);
    // Down and Up move the selection under the resting mouse and toggle nothing, in either control.
    d.Press(VK_DOWN), d.Press(VK_UP);
    d.Hover(d.tree, 30, 8);
    d.Select(d.tree, 1);
    d.Press(VK_UP);
    EXPECT_EQ(d.notifications.size(), 1u);
    EXPECT_EQ(d.RowState(1), DWORD(ZN_UNCHECKED));
    EXPECT_EQ(GetListHead(d.tree)->checkState, DWORD(ZN_UNCHECKED));
    // The tree's keys get past the list's hook on the same dialog.
    d.Hover(d.tree, 300, 8);
    d.Select(d.tree, 0);
    d.Press(VK_ADD);
    EXPECT_EQ(GetListHead(d.tree)->expandState, 1);
    d.Press(VK_SPACE);
    EXPECT_EQ(GetListHead(d.tree)->checkState, DWORD(ZN_CHECKED));
    EXPECT_EQ(d.Posted(ZN_TREE_CHECK_STATE_CHANGED), 1u);
}

TEST(Dialog, TreeArrowsAndDoubleClicksOpenAndCloseLikeEveryTree) {
    ScanDialog d;
    const TreeNode* parent = GetListHead(d.tree);  // node 1, with nodes 4 to 6 below it
    d.Select(d.tree, 0);
    // Each key, then the selected row, node 1's open state and the number of rows. Right opens, goes to the
    // first child, then on a leaf does nothing; Left goes to the parent, closes it, then on a closed top-level
    // node does nothing; Down still moves one row.
    const struct { WORD key; int selected, open, rows; } steps[] = {{VK_RIGHT, 0, 1, 6}, {VK_RIGHT, 1, 1, 6}, {VK_RIGHT, 1, 1, 6},
        {VK_LEFT, 0, 1, 6}, {VK_LEFT, 0, 0, 3}, {VK_LEFT, 0, 0, 3}, {VK_DOWN, 1, 0, 3}};
    for (const auto& step : steps) {
        d.Press(step.key);
        EXPECT_EQ(SendMessageA(d.tree, LB_GETCURSEL, 0, 0) * 100 + parent->expandState * 10 + zt::RowCount(d.tree),
                  step.selected * 100 + step.open * 10 + step.rows) << "after key " << step.key;
    }
    // A double click on the parent's text opens it, another closes it; boxes stay as they were.
    d.Hover(d.tree, 80, 8);
    d.Press(VK_LBUTTON), d.Press(VK_LBUTTON);
    EXPECT_EQ(parent->expandState, 1);
    d.Press(VK_LBUTTON), d.Press(VK_LBUTTON);
    EXPECT_EQ(parent->expandState, 0);
    EXPECT_TRUE(d.notifications.empty());
}

TEST(Dialog, TheHeaderKeepsItsTitlesWhenTheDialogIsResized) {
    ScanDialog d;
    HWND header = d.Header();
    ASSERT_TRUE(header);
    RECT frame, list, band;
    GetWindowRect(d.window(), &frame);
    auto place = [&](HWND window, RECT* r) { GetWindowRect(window, r), MapWindowPoints(nullptr, d.window(), LPPOINT(r), 2); };
    // The dialog grows in steps; the list follows its right and bottom edges as a host moves it.
    for (int step = 1; step <= 6; ++step) {
        SetWindowPos(d.window(), nullptr, 0, 0, frame.right - frame.left + 20 * step, frame.bottom - frame.top + 10 * step,
                     SWP_NOMOVE | SWP_NOZORDER);
        RECT client = zt::Capture::Client(d.window());
        place(d.list, &list);
        MoveWindow(d.list, list.left, client.bottom / 4, client.right - 10 - list.left, client.bottom * 3 / 4 - 40, TRUE);
        d.Pump();
    }
    const zt::Capture shown(header);  // against the header drawn afresh
    RedrawWindow(d.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    d.Pump();
    EXPECT_EQ(zt::DiffersFromRegion(zt::Capture(header), 0, 0, shown, shown.width, shown.height), "");
    // Moved without a change of size, the list takes its header along.
    place(d.list, &list);
    MoveWindow(d.list, list.left + 5, list.top + 10, list.right - list.left, list.bottom - list.top, TRUE);
    place(GetParent(header), &band);
    EXPECT_EQ(std::make_pair(band.left, band.top), std::make_pair(list.left + 5, list.top + 10 - 20));
}

TEST(Dialog, TheCheckedCountIsARunningTallyThatCountsPartlyCheckedParents) {
    ScanDialog d;  // node 1 with children 4 to 6, all unchecked
    ExpandNode(d.tree, 1, 0);
    d.Pump();
    d.Hover(d.tree, 48, zt::ItemRect(d.tree, 1).top + 8);  // node 4's box, one level in
    SetFocus(d.tree);
    d.Press(VK_LBUTTON);
    EXPECT_EQ(d.checkedCount, 2);  // node 4 checked, node 1 partly checked
    d.Press(VK_UP);                // to node 1, under the resting mouse: no toggle
    d.Press(VK_SPACE);             // a partly checked box clears, with its descendants
    EXPECT_EQ(GetListHead(d.tree)->checkState, DWORD(ZN_UNCHECKED));
    EXPECT_EQ(d.checkedCount, 0);
    d.Press(VK_SPACE);
    EXPECT_EQ(d.checkedCount, 4);
    RefreshTree(d.tree, &d.selectedIndex, &d.checkedCount);
    EXPECT_EQ(d.checkedCount, 4);
}

}  // namespace
