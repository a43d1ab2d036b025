// Using a tree as a person does: the cursor on a box of the selected row and the list box's
// notification, typed keys, host updates; read back as counts, notifications, rows and the
// boxes on screen compared with the DLL's own image strip.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

#include "../unit/check_model.h"
#include "host.h"

using namespace host;

namespace {

using V = std::vector<DWORD>;
const DWORD kU = ZN_UNCHECKED, kC = ZN_CHECKED, kD = ZN_CHECK_DISABLED;

class TreeInput : public ::testing::Test {
protected:
    void SetUp() override {
        tree = host.MakeTree();
        strip = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA("ZnTreeCt.dll"), MAKEINTRESOURCEA(226), IMAGE_BITMAP,
                                                0, 0, LR_CREATEDIBSECTION));
        stripDc = CreateCompatibleDC(nullptr);
        SelectObject(stripDc, strip);
    }
    void TearDown() override {
        DeleteDC(stripDc);
        DeleteObject(strip);
    }
    void Build(const std::vector<NodePlan>& nodes, const V& expand = {}) {
        for (const NodePlan& wanted : nodes) ASSERT_NE(Insert(tree, wanted), nullptr);
        ASSERT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
        for (DWORD id : expand) ASSERT_EQ(ExpandNode(tree, id, 0), 1);
        host.Pump();
    }
    int Row(DWORD id) const {
        return static_cast<int>(SendMessageA(tree, LB_FINDSTRING, WPARAM(-1), LPARAM(NodeById(tree, id))));
    }
    int Top(int row) const {
        RECT r = {};
        SendMessageA(tree, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        return r.top;
    }
    int Select(DWORD id) {  // selects the node's row, lets the paints finish, gives the row's top
        SendMessageA(tree, LB_SETCURSEL, Row(id), 0);
        host.Pump();
        return Top(Row(id));
    }
    void ClickAt(int x, int y, WORD code = LBN_SELCHANGE) {
        POINT p = HostWindow::ToScreen(tree, x, y);
        SetCursorPos(p.x, p.y);
        SendMessageA(host.window(), WM_COMMAND, MAKEWPARAM(HostWindow::kTreeId, code), reinterpret_cast<LPARAM>(tree));
    }
    DWORD State(DWORD id) const { return NodeById(tree, id)->checkState; }
    size_t Posted() {
        host.Pump();
        return host.CountNotifications(ZN_TREE_CHECK_STATE_CHANGED);
    }
    LRESULT Key(wchar_t key) { return On_WMCharToItem(tree, key, LPARAM(tree), &host.checkedCount); }
    // Pixels of strip image `image` (cyan is see-through) that differ on screen at (x, y).
    int Mismatches(int x, int y, int image) const {
        HDC screen = GetDC(tree);
        int wrong = 0;
        for (int py = 0; py < 18; ++py)
            for (int px = 0; px < 18; ++px) {
                COLORREF want = GetPixel(stripDc, 18 * image + px, py);
                wrong += want != RGB(0, 255, 255) && GetPixel(screen, x + px, y + py) != want;
            }
        ReleaseDC(tree, screen);
        return wrong;
    }
    HostWindow host;
    HWND tree = nullptr;
    HBITMAP strip = nullptr;
    HDC stripDc = nullptr;
};

TEST_F(TreeInput, ClicksHitTheExpandAndCheckBoxesWithinTheirBounds) {
    Build({{1, 0, L"parent"}, {2, 1, L"child"}, {3, 0, L"two", kU, 0, 0, 0, 0, L"lines"}, {4, 3, L"c"},
           {5, 0, L"leaf"}, {6, 0, L"no box", kD}});
    int top = Select(1);
    for (auto [x, y] : {std::pair{4, 8}, {22, 8}, {12, 16}}) ClickAt(x, top + y);  // bounds exclusive; lower part inert
    EXPECT_EQ(RowIds(tree), (V{1, 3, 5, 6}));
    ClickAt(5, top + 8);
    EXPECT_EQ(RowIds(tree), (V{1, 2, 3, 5, 6}));
    Select(1);
    ClickAt(21, top + 15, LBN_DBLCLK);
    EXPECT_EQ(RowIds(tree), (V{1, 3, 5, 6}));
    EXPECT_EQ(NodeById(tree, 1)->expandState, 0);

    top = Select(3);  // a two-line row: only its first 16 pixels count
    ClickAt(12, top + 20);
    ClickAt(30, top + 20);
    ClickAt(12, top + 8, LBN_SETFOCUS);
    LONG count = 0;
    EXPECT_EQ(On_WMCommand(tree, MAKEWPARAM(HostWindow::kTreeId + 7, LBN_SELCHANGE), LPARAM(tree), &count), 1);
    EXPECT_EQ(RowIds(tree), (V{1, 3, 5, 6})) << "another kind of notification or another control is no click";
    EXPECT_EQ(State(3), kU);
    ClickAt(12, top + 8);
    EXPECT_EQ(RowIds(tree), (V{1, 3, 4, 5, 6}));
    EXPECT_EQ(Posted(), 0u) << "opening and closing tell the host nothing";

    top = Select(5);
    ClickAt(22, top + 4);
    ClickAt(40, top + 4);
    EXPECT_EQ(State(5), kU);
    ClickAt(23, top + 4);
    EXPECT_EQ(State(5), kC);
    EXPECT_EQ(host.checkedCount, 1);
    EXPECT_EQ(Mismatches(22, top, 14), 0) << "checked box drawn before any repaint";
    EXPECT_EQ(Posted(), 1u);
    EXPECT_EQ(host.notifications.back().id, HostWindow::kTreeId);
    EXPECT_EQ(host.notifications.back().window, tree);
    ClickAt(39, top + 15);
    EXPECT_EQ(State(5), kU);
    EXPECT_EQ(host.checkedCount, 0);
    EXPECT_EQ(Mismatches(22, top, 13), 0);
    ClickAt(30, Select(6) + 4);
    EXPECT_EQ(State(6), kD);
    EXPECT_EQ(Posted(), 2u);
}

TEST_F(TreeInput, BoxesMoveWithIconsAndHorizontalScroll) {
    HIMAGELIST severity = MakeIcons(4), extra = MakeIcons(4);
    ASSERT_EQ(AttachSeverityIcons(tree, severity), 1);
    ASSERT_EQ(AttachAdditionalIcons(tree, extra), 1);
    // The parent shows two icons, the child one: the child's expand box at 62..80, check box 100..118.
    Build({{1, 0, L"p", kU, 0, 0, 1, 2}, {2, 1, L"c", kU, 0, 0, 1}, {3, 2, L"g"},
           {4, 0, L"a long text that makes the rows wider than the list box, so that it scrolls sideways"}}, {1});
    int top = Select(2);
    for (int x : {100, 118, 62}) ClickAt(x, top + 4);
    EXPECT_EQ(RowIds(tree), (V{1, 2, 4}));
    EXPECT_EQ(State(2), kU);
    ClickAt(101, top + 4);
    EXPECT_EQ(State(3), kC) << "collapsed children change too";
    EXPECT_EQ(Mismatches(100, top, 14), 0);
    EXPECT_EQ(Mismatches(62, Top(0), 14), 0) << "the parent's box, after its two icons";
    ClickAt(79, top + 4);
    EXPECT_EQ(RowIds(tree), (V{1, 2, 3, 4}));

    SendMessageA(tree, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10), 0);
    host.Pump();
    top = Select(4);  // no icons: the box at 22, shifted to 12
    ClickAt(12, top + 4);
    ClickAt(30, top + 4);
    EXPECT_EQ(State(4), kU);
    ClickAt(13, top + 4);
    EXPECT_EQ(State(4), kC);
    EXPECT_EQ(Mismatches(12, top, 14), 0);
    EXPECT_EQ(Key(L' '), -1);
    EXPECT_EQ(Mismatches(12, top, 13), 0) << "space draws at the same shifted place";
    ImageList_Destroy(severity);
    ImageList_Destroy(extra);
}

TEST_F(TreeInput, ChangedBoxesOfTheBranchRepaintAndHiddenOnesDoNot) {
    // 1 ( 2 ( 3, 4 ), 5 [boxless] ( 6 ) )
    Build({{1, 0, L"a"}, {2, 1, L"b"}, {3, 2, L"c"}, {4, 2, L"d"}, {5, 1, L"e", kD}, {6, 5, L"f"}}, {1, 2, 5});
    int top = Select(3);
    ClickAt(50, top + 4);  // level 2: box at 58
    EXPECT_EQ(host.checkedCount, 0);
    ClickAt(60, top + 4);
    EXPECT_EQ(host.checkedCount, 3) << "3 and its two ancestors";
    // Each check: x, row, image (13 unchecked, 14 checked, 15 partly).
    auto boxes = [&](std::initializer_list<std::array<int, 3>> want) {
        for (auto [x, row, image] : want) EXPECT_EQ(Mismatches(x, Top(row), image), 0) << "row " << row;
    };
    boxes({{58, 2, 14}, {40, 1, 15}, {22, 0, 15}});
    // A partly checked node empties when flipped; flipped again it fills everything but the
    // boxless 5 and 6 beneath it, stays checked, and its box shows the mix at once.
    Select(1);
    ClickAt(30, Top(0) + 4);
    EXPECT_EQ(host.checkedCount, 0);
    boxes({{58, 2, 13}});
    ClickAt(30, Top(0) + 4);
    EXPECT_EQ((V{State(1), State(4), State(6)}), (V{kC, kC, kU}));
    EXPECT_EQ(host.checkedCount, 4);
    boxes({{58, 3, 14}, {40, 1, 14}, {22, 0, 15}});
    // Collapsed, 2's children change without being drawn over the rows that took their place.
    Select(2);
    ClickAt(30, Top(1) + 4);
    ASSERT_EQ(RowIds(tree), (V{1, 2, 5, 6}));
    host.Pump();
    ClickAt(42, Top(1) + 4);
    EXPECT_EQ((V{State(1), State(3), State(4)}), (V{kU, kU, kU})) << "nothing with a box is checked any more";
    EXPECT_EQ(host.checkedCount, 0);
    boxes({{40, 1, 13}, {22, 0, 13}});
    EXPECT_GT(Mismatches(58, Top(2), 13), 0);
    EXPECT_EQ(Posted(), 4u);
}

// A branch whose root is scrolled out of sight above: checking the root from the host draws the
// boxes of its rows that show, placed from the top row down.
TEST_F(TreeInput, UpdateTreeEntryDrawsTheShownPartOfABranchScrolledPastItsRoot) {
    std::vector<NodePlan> nodes = {{1, 0, L"root"}};
    for (DWORD id = 2; id <= 60; ++id) nodes.push_back({id, 1, L"leaf"});
    nodes.push_back({61, 0, L"next"});
    Build(nodes, {1});
    SendMessageA(tree, LB_SETTOPINDEX, 20, 0);
    host.Pump();
    ASSERT_EQ(SendMessageA(tree, LB_GETTOPINDEX, 0, 0), 20);
    RECT client;
    GetClientRect(tree, &client);
    const int shown = client.bottom / 18;
    NodeInfo info = Record(1, ZN_CHANGE_CHECK, kC);
    ASSERT_EQ(UpdateTreeEntry(tree, &info, 0, &host.checkedCount), 1);
    EXPECT_EQ(host.checkedCount, 60);
    for (int row : {20, 21, 20 + shown - 1}) EXPECT_EQ(Mismatches(40, Top(row), 14), 0) << "row " << row;
}

TEST_F(TreeInput, KeysOpenCloseAndFlipTheSelectedRow) {
    // 1 ( 2 ( 3 ), 5 ( 9 ( 10 ) ) ), 6, 7 [boxless]
    Build({{1, 0, L"a"}, {2, 1, L"b"}, {3, 2, L"c"}, {5, 1, L"e"}, {9, 5, L"i"}, {10, 9, L"j"}, {6, 0, L"f"},
           {7, 0, L"g", kD}});
    Select(6);
    SendMessageA(tree, WM_CHAR, ' ', 0);  // reaches the host as WM_CHARTOITEM, which it forwards
    EXPECT_EQ(State(6), kC);
    EXPECT_EQ(host.checkedCount, 1);
    EXPECT_EQ(Key(L' '), -1);
    EXPECT_EQ(State(6), kU);
    EXPECT_EQ(Key(L' '), -1);
    EXPECT_EQ(host.checkedCount, 1);
    for (wchar_t key : {L'+', L'-', L'a'}) EXPECT_EQ(Key(key), 1) << "a leaf neither opens nor closes";
    EXPECT_EQ(On_WMCharToItem(tree, L' ', LPARAM(host.window()), &host.checkedCount), 1) << "another list box's key";
    EXPECT_EQ(State(6), kC);

    Select(1);
    const struct {
        wchar_t key;
        LRESULT result;
        V rows;
    } steps[] = {{L'-', 0, {1, 6, 7}}, {L'+', -1, {1, 2, 5, 6, 7}}, {L'+', 0, {1, 2, 5, 6, 7}}, {L'-', -1, {1, 6, 7}},
                 {L'*', -1, {1, 2, 3, 5, 9, 10, 6, 7}}, {L'*', 0, {1, 2, 3, 5, 9, 10, 6, 7}}};
    for (const auto& s : steps) {
        EXPECT_EQ(Key(s.key), s.result) << static_cast<char>(s.key);
        EXPECT_EQ(RowIds(tree), s.rows) << static_cast<char>(s.key);
    }
    // "*" goes on past the selected node's own branch to every deeper closed row after it.
    ASSERT_EQ(CollapseNode(tree, 2, 0), 1);
    ASSERT_EQ(CollapseNode(tree, 9, 0), 1);
    Select(2);
    EXPECT_EQ(Key(L'*'), -1);
    EXPECT_EQ(RowIds(tree), (V{1, 2, 3, 5, 9, 10, 6, 7}));
    Select(7);
    EXPECT_EQ(Key(L' '), -1) << "a boxless row takes the key and stays";
    EXPECT_EQ(State(7), kD);
    SendMessageA(tree, LB_SETCURSEL, WPARAM(-1), 0);
    EXPECT_EQ(Key(L' '), -1) << "no selected row";
    EXPECT_EQ(Posted(), 3u) << "one for each of the three spaces on row 6";
}

TEST_F(TreeInput, UpdateTreeEntryRepaintsWhatChanged) {
    Build({{1, 0, L"a"}, {2, 1, L"b"}, {3, 2, L"c"}, {4, 0, L"d"}}, {1});
    Bstr text(L"new");
    NodeInfo info = {};
    info.id = 2, info.parentId = ZN_CHANGE_TEXT1, info.text1 = text;
    for (DWORD id : {2u, 3u}) {  // 3 has no row
        host.treeMessages.clear();
        info.id = id;
        EXPECT_EQ(UpdateTreeEntry(tree, &info, 0, &host.checkedCount), 1);
        EXPECT_EQ(std::count(host.treeMessages.begin(), host.treeMessages.end(), WM_DRAWITEM) != 0, id == 2) << id;
    }
    EXPECT_EQ(TextOf(NodeById(tree, 2)->texts[0]), L"new");
    info = {};
    info.parentId = ZN_CHANGE_CHECK;
    const struct {
        DWORD id, state, s1, s2, s3;
        LONG count;
        int image;
    } steps[] = {{2, kC, kC, kC, kC, 3, 14}, {3, kU, kU, kU, kU, 0, 13}};
    for (const auto& s : steps) {
        info.id = s.id, info.checkState = s.state;
        EXPECT_EQ(UpdateTreeEntry(tree, &info, 0, &host.checkedCount), 1);
        EXPECT_EQ((V{State(1), State(2), State(3)}), (V{s.s1, s.s2, s.s3})) << "hidden child 3 too";
        EXPECT_EQ(host.checkedCount, s.count);
        EXPECT_EQ(Mismatches(40, Top(1), s.image), 0);
        EXPECT_EQ(Mismatches(22, Top(0), s.image), 0);
    }
    info.id = 99;
    EXPECT_EQ(UpdateTreeEntry(tree, &info, 0, &host.checkedCount), 0);
    info.id = 2, info.parentId = ZN_CHANGE_SEVERITY;
    EXPECT_EQ(UpdateTreeEntry(tree, &info, 0, &host.checkedCount), 0);
    EXPECT_EQ(host.checkedCount, 0);
    EXPECT_EQ(Posted(), 2u);
}

TEST_F(TreeInput, ScrollingAndResizingPassThroughTheListBox) {
    std::vector<NodePlan> rows;
    for (DWORD id = 1; id <= 40; ++id) rows.push_back({id, 0, L"row"});
    Build(rows);
    SendMessageA(tree, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(SendMessageA(tree, LB_GETTOPINDEX, 0, 0), 1);
    POINT p = HostWindow::ToScreen(tree, 50, 50);
    SendMessageA(tree, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(p.x, p.y));
    EXPECT_GT(SendMessageA(tree, LB_GETTOPINDEX, 0, 0), 1);
    LRESULT extent = SendMessageA(tree, LB_GETHORIZONTALEXTENT, 0, 0);
    ASSERT_GT(extent, 10);
    SendMessageA(tree, LB_SETHORIZONTALEXTENT, 1, 0);
    SetWindowPos(tree, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(SendMessageA(tree, LB_GETHORIZONTALEXTENT, 0, 0), extent) << "worked out again on resizing";
}

// Clicks, spaces and host updates through the exports, against the model of the rules.
TEST_F(TreeInput, AgreesWithTheModelThroughClicksKeysAndUpdates) {
    std::mt19937 rng(77);
    int acted = 0;
    for (int round = 0; round < 30; ++round) {
        ClearTree(tree);
        host.notifications.clear();
        int size = 2 + static_cast<int>(rng() % 9);
        for (int i = 1; i <= size; ++i) {
            DWORD parent = (i == 1 || rng() % 4 == 0) ? 0 : 1 + rng() % (i - 1);
            ASSERT_NE(Insert(tree, {static_cast<DWORD>(i), parent, L"n", 1 + rng() % 3}), nullptr);
        }
        ASSERT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
        std::vector<TreeNode*> nodes;
        checkmodel::Model model;
        for (TreeNode* n = GetListHead(tree); n; n = n->next) {
            auto parent = std::find(nodes.begin(), nodes.end(), n->parent);
            model.nodes.push_back({parent == nodes.end() ? -1 : static_cast<int>(parent - nodes.begin()), n->checkState});
            nodes.push_back(n);
            if (rng() % 3) ExpandNode(tree, n->id, 0);
        }
        model.count = host.checkedCount;
        host.Pump();
        for (int step = 0; step < 10; ++step) {
            int index = static_cast<int>(rng() % nodes.size());
            TreeNode* n = nodes[index];
            int how = static_cast<int>(rng() % 3);
            if (how < 2 && (Row(n->id) < 0 || n->checkState == ZN_CHECK_DISABLED)) continue;
            if (how == 0) {
                int top = Select(n->id);
                ClickAt(18 * static_cast<int>(n->level) + 23 + static_cast<int>(rng() % 17), top + static_cast<int>(rng() % 16));
                model.Toggle(index);
            } else if (how == 1) {
                Select(n->id);
                EXPECT_EQ(Key(L' '), -1);
                model.Toggle(index);
            } else {
                NodeInfo info = {};
                info.id = n->id, info.parentId = ZN_CHANGE_CHECK, info.checkState = 1 + rng() % 4;
                ASSERT_EQ(UpdateTreeEntry(tree, &info, 0, &host.checkedCount), 1);
                model.Set(index, info.checkState);
            }
            ++acted;
            for (size_t k = 0; k < nodes.size(); ++k)
                ASSERT_EQ(nodes[k]->checkState, model.nodes[k].state) << "round " << round << " step " << step << " node " << nodes[k]->id;
            ASSERT_EQ(host.checkedCount, model.count) << "round " << round << " step " << step;
        }
        EXPECT_EQ(Posted(), static_cast<size_t>(model.notifications)) << "round " << round;
    }
    EXPECT_GT(acted, 100);
}

}  // namespace
