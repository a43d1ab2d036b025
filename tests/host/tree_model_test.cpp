// Building, refreshing, opening and closing trees through the exports, read back from the
// chain as a host reads it.
#include <gtest/gtest.h>

#include "host.h"

using namespace host;

namespace {

struct Expected {
    DWORD id, level, descendants;
};

struct InsertCase {
    const char* name;
    std::vector<NodeSpec> nodes;
    std::vector<Expected> chain;
};

class TreeInsertion : public ::testing::TestWithParam<InsertCase> {};

TEST_P(TreeInsertion, PlacesNodesInDisplayOrder) {
    HostWindow host;
    HWND tree = host.MakeTree();
    for (const NodeSpec& spec : GetParam().nodes) ASSERT_NE(Insert(tree, spec), nullptr) << "node " << spec.id;
    std::vector<Expected> actual;
    for (const TreeNode* n = GetListHead(tree); n; n = n->next) actual.push_back({n->id, n->level, n->descendantCount});
    ASSERT_EQ(actual.size(), GetParam().chain.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].id, GetParam().chain[i].id) << "position " << i;
        EXPECT_EQ(actual[i].level, GetParam().chain[i].level) << "node " << actual[i].id;
        EXPECT_EQ(actual[i].descendants, GetParam().chain[i].descendants) << "node " << actual[i].id;
    }
    EXPECT_EQ(ChainFault(tree), "");
}

const WORD S = ZN_SORT_CHILDREN;
INSTANTIATE_TEST_SUITE_P(
    Shapes, TreeInsertion,
    ::testing::Values(
        InsertCase{"SortedChildrenIgnoreCase",
                   {{1, 0, L"p", 3, S}, {2, 1, L"B"}, {3, 1, L"a"}, {4, 1, L"C"}},
                   {{1, 0, 3}, {3, 1, 0}, {2, 1, 0}, {4, 1, 0}}},
        InsertCase{"UnsortedChildrenKeepInsertionOrder",
                   {{1, 0, L"p"}, {2, 1, L"B"}, {3, 1, L"a"}, {4, 1, L"C"}},
                   {{1, 0, 3}, {2, 1, 0}, {3, 1, 0}, {4, 1, 0}}},
        InsertCase{"EqualTextsKeepInsertionOrder",
                   {{1, 0, L"p", 3, S}, {2, 1, L"x"}, {3, 1, L"X"}, {4, 1, L"x"}},
                   {{1, 0, 3}, {2, 1, 0}, {3, 1, 0}, {4, 1, 0}}},
        InsertCase{"SortedInsertGoesBeforeAWholeSubtree",
                   {{1, 0, L"p", 3, S}, {2, 1, L"m"}, {5, 2, L"z"}, {6, 2, L"y"}, {3, 1, L"a"}},
                   {{1, 0, 4}, {3, 1, 0}, {2, 1, 2}, {5, 2, 0}, {6, 2, 0}}},
        InsertCase{"GrandchildrenDoNotStopTheWalk",
                   {{1, 0, L"p", 3, S}, {2, 1, L"b"}, {5, 2, L"a"}, {3, 1, L"c"}, {4, 1, L"aa"}},
                   {{1, 0, 4}, {4, 1, 0}, {2, 1, 1}, {5, 2, 0}, {3, 1, 0}}},
        InsertCase{"MissingTextSortsFirst",
                   {{1, 0, L"p", 3, S}, {2, 1, L"a"}, {3, 1, nullptr}},
                   {{1, 0, 2}, {3, 1, 0}, {2, 1, 0}}},
        InsertCase{"TopLevelAlwaysAppendsAtTheEnd",
                   {{1, 0, L"a"}, {10, 0, L"g", 3, 0, 7}, {11, 10, L"h", 3, 0, 7}, {2, 0, L"b"}},
                   {{1, 0, 0}, {10, 0, 1}, {11, 1, 0}, {2, 0, 0}}},
        InsertCase{"ParentFoundWithinItsGroup",
                   {{1, 0, L"a"}, {1, 0, L"b", 3, 0, 5}, {2, 1, L"c", 3, 0, 5}, {3, 1, L"d"}},
                   {{1, 0, 1}, {3, 1, 0}, {1, 0, 1}, {2, 1, 0}}},
        InsertCase{"DeepChainCountsEveryAncestor",
                   {{1, 0, L"a"}, {2, 1, L"b"}, {3, 2, L"c"}, {4, 3, L"d"}, {5, 1, L"e"}},
                   {{1, 0, 4}, {2, 1, 2}, {3, 2, 1}, {4, 3, 0}, {5, 1, 0}}}),
    [](const ::testing::TestParamInfo<InsertCase>& info) { return std::string(info.param.name); });

TEST(TreeInsertRefusals, BadInputLeavesTheChainAlone) {
    HostWindow host;
    HWND tree = host.MakeTree();
    EXPECT_EQ(Sorted_Insert(tree, nullptr, 0), nullptr);
    Insert(tree, {1, 0, L"a"});
    Insert(tree, {1, 0, L"b", 3, 0, 9});
    EXPECT_EQ(Insert(tree, {2, 42, L"x"}), nullptr) << "unknown parent";
    // Group 9's run starts after group 0's node 1, and node 3 does not exist anywhere.
    EXPECT_EQ(Insert(tree, {2, 3, L"x", 3, 0, 9}), nullptr);
    EXPECT_EQ(Insert(tree, {2, 1, L"x", 3, 0, 4}), nullptr) << "no node of that group";
    EXPECT_EQ(ChainIds(tree), (std::vector<DWORD>{1, 1}));

    // Out-of-range states and severities are brought into range.
    struct {
        DWORD state, severity, wantState, wantSeverity;
    } ranges[] = {{0, 0, 3, 0}, {4, 3, 3, 3}, {0x10002, 4, 2, 1}, {1, 99, 1, 1}, {7, 2, 3, 2}};
    DWORD id = 100;
    for (const auto& r : ranges) {
        NodeSpec spec{id++, 0, L"n", r.state};
        spec.severity = r.severity;
        TreeNode* node = Insert(tree, spec);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->checkState, r.wantState);
        EXPECT_EQ(node->severity, r.wantSeverity);
    }
    EXPECT_EQ(ChainFault(tree), "");
    EXPECT_EQ(ClearTree(tree), 1);
    EXPECT_EQ(GetListHead(tree), nullptr);
    EXPECT_EQ(ClearTree(tree), 1) << "clearing an empty tree";
    EXPECT_NE(Insert(tree, {5, 0, L"again"}), nullptr);
    EXPECT_EQ(ChainIds(tree), (std::vector<DWORD>{5}));
}

TEST(TreeUpdate, ChangesTheMaskedFieldsAndPostsOncePerCheckChange) {
    HostWindow host;
    HWND tree = host.MakeTree();
    Insert(tree, {1, 0, L"a", 3, 0, 0, 0, 0, L"second"});
    Insert(tree, {1, 0, L"other group", 3, 0, 6});
    TreeNode* node = NodeById(tree, 1);
    ASSERT_EQ(node->textCount, 2);

    Bstr replacement(L"new"), third(L"third");
    NodeInfo info = {};
    info.id = 1;
    info.parentId = ZN_CHANGE_EXTRA_ICON | ZN_CHANGE_CHECK | ZN_CHANGE_SEVERITY | ZN_CHANGE_TEXT1 | ZN_CHANGE_TEXT2 |
                    ZN_CHANGE_TEXT3;
    info.extraIcon = 0x12345;
    info.checkState = 0x10004;
    info.severity = 12;
    info.text1 = replacement;
    info.text2 = nullptr;
    info.text3 = third;
    EXPECT_EQ(UpdateNode(tree, &info, 0), 1);
    EXPECT_EQ(node->extraIcon, 0x2345u);
    EXPECT_EQ(node->checkState, 4u) << "no range check on update";
    EXPECT_EQ(node->severity, 12u);
    EXPECT_EQ(TextOf(node->texts[0]), L"new");
    EXPECT_EQ(TextOf(node->texts[1]), L"");
    EXPECT_EQ(TextOf(node->texts[2]), L"third");
    EXPECT_EQ(node->textCount, 2) << "one line cleared, one added";

    info.parentId = ZN_CHANGE_TEXT2;  // clearing an empty text changes nothing
    EXPECT_EQ(UpdateNode(tree, &info, 0), 1);
    EXPECT_EQ(node->textCount, 2);
    info.parentId = 0;
    EXPECT_EQ(UpdateNode(tree, &info, 0), 1) << "mask 0 still finds the node";

    host.Pump();
    EXPECT_EQ(host.CountNotifications(ZN_TREE_CHECK_STATE_CHANGED), 1u);
    info.parentId = ZN_CHANGE_CHECK;
    info.checkState = 4;  // the same state again still notifies
    EXPECT_EQ(UpdateNode(tree, &info, 0), 1);
    info.id = 77;
    EXPECT_EQ(UpdateNode(tree, &info, 0), 0) << "unknown id";
    EXPECT_EQ(UpdateNode(tree, nullptr, 0), 0);
    host.Pump();
    ASSERT_EQ(host.CountNotifications(ZN_TREE_CHECK_STATE_CHANGED), 2u);
    EXPECT_EQ(host.notifications.back().id, HostWindow::kTreeId);
    EXPECT_EQ(host.notifications.back().window, tree);
    EXPECT_EQ(NodeById(tree, 1, 6)->checkState, 3u) << "the other group's node is untouched";
}

struct Shape {
    DWORD id;
    LONG expand;
    DWORD lineShape, state;
};

struct RefreshCase {
    const char* name;
    std::vector<NodeSpec> nodes;
    std::vector<Shape> after;
    LONG checked;
};

class TreeRefresh : public ::testing::TestWithParam<RefreshCase> {};

TEST_P(TreeRefresh, WorksOutShapesAndParentStates) {
    HostWindow host;
    HWND tree = host.MakeTree();
    for (const NodeSpec& spec : GetParam().nodes) Insert(tree, spec);
    host.selectedIndex = 5;
    EXPECT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
    EXPECT_EQ(host.selectedIndex, -1);
    EXPECT_EQ(host.checkedCount, GetParam().checked);
    for (const Shape& want : GetParam().after) {
        const TreeNode* n = NodeById(tree, want.id);
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(n->expandState, want.expand) << "node " << want.id;
        EXPECT_EQ(n->lineShape, want.lineShape) << "node " << want.id;
        EXPECT_EQ(n->checkState, want.state) << "node " << want.id;
    }
    std::vector<DWORD> tops;
    for (const TreeNode* n = GetListHead(tree); n; n = n->next)
        if (n->level == 0) tops.push_back(n->id);
    EXPECT_EQ(RowIds(tree), tops);
    EXPECT_EQ(SendMessageA(tree, LB_GETCURSEL, 0, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, TreeRefresh,
    ::testing::Values(
        RefreshCase{"OnlyTopLevelLeaf", {{1, 0, L"a", 2}}, {{1, -1, 3, 2}}, 1},
        RefreshCase{"ThreeTopLevel", {{1, 0, L"a"}, {2, 0, L"b"}, {3, 0, L"c"}},
                    {{1, -1, 0, 3}, {2, -1, 1, 3}, {3, -1, 2, 3}}, 0},
        RefreshCase{"MixedBranch",
                    {{1, 0, L"a"}, {2, 1, L"b", 2}, {3, 1, L"c"}, {4, 3, L"d", 2}, {5, 3, L"e"}, {6, 0, L"f"}},
                    {{1, 0, 0, 4}, {2, -1, 1, 2}, {3, 0, 2, 4}, {4, -1, 1, 2}, {5, -1, 2, 3}, {6, -1, 2, 3}},
                    2},
        RefreshCase{"AllChildrenChecked", {{1, 0, L"a"}, {2, 1, L"b", 2}, {3, 1, L"c", 2}},
                    {{1, 0, 3, 2}, {2, -1, 1, 2}, {3, -1, 2, 2}}, 2},
        RefreshCase{"AllChildrenUnchecked", {{1, 0, L"a", 2}, {2, 1, L"b"}, {3, 1, L"c"}},
                    {{1, 0, 3, 3}, {2, -1, 1, 3}, {3, -1, 2, 3}}, 1},
        RefreshCase{"ChildrenWithoutBoxesMakeTheParentChecked",
                    {{1, 0, L"a"}, {2, 1, L"b", 1}, {3, 1, L"c", 1}},
                    {{1, 0, 3, 2}, {2, -1, 1, 1}, {3, -1, 2, 1}}, 0},
        RefreshCase{"ParentWithoutBoxKeepsIt", {{1, 0, L"a", 1}, {2, 1, L"b", 2}, {3, 1, L"c"}},
                    {{1, 0, 3, 1}}, 1},
        RefreshCase{"DeepestLevelsSettleFirst",
                    {{1, 0, L"a"}, {2, 1, L"b"}, {3, 2, L"c", 2}, {4, 2, L"d", 2}, {5, 1, L"e", 1}},
                    {{1, 0, 3, 2}, {2, 0, 1, 2}, {5, -1, 2, 1}}, 2},
        RefreshCase{"SubgroupsEndAtParentChanges",
                    {{1, 0, L"a"}, {2, 1, L"b"}, {3, 2, L"c"}, {4, 0, L"d"}, {5, 4, L"e"}, {6, 5, L"f"}},
                    {{2, 0, 2, 3}, {3, -1, 2, 3}, {5, 0, 2, 3}, {6, -1, 2, 3}, {4, 0, 2, 3}}, 0}),
    [](const ::testing::TestParamInfo<RefreshCase>& info) { return std::string(info.param.name); });

TEST(TreeRefreshEdge, EmptyTreeAndChoiceValues) {
    HostWindow host;
    HWND tree = host.MakeTree();
    host.checkedCount = 9;
    EXPECT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 0);
    EXPECT_EQ(host.checkedCount, 9) << "an empty tree leaves the host's variables alone";

    Bstr choices = Bstr::Choices({L"7", L"Seven", L"8", L"Eight"});
    Bstr choices2 = Bstr::Choices({L" -3", L"Minus"});
    NodeInfo info = {};
    info.id = 1;
    info.checkState = 3;
    info.flags = ZN_CHOICE_TEXT1;
    info.text1 = choices;
    Sorted_Insert(tree, &info, 0);
    info.id = 2;
    info.flags = ZN_CHOICE_TEXT2 | ZN_CHOICE_TEXT3;
    info.text1 = nullptr;
    info.text2 = choices2;
    Sorted_Insert(tree, &info, 0);
    info.id = 3;
    info.flags = ZN_CHOICE_TEXT3;
    info.text2 = nullptr;
    Sorted_Insert(tree, &info, 0);
    EXPECT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
    EXPECT_EQ(NodeById(tree, 1)->choiceValue, 7);
    EXPECT_EQ(NodeById(tree, 2)->choiceValue, -3);
    EXPECT_EQ(NodeById(tree, 3)->choiceValue, 0) << "a missing choice text gives 0";
    for (DWORD id : {1u, 2u, 3u}) EXPECT_EQ(NodeById(tree, id)->choiceValueSet, 1);
}

class TreeRows : public ::testing::Test {
protected:
    void SetUp() override {
        tree = host.MakeTree();
        // 1{2{3,4},5}, 6{7}, 8{9{10{11}}}
        for (const NodeSpec& s : std::vector<NodeSpec>{{1, 0, L"a"}, {2, 1, L"b"}, {3, 2, L"c"}, {4, 2, L"d"},
                                                       {5, 1, L"e"}, {6, 0, L"f"}, {7, 6, L"g"}, {8, 0, L"h"},
                                                       {9, 8, L"i"}, {10, 9, L"j"}, {11, 10, L"k"}})
            Insert(tree, s);
        RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    }
    LRESULT Selection() { return SendMessageA(tree, LB_GETCURSEL, 0, 0); }
    HostWindow host;
    HWND tree = nullptr;
};

TEST_F(TreeRows, ExpandAndCollapseInsertAndRemoveRows) {
    using V = std::vector<DWORD>;
    EXPECT_EQ(RowIds(tree), (V{1, 6, 8}));
    EXPECT_EQ(ExpandNode(tree, 1, 0), 1);
    EXPECT_EQ(RowIds(tree), (V{1, 2, 5, 6, 8}));
    EXPECT_EQ(ExpandNode(tree, 1, 0), 1) << "twice inserts once";
    EXPECT_EQ(RowIds(tree), (V{1, 2, 5, 6, 8}));
    EXPECT_EQ(ExpandNode(tree, 2, 0), 1);
    EXPECT_EQ(RowIds(tree), (V{1, 2, 3, 4, 5, 6, 8}));
    EXPECT_EQ(ExpandNode(tree, 3, 0), 1) << "a leaf with a row";
    EXPECT_EQ(ExpandNode(tree, 7, 0), 0) << "inside a closed branch";
    EXPECT_EQ(ExpandNode(tree, 99, 0), 0);
    EXPECT_EQ(ExpandNode(tree, 1, 3), 0) << "wrong group";

    EXPECT_EQ(CollapseNode(tree, 1, 0), 1);
    EXPECT_EQ(RowIds(tree), (V{1, 6, 8}));
    EXPECT_EQ(NodeById(tree, 2)->expandState, 1) << "the inner branch remembers it was open";
    EXPECT_EQ(CollapseNode(tree, 1, 0), 1);
    EXPECT_EQ(RowIds(tree), (V{1, 6, 8}));
    EXPECT_EQ(ExpandNode(tree, 1, 0), 1);
    EXPECT_EQ(RowIds(tree), (V{1, 2, 3, 4, 5, 6, 8}));
    EXPECT_EQ(CollapseNode(tree, 4, 0), 1);
    EXPECT_EQ(CollapseNode(tree, 11, 0), 0);
    EXPECT_EQ(ChainFault(tree), "");
}

TEST_F(TreeRows, SelectingADeepNodeOpensItsPathAndSelectsAfterTheCall) {
    using V = std::vector<DWORD>;
    EXPECT_EQ(ZNTree_SelectNode(tree, 11, 0), 1);
    EXPECT_EQ(RowIds(tree), (V{1, 6, 8, 9, 10, 11}));
    EXPECT_EQ(Selection(), 0) << "the selection is posted";
    host.Pump();
    EXPECT_EQ(Selection(), 5);
    for (DWORD id : {8u, 9u, 10u}) EXPECT_EQ(NodeById(tree, id)->expandState, 1);

    EXPECT_EQ(ZNTree_SelectNode(tree, 7, 0), 1);
    host.Pump();
    EXPECT_EQ(RowIds(tree), (V{1, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(Selection(), 2);
    EXPECT_EQ(ZNTree_SelectNode(tree, 7, 1), 0);
    EXPECT_EQ(ZNTree_SelectNode(tree, 1234, 0), 0);
}

TEST_F(TreeRows, RowHeightsFollowTheTextCount) {
    ClearTree(tree);
    Insert(tree, {1, 0, L"one"});
    Insert(tree, {2, 0, L"two", 3, 0, 0, 0, 0, L"b"});
    Insert(tree, {3, 0, L"three", 3, 0, 0, 0, 0, L"b", L"c"});
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    EXPECT_EQ(SendMessageA(tree, LB_GETITEMHEIGHT, 0, 0), 18);
    EXPECT_EQ(SendMessageA(tree, LB_GETITEMHEIGHT, 1, 0), 40);
    EXPECT_EQ(SendMessageA(tree, LB_GETITEMHEIGHT, 2, 0), 58);
}

// The same 9-point fonts the control makes, built here independently.
HFONT NinePointFont(int weight) {
    LOGFONTA lf = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    HDC screen = GetDC(nullptr);
    lf.lfHeight = -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    lf.lfWeight = weight;
    lf.lfQuality = PROOF_QUALITY;
    return CreateFontIndirectA(&lf);
}

int TextWidth(HFONT font, const char* text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size;
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

TEST_F(TreeRows, HorizontalExtentFollowsTheWidestVisibleLine) {
    HFONT normal = NinePointFont(FW_NORMAL), bold = NinePointFont(FW_BOLD);
    HIMAGELIST icons = MakeIcons(3);
    AttachSeverityIcons(tree, icons);
    ClearTree(tree);
    NodeSpec top{1, 0, L"top"};
    top.severity = 2;
    Insert(tree, top);
    NodeSpec child{2, 1, L"x", 3, ZN_BOLD_TEXT2};
    child.text2 = L"A much longer bold second line";
    Insert(tree, child);
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    // top: level 0 with its severity icon.
    LRESULT extent = SendMessageA(tree, LB_GETHORIZONTALEXTENT, 0, 0);
    EXPECT_EQ(extent, 42 + 20 + TextWidth(normal, "top") + 10);
    ExpandNode(tree, 1, 0);
    // The child sits one level in, after its parent's icon.
    int childLine = 18 + 42 + 20 + TextWidth(bold, "A much longer bold second line");
    EXPECT_EQ(SendMessageA(tree, LB_GETHORIZONTALEXTENT, 0, 0), childLine + 10);
    CollapseNode(tree, 1, 0);
    EXPECT_EQ(SendMessageA(tree, LB_GETHORIZONTALEXTENT, 0, 0), extent);
    DeleteObject(normal);
    DeleteObject(bold);
    ClearTree(tree);
    ImageList_Destroy(icons);
}

}  // namespace
