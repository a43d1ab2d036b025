// The list driven as a user drives it: clicks on and beside check boxes, the space bar and
// other keys, choices in the in-place editor, scrolling with the editor open, resizing; and
// what the host hears of it all.
#include <gtest/gtest.h>

#include "list_rig.h"

using namespace host;

namespace {

struct ListInput : ::testing::Test {
    HostWindow host;
    HWND list = nullptr;
    void SetUp() override { list = host.MakeList(10, 40, 400, 300); }
    void TearDown() override { ZNList_Destroy(list); }
    void Show() {
        ZNList_Refresh(list, 0, 0);
        host.Repaint(list);
        host.notifications.clear();
        host.commands.clear();
    }
    // What the list box tells its parent after a click, with the cursor at a client point.
    void ClickAt(int x, int y, WORD code = LBN_SELCHANGE) {
        POINT p = HostWindow::ToScreen(list, x, y);
        SetCursorPos(p.x, p.y);
        SendMessageA(host.window(), WM_COMMAND, MAKEWPARAM(HostWindow::kListId, code), reinterpret_cast<LPARAM>(list));
        host.Pump();
    }
    // What the owner-drawn list box (no strings) asks its parent about a typed character.
    // Wine's list box asks only with LBS_WANTKEYBOARDINPUT, so the question is put here.
    LRESULT TypeKey(char key) {
        LRESULT caret = SendMessageA(list, LB_GETCARETINDEX, 0, 0);
        LRESULT answer = SendMessageA(host.window(), WM_CHARTOITEM, MAKEWPARAM(key, caret), reinterpret_cast<LPARAM>(list));
        host.Pump();
        return answer;
    }
    size_t Posted() const { return host.CountNotifications(ZN_LIST_CHECK_STATE_CHANGED); }
    // No notification from the list box but the list's own reaches the host.
    void ExpectOnlyListNotifications() {
        for (const Notification& c : host.commands)
            if (c.id == HostWindow::kListId) EXPECT_EQ(c.code, ZN_LIST_CHECK_STATE_CHANGED);
    }
};

TEST_F(ListInput, ClickTogglesOnlyInsideTheCheckBox) {
    HIMAGELIST severities = MakeIcons(3);
    ZNList_AttachSeverityIcons(list, severities);
    ListRow* row = InsertRow(list, {1, L"row", ZN_UNCHECKED, 0, 1});
    Show();
    RECT item = ItemRect(list, 0);
    const int boxX = 22;  // after the severity icon
    struct Case { int x, y; bool toggles; };
    const Case cases[] = {
        {boxX + 1, item.top + 8, true},   {boxX + 17, item.top + 8, true}, {boxX, item.top + 8, false},
        {boxX + 18, item.top + 8, false}, {boxX + 9, item.top + 15, true}, {boxX + 9, item.top + 16, false},
        {boxX - 12, item.top + 8, false},  // on the severity icon
        {boxX + 40, item.top + 8, false},  // on the text
    };
    for (const Case& c : cases) {
        DWORD before = row->checkState;
        size_t posted = Posted();
        ClickAt(c.x, c.y);
        DWORD expected = c.toggles ? (before == ZN_CHECKED ? ZN_UNCHECKED : ZN_CHECKED) : before;
        EXPECT_EQ(row->checkState, expected) << "click at " << c.x << "," << c.y;
        EXPECT_EQ(Posted(), posted + (c.toggles ? 1 : 0)) << "click at " << c.x << "," << c.y;
    }
    // Three toggles: the last one's box is painted at once.
    ASSERT_EQ(row->checkState, ZN_CHECKED);
    ImageStrip strip;
    Capture shot(list);
    EXPECT_EQ(CompareImage(shot, strip, 14, boxX, item.top, RGB(255, 255, 255)), "");
    ExpectOnlyListNotifications();
    ImageList_Destroy(severities);
}

TEST_F(ListInput, DoubleClickTogglesAgainAndStatesFollowTheRules) {
    ListRow* plain = InsertRow(list, {1, L"a plain"});
    ListRow* partly = InsertRow(list, {2, L"b partly"});
    ListRow* disabled = InsertRow(list, {3, L"c disabled", ZN_CHECK_DISABLED});
    NodeInfo update = {};
    update.id = 2;
    update.parentId = ZN_CHANGE_CHECK;
    update.checkState = ZN_PARTLY_CHECKED;
    ZNList_UpdateItem(list, &update, 0);
    Show();
    RECT item = ItemRect(list, 0);
    ClickAt(11, item.top + 8, LBN_SELCHANGE);
    ClickAt(11, item.top + 8, LBN_DBLCLK);
    EXPECT_EQ(plain->checkState, ZN_UNCHECKED) << "toggled twice";
    EXPECT_EQ(Posted(), 2u);

    SendMessageA(list, LB_SETCURSEL, IndexOf(list, partly), 0);
    item = ItemRect(list, IndexOf(list, partly));
    ClickAt(11, item.top + 8);
    EXPECT_EQ(partly->checkState, ZN_CHECKED);

    SendMessageA(list, LB_SETCURSEL, IndexOf(list, disabled), 0);
    item = ItemRect(list, IndexOf(list, disabled));
    for (int x : {3, 11, 19}) ClickAt(x, item.top + 8);
    TypeKey(' ');
    EXPECT_EQ(disabled->checkState, ZN_CHECK_DISABLED);
    EXPECT_EQ(Posted(), 3u);

    // Other notification codes of the list box never reach the host.
    for (WORD code : {WORD(LBN_SETFOCUS), WORD(LBN_KILLFOCUS), WORD(LBN_SELCANCEL), WORD(LBN_ERRSPACE)})
        ClickAt(11, item.top + 8, code);
    SetFocus(host.window());
    SetFocus(list);
    host.Pump();
    EXPECT_EQ(Posted(), 3u);
    ExpectOnlyListNotifications();
    EXPECT_FALSE(host.commands.empty()) << "the list's own notifications do reach the host";
}

TEST_F(ListInput, SpaceTogglesOtherKeysAnswerTheSelection) {
    ListRow* first = InsertRow(list, {1, L"alpha"});
    ListRow* second = InsertRow(list, {2, L"beta", ZN_CHECKED});
    Show();
    SendMessageA(list, LB_SETCURSEL, IndexOf(list, second), 0);
    TypeKey(' ');
    EXPECT_EQ(second->checkState, ZN_UNCHECKED);
    EXPECT_EQ(first->checkState, ZN_UNCHECKED);
    EXPECT_EQ(Posted(), 1u);
    TypeKey('x');
    EXPECT_EQ(second->checkState, ZN_UNCHECKED);
    EXPECT_EQ(Posted(), 1u);

    // The answers the parent gives to the list box.
    LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    EXPECT_EQ(TypeKey('x'), selected);
    EXPECT_EQ(TypeKey(' '), -1);
    EXPECT_EQ(second->checkState, ZN_CHECKED);
    EXPECT_EQ(Posted(), 2u);
    // A key typed into the list box itself reaches the same handler.
    SendMessageA(list, WM_CHAR, ' ', 0);
    host.Pump();
    EXPECT_EQ(second->checkState, ZN_UNCHECKED);
    EXPECT_EQ(Posted(), 3u);
    HWND other = CreateWindowExA(0, "LISTBOX", "", WS_CHILD, 0, 0, 50, 50, host.window(), nullptr, nullptr, nullptr);
    EXPECT_EQ(SendMessageA(host.window(), WM_CHARTOITEM, MAKEWPARAM(' ', 0), reinterpret_cast<LPARAM>(other)), selected);
    EXPECT_EQ(second->checkState, ZN_UNCHECKED) << "a space in another list box toggles nothing";
    DestroyWindow(other);
}

// Counts the moves of a window.
LONG g_moves = 0;
WNDPROC g_editorProc = nullptr;
LRESULT CALLBACK CountMoves(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGING && !(reinterpret_cast<WINDOWPOS*>(lParam)->flags & SWP_NOMOVE)) ++g_moves;
    return CallWindowProcA(g_editorProc, window, message, wParam, lParam);
}

void Choose(HWND list, HWND editor, int index) {
    SendMessageA(editor, CB_SETCURSEL, index, 0);
    SendMessageA(list, WM_COMMAND, MAKEWPARAM(ZN_EDITOR_ID, CBN_SELCHANGE), reinterpret_cast<LPARAM>(editor));
}

TEST_F(ListInput, EditorChoicesAreStoredAndChecked) {
    Bstr low = Bstr::Choices({L"5", L"Low", L"9", L"High"});
    Bstr colours = Bstr::Choices({L"11", L"Red", L"12", L"Green", L"13", L"Blue"});
    ListRow* a = InsertChoiceRow(list, 1, L"a", 2, low, ZN_CHECK_DISABLED);
    ListRow* b = InsertChoiceRow(list, 2, L"b", 2, colours, ZN_UNCHECKED);
    Show();
    HWND editor = EditorOf(list);
    ASSERT_TRUE(IsWindowVisible(editor));
    ASSERT_EQ(GetWindowLongPtrA(editor, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(a));
    Choose(list, editor, 1);
    host.Pump();
    EXPECT_EQ(a->choiceIndex, 1u);
    EXPECT_EQ(a->choiceValue, 9);
    EXPECT_EQ(a->checkState, ZN_CHECKED) << "a choice checks even a row without a box";
    EXPECT_EQ(Posted(), 1u);
    // The row is repainted with a box now.
    host.Pump();
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    host.Repaint(list);
    Capture shot(list);
    ImageStrip strip;
    EXPECT_EQ(CompareImage(shot, strip, 14, 2, ItemRect(list, 0).top, RGB(255, 255, 255)), "");

    // The same editor moved to the second row, emptied and refilled.
    EXPECT_EQ(EditorOf(list), editor);
    EXPECT_EQ(GetWindowLongPtrA(editor, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(b));
    ASSERT_EQ(SendMessageA(editor, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(editor, CB_GETITEMDATA, 2, 0), 13);
    Choose(list, editor, -1);  // no selection: nothing happens
    host.Pump();
    EXPECT_EQ(b->checkState, ZN_UNCHECKED);
    EXPECT_EQ(Posted(), 1u);
    Choose(list, editor, 2);
    host.Pump();
    EXPECT_EQ(b->choiceValue, 13);
    EXPECT_EQ(Posted(), 2u);

    // Repainting the row where it stands does not move the editor again.
    g_moves = 0;
    g_editorProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountMoves)));
    host.Repaint(list);
    host.Repaint(list);
    SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_editorProc));
    EXPECT_EQ(g_moves, 0);
    ExpectOnlyListNotifications();
}

TEST_F(ListInput, ScrollingHidesTheEditorOnceItsRowHasLeft) {
    Bstr choices = Bstr::Choices({L"1", L"One", L"2", L"Two"});
    for (DWORD id = 1; id <= 40; ++id) InsertChoiceRow(list, id, L"row", 2, choices, ZN_UNCHECKED);
    Show();
    HWND editor = EditorOf(list);
    ASSERT_TRUE(IsWindowVisible(editor));
    for (UINT message : {UINT(WM_VSCROLL), UINT(WM_MOUSEWHEEL)}) {
        SendMessageA(list, LB_SETTOPINDEX, 0, 0);
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        host.Repaint(list);
        ASSERT_TRUE(IsWindowVisible(editor));
        WPARAM down = message == WM_VSCROLL ? SB_LINEDOWN : MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA));
        SendMessageA(list, message, down, 0);  // the row was in view before this scroll
        host.Pump();
        EXPECT_TRUE(IsWindowVisible(editor)) << message;
        SendMessageA(list, message, down, 0);
        host.Pump();
        EXPECT_FALSE(IsWindowVisible(editor)) << message;
    }
}

TEST_F(ListInput, HeaderBandFollowsTheResizedList) {
    ZNList_AddHeaderColumn(list, L"Name", 0);
    InsertRow(list, {1, L"row"});
    Show();
    for (RECT to : {RECT{30, 80, 430, 280}, RECT{5, 60, 605, 460}}) {
        MoveWindow(list, to.left, to.top, to.right - to.left, to.bottom - to.top, TRUE);
        host.Pump();
        RECT band;
        GetWindowRect(HeaderParentOf(host.window()), &band);
        MapWindowPoints(nullptr, host.window(), reinterpret_cast<POINT*>(&band), 2);
        EXPECT_EQ(band.left, to.left);
        EXPECT_EQ(band.top, to.top - 20);
        EXPECT_EQ(band.right, to.right);
        EXPECT_EQ(band.bottom, to.top);
    }
}

}  // namespace
