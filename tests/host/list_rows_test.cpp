// List rows as a host fills, updates, counts, selects and clears them, reading them back
// from the chain; the parent hook over the list's life; texts shared with tree nodes.
#include <gtest/gtest.h>

#include "list_support.h"

using namespace host;

namespace {

TEST(ListLife, ParentHookAndPropertyLastAsLongAsTheList) {
    HostWindow host;
    LONG_PTR before = GetWindowLongPtrA(host.window(), GWLP_WNDPROC);
    HWND list = host.MakeList();
    EXPECT_NE(GetWindowLongPtrA(host.window(), GWLP_WNDPROC), before);
    EXPECT_NE(GetPropA(host.window(), "ZNListCt"), nullptr);
    SendMessageA(host.window(), WM_COMMAND, MAKEWPARAM(55, ZN_LIST_CHECK_STATE_CHANGED), 0);
    EXPECT_EQ(host.notifications.size(), 1u) << "what the list does not take reaches the host";
    ASSERT_EQ(ZNList_AddHeaderColumn(list, L"Name", 0), 1);
    HWND headerParent = GetDlgItem(host.window(), HostWindow::kListId + 2);
    EXPECT_EQ(ZNList_Destroy(list), 1);
    EXPECT_EQ(GetWindowLongPtrA(host.window(), GWLP_WNDPROC), before);
    EXPECT_EQ(GetPropA(host.window(), "ZNListCt"), nullptr);
    EXPECT_FALSE(IsWindow(headerParent)) << "its messages would reach a freed list";
}

TEST(ListRows, InsertNormalisesStateAndSeverityAndUpdatesDoNot) {
    ListHost h;
    struct { DWORD state, severity, wantState, wantSeverity; } cases[] = {
        {0, 0, 3, 0}, {1, 3, 1, 3}, {4, 4, 3, 1}, {0x10002, 7, 2, 1}, {0x20000, 0xFFFFFFFF, 3, 1}};
    for (const auto& c : cases) {
        NodeInfo info = {0, 1, 0, c.state, ZN_BOLD_TEXT2, 0, 0x12345, c.severity};
        ListRow* row = ZNList_Insert(h.list, &info);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->checkState, c.wantState);
        EXPECT_EQ(row->severity, c.wantSeverity);
        EXPECT_EQ(row->extraIcon, 0x12345u);
    }
    Bstr empty(L""), choice = Bstr::Choices({L"1", L"Low"});
    NodeInfo info = {0, 2, 0, 0, 0, 0, 0, 0, empty, nullptr, choice};
    ListRow* row = ZNList_Insert(h.list, &info);
    EXPECT_EQ(row->textCount, 2) << "an empty text counts, a null one does not";
    EXPECT_EQ(TextOf(row->texts[2]), std::wstring(L"1\0Low\0\0", 7));
    // Updates act on the first row with the id and store what they are given.
    info = {0, 1, ZN_CHANGE_SEVERITY | ZN_CHANGE_EXTRA_ICON | ZN_CHANGE_TEXT1, 0, 0, 0, 0x50003, 12, choice};
    EXPECT_EQ(ZNList_UpdateItem(h.list, &info, 0), 1);
    const ListRow* first = ZNList_GetListHead(h.list);
    EXPECT_EQ(first->severity, 12u);
    EXPECT_EQ(first->extraIcon, 3u);
    EXPECT_EQ(first->textCount, 1);
    EXPECT_EQ(first->next->severity, 3u) << "the second row with the id is untouched";
    info.parentId = ZN_CHANGE_TEXT1 | ZN_CHANGE_TEXT2;  // clears text 1, text 2 is already empty
    info.text1 = nullptr;
    EXPECT_EQ(ZNList_UpdateItem(h.list, &info, 0), 1);
    EXPECT_EQ(first->textCount, 0);
    EXPECT_EQ(ZNList_GetListCount(h.list), 6);
    LONG count = 0;
    info.id = 9;
    EXPECT_EQ(ZNList_UpdateItem(h.list, &info, 0), 0) << "unknown id";
    EXPECT_EQ(ZNList_UpdateEntry(h.list, &info, 0, &count), 0);
    EXPECT_EQ(ZNList_UpdateItem(h.list, nullptr, 0), 0);
    EXPECT_EQ(ZNList_UpdateEntry(h.list, nullptr, 0, &count), 0);
    EXPECT_EQ(ZNList_Insert(h.list, nullptr), nullptr);
    EXPECT_EQ(ZNList_InsertFromTree(h.list, nullptr), nullptr);
    EXPECT_EQ(ZNList_GetListCount(h.list), 6);
}

TEST(ListNotifications, EachCheckUpdatePostsExactlyOne) {
    struct {
        const char* what;
        bool entry;
        DWORD mask, state;
        int result;
        size_t notes;
        DWORD rowState, recordState;
        LONG counted;
    } cases[] = {
        {"item check", false, 0x01, 2, 1, 1, 2, 2, 0},     {"item partly", false, 0x01, 4, 1, 1, 4, 4, 0},
        {"item text", false, 0x10, 2, 1, 0, 3, 2, 0},      {"entry partly", true, 0x01, 4, 1, 1, 2, 2, +1},
        {"entry check and text", true, 0x11, 2, 1, 1, 2, 2, +1}, {"entry uncheck", true, 0x01, 3, 1, 1, 3, 3, -1},
        {"entry text", true, 0x20, 2, 1, 0, 3, 2, 0},      {"entry icons only", true, 0x0C, 2, 0, 0, 3, 2, 0},
    };
    for (const auto& c : cases) {
        ListHost h;
        InsertRow(h.list, 1, ZN_UNCHECKED, L"one");
        ZNList_Refresh(h.list, 0, 0);
        h.host.Pump();
        Bstr text(L"new");
        NodeInfo info = {0, 1, c.mask, c.state, 0, 0, 0, 0, text, text};
        LONG count = 10;
        EXPECT_EQ(c.entry ? ZNList_UpdateEntry(h.list, &info, 0, &count) : ZNList_UpdateItem(h.list, &info, 0),
                  c.result) << c.what;
        h.host.Pump();
        ASSERT_EQ(h.host.notifications.size(), c.notes) << c.what;
        for (const Notification& note : h.host.notifications)
            EXPECT_TRUE(note.code == 0x2321 && note.id == HostWindow::kListId && note.window == h.list);
        EXPECT_EQ(ZNList_GetListHead(h.list)->checkState, c.rowState) << c.what;
        EXPECT_EQ(info.checkState, c.recordState) << c.what;
        EXPECT_EQ(count, 10 + c.counted) << c.what;
        EXPECT_EQ(ZNList_GetSelectedNodeCount(h.list), c.rowState == 2 ? 1 : 0) << "state 4 is not counted";
    }
}

TEST(ListRows, UpdateEntryDrawsTheNewCheckBoxAtOnce) {
    ListHost h;
    InsertRow(h.list, 1, ZN_UNCHECKED, L"one");
    InsertRow(h.list, 2, ZN_UNCHECKED, L"two");
    ZNList_Refresh(h.list, 0, 0);
    h.host.Pump();
    HIMAGELIST strip = ImageList_LoadImageA(GetModuleHandleA("ZnTreeCt.dll"), MAKEINTRESOURCEA(226), 18, 0,
                                            CLR_DEFAULT, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    RECT item;
    SendMessageA(h.list, LB_GETITEMRECT, SendMessageA(h.list, LB_FINDSTRING, -1, (LPARAM)RowWithId(h.list, 2)),
                 (LPARAM)&item);
    // The box on screen against the strip's image drawn here on the window colour.
    auto same = [&](int image) {
        HDC screen = GetDC(h.list), dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 18, 18);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT r = {0, 0, 18, 18};
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
        ImageList_Draw(strip, image, dc, 0, 0, ILD_NORMAL);
        int differ = 0;
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 18; ++x) differ += GetPixel(dc, x, y) != GetPixel(screen, 2 + x, item.top + y);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(h.list, screen);
        return differ == 0;
    };
    NodeInfo info = {0, 2, ZN_CHANGE_CHECK, ZN_CHECKED};
    EXPECT_EQ(ZNList_UpdateEntry(h.list, &info, 0, &h.host.checkedCount), 1);
    EXPECT_TRUE(same(14) && !same(13));
    info.checkState = ZN_UNCHECKED;
    EXPECT_EQ(ZNList_UpdateEntry(h.list, &info, 0, &h.host.checkedCount), 1);
    EXPECT_TRUE(same(13) && !same(14));
    ImageList_Destroy(strip);
}

// The tree's nodes hold blocks of the library: here a node aliases a row of another list.
TEST(ListRows, RowsFromTreeNodesShareTheirTextsUntilCleared) {
    ListHost h, other;
    Bstr hello(L"hello"), empty(L""), third(L"third");
    NodeInfo record = {0, 0, 0, 0, 0, 0, 0, 0, hello, empty, third};
    ListRow* origin = ZNList_Insert(other.list, &record);
    TreeNode node = {0, 42, 0, ZN_PARTLY_CHECKED, 9, 3};
    for (int i = 0; i < 3; ++i) node.texts[i] = origin->texts[i];
    node.flags = ZN_CHOICE_TEXT3;
    ListRow* row = ZNList_InsertFromTree(h.list, &node);
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(row->id == 42 && row->checkState == 3 && row->severity == 1 && row->flags == ZN_CHOICE_TEXT3);
    EXPECT_EQ(row->textCount, 2) << "the node's empty text is left out";
    EXPECT_EQ(row->texts[0].block, origin->texts[0].block);
    EXPECT_EQ(row->texts[1].block, nullptr);
    EXPECT_EQ(origin->texts[0].block->references, 2);
    NodeInfo clear = {0, 42, ZN_CHANGE_TEXT1};
    EXPECT_EQ(ZNList_UpdateItem(h.list, &clear, 0), 1);
    EXPECT_EQ(TextOf(row->texts[0]), L"");
    EXPECT_EQ(TextOf(node.texts[0]), L"hello") << "the other holder keeps its text";
    EXPECT_EQ(origin->texts[0].block->references, 1);
    EXPECT_EQ(row->textCount, 1);
    ZNList_InsertFromTree(h.list, &node);
    EXPECT_EQ(ZNList_Clear(h.list), 1);
    EXPECT_EQ(origin->texts[2].block->references, 1);
    EXPECT_EQ(TextOf(origin->texts[2]), L"third");
}

TEST(ListRows, RefreshShowsSelectsCountsAndClearEmpties) {
    ListHost h;
    EXPECT_EQ(ZNList_Refresh(h.list, 0, 0), 0);
    EXPECT_EQ(ZNList_GetListHead(h.list), nullptr);
    InsertRow(h.list, 1, ZN_CHECKED, L"one");
    InsertRow(h.list, 2, ZN_UNCHECKED, L"two", L" -12 days", ZN_CHOICE_TEXT2);
    InsertRow(h.list, 3, ZN_CHECKED, L"three", L"3");
    ASSERT_EQ(ZNList_Refresh(h.list, 0, 0), 1);
    EXPECT_EQ(RowWithId(h.list, 2)->choiceValue, -12);
    EXPECT_EQ(RowWithId(h.list, 2)->choiceValueSet, 1);
    EXPECT_EQ(RowWithId(h.list, 3)->choiceValueSet, 0);
    for (LRESULT i = 0; i < 3; ++i)  // rows of one and two texts
        EXPECT_EQ(SendMessageA(h.list, LB_GETITEMHEIGHT, i, 0), ShownRow(h.list, i)->textCount == 1 ? 18 : 40);
    InsertRow(h.list, 4, ZN_CHECKED, L"four");
    EXPECT_EQ(ZNList_GetListCount(h.list), 4) << "counted before it is shown";
    EXPECT_EQ(ZNList_GetSelectedNodeCount(h.list), 3);
    EXPECT_EQ(ZNList_SelectNode(h.list, 4), 0) << "not shown yet";
    EXPECT_EQ(ZNList_SelectNode(h.list, 3), 1);
    EXPECT_NE(SelectedId(h.list), 3u) << "the selection is posted";
    h.host.Pump();
    EXPECT_EQ(SelectedId(h.list), 3u);
    EXPECT_EQ(ZNList_Clear(h.list), 1);
    EXPECT_EQ(SendMessageA(h.list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(ZNList_GetListHead(h.list), nullptr);
    EXPECT_EQ(ZNList_GetListCount(h.list) + ZNList_GetSelectedNodeCount(h.list) + ZNList_SelectNode(h.list, 3), 0);
}

}  // namespace
