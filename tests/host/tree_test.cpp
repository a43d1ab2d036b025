// What the random sessions do not reach in the tree: long runs of rows, and the horizontal
// extent and row heights against measurements made here.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "harness.h"

using namespace zt;

namespace {

// Runs of rows long or far enough from the top row that the list box's top row is moved along
// with them (refreshing 1,500 top-level nodes, opening a branch of 1,300 near or far below the
// top row, closing it from the bottom up or, when the top row is below the parent, from the top
// down) end as short runs do: same rows, same top row and selection, and a list box that draws.
// (The list fills and sorts through the same helper.)
TEST(TreeLongRuns, LeaveTheTopRowSelectionAndDrawingAsShortRunsDo) {
    Host host;
    HWND tree = host.MakeTree();
    const DWORD tops = 1500, children = 1300, parent = 1000;
    Ids shown;
    for (DWORD id = 1; id <= tops; ++id) AddNode(tree, {id, 0, L"top"}), shown.push_back(id);
    Ids open = shown;
    for (DWORD c = 0; c < children; ++c) AddNode(tree, {10000 + c, parent, L"child"}), open.insert(open.begin() + parent + c, 10000 + c);
    auto send = [tree](UINT message, WPARAM wParam = 0) { return SendMessageA(tree, message, wParam, 0); };
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount), host.Pump();
    EXPECT_EQ(Rows(tree), shown);
    EXPECT_EQ(send(LB_GETTOPINDEX), 0);
    send(LB_SETCURSEL, 1000), send(LB_SETTOPINDEX, 650);
    ASSERT_EQ(send(LB_GETTOPINDEX), 650);

    EXPECT_EQ(ExpandNode(tree, parent, 0), 1);
    EXPECT_EQ(Rows(tree), open);
    EXPECT_EQ(send(LB_GETTOPINDEX), 650) << "the rows went in below the top row";
    EXPECT_EQ(send(LB_GETCURSEL), 1000 + children) << "the selected row moved down with its node";

    EXPECT_EQ(CollapseNode(tree, parent, 0), 1);
    EXPECT_EQ(Rows(tree), shown);
    EXPECT_EQ(send(LB_GETTOPINDEX), 650);
    EXPECT_EQ(send(LB_GETCURSEL), 1000);
    host.treeMessages.clear(), host.Repaint(tree);  // the list box asks its parent to draw rows when repainted
    EXPECT_GT(std::count(host.treeMessages.begin(), host.treeMessages.end(), UINT{WM_DRAWITEM}), 0) << "the list box draws again after a large branch closes";

    // A branch far below the top row: the top row goes to it first, and comes back.
    send(LB_SETTOPINDEX, 0);
    EXPECT_EQ(ExpandNode(tree, parent, 0), 1);
    EXPECT_EQ(Rows(tree), open);
    EXPECT_EQ(send(LB_GETTOPINDEX), 0);

    // Top row below the parent's row: the rows go from the top down, and the top row stays.
    send(LB_SETCURSEL, parent + 5), send(LB_SETTOPINDEX, 1000);  // a row of the branch selected
    EXPECT_EQ(CollapseNode(tree, parent, 0), 1);
    EXPECT_EQ(Rows(tree), shown);
    EXPECT_EQ(send(LB_GETTOPINDEX), 1000);
    EXPECT_EQ(send(LB_GETCURSEL), LB_ERR) << "the selected row went with the branch";

    EXPECT_EQ(ChainFault(tree), "");
}

// The extent is kept as rows come and go and measured from width tables; working it out from
// scratch, row by row with real measurements, must give the same on random trees. Rows measured
// since their texts last changed are 18 high a line, 4 more from two lines on.
TEST(TreeExtent, TheKeptExtentAndRowHeightsEqualAFreshMeasurementOfEveryRow) {
    Host host;
    HWND tree = host.MakeTree();
    HIMAGELIST icons = MakeIcons(3);
    AttachSeverityIcons(tree, icons), AttachAdditionalIcons(tree, icons);
    std::mt19937 random(7);
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::wstring pieces[] = {L"AV", L"fi", L"W.", L"Ta", L"\u00e9t\u00e9", L"x", L" ", L"WWW", L"y.", L""};
    auto text = [&](std::wstring t = L"") { for (int k = pick(6); k > 0; --k) t += pieces[pick(10)]; return t; };
    std::vector<std::wstring> store;
    store.reserve(600);
    for (DWORD id = 1; id <= 150; ++id) {
        Item item{id, id < 10 || pick(4) == 0 ? 0 : 1 + static_cast<DWORD>(pick(static_cast<int>(id) - 1)), nullptr};
        for (const wchar_t** line : {&item.text1, &item.text2, &item.text3})
            if (pick(3)) store.push_back(text()), *line = store.back().c_str();
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
            for (int j = 0; j < static_cast<int>(n->textCount); ++j)
                widest = std::max(widest, x + TextWidth(Narrow(TextOf(n->texts[j])), (n->flags & (2 << j)) ? 700 : 400));
            const int lines = n->textCount, height = 18 * lines + (lines >= 2 ? 4 : 0);
            if (std::find(changed.begin(), changed.end(), n) == changed.end())
                EXPECT_EQ(SendMessageA(tree, LB_GETITEMHEIGHT, r, 0), height ? height : 1) << "row " << r;
        }
        return widest + 10;
    };
    // The extent is worked out again whenever rows come or go, so it is compared after those.
    for (int step = 0, compared = 0; step < 600 && compared < 250; ++step) {
        const int rows = RowCount(tree);
        const DWORD id = 1 + static_cast<DWORD>(pick(150));
        const bool close = pick(3) == 0;
        if (!close && pick(8) == 0) {  // a new text, then the row opened
            Bstr given(text());
            NodeInfo info = Change(id, ZN_CHANGE_TEXT1 << pick(3), 0, given);
            UpdateTreeEntry(tree, &info, 0, &host.checkedCount), changed.push_back(Node(tree, id));
        }
        (close ? CollapseNode : ExpandNode)(tree, id, 0);
        if (RowCount(tree) == rows) continue;
        ++compared;
        ASSERT_EQ(SendMessageA(tree, LB_GETHORIZONTALEXTENT, 0, 0), fresh()) << "step " << step << ", node " << id;
    }
    DestroyTree(tree), ImageList_Destroy(icons);
}

}  // namespace
