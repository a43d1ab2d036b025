// The user's clicks and keys: where on the selected row a click opens or flips something
// (bounds exclusive, the lower part of a tall row inert, boxes moved by icons and by horizontal
// scrolling), what each typed key does and answers, and what the host hears of it.
#include <gtest/gtest.h>

#include "harness.h"

using namespace zt;

namespace {

const DWORD U = ZN_UNCHECKED, C = ZN_CHECKED, D = ZN_CHECK_DISABLED;

// A click on the selected row of node or row `id` at (x, row top + dy); what it changes:
// 'e' opens or closes, 'c' flips the box, '-' nothing.
struct Click {
    DWORD id;
    int x, dy;
    char changes;
    WORD code = LBN_SELCHANGE;
};

void PlayClicks(Host& host, HWND w, const std::vector<Click>& clicks) {
    for (const Click& c : clicks) {
        auto* item = w == host.tree ? static_cast<void*>(Node(w, c.id)) : ZNList_GetListHead(w);
        while (w != host.tree && static_cast<ListRow*>(item)->id != c.id) item = static_cast<ListRow*>(item)->next;
        DWORD& state = w == host.tree ? static_cast<TreeNode*>(item)->checkState : static_cast<ListRow*>(item)->checkState;
        const LONG open = w == host.tree ? static_cast<TreeNode*>(item)->expandState : 0;
        const DWORD before = state;
        const size_t posted = host.notifications.size();
        SendMessageA(w, LB_SETCURSEL, RowOf(w, item), 0);
        host.Pump();
        host.Click(w, c.x, ItemRect(w, RowOf(w, item)).top + c.dy, c.code);
        SCOPED_TRACE(::testing::Message() << "id " << c.id << " at " << c.x << "," << c.dy << " code " << c.code);
        EXPECT_EQ(w == host.tree && static_cast<TreeNode*>(item)->expandState != open, c.changes == 'e');
        EXPECT_EQ(state, c.changes == 'c' ? (before == C ? U : C) : before);
        EXPECT_EQ(host.Posted(w == host.tree ? ZN_TREE_CHECK_STATE_CHANGED : ZN_LIST_CHECK_STATE_CHANGED), posted + (c.changes == 'c'));
    }
}

TEST(TreeInput, ClicksHitTheExpandAndCheckBoxesWithinTheirBounds) {
    Host host;
    HWND tree = host.MakeTree();
    for (const Item& item : {Item{1, 0, L"parent"}, Item{2, 1, L"child"}, Item{3, 0, L"two", U, 0, 0, 0, L"lines"},
                             Item{4, 3, L"c"}, Item{5, 0, L"leaf"}, Item{6, 0, L"no box", D}})
        AddNode(tree, item);
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    PlayClicks(host, tree, {{1, 4, 8, '-'}, {1, 22, 8, '-'}, {1, 12, 16, '-'}, {1, 5, 8, 'e'}, {1, 21, 15, 'e', LBN_DBLCLK},
                            {3, 12, 20, '-'}, {3, 30, 20, '-'}, {3, 12, 8, '-', LBN_SETFOCUS}, {3, 12, 8, 'e'},
                            {5, 22, 4, '-'}, {5, 40, 4, '-'}, {5, 23, 4, 'c'}, {5, 39, 15, 'c'}, {6, 30, 4, '-'}});
    LONG count = 0;
    EXPECT_EQ(On_WMCommand(tree, MAKEWPARAM(Host::kTreeId + 7, LBN_SELCHANGE), LPARAM(tree), &count), 1);
    EXPECT_EQ(Rows(tree), (Ids{1, 3, 4, 5, 6})) << "another control's notification is no click";

    // Icons: the parent shows two, the child one: the child's expand box at 62..80, check box at
    // 100..118. Scrolled sideways by 10, a top-level row's box moves from 22 to 12.
    ClearTree(tree);
    HIMAGELIST icons = MakeIcons(4);
    AttachSeverityIcons(tree, icons);
    AttachAdditionalIcons(tree, icons);
    for (const Item& item : {Item{1, 0, L"p", U, 0, 1, 2}, Item{2, 1, L"c", U, 0, 1}, Item{3, 2, L"g"},
                             Item{4, 0, L"a long text that makes the rows wider than the list box, so that it scrolls sideways"}})
        AddNode(tree, item);
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    ExpandNode(tree, 1, 0);
    PlayClicks(host, tree, {{2, 100, 4, '-'}, {2, 118, 4, '-'}, {2, 62, 4, '-'}, {2, 101, 4, 'c'}, {2, 79, 4, 'e'}});
    EXPECT_EQ(Node(tree, 3)->checkState, C) << "collapsed children change too";
    SendMessageA(tree, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10), 0);
    PlayClicks(host, tree, {{4, 12, 4, '-'}, {4, 30, 4, '-'}, {4, 13, 4, 'c'}});
    EXPECT_EQ(DiffersFromImage(Capture(tree), 14, 12, ItemRect(tree, RowOf(tree, Node(tree, 4))).top, CLR_NONE), "")
        << "the flipped box is drawn at the scrolled place";
    DestroyTree(tree);
    ImageList_Destroy(icons);
}

TEST(ListInput, ClicksFlipOnlyInsideTheBoxAndOnlyBoxedRows) {
    Host host;
    HWND list = host.MakeList();
    HIMAGELIST icons = MakeIcons(3);
    ZNList_AttachSeverityIcons(list, icons);
    AddRow(list, {1, 0, L"a", U, 0, 1});  // the box after the severity icon, at 22
    AddRow(list, {2, 0, L"b partly"});
    AddRow(list, {3, 0, L"c disabled", D});
    NodeInfo partly = Change(2, ZN_CHANGE_CHECK, ZN_PARTLY_CHECKED);
    ZNList_UpdateItem(list, &partly, 0);
    ZNList_Refresh(list, 0, 0);
    host.Repaint(list);
    host.notifications.clear();
    PlayClicks(host, list, {{2, 11, 8, 'c'}, {3, 3, 8, '-'}, {3, 11, 8, '-'}, {3, 19, 8, '-'}, {1, 23, 8, 'c'},
                            {1, 39, 8, 'c'}, {1, 22, 8, '-'}, {1, 40, 8, '-'}, {1, 31, 15, 'c'}, {1, 31, 16, '-'},
                            {1, 10, 8, '-'}, {1, 62, 8, '-'}, {1, 30, 8, 'c', LBN_DBLCLK}, {1, 30, 8, '-', LBN_SETFOCUS},
                            {1, 30, 8, '-', LBN_KILLFOCUS}, {1, 30, 8, '-', LBN_SELCANCEL}, {1, 23, 8, 'c'}});
    EXPECT_EQ(DiffersFromImage(Capture(list), 14, 22, ItemRect(list, 2).top, CLR_NONE), "")  // row 1 sorts last
        << "the flipped box is drawn at once";
    for (const Notification& c : host.commands)  // from the list box, the host hears only the list's own
        if (c.id == Host::kListId) EXPECT_EQ(c.code, ZN_LIST_CHECK_STATE_CHANGED);
    ZNList_Destroy(list);
    ImageList_Destroy(icons);
}

// Space flips the selected row and answers -1; "+", "-" and "*" open and close it; every other
// key, and any key of another list box, answers the selected row.
TEST(Keys, ActOnTheSelectedRowAndAnswerAsTheListBoxExpects) {
    Host host;
    HWND tree = host.MakeTree(), list = host.MakeList(450, 40, 400, 300);
    // 1 ( 2 ( 3 ), 5 ( 9 ( 10 ) ) ), 6, 7 [boxless]
    for (const Item& item : {Item{1}, Item{2, 1}, Item{3, 2}, Item{5, 1}, Item{9, 5}, Item{10, 9}, Item{6}, Item{7, 0, L"g", D}})
        AddNode(tree, item);
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    auto select = [&](DWORD id) { SendMessageA(tree, LB_SETCURSEL, RowOf(tree, Node(tree, id)), 0); };
    select(1);
    const struct {
        wchar_t key;
        LRESULT result;
        Ids rows;
    } steps[] = {{L'-', 0, {1, 6, 7}}, {L'+', -1, {1, 2, 5, 6, 7}}, {L'+', 0, {1, 2, 5, 6, 7}}, {L'-', -1, {1, 6, 7}},
                 {L'*', -1, {1, 2, 3, 5, 9, 10, 6, 7}}, {L'*', 0, {1, 2, 3, 5, 9, 10, 6, 7}}, {L'a', 0, {1, 2, 3, 5, 9, 10, 6, 7}}};
    for (const auto& s : steps) {
        EXPECT_EQ(host.Key(tree, s.key), s.result) << static_cast<char>(s.key);
        EXPECT_EQ(Rows(tree), s.rows) << static_cast<char>(s.key);
    }
    // "*" goes on past the selected node's own branch to every deeper closed row after it.
    CollapseNode(tree, 2, 0);
    CollapseNode(tree, 9, 0);
    select(2);
    EXPECT_EQ(host.Key(tree, L'*'), -1);
    EXPECT_EQ(Rows(tree), (Ids{1, 2, 3, 5, 9, 10, 6, 7}));
    select(7);
    EXPECT_EQ(host.Key(tree, L' '), -1) << "a boxless row takes the key and stays";
    select(6);
    EXPECT_EQ(On_WMCharToItem(tree, L' ', LPARAM(host.window()), &host.checkedCount), 6) << "another list box's key";
    EXPECT_EQ(host.Key(tree, L' '), -1);
    EXPECT_EQ(Node(tree, 6)->checkState, C);
    EXPECT_EQ(host.Posted(ZN_TREE_CHECK_STATE_CHANGED), 1u);

    AddRow(list, {1, 0, L"a", C});
    ZNList_Refresh(list, 0, 0);
    EXPECT_EQ(host.Key(list, L' '), -1);
    EXPECT_EQ(ZNList_GetListHead(list)->checkState, U);
    EXPECT_EQ(host.Key(list, L'x'), 0);
    HWND other = CreateWindowExA(0, "LISTBOX", "", WS_CHILD, 0, 0, 50, 50, host.window(), nullptr, nullptr, nullptr);
    EXPECT_EQ(SendMessageA(host.window(), WM_CHARTOITEM, L' ', LPARAM(other)), 0) << "a space in another list box";
    SendMessageA(list, WM_CHAR, ' ', 0);  // typed into the list box itself: the same handler
    EXPECT_EQ(ZNList_GetListHead(list)->checkState, C);
    EXPECT_EQ(host.Posted(ZN_LIST_CHECK_STATE_CHANGED), 2u);
    DestroyWindow(other);
}

}  // namespace
