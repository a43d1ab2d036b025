// Building, refreshing, opening and closing trees through the exports, read back as a host does.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>

#include "host.h"

using namespace host;

namespace {

using V = std::vector<DWORD>;

// The chain as "id:level:descendants" words.
std::string Chain(HWND tree) {
    std::string out;
    for (const TreeNode* n = GetListHead(tree); n; n = n->next)
        out += (out.empty() ? "" : " ") + std::to_string(n->id) + ":" + std::to_string(n->level) + ":" +
               std::to_string(n->descendantCount);
    return out;
}

TEST(TreeInsert, PlacesNodesInDisplayOrder) {
    const WORD S = ZN_SORT_CHILDREN;
    const struct {
        std::vector<NodePlan> nodes;
        const char* chain;
    } cases[] = {
        {{{1, 0, L"p", 3, S}, {2, 1, L"B"}, {3, 1, L"a"}, {4, 1, L"C"}}, "1:0:3 3:1:0 2:1:0 4:1:0"},  // no case
        {{{1, 0, L"p"}, {2, 1, L"B"}, {3, 1, L"a"}, {4, 1, L"C"}}, "1:0:3 2:1:0 3:1:0 4:1:0"},        // unsorted
        {{{1, 0, L"p", 3, S}, {2, 1, L"x"}, {3, 1, L"X"}, {4, 1, L"x"}}, "1:0:3 2:1:0 3:1:0 4:1:0"},  // equal texts
        {{{1, 0, L"p", 3, S}, {2, 1, L"m"}, {5, 2, L"z"}, {6, 2, L"y"}, {3, 1, L"a"}},
         "1:0:4 3:1:0 2:1:2 5:2:0 6:2:0"},  // before a whole subtree
        {{{1, 0, L"p", 3, S}, {2, 1, L"b"}, {5, 2, L"a"}, {3, 1, L"c"}, {4, 1, L"aa"}},
         "1:0:4 4:1:0 2:1:1 5:2:0 3:1:0"},  // grandchildren do not stop the walk
        {{{1, 0, L"p", 3, S}, {2, 1, L"a"}, {3, 1, nullptr}}, "1:0:2 3:1:0 2:1:0"},  // no text sorts first
        {{{1, 0, L"a"}, {10, 0, L"g", 3, 0, 7}, {11, 10, L"h", 3, 0, 7}, {2, 0, L"b"}}, "1:0:0 10:0:1 11:1:0 2:0:0"},
        {{{1, 0, L"a"}, {1, 0, L"b", 3, 0, 5}, {2, 1, L"c", 3, 0, 5}, {3, 1, L"d"}}, "1:0:1 3:1:0 1:0:1 2:1:0"},
        {{{1, 0, L"a"}, {2, 1, L"b"}, {3, 2, L"c"}, {4, 3, L"d"}, {5, 1, L"e"}}, "1:0:4 2:1:2 3:2:1 4:3:0 5:1:0"},
    };
    for (const auto& c : cases) {
        HostWindow host;
        HWND tree = host.MakeTree();
        for (const NodePlan& wanted : c.nodes) ASSERT_NE(Insert(tree, wanted), nullptr) << "node " << wanted.id;
        EXPECT_EQ(Chain(tree), c.chain);
        EXPECT_EQ(ChainFault(tree), "");
    }
}

TEST(TreeInsert, RefusesBadInputAndBringsValuesIntoRange) {
    HostWindow host;
    HWND tree = host.MakeTree();
    EXPECT_EQ(Sorted_Insert(tree, nullptr, 0), nullptr);
    Insert(tree, {1, 0, L"a"});
    Insert(tree, {1, 0, L"b", 3, 0, 9});
    EXPECT_EQ(Insert(tree, {2, 42, L"x"}), nullptr) << "unknown parent";
    EXPECT_EQ(Insert(tree, {2, 3, L"x", 3, 0, 9}), nullptr) << "no node 3 anywhere";
    EXPECT_EQ(Insert(tree, {2, 1, L"x", 3, 0, 4}), nullptr) << "no node of that group";
    EXPECT_EQ(ChainIds(tree), (V{1, 1}));
    const DWORD ranges[][4] = {{0, 0, 3, 0}, {4, 3, 3, 3}, {0x10002, 4, 2, 1}, {1, 99, 1, 1}, {7, 2, 3, 2}};
    DWORD id = 100;
    for (const auto& r : ranges) {  // state, severity, then what the node gets
        NodePlan wanted{id++, 0, L"n", r[0]};
        wanted.severity = r[1];
        TreeNode* node = Insert(tree, wanted);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->checkState, r[2]);
        EXPECT_EQ(node->severity, r[3]);
    }
    EXPECT_EQ(ClearTree(tree), 1);
    EXPECT_EQ(GetListHead(tree), nullptr);
    EXPECT_EQ(ClearTree(tree), 1) << "clearing an empty tree";
    EXPECT_NE(Insert(tree, {5, 0, L"again"}), nullptr);
    EXPECT_EQ(ChainIds(tree), (V{5}));
}

TEST(TreeUpdate, ChangesTheMaskedFieldsAndPostsOncePerCheckChange) {
    HostWindow host;
    HWND tree = host.MakeTree();
    Insert(tree, {1, 0, L"a", 3, 0, 0, 0, 0, L"second"});
    Insert(tree, {1, 0, L"other group", 3, 0, 6});
    TreeNode* node = NodeById(tree, 1);
    Bstr replacement(L"new"), third(L"third");
    NodeInfo info = {};
    info.id = 1;
    info.parentId = ZN_CHANGE_EXTRA_ICON | ZN_CHANGE_CHECK | ZN_CHANGE_SEVERITY | ZN_CHANGE_TEXT1 | ZN_CHANGE_TEXT2 |
                    ZN_CHANGE_TEXT3;
    info.extraIcon = 0x12345, info.checkState = 0x10004, info.severity = 12;
    info.text1 = replacement, info.text2 = nullptr, info.text3 = third;
    EXPECT_EQ(UpdateNode(tree, &info, 0), 1);
    EXPECT_EQ(node->extraIcon, 0x2345u);
    EXPECT_EQ(node->checkState, 4u) << "no range check on update";
    EXPECT_EQ(node->severity, 12u);
    EXPECT_EQ(TextOf(node->texts[0]) + L"|" + TextOf(node->texts[1]) + L"|" + TextOf(node->texts[2]), L"new||third");
    EXPECT_EQ(node->textCount, 2) << "one line cleared, one added";
    info.parentId = ZN_CHANGE_TEXT2;
    EXPECT_EQ(UpdateNode(tree, &info, 0), 1);
    EXPECT_EQ(node->textCount, 2) << "clearing an empty text changes nothing";
    info.parentId = 0;
    EXPECT_EQ(UpdateNode(tree, &info, 0), 1) << "mask 0 still finds the node";
    host.Pump();
    EXPECT_EQ(host.CountNotifications(ZN_TREE_CHECK_STATE_CHANGED), 1u);
    info.parentId = ZN_CHANGE_CHECK;
    EXPECT_EQ(UpdateNode(tree, &info, 0), 1) << "the same state again still notifies";
    info.id = 77;
    EXPECT_EQ(UpdateNode(tree, &info, 0), 0) << "unknown id";
    EXPECT_EQ(UpdateNode(tree, nullptr, 0), 0);
    host.Pump();
    ASSERT_EQ(host.CountNotifications(ZN_TREE_CHECK_STATE_CHANGED), 2u);
    EXPECT_EQ(host.notifications.back().id, HostWindow::kTreeId);
    EXPECT_EQ(host.notifications.back().window, tree);
    EXPECT_EQ(NodeById(tree, 1, 6)->checkState, 3u) << "the other group's node is untouched";
}

TEST(TreeRefresh, WorksOutShapesAndParentStates) {
    struct Shape {
        DWORD id;
        LONG expand;
        DWORD lineShape, state;
    };
    const struct {
        std::vector<NodePlan> nodes;
        std::vector<Shape> after;
        LONG checked;
    } cases[] = {
        {{{1, 0, L"a", 2}}, {{1, -1, 3, 2}}, 1},
        {{{1, 0, L"a"}, {2, 0, L"b"}, {3, 0, L"c"}}, {{1, -1, 0, 3}, {2, -1, 1, 3}, {3, -1, 2, 3}}, 0},
        {{{1, 0, L"a"}, {2, 1, L"b", 2}, {3, 1, L"c"}, {4, 3, L"d", 2}, {5, 3, L"e"}, {6, 0, L"f"}},
         {{1, 0, 0, 4}, {2, -1, 1, 2}, {3, 0, 2, 4}, {4, -1, 1, 2}, {5, -1, 2, 3}, {6, -1, 2, 3}}, 2},
        {{{1, 0, L"a"}, {2, 1, L"b", 2}, {3, 1, L"c", 2}}, {{1, 0, 3, 2}, {2, -1, 1, 2}, {3, -1, 2, 2}}, 2},
        {{{1, 0, L"a", 2}, {2, 1, L"b"}, {3, 1, L"c"}}, {{1, 0, 3, 3}, {2, -1, 1, 3}, {3, -1, 2, 3}}, 1},
        {{{1, 0, L"a"}, {2, 1, L"b", 1}, {3, 1, L"c", 1}}, {{1, 0, 3, 2}, {2, -1, 1, 1}, {3, -1, 2, 1}}, 0},
        {{{1, 0, L"a", 1}, {2, 1, L"b", 2}, {3, 1, L"c"}}, {{1, 0, 3, 1}}, 1},
        {{{1, 0, L"a"}, {2, 1, L"b"}, {3, 2, L"c", 2}, {4, 2, L"d", 2}, {5, 1, L"e", 1}},
         {{1, 0, 3, 2}, {2, 0, 1, 2}, {5, -1, 2, 1}}, 2},
        {{{1, 0, L"a"}, {2, 1, L"b"}, {3, 2, L"c"}, {4, 0, L"d"}, {5, 4, L"e"}, {6, 5, L"f"}},
         {{2, 0, 2, 3}, {3, -1, 2, 3}, {5, 0, 2, 3}, {6, -1, 2, 3}, {4, 0, 2, 3}}, 0},
    };
    for (size_t c = 0; c < std::size(cases); ++c) {
        HostWindow host;
        HWND tree = host.MakeTree();
        for (const NodePlan& wanted : cases[c].nodes) Insert(tree, wanted);
        // Refresh writes -1; the paint of row 0 reports 0 to the variable the host forwards.
        LONG refreshSelected = 5;
        host.selectedIndex = 5;
        EXPECT_EQ(RefreshTree(tree, &refreshSelected, &host.checkedCount), 1);
        EXPECT_EQ(refreshSelected, -1);
        EXPECT_EQ(host.selectedIndex, 0);
        EXPECT_EQ(host.checkedCount, cases[c].checked) << "case " << c;
        for (const Shape& want : cases[c].after) {
            const TreeNode* n = NodeById(tree, want.id);
            EXPECT_EQ(std::make_tuple(n->expandState, n->lineShape, n->checkState),
                      std::make_tuple(want.expand, want.lineShape, want.state))
                << "case " << c << " node " << want.id;
        }
        V tops;
        for (const TreeNode* n = GetListHead(tree); n; n = n->next)
            if (n->level == 0) tops.push_back(n->id);
        EXPECT_EQ(RowIds(tree), tops);
        EXPECT_EQ(SendMessageA(tree, LB_GETCURSEL, 0, 0), 0);
    }
}

TEST(TreeRefresh, EmptyTreeAndChoiceValues) {
    HostWindow host;
    HWND tree = host.MakeTree();
    host.checkedCount = 9;
    EXPECT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 0);
    EXPECT_EQ(host.checkedCount, 9) << "an empty tree leaves the host's variables alone";
    Bstr choices = Bstr::Choices({L"7", L"Seven", L"8", L"Eight"}), minus = Bstr::Choices({L" -3", L"Minus"});
    const struct {
        WORD flags;
        BSTR text1, text2;
        LONG value;  // a missing choice text gives 0
    } nodes[] = {{ZN_CHOICE_TEXT1, choices, nullptr, 7},
                 {ZN_CHOICE_TEXT2 | ZN_CHOICE_TEXT3, nullptr, minus, -3},
                 {ZN_CHOICE_TEXT3, nullptr, nullptr, 0}};
    for (DWORD id = 1; id <= 3; ++id) {
        NodeInfo info = {};
        info.id = id, info.checkState = 3, info.flags = nodes[id - 1].flags;
        info.text1 = nodes[id - 1].text1, info.text2 = nodes[id - 1].text2;
        Sorted_Insert(tree, &info, 0);
    }
    EXPECT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
    for (DWORD id = 1; id <= 3; ++id) {
        EXPECT_EQ(NodeById(tree, id)->choiceValue, nodes[id - 1].value) << id;
        EXPECT_EQ(NodeById(tree, id)->choiceValueSet, 1);
    }
}

class TreeRows : public ::testing::Test {
protected:
    void SetUp() override {
        tree = host.MakeTree();
        // 1 ( 2 ( 3, 4 ), 5 ), 6 ( 7 ), 8 ( 9 ( 10 ( 11 ) ) )
        const DWORD nodes[][2] = {{1, 0}, {2, 1}, {3, 2}, {4, 2}, {5, 1}, {6, 0}, {7, 6}, {8, 0}, {9, 8}, {10, 9}, {11, 10}};
        for (const auto& n : nodes) Insert(tree, {n[0], n[1], L"n"});
        RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    }
    LRESULT Send(UINT message, WPARAM wParam = 0) { return SendMessageA(tree, message, wParam, 0); }
    HostWindow host;
    HWND tree = nullptr;
};

TEST_F(TreeRows, ExpandAndCollapseInsertAndRemoveRows) {
    EXPECT_EQ(RowIds(tree), (V{1, 6, 8}));
    EXPECT_EQ(ExpandNode(tree, 1, 0), 1);
    EXPECT_EQ(ExpandNode(tree, 1, 0), 1);
    EXPECT_EQ(RowIds(tree), (V{1, 2, 5, 6, 8})) << "twice inserts once";
    EXPECT_EQ(ExpandNode(tree, 2, 0), 1);
    EXPECT_EQ(RowIds(tree), (V{1, 2, 3, 4, 5, 6, 8}));
    EXPECT_EQ(ExpandNode(tree, 3, 0), 1) << "a leaf with a row";
    EXPECT_EQ(ExpandNode(tree, 7, 0), 0) << "inside a closed branch";
    EXPECT_EQ(ExpandNode(tree, 99, 0), 0);
    EXPECT_EQ(ExpandNode(tree, 1, 3), 0) << "wrong group";
    EXPECT_EQ(CollapseNode(tree, 1, 0), 1);
    EXPECT_EQ(CollapseNode(tree, 1, 0), 1);
    EXPECT_EQ(RowIds(tree), (V{1, 6, 8}));
    EXPECT_EQ(NodeById(tree, 2)->expandState, 1) << "the inner branch remembers it was open";
    EXPECT_EQ(ExpandNode(tree, 1, 0), 1);
    EXPECT_EQ(RowIds(tree), (V{1, 2, 3, 4, 5, 6, 8}));
    EXPECT_EQ(CollapseNode(tree, 4, 0), 1);
    EXPECT_EQ(CollapseNode(tree, 11, 0), 0);
    EXPECT_EQ(ChainFault(tree), "");
}

TEST_F(TreeRows, SelectingADeepNodeOpensItsPathAndSelectsAfterTheCall) {
    EXPECT_EQ(ZNTree_SelectNode(tree, 11, 0), 1);
    EXPECT_EQ(RowIds(tree), (V{1, 6, 8, 9, 10, 11}));
    EXPECT_EQ(Send(LB_GETCURSEL), 0) << "the selection is posted";
    host.Pump();
    EXPECT_EQ(Send(LB_GETCURSEL), 5);
    for (DWORD id : {8u, 9u, 10u}) EXPECT_EQ(NodeById(tree, id)->expandState, 1);
    EXPECT_EQ(ZNTree_SelectNode(tree, 7, 0), 1);
    host.Pump();
    EXPECT_EQ(RowIds(tree), (V{1, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(Send(LB_GETCURSEL), 2);
    EXPECT_EQ(ZNTree_SelectNode(tree, 7, 1), 0);
    EXPECT_EQ(ZNTree_SelectNode(tree, 1234, 0), 0);
}

// Runs of rows long or far enough from the top row that the list box's top row is moved along
// with them (refreshing 1,500 top-level nodes, opening a branch of 1,300 near or far below the
// top row, closing it from the bottom up or, when the top row is below the parent, from the top
// down) end as short runs do: same rows, same top row and selection, and a list box that draws.
TEST(TreeLongRuns, LeaveTheTopRowSelectionAndDrawingAsShortRunsDo) {
    HostWindow host;
    HWND tree = host.MakeTree();
    const DWORD tops = 1500, children = 1300, parent = 1000;
    V shown;
    for (DWORD id = 1; id <= tops; ++id) {
        Insert(tree, {id, 0, L"top"});
        shown.push_back(id);
    }
    V open = shown;
    for (DWORD c = 0; c < children; ++c) {
        Insert(tree, {10000 + c, parent, L"child"});
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
    EXPECT_EQ(RowIds(tree), shown);
    EXPECT_EQ(send(LB_GETTOPINDEX), 0);
    send(LB_SETCURSEL, 1000);
    send(LB_SETTOPINDEX, 650);
    ASSERT_EQ(send(LB_GETTOPINDEX), 650);

    EXPECT_EQ(ExpandNode(tree, parent, 0), 1);
    EXPECT_EQ(RowIds(tree), open);
    EXPECT_EQ(send(LB_GETTOPINDEX), 650) << "the rows went in below the top row";
    EXPECT_EQ(send(LB_GETCURSEL), 1000 + children) << "the selected row moved down with its node";

    EXPECT_EQ(CollapseNode(tree, parent, 0), 1);
    EXPECT_EQ(RowIds(tree), shown);
    EXPECT_EQ(send(LB_GETTOPINDEX), 650);
    EXPECT_EQ(send(LB_GETCURSEL), 1000);
    EXPECT_GT(rowsDrawn(), 0) << "the list box draws again after a large branch closes";

    // A branch far below the top row: the top row goes to it first, and comes back.
    send(LB_SETTOPINDEX, 0);
    EXPECT_EQ(ExpandNode(tree, parent, 0), 1);
    EXPECT_EQ(RowIds(tree), open);
    EXPECT_EQ(send(LB_GETTOPINDEX), 0);

    // Top row below the parent's row: the rows go from the top down, and the top row stays.
    send(LB_SETCURSEL, parent + 5);  // a row of the branch
    send(LB_SETTOPINDEX, 1000);
    EXPECT_EQ(CollapseNode(tree, parent, 0), 1);
    EXPECT_EQ(RowIds(tree), shown);
    EXPECT_EQ(send(LB_GETTOPINDEX), 1000);
    EXPECT_EQ(send(LB_GETCURSEL), LB_ERR) << "the selected row went with the branch";

    // The whole list is the branch: closing it leaves one row, at the top.
    ClearTree(tree);
    V alone = {1};
    for (DWORD c = 0; c < children; ++c) Insert(tree, {c == 0 ? 1u : 10000 + c, c == 0 ? 0u : 1u, L"n"});
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    ExpandNode(tree, 1, 0);
    send(LB_SETCURSEL, children - 1);
    EXPECT_EQ(CollapseNode(tree, 1, 0), 1);
    EXPECT_EQ(RowIds(tree), alone);
    EXPECT_EQ(send(LB_GETTOPINDEX), 0);
    EXPECT_EQ(send(LB_GETCURSEL), LB_ERR);
    EXPECT_GT(rowsDrawn(), 0);
    EXPECT_EQ(ChainFault(tree), "");
}

// A 9-point font made here independently of the DLL.
int TextWidth(int weight, const char* text) {
    LOGFONTA lf = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    HDC dc = GetDC(nullptr);
    lf.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72), lf.lfWeight = weight, lf.lfQuality = PROOF_QUALITY;
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size;
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return size.cx;
}

TEST_F(TreeRows, HeightsAndHorizontalExtentFollowTheVisibleLines) {
    HIMAGELIST icons = MakeIcons(3);
    AttachSeverityIcons(tree, icons);
    ClearTree(tree);
    NodePlan top{1, 0, L"top"}, child{2, 1, L"x", 3, ZN_BOLD_TEXT2}, three{3, 0, L"3", 3, 0, 0, 0, 0, L"b", L"c"};
    top.severity = 2;
    child.text2 = L"A much longer bold second line";
    for (const NodePlan& s : {top, child, three}) Insert(tree, s);
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    EXPECT_EQ(Send(LB_GETITEMHEIGHT, 0), 18);
    EXPECT_EQ(Send(LB_GETITEMHEIGHT, 1), 58);
    const LRESULT extent = Send(LB_GETHORIZONTALEXTENT);
    EXPECT_EQ(extent, 42 + 20 + TextWidth(FW_NORMAL, "top") + 10) << "level 0 with its severity icon";
    ExpandNode(tree, 1, 0);
    EXPECT_EQ(Send(LB_GETITEMHEIGHT, 1), 40);
    EXPECT_EQ(Send(LB_GETHORIZONTALEXTENT), 18 + 42 + 20 + TextWidth(FW_BOLD, "A much longer bold second line") + 10)
        << "the child sits one level in, after its parent's icon";
    CollapseNode(tree, 1, 0);
    EXPECT_EQ(Send(LB_GETHORIZONTALEXTENT), extent);
    ClearTree(tree);
    ImageList_Destroy(icons);
}

// The extent is kept as rows come and go and measured from width tables; working it out from
// scratch, row by row with real measurements, must give the same on random trees.
TEST(TreeExtent, TheKeptExtentEqualsAFreshMeasurementOfEveryRow) {
    HostWindow host;
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
        NodePlan wanted{id, id < 10 || pick(4) == 0 ? 0 : 1 + static_cast<DWORD>(pick(static_cast<int>(id) - 1)), nullptr};
        for (const wchar_t** line : {&wanted.text1, &wanted.text2, &wanted.text3}) {
            if (pick(3) == 0) continue;
            store.push_back(text());
            *line = store.back().c_str();
        }
        wanted.flags = static_cast<WORD>(pick(8) << 1);  // bold lines
        wanted.severity = pick(3), wanted.extraIcon = pick(3);
        Insert(tree, wanted);
    }
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);

    auto fresh = [&] {
        int widest = 0;
        for (LRESULT r = 0, rows = SendMessageA(tree, LB_GETCOUNT, 0, 0); r < rows; ++r) {
            auto* n = reinterpret_cast<TreeNode*>(SendMessageA(tree, LB_GETITEMDATA, r, 0));
            int x = static_cast<int>(n->level) * 18 + 42;
            for (const TreeNode* a = n; a; a = a->parent) x += (a->severity ? 20 : 0) + (a->extraIcon ? 20 : 0);
            for (int j = 0; j < static_cast<int>(n->textCount); ++j) {
                const TextBlock* block = n->texts[j].block;
                char narrow[256] = "";
                if (block && block->wide)
                    WideCharToMultiByte(CP_ACP, 0, block->wide, -1, narrow, sizeof narrow, nullptr, nullptr);
                widest = std::max(widest, x + TextWidth((n->flags & (2 << j)) ? FW_BOLD : FW_NORMAL, narrow));
            }
        }
        return widest + 10;
    };
    // The extent is worked out again whenever rows come or go, so it is compared after those.
    for (int step = 0, compared = 0; step < 600 && compared < 250; ++step) {
        const LRESULT rows = SendMessageA(tree, LB_GETCOUNT, 0, 0);
        DWORD id = 1 + static_cast<DWORD>(pick(150));
        if (pick(3) == 0) {
            CollapseNode(tree, id, 0);
        } else if (pick(8) == 0) {
            store.push_back(text());
            Bstr changed(store.back().c_str());
            NodeInfo info = Record(id, ZN_CHANGE_TEXT1 << pick(3));
            info.text1 = info.text2 = info.text3 = changed;
            UpdateTreeEntry(tree, &info, 0, &host.checkedCount);
            ExpandNode(tree, id, 0);
        } else {
            ExpandNode(tree, id, 0);
        }
        if (SendMessageA(tree, LB_GETCOUNT, 0, 0) == rows) continue;
        ++compared;
        ASSERT_EQ(SendMessageA(tree, LB_GETHORIZONTALEXTENT, 0, 0), fresh()) << "step " << step << ", node " << id;
    }
    DestroyTree(tree);
    ImageList_Destroy(icons);
}

}  // namespace
