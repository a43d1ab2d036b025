// The choice editor as both controls build it: entry labels converted to the ANSI code page as
// node and row texts are (a letter and a combining accent become one precomposed character), and
// a chosen entry past the list selecting nothing and leaving the chosen value alone.
#include <gtest/gtest.h>
#include "harness.h"

using namespace zt;

TEST(ChoiceEditors, ReadAsTheControlsOtherTextsAndStayWithinTheirEntries) {
    Host host;
    HWND tree = host.MakeTree(5, 5, 300, 200), list = host.MakeList(320, 30, 400, 200);
    const wchar_t* accented = L"e\u0301t\u00e9";  // one precomposed letter once converted
    Bstr choices = Bstr::Choices({L"1", accented, L"2", L"plain"});
    const Item item = {1, 0, accented, ZN_UNCHECKED, ZN_CHOICE_TEXT2, 0, 0, nullptr, nullptr, choices};
    TreeNode* node = AddNode(tree, item);
    ListRow* row = AddRow(list, item);
    node->choiceIndex = row->choiceIndex = 2;  // one past the two entries
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount), ZNList_Refresh(list, 0, 0);
    host.Repaint(tree), host.Repaint(list);
    // Painted, the first row shows its text 1 through the tree's own narrow copy, and its choice
    // line through the editor standing over the selected row.
    const char* narrow = node->texts[0].block->narrow;
    ASSERT_NE(narrow, nullptr);
    for (HWND control : {tree, list}) {
        SCOPED_TRACE(control == tree ? "tree" : "list");
        HWND editor = GetDlgItem(control, ZN_EDITOR_ID);
        EXPECT_TRUE(editor && IsWindowVisible(editor)) << "the editor stands over the selected row's choice line";
        char entry[32] = {};
        SendMessageA(editor, CB_GETLBTEXT, 0, LPARAM(entry));
        EXPECT_STREQ(entry, narrow);
        EXPECT_EQ(SendMessageA(editor, CB_GETCURSEL, 0, 0), CB_ERR);
    }
    EXPECT_EQ(node->choiceValue, 1) << "the value a refresh reads from the list";
    EXPECT_EQ(row->choiceValue, 1);
}
