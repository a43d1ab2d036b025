// The in-place choice editors: one combo box per control, filled from the selected row's choice
// list, placed over the choice line and as wide as its widest entry; a drawn look-alike on the
// other rows; a choice stored and checked; hidden once its row scrolls away.
#include <gtest/gtest.h>

#include <algorithm>

#include "harness.h"

using namespace zt;

namespace {

using Entries = std::vector<std::pair<std::string, LPARAM>>;

Entries EntriesOf(HWND editor) {
    Entries entries;
    for (int i = 0; i < SendMessageA(editor, CB_GETCOUNT, 0, 0); ++i) {
        char text[64] = {};
        SendMessageA(editor, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.emplace_back(text, SendMessageA(editor, CB_GETITEMDATA, i, 0));
    }
    return entries;
}

RECT PlaceIn(HWND editor, HWND control) {
    RECT r;
    GetWindowRect(editor, &r);
    MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The editor's width for a set of labels: the widest in the host's dialog font, plus 26.
int WidthFor(const Host& host, std::initializer_list<const char*> labels) {
    int widest = 0;
    for (const char* label : labels) widest = std::max(widest, TextWidth(label, 400, host.font()));
    return widest + 26;
}

TEST(TreeEditor, StandsOverTheSelectedChoiceLineAndLeavesALookAlikeBehind) {
    Host host;
    HWND tree = host.MakeTree();
    Bstr low = Bstr::Choices({L"1", L"Low", L"2", L"High"}), alpha = Bstr::Choices({L"5", L"Alpha", L"6", L"Beta", L"7", L"A much longer entry"});
    TreeNode* lowNode = AddNode(tree, {1, 0, L"", ZN_UNCHECKED, ZN_CHOICE_TEXT1, 0, 0, nullptr, nullptr, low});
    TreeNode* alphaNode = AddNode(tree, {2, 0, L"", ZN_UNCHECKED, ZN_CHOICE_TEXT1, 0, 0, nullptr, nullptr, alpha});
    AddNode(tree, {3, 0, L"plain"});
    lowNode->choiceIndex = 1;
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    host.Pump();
    HWND editor = GetDlgItem(tree, ZN_EDITOR_ID);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(editor, WM_GETFONT, 0, 0)), host.font());
    EXPECT_EQ(GetWindowLongA(editor, GWL_STYLE) & (WS_CHILD | CBS_DROPDOWNLIST), WS_CHILD | CBS_DROPDOWNLIST);
    // Heights as a combo box made with the same calls has them (Wine adjusts both).
    HWND reference = CreateWindowExA(0, "COMBOBOX", "", 0x40800003, 0, 0, 1, 150, host.window(), nullptr, nullptr, nullptr);
    SendMessageA(reference, WM_SETFONT, reinterpret_cast<WPARAM>(host.font()), 1);
    SendMessageA(reference, CB_SETITEMHEIGHT, WPARAM(-1), 14);
    SetWindowPos(reference, HWND_TOP, 0, 0, WidthFor(host, {"Low", "High"}), 150, SWP_NOMOVE);
    RECT mine, theirs;
    SendMessageA(editor, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&mine));
    SendMessageA(reference, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&theirs));
    EXPECT_EQ(mine.bottom - mine.top, theirs.bottom - theirs.top);
    EXPECT_EQ(SendMessageA(editor, CB_GETITEMHEIGHT, WPARAM(-1), 0), SendMessageA(reference, CB_GETITEMHEIGHT, WPARAM(-1), 0));
    DestroyWindow(reference);

    const struct {
        int row;
        TreeNode* node;
        Entries entries;
        std::initializer_list<const char*> labels;
        int selected;
    } steps[] = {{0, lowNode, {{"Low", 1}, {"High", 2}}, {"Low", "High"}, 1},
                 {1, alphaNode, {{"Alpha", 5}, {"Beta", 6}, {"A much longer entry", 7}}, {"Alpha", "Beta", "A much longer entry"}, 0},
                 {0, lowNode, {{"Low", 1}, {"High", 2}}, {"Low", "High"}, 1}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.row);
        SendMessageA(tree, LB_SETCURSEL, s.row, 0);
        host.Pump();
        EXPECT_EQ(GetDlgItem(tree, ZN_EDITOR_ID), editor) << "one editor per tree";
        EXPECT_TRUE(IsWindowVisible(editor));
        EXPECT_EQ(EntriesOf(editor), s.entries);
        EXPECT_EQ(GetWindowLongPtrA(editor, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(s.node));
        EXPECT_EQ(SendMessageA(editor, CB_GETCURSEL, 0, 0), s.selected);
        const RECT at = PlaceIn(editor, tree);
        EXPECT_EQ(at.left, 42) << "over the text, after the check box";
        EXPECT_EQ(at.top, ItemRect(tree, s.row).top - 2);
        EXPECT_EQ(at.right - at.left, WidthFor(host, s.labels));
    }
    EXPECT_EQ(lowNode->choiceValue, 2);
    // Row 1 now shows the drawn look-alike: grey frame, separator and the arrow of the icon.
    SendMessageA(tree, LB_SETCURSEL, 0, 0);
    host.Pump();
    Capture shot(tree);
    const int y = ItemRect(tree, 1).top + 1, right = 42 + WidthFor(host, {"Alpha", "Beta", "A much longer entry"}) - 12;
    const COLORREF grey = RGB(128, 128, 128), black = RGB(0, 0, 0);
    const int pixels[][3] = {{42, y + 4, grey}, {right + 9, y + 4, grey}, {right - 4, y + 4, grey},
                             {right + 3, y + 5, black}, {right + 3, y + 8, black}};  // frame, separator, arrow
    for (const auto& px : pixels) EXPECT_EQ(shot.At(px[0], px[1]), COLORREF(px[2])) << px[0] << "," << px[1];
    SendMessageA(tree, LB_SETCURSEL, 2, 0);
    host.Pump();
    EXPECT_FALSE(IsWindowVisible(editor)) << "a row without choices hides it";
    EXPECT_EQ(GetWindowLongPtrA(editor, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(lowNode));
}

LONG g_moves = 0;
WNDPROC g_editorProc = nullptr;
LRESULT CALLBACK CountMoves(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGING && !(reinterpret_cast<WINDOWPOS*>(lParam)->flags & SWP_NOMOVE)) ++g_moves;
    return CallWindowProcA(g_editorProc, window, message, wParam, lParam);
}

TEST(ListEditor, LookAlikeUntilSelectedThenTheEditorWhoseChoiceIsStoredAndChecked) {
    Host host;
    HWND list = host.MakeList();
    Bstr low = Bstr::Choices({L"5", L"Low", L"9", L"Highest"}), colours = Bstr::Choices({L"11", L"Red", L"12", L"Green", L"13", L"Blue"});
    AddRow(list, {1, 0, L"1 first"});  // sorts before the choice lists' "5" and "11"
    ListRow* a = AddRow(list, {2, 0, L"", ZN_CHECK_DISABLED, ZN_CHOICE_TEXT1, 0, 0, nullptr, nullptr, low});
    ListRow* b = AddRow(list, {3, 0, L"b", ZN_UNCHECKED, ZN_CHOICE_TEXT2, 0, 0, nullptr, nullptr, colours});
    a->choiceIndex = 1;  // as the editor would leave it
    ZNList_Refresh(list, 0, 0);
    host.Repaint(list);
    HWND editor = GetDlgItem(list, ZN_EDITOR_ID);
    ASSERT_EQ(Rows(list), (Ids{1, 2, 3}));
    ASSERT_TRUE(IsWindow(editor)) << "the look-alike builds the editor on first need";
    EXPECT_FALSE(IsWindowVisible(editor));
    Capture reference(200, 40);  // the chosen entry's text in the dialog's font
    SIZE highest;
    SelectObject(reference.dc(), host.font());
    GetTextExtentPoint32A(reference.dc(), "Highest", 7, &highest);
    reference.Text("Highest", {0, 0, 200, 40}, DT_SINGLELINE | DT_NOPREFIX, host.font());
    const int cx = highest.cx + 26, cy = highest.cy, textX = 2, top = ItemRect(list, 1).top, line = top + 1;
    Capture shot(list);
    const COLORREF frame = RGB(128, 128, 128), white = RGB(255, 255, 255);
    EXPECT_EQ(shot.At(textX, line + 4), frame) << "left side of the frame";
    EXPECT_EQ(shot.At(textX + 3, line - 2), frame) << "top of the frame";
    EXPECT_EQ(shot.At(textX + 3, line + cy + 2), frame) << "bottom of the frame";
    EXPECT_EQ(shot.At(textX + 3, line + 4), white) << "the frame is hollow";
    EXPECT_EQ(DiffersFromRegion(shot, textX + 4, line + 1, reference, highest.cx, cy - 2), "");
    // Selected: the editor stands over the cell, filled with the entries' values.
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    host.Repaint(list);
    ASSERT_TRUE(IsWindowVisible(editor));
    EXPECT_EQ(GetWindowLongPtrA(editor, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(a));
    const RECT at = PlaceIn(editor, list);
    EXPECT_TRUE(at.left == textX && at.top == top - 2 && at.right - at.left == cx) << at.left << "," << at.top << "," << at.right;
    EXPECT_EQ(SendMessageA(editor, CB_GETDROPPEDWIDTH, 0, 0), cx);
    EXPECT_EQ(EntriesOf(editor), (Entries{{"Low", 5}, {"Highest", 9}}));
    EXPECT_EQ(SendMessageA(editor, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(a->choiceValue, 9);

    auto choose = [&](int index) {
        SendMessageA(editor, CB_SETCURSEL, index, 0);
        SendMessageA(list, WM_COMMAND, MAKEWPARAM(ZN_EDITOR_ID, CBN_SELCHANGE), reinterpret_cast<LPARAM>(editor));
        host.Pump();
    };
    choose(0);
    EXPECT_TRUE(a->choiceIndex == 0u && a->choiceValue == 5);
    EXPECT_EQ(a->checkState, ZN_CHECKED) << "a choice checks even a row without a box";
    EXPECT_EQ(host.Posted(ZN_LIST_CHECK_STATE_CHANGED), 1u);
    EXPECT_EQ(DiffersFromImage(Capture(list), 14, 2, top), "") << "repainted with a box";
    // The same editor moved to the other choice row (on its second line), emptied and refilled.
    SendMessageA(list, LB_SETCURSEL, 2, 0);
    host.Repaint(list);
    EXPECT_EQ(GetDlgItem(list, ZN_EDITOR_ID), editor);
    EXPECT_EQ(GetWindowLongPtrA(editor, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(b));
    EXPECT_EQ(PlaceIn(editor, list).top, ItemRect(list, 2).top + 18 - 2);
    EXPECT_EQ(EntriesOf(editor), (Entries{{"Red", 11}, {"Green", 12}, {"Blue", 13}}));
    choose(-1);
    EXPECT_EQ(b->checkState, ZN_UNCHECKED) << "no selection: nothing happens";
    choose(2);
    EXPECT_EQ(b->choiceValue, 13);
    EXPECT_EQ(host.Posted(ZN_LIST_CHECK_STATE_CHANGED), 2u);
    g_moves = 0;  // repainting the row where it stands does not move the editor again
    g_editorProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountMoves)));
    host.Repaint(list);
    host.Repaint(list);
    SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_editorProc));
    EXPECT_EQ(g_moves, 0);
}

// A scroll step hides the editor when the row it serves was already out of view before it.
TEST(Editors, ScrollingHidesTheEditorOnceItsRowHasLeft) {
    Host host;
    HWND tree = host.MakeTree(), list = host.MakeList(450, 40, 400, 300);
    Bstr choices = Bstr::Choices({L"1", L"One", L"2", L"Two"});
    for (DWORD id = 1; id <= 40; ++id) {
        AddNode(tree, {id, 0, L"", ZN_UNCHECKED, ZN_CHOICE_TEXT1, 0, 0, nullptr, nullptr, choices});
        AddRow(list, {id, 0, L"", ZN_UNCHECKED, ZN_CHOICE_TEXT1, 0, 0, nullptr, nullptr, choices});
    }
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    ZNList_Refresh(list, 0, 0);
    for (HWND w : {tree, list})
        for (UINT message : {UINT(WM_VSCROLL), UINT(WM_MOUSEWHEEL)}) {
            SendMessageA(w, LB_SETTOPINDEX, 0, 0);
            SendMessageA(w, LB_SETCURSEL, 0, 0);
            host.Repaint(w);
            HWND editor = GetDlgItem(w, ZN_EDITOR_ID);
            ASSERT_TRUE(IsWindowVisible(editor));
            WPARAM down = message == WM_VSCROLL ? SB_LINEDOWN : MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA));
            for (bool visible : {true, false}) {  // the row was in view before the first step
                SendMessageA(w, message, down, 0);
                host.Pump();
                EXPECT_EQ(IsWindowVisible(editor) != 0, visible) << (w == tree ? "tree " : "list ") << message;
            }
        }
}

}  // namespace
