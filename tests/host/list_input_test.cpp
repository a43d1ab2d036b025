// The list driven as a user drives it: clicks on and beside check boxes, keys, choices in the
// in-place editor, scrolling with the editor open, resizing; and what the host hears of it.
#include <gtest/gtest.h>

#include "list_rig.h"

using namespace host;

namespace {

struct ListInput : ::testing::Test, ListHost {
    // What the list box tells its parent after a click, with the cursor at a client point.
    void ClickAt(int x, int y, WORD code = LBN_SELCHANGE) {
        POINT p = HostWindow::ToScreen(list, x, y);
        SetCursorPos(p.x, p.y);
        SendMessageA(host.window(), WM_COMMAND, MAKEWPARAM(HostWindow::kListId, code), reinterpret_cast<LPARAM>(list));
        host.Pump();
    }
    // Wine's list box asks its parent about typed characters only with LBS_WANTKEYBOARDINPUT.
    LRESULT TypeKey(char key, HWND box = nullptr) {
        WPARAM w = MAKEWPARAM(key, SendMessageA(list, LB_GETCARETINDEX, 0, 0));
        LRESULT answer = SendMessageA(host.window(), WM_CHARTOITEM, w, reinterpret_cast<LPARAM>(box ? box : list));
        host.Pump();
        return answer;
    }
    size_t Posted() const { return host.CountNotifications(ZN_LIST_CHECK_STATE_CHANGED); }
    void TearDown() override {  // no notification of the list box but the list's own reaches the host
        for (const Notification& c : host.commands)
            if (c.id == HostWindow::kListId) EXPECT_EQ(c.code, ZN_LIST_CHECK_STATE_CHANGED);
    }
};

TEST_F(ListInput, ClickTogglesOnlyInsideTheCheckBox) {
    HIMAGELIST severities = MakeIcons(3);
    ZNList_AttachSeverityIcons(list, severities);
    ListRow* row = InsertRow(list, {1, L"row", ZN_UNCHECKED, 0, 1});
    Show();
    const int top = ItemRect(list, 0).top, box = 22;  // after the severity icon
    struct { int x, y; bool toggles; } cases[] = {
        {box + 1, 8, true},   {box + 17, 8, true}, {box, 8, false},    {box + 18, 8, false},
        {box + 9, 15, true},  {box + 9, 16, false}, {box - 12, 8, false}, {box + 40, 8, false}};
    for (const auto& c : cases) {
        DWORD before = row->checkState;
        size_t posted = Posted();
        ClickAt(c.x, top + c.y);
        EXPECT_EQ(row->checkState, c.toggles ? (before == ZN_CHECKED ? ZN_UNCHECKED : ZN_CHECKED) : before) << c.x << "," << c.y;
        EXPECT_EQ(Posted(), posted + c.toggles) << c.x << "," << c.y;
    }
    ASSERT_EQ(row->checkState, ZN_CHECKED);  // three toggles: the last one's box is painted at once
    EXPECT_EQ(CompareImage(Capture(list), ImageStrip(), 14, box, top), "");
    ImageList_Destroy(severities);
}

TEST_F(ListInput, ClicksAndKeysFollowTheStateRules) {
    ListRow* plain = InsertRow(list, {1, L"a plain"});
    ListRow* partly = InsertRow(list, {2, L"b partly"});
    ListRow* disabled = InsertRow(list, {3, L"c disabled", ZN_CHECK_DISABLED});
    ListRow* checked = InsertRow(list, {4, L"d checked", ZN_CHECKED});
    SetState(list, 2, ZN_PARTLY_CHECKED);
    Show();
    auto clickBox = [&](const ListRow* row, WORD code = LBN_SELCHANGE, int x = 11) {
        SendMessageA(list, LB_SETCURSEL, IndexOf(list, row), 0);
        ClickAt(x, ItemRect(list, IndexOf(list, row)).top + 8, code);
    };
    clickBox(plain);
    clickBox(plain, LBN_DBLCLK);
    EXPECT_EQ(plain->checkState, ZN_UNCHECKED) << "toggled twice";
    clickBox(partly);
    EXPECT_EQ(partly->checkState, ZN_CHECKED);
    for (int x : {3, 11, 19}) clickBox(disabled, LBN_SELCHANGE, x);
    TypeKey(' ');
    EXPECT_EQ(disabled->checkState, ZN_CHECK_DISABLED);
    for (WORD code : {WORD(LBN_SETFOCUS), WORD(LBN_KILLFOCUS), WORD(LBN_SELCANCEL), WORD(LBN_ERRSPACE)}) clickBox(plain, code);
    SetFocus(host.window());
    SetFocus(list);
    host.Pump();
    EXPECT_EQ(Posted(), 3u);
    EXPECT_EQ(plain->checkState, ZN_UNCHECKED);
    // The space toggles the selected row; other keys answer the selection, the space -1.
    SendMessageA(list, LB_SETCURSEL, IndexOf(list, checked), 0);
    LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    EXPECT_EQ(TypeKey(' '), -1);
    EXPECT_EQ(checked->checkState, ZN_UNCHECKED);
    EXPECT_EQ(TypeKey('x'), selected);
    EXPECT_EQ(checked->checkState, ZN_UNCHECKED);
    SendMessageA(list, WM_CHAR, ' ', 0);  // typed into the list box itself: the same handler
    host.Pump();
    EXPECT_EQ(checked->checkState, ZN_CHECKED);
    EXPECT_EQ(Posted(), 5u);
    HWND other = CreateWindowExA(0, "LISTBOX", "", WS_CHILD, 0, 0, 50, 50, host.window(), nullptr, nullptr, nullptr);
    EXPECT_EQ(TypeKey(' ', other), -1) << "the parent's own procedure answers another list box's keys";
    EXPECT_EQ(checked->checkState, ZN_CHECKED) << "a space in another list box toggles nothing";
    DestroyWindow(other);
    EXPECT_FALSE(host.commands.empty()) << "the list's own notifications do reach the host";
}

LONG g_moves = 0;
WNDPROC g_editorProc = nullptr;
LRESULT CALLBACK CountMoves(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGING && !(reinterpret_cast<WINDOWPOS*>(lParam)->flags & SWP_NOMOVE)) ++g_moves;
    return CallWindowProcA(g_editorProc, window, message, wParam, lParam);
}

TEST_F(ListInput, EditorChoicesAreStoredAndChecked) {
    Bstr low = Bstr::Choices({L"5", L"Low", L"9", L"High"});
    Bstr colours = Bstr::Choices({L"11", L"Red", L"12", L"Green", L"13", L"Blue"});
    ListRow* a = InsertChoiceRow(list, 1, 2, low, ZN_CHECK_DISABLED, L"a");
    ListRow* b = InsertChoiceRow(list, 2, 2, colours, ZN_UNCHECKED, L"b");
    Show();
    HWND box = editor();
    auto choose = [&](int index) {
        SendMessageA(box, CB_SETCURSEL, index, 0);
        SendMessageA(list, WM_COMMAND, MAKEWPARAM(ZN_EDITOR_ID, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
        host.Pump();
    };
    ASSERT_TRUE(IsWindowVisible(box));
    ASSERT_EQ(GetWindowLongPtrA(box, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(a));
    choose(1);
    EXPECT_TRUE(a->choiceIndex == 1u && a->choiceValue == 9);
    EXPECT_EQ(a->checkState, ZN_CHECKED) << "a choice checks even a row without a box";
    EXPECT_EQ(Posted(), 1u);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    host.Repaint(list);
    EXPECT_EQ(CompareImage(Capture(list), ImageStrip(), 14, 2, ItemRect(list, 0).top), "") << "repainted with a box";
    // The same editor moved to the second row, emptied and refilled.
    EXPECT_EQ(editor(), box);
    EXPECT_EQ(GetWindowLongPtrA(box, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(b));
    ASSERT_EQ(SendMessageA(box, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(box, CB_GETITEMDATA, 2, 0), 13);
    choose(-1);
    EXPECT_EQ(b->checkState, ZN_UNCHECKED) << "no selection: nothing happens";
    choose(2);
    EXPECT_EQ(b->choiceValue, 13);
    EXPECT_EQ(Posted(), 2u);
    g_moves = 0;  // repainting the row where it stands does not move the editor again
    g_editorProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountMoves)));
    host.Repaint(list);
    host.Repaint(list);
    SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_editorProc));
    EXPECT_EQ(g_moves, 0);
}

TEST_F(ListInput, ScrollingHidesTheEditorOnceItsRowHasLeft) {
    Bstr choices = Bstr::Choices({L"1", L"One", L"2", L"Two"});
    for (DWORD id = 1; id <= 40; ++id) InsertChoiceRow(list, id, 2, choices);
    Show();
    for (UINT message : {UINT(WM_VSCROLL), UINT(WM_MOUSEWHEEL)}) {
        SendMessageA(list, LB_SETTOPINDEX, 0, 0);
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        host.Repaint(list);
        ASSERT_TRUE(IsWindowVisible(editor()));
        WPARAM down = message == WM_VSCROLL ? SB_LINEDOWN : MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA));
        for (bool visible : {true, false}) {  // the row was in view before the first scroll
            SendMessageA(list, message, down, 0);
            host.Pump();
            EXPECT_EQ(IsWindowVisible(editor()) != 0, visible) << message;
        }
    }
}

TEST_F(ListInput, HeaderFollowsTheResizedAndScrolledList) {
    ZNList_AddHeaderColumn(list, L"Name", 0);
    ZNList_AddHeaderColumn(list, L"Wide", 0);
    InsertRow(list, {1, L"row"});
    Show();
    for (RECT to : {RECT{30, 80, 430, 280}, RECT{5, 60, 605, 460}}) {
        MoveWindow(list, to.left, to.top, to.right - to.left, to.bottom - to.top, TRUE);
        host.Pump();
        RECT band;
        GetWindowRect(HeaderParentOf(host.window()), &band);
        MapWindowPoints(nullptr, host.window(), reinterpret_cast<POINT*>(&band), 2);
        EXPECT_TRUE(band.left == to.left && band.top == to.top - 20 && band.right == to.right && band.bottom == to.top);
    }
    SetColumnWidth(header(), 1, 900);
    PostMessageA(HeaderParentOf(host.window()), ZN_HEADER_RELAYOUT, 0, 0);
    host.Pump();
    for (int x : {30, 0}) {
        SendMessageA(list, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, x), 0);
        host.Repaint(list);
        RECT at;
        GetWindowRect(header(), &at);
        MapWindowPoints(nullptr, HeaderParentOf(host.window()), reinterpret_cast<POINT*>(&at), 2);
        EXPECT_EQ(at.left, -x);
    }
}

}  // namespace
