// Using a tree as a person does: the cursor is put on a box of the selected row and the list
// box's notification is delivered; keys are typed; the host's count, the posted notifications,
// the rows and the boxes repainted on screen are read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "../unit/check_model.h"
#include "host.h"

using namespace host;

namespace {

// The library's check-box pictures, read from its own image strip; cyan is see-through.
class Strip {
public:
    Strip() {
        bitmap_ = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA("ZnTreeCt.dll"), MAKEINTRESOURCEA(226),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Strip() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    // Pixels of image `image` that differ on screen at (x, y) of `window`.
    int Mismatches(HWND window, int x, int y, int image) const {
        HDC screen = GetDC(window);
        int wrong = 0;
        for (int py = 0; py < 18; ++py)
            for (int px = 0; px < 18; ++px) {
                COLORREF want = GetPixel(dc_, 18 * image + px, py);
                if (want == RGB(0, 255, 255)) continue;
                wrong += GetPixel(screen, x + px, y + py) != want;
            }
        ReleaseDC(window, screen);
        return wrong;
    }
private:
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ old_;
};

class TreeInput : public ::testing::Test {
protected:
    void SetUp() override { tree = host.MakeTree(); }
    void Build(const std::vector<NodeSpec>& nodes) {
        for (const NodeSpec& spec : nodes) ASSERT_NE(Insert(tree, spec), nullptr);
        ASSERT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
        host.Pump();
    }
    int Row(DWORD id) const {
        return static_cast<int>(SendMessageA(tree, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(NodeById(tree, id))));
    }
    RECT Item(int row) const {
        RECT r = {};
        SendMessageA(tree, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    // Selects the node's row and lets every pending paint finish.
    int Select(DWORD id) {
        int row = Row(id);
        SendMessageA(tree, LB_SETCURSEL, row, 0);
        host.Pump();
        return row;
    }
    // The cursor at a client point of the list box, then the list box's notification.
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
    LRESULT Key(wchar_t key) { return On_WMCharToItem(tree, MAKEWPARAM(key, 0), reinterpret_cast<LPARAM>(tree), &host.checkedCount); }

    HostWindow host;
    HWND tree = nullptr;
    Strip strip;
};

TEST_F(TreeInput, ExpandBoxTakesClicksInsideItsBoundsOnTheTopLine) {
    Build({{1, 0, L"parent"}, {2, 1, L"child"}, {3, 0, L"two", 3, 0, 0, 0, 0, L"lines"}, {4, 3, L"c"}});
    int row = Select(1);
    int top = Item(row).top;
    ClickAt(4, top + 8);
    ClickAt(22, top + 8);
    ClickAt(12, top + 16);
    EXPECT_EQ(RowIds(tree), (std::vector<DWORD>{1, 3})) << "bounds are exclusive; the row's lower part is inert";
    ClickAt(5, top + 8);
    EXPECT_EQ(RowIds(tree), (std::vector<DWORD>{1, 2, 3}));
    EXPECT_EQ(NodeById(tree, 1)->expandState, 1);
    Select(1);
    ClickAt(21, top + 15, LBN_DBLCLK);
    EXPECT_EQ(RowIds(tree), (std::vector<DWORD>{1, 3}));
    EXPECT_EQ(NodeById(tree, 1)->expandState, 0);

    // A two-line row: only its first 16 pixels count.
    top = Item(Select(3)).top;
    ClickAt(12, top + 20);
    ClickAt(30, top + 20);
    EXPECT_EQ(RowIds(tree), (std::vector<DWORD>{1, 3}));
    EXPECT_EQ(State(3), static_cast<DWORD>(ZN_UNCHECKED));
    // Notifications of another control or another kind are not clicks.
    ClickAt(12, top + 8, LBN_SETFOCUS);
    LONG count = 0;
    EXPECT_EQ(On_WMCommand(tree, MAKEWPARAM(HostWindow::kTreeId + 7, LBN_SELCHANGE), reinterpret_cast<LPARAM>(tree), &count), 1);
    EXPECT_EQ(RowIds(tree), (std::vector<DWORD>{1, 3}));
    ClickAt(12, top + 8);
    EXPECT_EQ(RowIds(tree), (std::vector<DWORD>{1, 3, 4})) << "the same spot with the right notification";
    EXPECT_EQ(Posted(), 0u) << "opening and closing tell the host nothing";
}

TEST_F(TreeInput, CheckBoxFlipsAndRepaintsAtOnce) {
    Build({{1, 0, L"leaf"}, {2, 0, L"no box", ZN_CHECK_DISABLED}});
    int top = Item(Select(1)).top;
    ClickAt(22, top + 4);
    ClickAt(40, top + 4);
    EXPECT_EQ(State(1), static_cast<DWORD>(ZN_UNCHECKED));
    ClickAt(23, top + 4);
    EXPECT_EQ(State(1), static_cast<DWORD>(ZN_CHECKED));
    EXPECT_EQ(host.checkedCount, 1);
    EXPECT_EQ(strip.Mismatches(tree, 22, top, 14), 0) << "checked box drawn before any repaint";
    EXPECT_EQ(Posted(), 1u);
    EXPECT_EQ(host.notifications.back().id, HostWindow::kTreeId);
    EXPECT_EQ(host.notifications.back().window, tree);
    ClickAt(39, top + 15);
    EXPECT_EQ(State(1), static_cast<DWORD>(ZN_UNCHECKED));
    EXPECT_EQ(host.checkedCount, 0);
    EXPECT_EQ(strip.Mismatches(tree, 22, top, 13), 0);
    EXPECT_EQ(Posted(), 2u);

    top = Item(Select(2)).top;
    ClickAt(30, top + 4);
    EXPECT_EQ(State(2), static_cast<DWORD>(ZN_CHECK_DISABLED));
    EXPECT_EQ(Posted(), 2u);
}

TEST_F(TreeInput, BoxesMoveWithTheIconsOfTheNodeAndItsAncestors) {
    HIMAGELIST severity = MakeIcons(4), extra = MakeIcons(4);
    ASSERT_EQ(AttachSeverityIcons(tree, severity), 1);
    ASSERT_EQ(AttachAdditionalIcons(tree, extra), 1);
    // The parent shows two icons, the child one: child's expand box 62..80, check box 100..118.
    Build({{1, 0, L"p", 3, 0, 0, 1, 2}, {2, 1, L"c", 3, 0, 0, 1}, {3, 2, L"g"}});
    ASSERT_EQ(ExpandNode(tree, 1, 0), 1);
    int top = Item(Select(2)).top;
    ClickAt(100, top + 4);
    ClickAt(118, top + 4);
    ClickAt(62, top + 4);
    EXPECT_EQ(RowIds(tree), (std::vector<DWORD>{1, 2}));
    EXPECT_EQ(State(2), static_cast<DWORD>(ZN_UNCHECKED));
    ClickAt(101, top + 4);
    EXPECT_EQ(State(2), static_cast<DWORD>(ZN_CHECKED));
    EXPECT_EQ(State(3), static_cast<DWORD>(ZN_CHECKED)) << "collapsed children change too";
    EXPECT_EQ(strip.Mismatches(tree, 100, top, 14), 0);
    EXPECT_EQ(strip.Mismatches(tree, 62, Item(0).top, 14), 0) << "the parent's box, after its two icons";
    ClickAt(79, top + 4);
    EXPECT_EQ(RowIds(tree), (std::vector<DWORD>{1, 2, 3}));
    ImageList_Destroy(severity);
    ImageList_Destroy(extra);
}

TEST_F(TreeInput, ChangedBoxesOfTheBranchRepaintAndHiddenOnesDoNot) {
    // 1 ( 2 ( 3, 4 ), 5 [boxless] ( 6 ) )
    Build({{1, 0, L"a"}, {2, 1, L"b"}, {3, 2, L"c"}, {4, 2, L"d"}, {5, 1, L"e", ZN_CHECK_DISABLED}, {6, 5, L"f"}});
    ASSERT_EQ(ExpandNode(tree, 1, 0), 1);
    ASSERT_EQ(ExpandNode(tree, 2, 0), 1);
    ASSERT_EQ(ExpandNode(tree, 5, 0), 1);
    ASSERT_EQ(RowIds(tree), (std::vector<DWORD>{1, 2, 3, 4, 5, 6}));
    int top = Item(Select(3)).top;
    ClickAt(50, top + 4);  // level 2: box at 58
    EXPECT_EQ(host.checkedCount, 0);
    ClickAt(60, top + 4);
    EXPECT_EQ(host.checkedCount, 3) << "3 and its two ancestors";
    EXPECT_EQ(strip.Mismatches(tree, 58, top, 14), 0);
    EXPECT_EQ(strip.Mismatches(tree, 40, Item(1).top, 15), 0) << "2 is partly checked";
    EXPECT_EQ(strip.Mismatches(tree, 22, Item(0).top, 15), 0) << "1 is partly checked";

    // A partly checked node empties when flipped; flipped again it fills everything but the
    // boxless 5 and the child 6 beneath it, stays checked, and its box shows the mix at once.
    Select(1);
    ClickAt(30, Item(0).top + 4);
    EXPECT_EQ(host.checkedCount, 0);
    EXPECT_EQ(strip.Mismatches(tree, 58, Item(2).top, 13), 0);
    ClickAt(30, Item(0).top + 4);
    EXPECT_EQ(State(4), static_cast<DWORD>(ZN_CHECKED));
    EXPECT_EQ(State(6), static_cast<DWORD>(ZN_UNCHECKED));
    EXPECT_EQ(State(1), static_cast<DWORD>(ZN_CHECKED));
    EXPECT_EQ(host.checkedCount, 4);
    EXPECT_EQ(strip.Mismatches(tree, 58, Item(3).top, 14), 0);
    EXPECT_EQ(strip.Mismatches(tree, 40, Item(1).top, 14), 0);
    EXPECT_EQ(strip.Mismatches(tree, 22, Item(0).top, 15), 0);

    // Collapsed, 2's children change without being drawn over the rows that took their place.
    Select(2);
    ClickAt(30, Item(1).top + 4);
    ASSERT_EQ(RowIds(tree), (std::vector<DWORD>{1, 2, 5, 6}));
    host.Pump();
    ClickAt(42, Item(1).top + 4);
    EXPECT_EQ(State(3), static_cast<DWORD>(ZN_UNCHECKED));
    EXPECT_EQ(State(4), static_cast<DWORD>(ZN_UNCHECKED));
    EXPECT_EQ(State(1), static_cast<DWORD>(ZN_UNCHECKED)) << "nothing with a box is checked any more";
    EXPECT_EQ(host.checkedCount, 0);
    EXPECT_EQ(strip.Mismatches(tree, 40, Item(1).top, 13), 0);
    EXPECT_EQ(strip.Mismatches(tree, 22, Item(0).top, 13), 0);
    EXPECT_GT(strip.Mismatches(tree, 58, Item(2).top, 13), 0);
    EXPECT_EQ(Posted(), 4u);
}

TEST_F(TreeInput, HorizontalScrollShiftsHitAreasAndRepaints) {
    Build({{1, 0, L"a long text that makes the rows wider than the list box, so that it scrolls sideways"}});
    SendMessageA(tree, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10), 0);
    host.Pump();
    RECT client;
    GetClientRect(tree, &client);
    RECT item = Item(Select(1));
    ASSERT_EQ(item.right - client.right, 10);
    ClickAt(12, item.top + 4);
    ClickAt(30, item.top + 4);
    EXPECT_EQ(State(1), static_cast<DWORD>(ZN_UNCHECKED));
    ClickAt(13, item.top + 4);
    EXPECT_EQ(State(1), static_cast<DWORD>(ZN_CHECKED));
    EXPECT_EQ(strip.Mismatches(tree, 12, item.top, 14), 0);
    EXPECT_EQ(Key(L' '), -1);
    EXPECT_EQ(strip.Mismatches(tree, 12, item.top, 13), 0) << "space draws at the same shifted place";
}

TEST_F(TreeInput, KeysOpenCloseAndFlipTheSelectedRow) {
    // 1 ( 2 ( 3 ), 5 ( 9 ( 10 ) ) ), 6, 7 [boxless]
    Build({{1, 0, L"a"}, {2, 1, L"b"}, {3, 2, L"c"}, {5, 1, L"e"}, {9, 5, L"i"}, {10, 9, L"j"}, {6, 0, L"f"},
           {7, 0, L"g", ZN_CHECK_DISABLED}});
    // A key typed into the list box reaches the host as WM_CHARTOITEM, and the host's forwarding.
    Select(6);
    SendMessageA(tree, WM_CHAR, ' ', 0);
    EXPECT_EQ(State(6), static_cast<DWORD>(ZN_CHECKED));
    EXPECT_EQ(host.checkedCount, 1);
    EXPECT_EQ(Key(L' '), -1);
    EXPECT_EQ(State(6), static_cast<DWORD>(ZN_UNCHECKED));
    EXPECT_EQ(Key(L' '), -1);
    EXPECT_EQ(host.checkedCount, 1);
    EXPECT_EQ(Key(L'+'), 1) << "a leaf does not open";
    EXPECT_EQ(Key(L'-'), 1);
    EXPECT_EQ(Key(L'a'), 1);
    EXPECT_EQ(On_WMCharToItem(tree, L' ', reinterpret_cast<LPARAM>(host.window()), &host.checkedCount), 1)
        << "another list box's key";
    EXPECT_EQ(State(6), static_cast<DWORD>(ZN_CHECKED));

    Select(1);
    EXPECT_EQ(Key(L'-'), 0) << "closed already";
    EXPECT_EQ(Key(L'+'), -1);
    EXPECT_EQ(RowIds(tree), (std::vector<DWORD>{1, 2, 5, 6, 7}));
    EXPECT_EQ(Key(L'+'), 0) << "open already";
    EXPECT_EQ(Key(L'-'), -1);
    EXPECT_EQ(RowIds(tree), (std::vector<DWORD>{1, 6, 7}));
    EXPECT_EQ(Key(L'*'), -1);
    EXPECT_EQ(RowIds(tree), (std::vector<DWORD>{1, 2, 3, 5, 9, 10, 6, 7}));
    EXPECT_EQ(Key(L'*'), 0);

    // "*" goes on past the selected node's own branch to every deeper closed row after it.
    ASSERT_EQ(CollapseNode(tree, 2, 0), 1);
    ASSERT_EQ(CollapseNode(tree, 9, 0), 1);
    Select(2);
    EXPECT_EQ(Key(L'*'), -1);
    EXPECT_EQ(RowIds(tree), (std::vector<DWORD>{1, 2, 3, 5, 9, 10, 6, 7}));

    Select(7);
    EXPECT_EQ(Key(L' '), -1) << "a boxless row takes the key and stays";
    EXPECT_EQ(State(7), static_cast<DWORD>(ZN_CHECK_DISABLED));
    SendMessageA(tree, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(Key(L' '), -1) << "no selected row";
    EXPECT_EQ(Posted(), 3u) << "one for each of the three spaces on row 6";
}

TEST_F(TreeInput, UpdateTreeEntryRepaintsWhatChanged) {
    Build({{1, 0, L"a"}, {2, 1, L"b"}, {3, 2, L"c"}, {4, 0, L"d"}});
    ASSERT_EQ(ExpandNode(tree, 1, 0), 1);
    host.Pump();
    Bstr text(L"new");
    NodeInfo info = {};
    info.id = 2;
    info.parentId = ZN_CHANGE_TEXT1;
    info.text1 = text;
    host.treeMessages.clear();
    EXPECT_EQ(UpdateTreeEntry(tree, &info, 0, &host.checkedCount), 1);
    EXPECT_EQ(TextOf(NodeById(tree, 2)->texts[0]), L"new");
    EXPECT_NE(std::count(host.treeMessages.begin(), host.treeMessages.end(), WM_DRAWITEM), 0) << "row painted now";
    host.treeMessages.clear();
    info.id = 3;
    EXPECT_EQ(UpdateTreeEntry(tree, &info, 0, &host.checkedCount), 1) << "a node without a row";
    EXPECT_EQ(std::count(host.treeMessages.begin(), host.treeMessages.end(), WM_DRAWITEM), 0);

    info = {};
    info.id = 2;
    info.parentId = ZN_CHANGE_CHECK;
    info.checkState = ZN_CHECKED;
    EXPECT_EQ(UpdateTreeEntry(tree, &info, 0, &host.checkedCount), 1);
    EXPECT_EQ(State(3), static_cast<DWORD>(ZN_CHECKED)) << "hidden child";
    EXPECT_EQ(State(1), static_cast<DWORD>(ZN_CHECKED));
    EXPECT_EQ(host.checkedCount, 3);
    EXPECT_EQ(strip.Mismatches(tree, 40, Item(1).top, 14), 0);
    EXPECT_EQ(strip.Mismatches(tree, 22, Item(0).top, 14), 0);
    EXPECT_EQ(Posted(), 1u);

    info.id = 3;
    info.checkState = ZN_UNCHECKED;
    EXPECT_EQ(UpdateTreeEntry(tree, &info, 0, &host.checkedCount), 1);
    EXPECT_EQ(State(2), static_cast<DWORD>(ZN_UNCHECKED));
    EXPECT_EQ(State(1), static_cast<DWORD>(ZN_UNCHECKED));
    EXPECT_EQ(host.checkedCount, 0);
    EXPECT_EQ(strip.Mismatches(tree, 40, Item(1).top, 13), 0);
    EXPECT_EQ(strip.Mismatches(tree, 22, Item(0).top, 13), 0);

    info.id = 99;
    EXPECT_EQ(UpdateTreeEntry(tree, &info, 0, &host.checkedCount), 0);
    info.id = 2;
    info.parentId = ZN_CHANGE_SEVERITY;
    EXPECT_EQ(UpdateTreeEntry(tree, &info, 0, &host.checkedCount), 0);
    EXPECT_EQ(host.checkedCount, 0);
    EXPECT_EQ(Posted(), 2u);
}

TEST_F(TreeInput, ScrollingAndResizingPassThroughTheListBox) {
    std::vector<NodeSpec> rows;
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
            int parent = -1;
            for (size_t k = 0; k < nodes.size(); ++k)
                if (nodes[k] == n->parent) parent = static_cast<int>(k);
            nodes.push_back(n);
            model.nodes.push_back({parent, n->checkState});
            if (rng() % 3) ExpandNode(tree, n->id, 0);
        }
        model.count = host.checkedCount;
        host.Pump();
        for (int step = 0; step < 10; ++step) {
            TreeNode* n = nodes[rng() % nodes.size()];
            int index = static_cast<int>(std::find(nodes.begin(), nodes.end(), n) - nodes.begin());
            int row = Row(n->id);
            int how = static_cast<int>(rng() % 3);
            if (how < 2 && (row < 0 || n->checkState == ZN_CHECK_DISABLED)) continue;
            if (how == 0) {
                int top = Item(Select(n->id)).top;
                ClickAt(18 * static_cast<int>(n->level) + 23 + static_cast<int>(rng() % 17), top + static_cast<int>(rng() % 16));
                model.Toggle(index);
            } else if (how == 1) {
                Select(n->id);
                EXPECT_EQ(Key(L' '), -1);
                model.Toggle(index);
            } else {
                NodeInfo info = {};
                info.id = n->id;
                info.parentId = ZN_CHANGE_CHECK;
                info.checkState = 1 + rng() % 4;
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
