// Trees through the exports, read back as a host does: refreshing, opening, closing and
// selecting rows, long runs of rows, updates of texts and states, and the horizontal extent
// and row heights against measurements made here.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "harness.h"

using namespace zt;

namespace {

TEST(TreeRows, OpenCloseAndSelectInsertAndRemoveRows) {
    Host host;
    HWND tree = host.MakeTree();
    // 1 ( 2 ( 3, 4 ), 5 ), 6 ( 7 ), 8 ( 9 ( 10 ( 11 ) ) )
    for (const Item& item : {Item{1}, Item{2, 1}, Item{3, 2}, Item{4, 2}, Item{5, 1}, Item{6}, Item{7, 6}, Item{8}, Item{9, 8},
                             Item{10, 9}, Item{11, 10}})
        AddNode(tree, item);
    host.selectedIndex = 5;
    LONG refreshSelected = 5;
    EXPECT_EQ(RefreshTree(tree, &refreshSelected, &host.checkedCount), 1);
    EXPECT_EQ(refreshSelected, -1) << "refresh writes -1; the paint of row 0 reports 0";
    host.Pump();
    EXPECT_EQ(host.selectedIndex, 0);
    enum Op { kExpand, kCollapse, kSelect };
    const struct {
        Op op;
        DWORD id, group;
        int result;
        Ids rows;
        int selected;  // after the posted selection, or -2 when not looked at
    } steps[] = {
        {kExpand, 1, 0, 1, {1, 2, 5, 6, 8}, -2},       {kExpand, 1, 0, 1, {1, 2, 5, 6, 8}, -2},  // twice inserts once
        {kExpand, 2, 0, 1, {1, 2, 3, 4, 5, 6, 8}, -2}, {kExpand, 3, 0, 1, {1, 2, 3, 4, 5, 6, 8}, -2},  // a leaf
        {kExpand, 7, 0, 0, {1, 2, 3, 4, 5, 6, 8}, -2}, {kExpand, 99, 0, 0, {1, 2, 3, 4, 5, 6, 8}, -2},
        {kExpand, 1, 3, 0, {1, 2, 3, 4, 5, 6, 8}, -2},  // another group
        {kCollapse, 1, 0, 1, {1, 6, 8}, -2},           {kCollapse, 1, 0, 1, {1, 6, 8}, -2},
        {kExpand, 1, 0, 1, {1, 2, 3, 4, 5, 6, 8}, -2},  // the inner branch remembers it was open
        {kCollapse, 4, 0, 1, {1, 2, 3, 4, 5, 6, 8}, -2}, {kCollapse, 11, 0, 0, {1, 2, 3, 4, 5, 6, 8}, -2},
        {kCollapse, 1, 0, 1, {1, 6, 8}, -2},
        {kSelect, 11, 0, 1, {1, 6, 8, 9, 10, 11}, 5},  // opens the path, top first
        {kSelect, 7, 0, 1, {1, 6, 7, 8, 9, 10, 11}, 2}, {kSelect, 7, 1, 0, {1, 6, 7, 8, 9, 10, 11}, 2},
        {kSelect, 1234, 0, 0, {1, 6, 7, 8, 9, 10, 11}, 2},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(::testing::Message() << "op " << s.op << " on " << s.id);
        EXPECT_EQ((s.op == kExpand ? ExpandNode : s.op == kCollapse ? CollapseNode : ZNTree_SelectNode)(tree, s.id, s.group), s.result);
        EXPECT_EQ(Rows(tree), s.rows);
        if (s.selected == -2) continue;
        if (s.result) EXPECT_NE(SendMessageA(tree, LB_GETCURSEL, 0, 0), s.selected) << "the selection is posted";
        host.Pump();
        EXPECT_EQ(SendMessageA(tree, LB_GETCURSEL, 0, 0), s.selected);
    }
    EXPECT_EQ(ChainFault(tree), "");
}

TEST(TreeRefresh, EmptyTreesAndChoiceValues) {
    Host host;
    HWND tree = host.MakeTree();
    host.checkedCount = 9;
    EXPECT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 0);
    EXPECT_EQ(host.checkedCount, 9) << "an empty tree leaves the host's variables alone";
    Bstr seven = Bstr::Choices({L"7", L"Seven", L"8", L"Eight"}), minus = Bstr::Choices({L" -3", L"Minus"});
    const struct {
        WORD flags;
        BSTR text1, text2;
        LONG value;  // a missing choice text gives 0
    } nodes[] = {{ZN_CHOICE_TEXT1, seven, nullptr, 7},
                 {ZN_CHOICE_TEXT2 | ZN_CHOICE_TEXT3, nullptr, minus, -3},
                 {ZN_CHOICE_TEXT3, nullptr, nullptr, 0}};
    for (DWORD id = 1; id <= 3; ++id) {
        NodeInfo info = {0, id, 0, ZN_UNCHECKED, nodes[id - 1].flags, 0, 0, 0, nodes[id - 1].text1, nodes[id - 1].text2};
        Sorted_Insert(tree, &info, 0);
    }
    EXPECT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
    for (DWORD id = 1; id <= 3; ++id) {
        EXPECT_EQ(Node(tree, id)->choiceValue, nodes[id - 1].value) << id;
        EXPECT_EQ(Node(tree, id)->choiceValueSet, 1);
    }
}

// Both controls keep a line count by one rule: a text given to an empty slot adds a line (even
// where an empty text was counted at insertion, but never past 3), a null text empties a slot
// and drops its line unless it was empty already.
TEST(Updates, TextsKeepTheLineCountByOneRuleInBothControls) {
    Host host;
    HWND tree = host.MakeTree(), list = host.MakeList(450, 40, 400, 300);
    Bstr empty(L""), text(L"text");
    NodeInfo record = {0, 1, 0, ZN_UNCHECKED, 0, 0, 0, 0, empty, nullptr, text};
    TreeNode* node = Sorted_Insert(tree, &record, 0);
    ListRow* row = ZNList_Insert(list, &record);
    const struct {
        DWORD mask;
        BSTR given;
        LONG lines;
    } steps[] = {{0, nullptr, 2},         {ZN_CHANGE_TEXT1, text, 3},  {ZN_CHANGE_TEXT2, nullptr, 3},
                 {ZN_CHANGE_TEXT2, empty, 3},  // never past 3
                 {ZN_CHANGE_TEXT1 | ZN_CHANGE_TEXT3, nullptr, 1}, {ZN_CHANGE_TEXT2, text, 2}};
    for (const auto& s : steps) {
        NodeInfo update = Change(1, s.mask, 0, s.given);
        EXPECT_EQ(UpdateNode(tree, &update, 0), 1);
        EXPECT_EQ(ZNList_UpdateItem(list, &update, 0), 1);
        EXPECT_EQ(node->textCount, s.lines) << "mask " << s.mask;
        EXPECT_EQ(row->textCount, s.lines) << "mask " << s.mask;
    }
    EXPECT_EQ(TextOf(node->texts[0]) + L"|" + TextOf(node->texts[1]), L"|text");
}

// UpdateNode changes what its mask names and nothing is redrawn; each check change posts once.
TEST(Updates, UpdateNodeChangesTheMaskedFieldsAndPostsOncePerCheckChange) {
    Host host;
    HWND tree = host.MakeTree();
    TreeNode* node = AddNode(tree, {1, 0, L"a"});
    AddNode(tree, {1, 0, L"other group"}, 6);
    NodeInfo info = Change(1, ZN_CHANGE_EXTRA_ICON | ZN_CHANGE_CHECK | ZN_CHANGE_SEVERITY, 0x10004);
    info.extraIcon = 0x12345, info.severity = 12;
    EXPECT_EQ(UpdateNode(tree, &info, 0), 1);
    EXPECT_TRUE(node->extraIcon == 0x2345u && node->checkState == 4u && node->severity == 12u) << "no range checks";
    info.parentId = 0;
    EXPECT_EQ(UpdateNode(tree, &info, 0), 1) << "mask 0 still finds the node";
    EXPECT_EQ(host.Posted(ZN_TREE_CHECK_STATE_CHANGED), 1u);
    info.parentId = ZN_CHANGE_CHECK;
    EXPECT_EQ(UpdateNode(tree, &info, 0), 1) << "the same state again still notifies";
    info.id = 77;
    EXPECT_EQ(UpdateNode(tree, &info, 0), 0) << "unknown id";
    ASSERT_EQ(host.Posted(ZN_TREE_CHECK_STATE_CHANGED), 2u);
    EXPECT_TRUE(host.notifications.back().id == Host::kTreeId && host.notifications.back().window == tree);
    EXPECT_EQ(Node(tree, 1, 6)->checkState, 3u) << "the other group's node is untouched";
    NodeInfo entry = Change(1, ZN_CHANGE_SEVERITY, ZN_CHECKED);
    EXPECT_EQ(UpdateTreeEntry(tree, &entry, 0, &host.checkedCount), 0) << "an entry update needs a state or text bit";
}

// Runs of rows long or far enough from the top row that the list box's top row is moved along
// with them (refreshing 1,500 top-level nodes, opening a branch of 1,300 near or far below the
// top row, closing it from the bottom up or, when the top row is below the parent, from the top
// down) end as short runs do: same rows, same top row and selection, and a list box that draws.
TEST(TreeLongRuns, LeaveTheTopRowSelectionAndDrawingAsShortRunsDo) {
    Host host;
    HWND tree = host.MakeTree();
    const DWORD tops = 1500, children = 1300, parent = 1000;
    Ids shown;
    for (DWORD id = 1; id <= tops; ++id) AddNode(tree, {id, 0, L"top"}), shown.push_back(id);
    Ids open = shown;
    for (DWORD c = 0; c < children; ++c) {
        AddNode(tree, {10000 + c, parent, L"child"});
        open.insert(open.begin() + parent + c, 10000 + c);
    }
    auto send = [tree](UINT message, WPARAM wParam = 0) { return SendMessageA(tree, message, wParam, 0); };
    auto rowsDrawn = [&] {  // the list box asks its parent to draw rows when repainted
        host.treeMessages.clear();
        host.Repaint(tree);
        return std::count(host.treeMessages.begin(), host.treeMessages.end(), UINT{WM_DRAWITEM});
    };
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    host.Pump();
    EXPECT_EQ(Rows(tree), shown);
    EXPECT_EQ(send(LB_GETTOPINDEX), 0);
    send(LB_SETCURSEL, 1000);
    send(LB_SETTOPINDEX, 650);
    ASSERT_EQ(send(LB_GETTOPINDEX), 650);

    EXPECT_EQ(ExpandNode(tree, parent, 0), 1);
    EXPECT_EQ(Rows(tree), open);
    EXPECT_EQ(send(LB_GETTOPINDEX), 650) << "the rows went in below the top row";
    EXPECT_EQ(send(LB_GETCURSEL), 1000 + children) << "the selected row moved down with its node";

    EXPECT_EQ(CollapseNode(tree, parent, 0), 1);
    EXPECT_EQ(Rows(tree), shown);
    EXPECT_EQ(send(LB_GETTOPINDEX), 650);
    EXPECT_EQ(send(LB_GETCURSEL), 1000);
    EXPECT_GT(rowsDrawn(), 0) << "the list box draws again after a large branch closes";

    // A branch far below the top row: the top row goes to it first, and comes back.
    send(LB_SETTOPINDEX, 0);
    EXPECT_EQ(ExpandNode(tree, parent, 0), 1);
    EXPECT_EQ(Rows(tree), open);
    EXPECT_EQ(send(LB_GETTOPINDEX), 0);

    // Top row below the parent's row: the rows go from the top down, and the top row stays.
    send(LB_SETCURSEL, parent + 5);  // a row of the branch
    send(LB_SETTOPINDEX, 1000);
    EXPECT_EQ(CollapseNode(tree, parent, 0), 1);
    EXPECT_EQ(Rows(tree), shown);
    EXPECT_EQ(send(LB_GETTOPINDEX), 1000);
    EXPECT_EQ(send(LB_GETCURSEL), LB_ERR) << "the selected row went with the branch";

    // The whole list is the branch: closing it leaves one row, at the top.
    ClearTree(tree);
    for (DWORD c = 0; c < children; ++c) AddNode(tree, {c == 0 ? 1u : 10000 + c, c == 0 ? 0u : 1u});
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    ExpandNode(tree, 1, 0);
    send(LB_SETCURSEL, children - 1);
    EXPECT_EQ(CollapseNode(tree, 1, 0), 1);
    EXPECT_EQ(Rows(tree), Ids{1});
    EXPECT_EQ(send(LB_GETTOPINDEX), 0);
    EXPECT_EQ(send(LB_GETCURSEL), LB_ERR);
    EXPECT_GT(rowsDrawn(), 0);
    EXPECT_EQ(ChainFault(tree), "");
}

// The extent is kept as rows come and go and measured from width tables; working it out from
// scratch, row by row with real measurements, must give the same on random trees. Rows measured
// since their texts last changed are 18 high a line, 4 more from two lines on.
TEST(TreeExtent, TheKeptExtentAndRowHeightsEqualAFreshMeasurementOfEveryRow) {
    Host host;
    HWND tree = host.MakeTree();
    HIMAGELIST icons = MakeIcons(3);
    AttachSeverityIcons(tree, icons);
    AttachAdditionalIcons(tree, icons);
    std::mt19937 random(7);
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::wstring pieces[] = {L"AV", L"fi", L"W.", L"Ta", L"\u00e9t\u00e9", L"x", L" ", L"WWW", L"y.", L""};
    auto text = [&] {
        std::wstring t;
        for (int k = pick(6); k > 0; --k) t += pieces[pick(10)];
        return t;
    };
    std::vector<std::wstring> store;
    store.reserve(600);
    for (DWORD id = 1; id <= 150; ++id) {
        Item item{id, id < 10 || pick(4) == 0 ? 0 : 1 + static_cast<DWORD>(pick(static_cast<int>(id) - 1)), nullptr};
        for (const wchar_t** line : {&item.text1, &item.text2, &item.text3}) {
            if (pick(3) == 0) continue;
            store.push_back(text());
            *line = store.back().c_str();
        }
        item.flags = static_cast<WORD>(pick(8) << 1);  // bold lines
        item.severity = pick(3), item.extra = pick(3);
        AddNode(tree, item);
    }
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    std::vector<const TreeNode*> changed;
    auto fresh = [&] {
        int widest = 0;
        for (int r = 0; r < RowCount(tree); ++r) {
            auto* n = static_cast<const TreeNode*>(RowItem(tree, r));
            int x = static_cast<int>(n->level) * 18 + 42;
            for (const TreeNode* a = n; a; a = a->parent) x += (a->severity ? 20 : 0) + (a->extraIcon ? 20 : 0);
            for (int j = 0; j < static_cast<int>(n->textCount); ++j) {
                char narrow[256] = "";
                if (n->texts[j].block && n->texts[j].block->wide)
                    WideCharToMultiByte(CP_ACP, 0, n->texts[j].block->wide, -1, narrow, sizeof narrow, nullptr, nullptr);
                widest = std::max(widest, x + TextWidth(narrow, (n->flags & (2 << j)) ? 700 : 400));
            }
            const int lines = n->textCount, height = 18 * lines + (lines >= 2 ? 4 : 0);
            if (std::find(changed.begin(), changed.end(), n) == changed.end())
                EXPECT_EQ(SendMessageA(tree, LB_GETITEMHEIGHT, r, 0), height ? height : 1) << "row " << r;
        }
        return widest + 10;
    };
    // The extent is worked out again whenever rows come or go, so it is compared after those.
    for (int step = 0, compared = 0; step < 600 && compared < 250; ++step) {
        const int rows = RowCount(tree);
        DWORD id = 1 + static_cast<DWORD>(pick(150));
        if (pick(3) == 0) {
            CollapseNode(tree, id, 0);
        } else if (pick(8) == 0) {
            store.push_back(text());
            Bstr given(store.back());
            NodeInfo info = Change(id, ZN_CHANGE_TEXT1 << pick(3), 0, given);
            UpdateTreeEntry(tree, &info, 0, &host.checkedCount);
            changed.push_back(Node(tree, id));
            ExpandNode(tree, id, 0);
        } else {
            ExpandNode(tree, id, 0);
        }
        if (RowCount(tree) == rows) continue;
        ++compared;
        ASSERT_EQ(SendMessageA(tree, LB_GETHORIZONTALEXTENT, 0, 0), fresh()) << "step " << step << ", node " << id;
    }
    // Resizing works the extent out again.
    SendMessageA(tree, LB_SETHORIZONTALEXTENT, 1, 0);
    SetWindowPos(tree, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(SendMessageA(tree, LB_GETHORIZONTALEXTENT, 0, 0), fresh());
    DestroyTree(tree);
    ImageList_Destroy(icons);
}

}  // namespace
