// List rows as a host fills, updates, counts, selects and clears them; the parent hook over the
// list's life; the check-state notification; texts shared with tree nodes.
#include <gtest/gtest.h>

#include "list_rig.h"

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
    HWND band = HeaderParentOf(host.window());
    EXPECT_EQ(ZNList_Destroy(list), 1);
    EXPECT_EQ(GetWindowLongPtrA(host.window(), GWLP_WNDPROC), before);
    EXPECT_EQ(GetPropA(host.window(), "ZNListCt"), nullptr);
    EXPECT_FALSE(IsWindow(band)) << "its messages would reach a freed list";
}

TEST(ListRows, InsertNormalisesStateAndSeverityAndUpdatesDoNot) {
    ListHost h;
    struct { DWORD state, severity, wantState, wantSeverity; } cases[] = {
        {0, 0, 3, 0}, {1, 3, 1, 3}, {4, 4, 3, 1}, {0x10002, 7, 2, 1}, {0x20000, 0xFFFFFFFF, 3, 1}};
    for (const auto& c : cases) {
        NodeInfo info = {0, 1, 0, c.state, ZN_BOLD_TEXT2, 0, 0x12345, c.severity};
        ListRow* row = ZNList_Insert(h.list, &info);
        ASSERT_NE(row, nullptr);
        EXPECT_TRUE(row->checkState == c.wantState && row->severity == c.wantSeverity && row->extraIcon == 0x12345u);
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
    EXPECT_TRUE(first->severity == 12u && first->extraIcon == 3u && first->textCount == 1);
    EXPECT_EQ(first->next->severity, 3u) << "the second row with the id is untouched";
    info.parentId = ZN_CHANGE_TEXT1 | ZN_CHANGE_TEXT2;
    info.text1 = nullptr;
    EXPECT_EQ(ZNList_UpdateItem(h.list, &info, 0), 1);
    EXPECT_EQ(first->textCount, 0);
    LONG count = 0;
    info.id = 9;
    EXPECT_EQ(ZNList_UpdateItem(h.list, &info, 0) + ZNList_UpdateEntry(h.list, &info, 0, &count), 0) << "unknown id";
    EXPECT_EQ(ZNList_UpdateItem(h.list, nullptr, 0) + ZNList_UpdateEntry(h.list, nullptr, 0, &count), 0);
    EXPECT_TRUE(ZNList_Insert(h.list, nullptr) == nullptr && ZNList_InsertFromTree(h.list, nullptr) == nullptr);
    EXPECT_EQ(ZNList_GetListCount(h.list), 6);
}

TEST(ListNotifications, EachCheckUpdatePostsExactlyOneAndDrawsTheBox) {
    struct {
        bool entry;
        DWORD mask, state;
        int result;
        size_t notes;
        DWORD rowState, recordState;
        LONG counted;
    } cases[] = {{false, 0x01, 2, 1, 1, 2, 2, 0}, {false, 0x01, 4, 1, 1, 4, 4, 0}, {false, 0x10, 2, 1, 0, 3, 2, 0},
                 {true, 0x01, 4, 1, 1, 2, 2, +1}, {true, 0x11, 2, 1, 1, 2, 2, +1}, {true, 0x01, 3, 1, 1, 3, 3, -1},
                 {true, 0x20, 2, 1, 0, 3, 2, 0},  {true, 0x0C, 2, 0, 0, 3, 2, 0}};
    ImageStrip strip;
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        ListHost h;
        InsertRow(h.list, {1, L"one"});
        InsertRow(h.list, {2, L"two"});
        h.Show();
        Bstr text(L"new");
        NodeInfo info = {0, 2, c.mask, c.state, 0, 0, 0, 0, text, text};
        LONG count = 10;
        EXPECT_EQ(c.entry ? ZNList_UpdateEntry(h.list, &info, 0, &count) : ZNList_UpdateItem(h.list, &info, 0), c.result);
        if (c.entry) {  // UpdateEntry repaints the new box at once
            Capture shot(h.list, false);
            const ListRow* row = ZNList_GetListHead(h.list)->next;
            int image = row->checkState == ZN_CHECKED ? 14 : 13;
            EXPECT_EQ(CompareImage(shot, strip, image, 2, ItemRect(h.list, IndexOf(h.list, row)).top), "");
        }
        h.host.Pump();
        ASSERT_EQ(h.host.notifications.size(), c.notes);
        for (const Notification& note : h.host.notifications)
            EXPECT_TRUE(note.code == 0x2321 && note.id == HostWindow::kListId && note.window == h.list);
        EXPECT_EQ(ZNList_GetListHead(h.list)->next->checkState, c.rowState);
        EXPECT_EQ(info.checkState, c.recordState);
        EXPECT_EQ(count, 10 + c.counted);
        EXPECT_EQ(ZNList_GetSelectedNodeCount(h.list), c.rowState == 2 ? 1 : 0) << "state 4 is not counted";
    }
}

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
    EXPECT_TRUE(row->texts[0].block == origin->texts[0].block && row->texts[1].block == nullptr);
    EXPECT_EQ(origin->texts[0].block->references, 2);
    NodeInfo clear = {0, 42, ZN_CHANGE_TEXT1};
    EXPECT_EQ(ZNList_UpdateItem(h.list, &clear, 0), 1);
    EXPECT_EQ(TextOf(row->texts[0]) + L"|" + TextOf(node.texts[0]), L"|hello") << "the other holder keeps its text";
    EXPECT_EQ(origin->texts[0].block->references, 1);
    ZNList_InsertFromTree(h.list, &node);
    EXPECT_EQ(ZNList_Clear(h.list), 1);
    EXPECT_EQ(origin->texts[2].block->references, 1);
    EXPECT_EQ(TextOf(origin->texts[2]), L"third");
}

TEST(ListRows, RefreshShowsSelectsCountsAndClearEmpties) {
    ListHost h;
    EXPECT_EQ(ZNList_Refresh(h.list, 0, 0), 0);
    InsertRow(h.list, {1, L"one", ZN_CHECKED});
    ListRow* two = InsertRow(h.list, {2, L"two", ZN_UNCHECKED, ZN_CHOICE_TEXT2, 0, 0, L" -12 days"});
    ListRow* three = InsertRow(h.list, {3, L"three", ZN_CHECKED, 0, 0, 0, L"3"});
    ASSERT_EQ(ZNList_Refresh(h.list, 0, 0), 1);
    EXPECT_TRUE(two->choiceValue == -12 && two->choiceValueSet == 1 && three->choiceValueSet == 0);
    InsertRow(h.list, {4, L"four", ZN_CHECKED});
    EXPECT_EQ(ZNList_GetListCount(h.list), 4) << "counted before it is shown";
    EXPECT_EQ(ZNList_GetSelectedNodeCount(h.list), 3);
    EXPECT_EQ(ZNList_SelectNode(h.list, 4) * 2 + ZNList_SelectNode(h.list, 3), 1) << "4 is not shown yet";
    EXPECT_NE(SelectedId(h.list), 3u) << "the selection is posted";
    h.host.Pump();
    EXPECT_EQ(SelectedId(h.list), 3u);
    EXPECT_EQ(ZNList_Clear(h.list), 1);
    EXPECT_TRUE(SendMessageA(h.list, LB_GETCOUNT, 0, 0) == 0 && ZNList_GetListHead(h.list) == nullptr);
    EXPECT_EQ(ZNList_GetListCount(h.list) + ZNList_GetSelectedNodeCount(h.list) + ZNList_SelectNode(h.list, 3), 0);
}

}  // namespace
