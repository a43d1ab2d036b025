// The tree's in-place choice editor: one combo box, filled from the selected row's choice list,
// placed over the choice line and as wide as its widest entry, and a drawn look-alike on the
// other rows. (Choices made in it, and the list's twin, are the sessions' part.)
#include <gtest/gtest.h>

#include <algorithm>

#include "harness.h"

using namespace zt;

namespace {

using Entries = std::vector<std::pair<std::string, LPARAM>>;

Entries EntriesOf(HWND editor) {
    Entries entries;
    char text[64];
    for (int i = 0; i < SendMessageA(editor, CB_GETCOUNT, 0, 0); ++i)
        text[0] = 0, SendMessageA(editor, CB_GETLBTEXT, i, LPARAM(text)), entries.emplace_back(text, SendMessageA(editor, CB_GETITEMDATA, i, 0));
    return entries;
}

int Widest(const Host& host, std::initializer_list<const char*> labels) {  // in the host's dialog font
    int widest = 0;
    for (const char* label : labels) widest = std::max(widest, TextWidth(label, 400, host.font()));
    return widest;
}

TEST(Editors, TheTreesStandsOverTheSelectedChoiceLineAndLeavesALookAlikeBehind) {
    Host host;
    HWND tree = host.MakeTree();
    Bstr low = Bstr::Choices({L"1", L"Low", L"2", L"High"}), alpha = Bstr::Choices({L"5", L"Alpha", L"6", L"Beta", L"7", L"A much longer entry"});
    TreeNode *lowNode = AddNode(tree, {1, 0, L"", ZN_UNCHECKED, ZN_CHOICE_TEXT1, 0, 0, nullptr, nullptr, low}),
             *alphaNode = AddNode(tree, {2, 0, L"", ZN_UNCHECKED, ZN_CHOICE_TEXT1, 0, 0, nullptr, nullptr, alpha});
    AddNode(tree, {3, 0, L"plain"}), lowNode->choiceIndex = 1;
    AddNode(tree, {4, 0, L"", ZN_UNCHECKED, ZN_CHOICE_TEXT1, 0, 0, nullptr, nullptr, low})->choiceIndex = 2;  // past its two
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    HWND editor = GetDlgItem(tree, ZN_EDITOR_ID);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(editor, WM_GETFONT, 0, 0)), host.font());
    const struct { int row; TreeNode* node; Entries entries; int width, selected; } steps[] = {{0, lowNode, {{"Low", 1}, {"High", 2}}, Widest(host, {"Low", "High"}), 1},
                 {1, alphaNode, {{"Alpha", 5}, {"Beta", 6}, {"A much longer entry", 7}}, Widest(host, {"A much longer entry"}), 0},
                 {0, lowNode, {{"Low", 1}, {"High", 2}}, Widest(host, {"Low", "High"}), 1}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.row);
        SendMessageA(tree, LB_SETCURSEL, s.row, 0), host.Pump();
        EXPECT_EQ(GetDlgItem(tree, ZN_EDITOR_ID), editor) << "one editor per tree";
        EXPECT_TRUE(IsWindowVisible(editor) && GetWindowLongPtrA(editor, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(s.node));
        EXPECT_EQ(EntriesOf(editor), s.entries);
        EXPECT_EQ(SendMessageA(editor, CB_GETCURSEL, 0, 0), s.selected);
        const RECT at = PlaceIn(editor, tree);  // over the text, after the check box; widest entry + 26
        EXPECT_TRUE(at.left == 42 && at.top == ItemRect(tree, s.row).top - 2 && at.right - at.left == s.width + 26)
            << at.left << "," << at.top << "," << at.right;
    }
    EXPECT_EQ(lowNode->choiceValue, 2);
    // Row 1 shows the drawn look-alike: grey frame, separator and the icon's arrow.
    Capture shot(tree);
    const int y = ItemRect(tree, 1).top + 1, right = 42 + Widest(host, {"A much longer entry"}) + 14;
    const COLORREF grey = RGB(128, 128, 128), black = RGB(0, 0, 0);
    const int pixels[][3] = {{42, y + 4, grey}, {right + 9, y + 4, grey}, {right - 4, y + 4, grey},
                             {right + 3, y + 5, black}, {right + 3, y + 8, black}};
    for (const auto& px : pixels) EXPECT_EQ(shot.At(px[0], px[1]), COLORREF(px[2])) << px[0] << "," << px[1];
    // A choice past the entries shows no look-alike: nothing is read for it.
    const RECT past = ItemRect(tree, 3);
    EXPECT_EQ(FirstDifference(shot, 42, past.top, 120, past.bottom - past.top, [](int, int) { return RGB(255, 255, 255); }), "");
    SendMessageA(tree, LB_SETCURSEL, 2, 0), host.Pump();
    EXPECT_FALSE(IsWindowVisible(editor)) << "a row without choices hides it";
    EXPECT_EQ(GetWindowLongPtrA(editor, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(lowNode));
}

}  // namespace
