// List rows as a host fills, updates, counts, selects and clears them, reading the rows
// back by walking the chain; the parent hook over the list's life; shared texts.
#include <gtest/gtest.h>

#include <iterator>

#include "list_support.h"

using namespace host;

namespace {

TEST(ListLife, ParentHookAndPropertyLastExactlyAsLongAsTheList) {
    HostWindow host;
    LONG_PTR before = GetWindowLongPtrA(host.window(), GWLP_WNDPROC);
    HWND list = host.MakeList();
    ASSERT_NE(list, nullptr);
    EXPECT_NE(GetWindowLongPtrA(host.window(), GWLP_WNDPROC), before);
    EXPECT_NE(GetPropA(host.window(), "ZNListCt"), nullptr);
    // Messages the list does not take still reach the host's own procedure.
    SendMessageA(host.window(), WM_COMMAND, MAKEWPARAM(55, ZN_LIST_CHECK_STATE_CHANGED), 0);
    ASSERT_EQ(host.notifications.size(), 1u);
    EXPECT_EQ(host.notifications[0].id, 55);

    ASSERT_EQ(ZNList_AddHeaderColumn(list, L"Name", 0), 1);
    HWND headerParent = GetDlgItem(host.window(), HostWindow::kListId + 2);
    ASSERT_TRUE(IsWindow(headerParent));
    EXPECT_EQ(ZNList_Destroy(list), 1);
    EXPECT_EQ(GetWindowLongPtrA(host.window(), GWLP_WNDPROC), before);
    EXPECT_EQ(GetPropA(host.window(), "ZNListCt"), nullptr);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(host.window(), HostWindow::kPlaceholderId + 1)));
    EXPECT_FALSE(IsWindow(headerParent)) << "header messages after teardown would reach a freed list";
    // The parent can be hooked again by a new list.
    HWND again = ZNList_Create(host.window(), 12345, 400);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(ZNList_Destroy(again), 1);
}

TEST(ListRows, InsertTakesTheRecordAndNormalisesStateAndSeverity) {
    struct Case {
        DWORD checkState, severity;
        DWORD wantState, wantSeverity;
    } cases[] = {{0, 0, 3, 0},          {1, 1, 1, 1}, {2, 3, 2, 3}, {3, 4, 3, 1},
                 {4, 7, 3, 1},          {0x10002, 2, 2, 2}, {0x20000, 0xFFFFFFFF, 3, 1}};
    ListHost h;
    DWORD id = 1;
    for (const Case& c : cases) {
        NodeInfo info = {};
        info.id = id++;
        info.checkState = c.checkState;
        info.severity = c.severity;
        info.flags = ZN_BOLD_TEXT2;
        info.extraIcon = 0x12345;
        ListRow* row = ZNList_Insert(h.list, &info);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->checkState, c.wantState) << "state " << c.checkState;
        EXPECT_EQ(row->severity, c.wantSeverity) << "severity " << c.severity;
        EXPECT_EQ(row->extraIcon, 0x12345u);
        EXPECT_EQ(row->flags, ZN_BOLD_TEXT2);
        EXPECT_EQ(row->textCount, 0);
    }
    // Texts: an empty but present text counts; embedded NULs survive the copy.
    Bstr choice = Bstr::Choices({L"1", L"Low", L"2", L"High"});
    Bstr empty(L"");
    NodeInfo info = {};
    info.id = 99;
    info.text1 = empty;
    info.text3 = choice;
    ListRow* row = ZNList_Insert(h.list, &info);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->textCount, 2);
    EXPECT_EQ(TextOf(row->texts[2]), std::wstring(L"1\0Low\0" L"2\0High\0\0", 14));
    EXPECT_EQ(row->texts[1].block, nullptr);

    std::vector<const ListRow*> chain = ChainOf(h.list);
    ASSERT_EQ(chain.size(), std::size(cases) + 1);
    for (size_t i = 0; i < chain.size(); ++i) EXPECT_EQ(chain[i]->id, i < std::size(cases) ? i + 1 : 99u);
    EXPECT_EQ(ZNList_GetListCount(h.list), static_cast<int>(chain.size()));
    EXPECT_EQ(ZNList_Insert(h.list, nullptr), nullptr);
    EXPECT_EQ(ZNList_InsertFromTree(h.list, nullptr), nullptr);
    EXPECT_EQ(ZNList_GetListCount(h.list), static_cast<int>(chain.size()));
}

TEST(ListRows, UpdatesFindTheFirstRowWithTheIdAndFollowTheMask) {
    ListHost h;
    LONG count = 0;
    NodeInfo info = {};
    info.id = 1;
    EXPECT_EQ(ZNList_UpdateItem(h.list, &info, 0), 0) << "empty list";
    EXPECT_EQ(ZNList_UpdateEntry(h.list, &info, 0, &count), 0) << "empty list";
    ListRow* first = InsertRow(h.list, {7, ZN_UNCHECKED, 0, {L"a", L"b"}});
    ListRow* second = InsertRow(h.list, {7, ZN_UNCHECKED, 0, {L"c"}});

    info.id = 7;
    info.parentId = 0;
    info.severity = 12;
    EXPECT_EQ(ZNList_UpdateItem(h.list, &info, 0), 1) << "a known id with no change";
    EXPECT_EQ(first->severity, 0u);
    info.parentId = ZN_CHANGE_SEVERITY | ZN_CHANGE_EXTRA_ICON;
    info.extraIcon = 0x50003;
    EXPECT_EQ(ZNList_UpdateItem(h.list, &info, 0), 1);
    EXPECT_EQ(first->severity, 12u) << "updates store the severity as given";
    EXPECT_EQ(first->extraIcon, 3u);
    EXPECT_EQ(second->severity, 0u);

    Bstr longer(L"changed");
    info.parentId = ZN_CHANGE_TEXT1 | ZN_CHANGE_TEXT2 | ZN_CHANGE_TEXT3;
    info.text1 = longer;  // replaces a text: count unchanged
    info.text2 = nullptr; // clears a text: one fewer
    info.text3 = longer;  // fills an empty slot: one more
    EXPECT_EQ(ZNList_UpdateItem(h.list, &info, 0), 1);
    EXPECT_EQ(TextOf(first->texts[0]), L"changed");
    EXPECT_EQ(TextOf(first->texts[1]), L"");
    EXPECT_EQ(TextOf(first->texts[2]), L"changed");
    EXPECT_EQ(first->textCount, 2);
    info.parentId = ZN_CHANGE_TEXT2;
    EXPECT_EQ(ZNList_UpdateEntry(h.list, &info, 0, &count), 1);
    EXPECT_EQ(first->textCount, 2) << "clearing an empty text leaves the count";
    EXPECT_EQ(TextOf(second->texts[0]), L"c");

    info.parentId = ZN_CHANGE_EXTRA_ICON | ZN_CHANGE_SEVERITY;
    info.severity = 1;
    EXPECT_EQ(ZNList_UpdateEntry(h.list, &info, 0, &count), 0) << "nothing UpdateEntry changes";
    EXPECT_EQ(first->severity, 12u);
    info.id = 8;
    info.parentId = ZN_CHANGE_TEXT1;
    EXPECT_EQ(ZNList_UpdateItem(h.list, &info, 0), 0);
    EXPECT_EQ(ZNList_UpdateEntry(h.list, &info, 0, &count), 0);
    EXPECT_EQ(ZNList_UpdateItem(h.list, nullptr, 0), 0);
    EXPECT_EQ(ZNList_UpdateEntry(h.list, nullptr, 0, &count), 0);
    h.host.Pump();
    EXPECT_TRUE(h.host.notifications.empty());
    EXPECT_EQ(count, 0);
}

TEST(ListNotifications, EachCheckUpdatePostsExactlyOne) {
    struct Case {
        const char* what;
        bool entry;          // ZNList_UpdateEntry, else ZNList_UpdateItem
        DWORD mask, state;
        int result;
        size_t notes;
        DWORD rowState, recordState;
        LONG countChange;
    } cases[] = {
        {"item check", false, 0x01, ZN_CHECKED, 1, 1, 2, 2, 0},
        {"item partly", false, 0x01, ZN_PARTLY_CHECKED, 1, 1, 4, 4, 0},
        {"item text only", false, 0x10, ZN_CHECKED, 1, 0, 3, 2, 0},
        {"entry partly", true, 0x01, ZN_PARTLY_CHECKED, 1, 1, 2, 2, +1},
        {"entry check", true, 0x11, ZN_CHECKED, 1, 1, 2, 2, +1},
        {"entry uncheck an unchecked row", true, 0x01, ZN_UNCHECKED, 1, 1, 3, 3, -1},
        {"entry text only", true, 0x20, ZN_CHECKED, 1, 0, 3, 2, 0},
        {"entry icons only", true, 0x0C, ZN_CHECKED, 0, 0, 3, 2, 0},
    };
    for (const Case& c : cases) {
        ListHost h;
        InsertRow(h.list, {1, ZN_UNCHECKED, 0, {L"one"}});
        ASSERT_EQ(ZNList_Refresh(h.list, 0, 0), 1);
        h.host.Pump();
        h.host.notifications.clear();
        Bstr text(L"new");
        NodeInfo info = {};
        info.id = 1;
        info.parentId = c.mask;
        info.checkState = c.state;
        info.text1 = text;
        info.text2 = text;
        LONG count = 10;
        int result = c.entry ? ZNList_UpdateEntry(h.list, &info, 0, &count) : ZNList_UpdateItem(h.list, &info, 0);
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_TRUE(h.host.notifications.empty()) << c.what << ": posted, not sent";
        h.host.Pump();
        ASSERT_EQ(h.host.notifications.size(), c.notes) << c.what;
        for (const Notification& note : h.host.notifications) {
            EXPECT_EQ(note.code, ZN_LIST_CHECK_STATE_CHANGED);
            EXPECT_EQ(note.id, HostWindow::kListId);
            EXPECT_EQ(note.window, h.list);
        }
        const ListRow* row = ZNList_GetListHead(h.list);
        EXPECT_EQ(row->checkState, c.rowState) << c.what;
        EXPECT_EQ(info.checkState, c.recordState) << c.what;
        EXPECT_EQ(count, 10 + c.countChange) << c.what;
        EXPECT_EQ(ZNList_GetSelectedNodeCount(h.list), c.rowState == ZN_CHECKED ? 1 : 0) << c.what;
    }
}

TEST(ListRows, UpdateEntryDrawsTheNewCheckBoxAtOnce) {
    ListHost h;
    InsertRow(h.list, {1, ZN_UNCHECKED, 0, {L"one"}});
    InsertRow(h.list, {2, ZN_UNCHECKED, 0, {L"two"}});
    ZNList_Refresh(h.list, 0, 0);
    h.host.Pump();
    // The check box images of the strip, drawn here on the window colour.
    HIMAGELIST strip = ImageList_LoadImageA(GetModuleHandleA("ZnTreeCt.dll"), MAKEINTRESOURCEA(226), 18, 0,
                                            CLR_DEFAULT, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    ASSERT_NE(strip, nullptr);
    auto expected = [&](int image) {
        std::vector<COLORREF> pixels;
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 18, 18);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT r = {0, 0, 18, 18};
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
        ImageList_Draw(strip, image, dc, 0, 0, ILD_NORMAL);
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 18; ++x) pixels.push_back(GetPixel(dc, x, y));
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return pixels;
    };
    int index = static_cast<int>(SendMessageA(h.list, LB_FINDSTRING, -1, (LPARAM)RowWithId(h.list, 2)));
    RECT item;
    SendMessageA(h.list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    auto onScreen = [&] {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 18; ++x) pixels.push_back(h.host.Pixel(h.list, 2 + x, item.top + y));
        return pixels;
    };
    ASSERT_NE(expected(13), expected(14));
    NodeInfo info = {};
    info.id = 2;
    info.parentId = ZN_CHANGE_CHECK;
    info.checkState = ZN_CHECKED;
    EXPECT_EQ(ZNList_UpdateEntry(h.list, &info, 0, &h.host.checkedCount), 1);
    EXPECT_EQ(onScreen(), expected(14));
    info.checkState = ZN_UNCHECKED;
    EXPECT_EQ(ZNList_UpdateEntry(h.list, &info, 0, &h.host.checkedCount), 1);
    EXPECT_EQ(onScreen(), expected(13));
    ImageList_Destroy(strip);
}

// A tree node made as the tree makes them: its texts are blocks of the library, here taken
// from a row of another list (the node holds no reference of its own, like an alias of it).
TEST(ListRows, RowsFromTreeNodesShareTheirTextsUntilCleared) {
    ListHost h;
    HostWindow otherHost;
    HWND source = otherHost.MakeList();
    Bstr hello(L"hello"), empty(L""), third(L"third");
    NodeInfo record = {};
    record.text1 = hello;
    record.text2 = empty;
    record.text3 = third;
    ListRow* origin = ZNList_Insert(source, &record);
    ASSERT_NE(origin, nullptr);

    TreeNode node = {};
    node.id = 42;
    node.checkState = ZN_PARTLY_CHECKED;
    node.severity = 9;
    node.extraIcon = 5;
    node.flags = ZN_CHOICE_TEXT3;
    for (int i = 0; i < 3; ++i) node.texts[i] = origin->texts[i];
    ListRow* row = ZNList_InsertFromTree(h.list, &node);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->id, 42u);
    EXPECT_EQ(row->checkState, 3u);
    EXPECT_EQ(row->severity, 1u);
    EXPECT_EQ(row->extraIcon, 5u);
    EXPECT_EQ(row->flags, ZN_CHOICE_TEXT3);
    EXPECT_EQ(row->textCount, 2) << "the node's empty text is not counted";
    EXPECT_EQ(row->texts[0].block, origin->texts[0].block);
    EXPECT_EQ(row->texts[1].block, nullptr);
    EXPECT_EQ(row->texts[2].block, origin->texts[2].block);
    EXPECT_EQ(origin->texts[0].block->references, 2);

    // Clearing the row's text gives the row a private empty text; the node keeps "hello".
    NodeInfo clear = {};
    clear.id = 42;
    clear.parentId = ZN_CHANGE_TEXT1;
    EXPECT_EQ(ZNList_UpdateItem(h.list, &clear, 0), 1);
    EXPECT_NE(row->texts[0].block, origin->texts[0].block);
    EXPECT_EQ(TextOf(row->texts[0]), L"");
    EXPECT_EQ(TextOf(node.texts[0]), L"hello");
    EXPECT_EQ(origin->texts[0].block->references, 1);
    EXPECT_EQ(row->textCount, 1);

    // Replacing and freeing the row leaves the other holder's text whole.
    Bstr other(L"other");
    clear.parentId = ZN_CHANGE_TEXT3;
    clear.text3 = other;
    EXPECT_EQ(ZNList_UpdateItem(h.list, &clear, 0), 1);
    EXPECT_EQ(TextOf(node.texts[2]), L"third");
    ZNList_InsertFromTree(h.list, &node);
    EXPECT_EQ(origin->texts[0].block->references, 2);
    EXPECT_EQ(ZNList_Clear(h.list), 1);
    EXPECT_EQ(ZNList_GetListHead(h.list), nullptr);
    EXPECT_EQ(origin->texts[0].block->references, 1);
    EXPECT_EQ(origin->texts[2].block->references, 1);
    EXPECT_EQ(TextOf(origin->texts[0]), L"hello");
    EXPECT_EQ(TextOf(origin->texts[2]), L"third");
    EXPECT_EQ(ZNList_Destroy(source), 1);
}

TEST(ListRows, RefreshShowsSelectsCountsAndClearEmpties) {
    ListHost h;
    EXPECT_EQ(ZNList_Refresh(h.list, 0, 0), 0) << "no rows";
    EXPECT_EQ(SendMessageA(h.list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(ZNList_GetListHead(h.list), nullptr);
    EXPECT_EQ(ZNList_GetListCount(h.list), 0);
    EXPECT_EQ(ZNList_SelectNode(h.list, 1), 0);

    InsertRow(h.list, {1, ZN_CHECKED, 0, {L"one"}});
    InsertRow(h.list, {2, ZN_PARTLY_CHECKED, 0, {L"two", L"  -12 days", L"x"}, ZN_CHOICE_TEXT2});
    InsertRow(h.list, {3, ZN_CHECKED, 0, {L"three", L"3"}});
    InsertRow(h.list, {4, ZN_CHECK_DISABLED, 0, {}, ZN_CHOICE_TEXT3});
    ASSERT_EQ(ZNList_Refresh(h.list, 0, 0), 1);
    EXPECT_EQ(SendMessageA(h.list, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(ZNList_GetSelectedNodeCount(h.list), 2) << "partly checked rows are not counted";
    EXPECT_EQ(RowWithId(h.list, 2)->choiceValue, -12);
    EXPECT_EQ(RowWithId(h.list, 2)->choiceValueSet, 1);
    EXPECT_EQ(RowWithId(h.list, 4)->choiceValue, 0);
    EXPECT_EQ(RowWithId(h.list, 4)->choiceValueSet, 1);
    EXPECT_EQ(RowWithId(h.list, 1)->choiceValueSet, 0);
    // Each shown row has the height of its texts.
    for (LRESULT i = 0; i < 4; ++i) {
        const ListRow* row = ShownRow(h.list, i);
        int want[] = {0, 18, 40, 58};
        if (row->textCount > 0) EXPECT_EQ(SendMessageA(h.list, LB_GETITEMHEIGHT, i, 0), want[row->textCount]);
    }
    MEASUREITEMSTRUCT measure = {ODT_LISTBOX, HostWindow::kListId, 0, 0, 0, 0};
    EXPECT_EQ(SendMessageA(h.host.window(), WM_MEASUREITEM, HostWindow::kListId, (LPARAM)&measure), 1);
    EXPECT_EQ(measure.itemHeight, 18u) << "an item without a row";

    // A row inserted since the refresh is counted but not shown.
    InsertRow(h.list, {5, ZN_CHECKED, 0, {L"five"}});
    EXPECT_EQ(ZNList_GetListCount(h.list), 5);
    EXPECT_EQ(ZNList_GetSelectedNodeCount(h.list), 3);
    EXPECT_EQ(ZNList_SelectNode(h.list, 5), 0);
    EXPECT_EQ(ZNList_SelectNode(h.list, 77), 0);
    EXPECT_EQ(ZNList_SelectNode(h.list, 3), 1);
    EXPECT_NE(ShownRow(h.list, SendMessageA(h.list, LB_GETCURSEL, 0, 0))->id, 3u) << "the selection is posted";
    h.host.Pump();
    EXPECT_EQ(ShownRow(h.list, SendMessageA(h.list, LB_GETCURSEL, 0, 0))->id, 3u);

    EXPECT_EQ(ZNList_Clear(h.list), 1);
    EXPECT_EQ(SendMessageA(h.list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(ZNList_GetListHead(h.list), nullptr);
    EXPECT_EQ(ZNList_GetListCount(h.list), 0);
    EXPECT_EQ(ZNList_GetSelectedNodeCount(h.list), 0);
    EXPECT_EQ(ZNList_SelectNode(h.list, 3), 0);
    // The list works on after a clear.
    InsertRow(h.list, {6, ZN_UNCHECKED, 0, {L"six"}});
    EXPECT_EQ(ZNList_Refresh(h.list, 0, 0), 1);
    EXPECT_EQ(ShownIds(h.list), std::vector<DWORD>{6});
}

}  // namespace
