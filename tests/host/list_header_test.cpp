// The list's header: columns and per-row column texts, sorting by refresh and by header clicks,
// resizing, and column widths against widths measured here row by row in the list's fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "list_rig.h"

using namespace host;

namespace {

HDITEMA Item(HWND header, int index, char* title = nullptr) {
    HDITEMA item = {HDI_WIDTH | HDI_FORMAT | HDI_LPARAM | HDI_BITMAP | (title ? HDI_TEXT : 0u)};
    item.pszText = title;
    item.cchTextMax = title ? 100 : 0;
    SendMessageA(header, HDM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
    return item;
}

std::vector<int> MarkedColumns(HWND header) {
    std::vector<int> marked;
    for (int k = 0; k < SendMessageA(header, HDM_GETITEMCOUNT, 0, 0); ++k)
        if (Item(header, k).fmt & HDF_BITMAP) marked.push_back(k);
    return marked;
}

TEST(ListColumns, HeaderItemsAndColumnTexts) {
    ListHost h;
    Bstr text(L"third");
    EXPECT_EQ(ZNList_SetHeaderColumn(h.list, 1, 3, text), 0) << "no rows";
    ASSERT_EQ(ZNList_AddHeaderColumn(h.list, L"Name", 0), 1);
    ASSERT_EQ(ZNList_AddHeaderColumn(h.list, nullptr, 0x12345658 | ZN_COLUMN_TITLE_CENTER), 1);
    EXPECT_EQ(SendMessageA(h.header(), HDM_GETITEMCOUNT, 0, 0), 2);
    char title[100] = "unset";
    HDITEMA item = Item(h.header(), 1, title);
    EXPECT_STREQ(title, "");
    EXPECT_TRUE((item.fmt & ~HDF_BITMAP) == (HDF_STRING | HDF_CENTER) && item.lParam == 0x12345678 && item.cxy == 100);
    EXPECT_EQ(Item(h.header(), 0, title).fmt & ~HDF_BITMAP, HDF_STRING);
    EXPECT_STREQ(title, "Name");
    ListRow* row = InsertRow(h.list, {1, nullptr});
    for (DWORD column : {0u, 256u, 0xFFFFFFFFu}) EXPECT_EQ(ZNList_SetHeaderColumn(h.list, 1, column, text), 0);
    EXPECT_EQ(ZNList_SetHeaderColumn(h.list, 2, 1, text), 0) << "unknown id";
    EXPECT_EQ(row->columnTexts.begin, nullptr);
    ASSERT_EQ(ZNList_SetHeaderColumn(h.list, 1, 3, text), 1);
    EXPECT_EQ(ColumnText(row, 1) + ColumnText(row, 2) + ColumnText(row, 3), L"..third");
    EXPECT_EQ(row->columnTexts.begin[0].block, row->columnTexts.begin[1].block) << "the dots share one text";
    ASSERT_EQ(ZNList_SetHeaderColumn(h.list, 1, 255, nullptr), 1);
    EXPECT_EQ(row->columnTexts.end - row->columnTexts.begin, 255);
    EXPECT_EQ(ColumnText(row, 3) + ColumnText(row, 254) + ColumnText(row, 255), L"third.");
}

// Severity 10 sorts before 2 (as text); ties go to text 1, then columns to severity.
const struct SortCase { int column, descending; std::vector<DWORD> order; } kSorts[] = {
    {0, 0, {3, 5, 2, 4, 1}}, {0, 1, {1, 4, 2, 5, 3}}, {1, 0, {3, 2, 4, 1, 5}},
    {1, 1, {5, 1, 4, 2, 3}}, {2, 0, {5, 1, 2, 4, 3}}, {2, 1, {3, 4, 2, 1, 5}}};

TEST(ListSorting, ByRefreshAndByHeaderClicksKeepingTheSelectedRow) {
    ListHost h;
    for (const wchar_t* title : {L"Main", L"Fruit", L"Letter"}) ZNList_AddHeaderColumn(h.list, title, 0);
    struct { DWORD id, severity; const wchar_t *text1, *column1, *column2; } rows[] = {
        {1, 2, L"beta", L"pear", nullptr}, {2, 10, L"Alpha", L"apple", L"x"}, {3, 0, L"gamma", nullptr, L"y"},
        {4, 2, nullptr, L"Apple", L"x"},   {5, 1, L"delta", L"zoo", nullptr}};
    for (auto& r : rows) {
        InsertRow(h.list, {r.id, r.text1});
        if (r.column1) SetColumn(h.list, r.id, 1, r.column1);
        if (r.column2) SetColumn(h.list, r.id, 2, r.column2);  // "." fills column 1
        NodeInfo update = {0, r.id, ZN_CHANGE_SEVERITY, 0, 0, 0, 0, r.severity};
        ZNList_UpdateItem(h.list, &update, 0);  // inserts would take 10 as 1
    }
    for (const SortCase& c : kSorts) {
        ASSERT_EQ(ZNList_Refresh(h.list, c.column, c.descending), 1);
        EXPECT_EQ(ShownIds(h.list), c.order) << c.column << (c.descending ? " descending" : " ascending");
        EXPECT_EQ(SelectedId(h.list), 1u) << "the refresh selects the first row of the chain";
        EXPECT_EQ(MarkedColumns(h.header()), std::vector<int>{c.column});
    }
    HBITMAP descendingMark = Item(h.header(), 2).hbm;
    SendMessageA(h.list, LB_SETCURSEL, IndexOf(h.list, ZNList_GetListHead(h.list)->next->next->next), 0);
    struct { int item, column, descending; } clicks[] = {{1, 1, 1}, {1, 1, 0}, {0, 0, 0}, {0, 0, 1},
                                                         {3, 0, 1}, {-1, 0, 1}, {2, 2, 1}};
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.item);
        Notify(h.header(), HDN_ITEMCLICKA, click.item);
        for (const SortCase& c : kSorts)
            if (c.column == click.column && c.descending == click.descending) EXPECT_EQ(ShownIds(h.list), c.order);
        EXPECT_EQ(MarkedColumns(h.header()), std::vector<int>{click.column});
        EXPECT_EQ(SelectedId(h.list), 4u);
    }
    EXPECT_EQ(Item(h.header(), 2).hbm, descendingMark);
    ZNList_Refresh(h.list, 2, 0);
    EXPECT_NE(Item(h.header(), 2).hbm, descendingMark) << "each direction has its mark";
    ZNList_Refresh(h.list, 7, 0);
    EXPECT_TRUE(MarkedColumns(h.header()).empty()) << "a column without a header item shows no mark";
}

TEST(ListHeader, ResizingKeepsEightyPixelsAndRelayoutsTheExtent) {
    ListHost h;
    ZNList_AddHeaderColumn(h.list, L"A", 0);
    ZNList_AddHeaderColumn(h.list, L"B", 0);
    struct { UINT mask; int button, width, want; } cases[] = {
        {HDI_WIDTH, 0, 30, 80}, {HDI_WIDTH, 0, 79, 80}, {HDI_WIDTH, 0, 120, 120}, {HDI_WIDTH, 1, 30, 30},
        {HDI_FORMAT, 0, 30, 30}};
    for (const auto& c : cases) {
        HDITEMA item = {c.mask, c.width};
        Notify(h.header(), HDN_ENDTRACKA, 0, c.button, &item);
        EXPECT_EQ(item.cxy, c.want) << "width " << c.width << " button " << c.button;
    }
    SetColumnWidth(h.header(), 1, 700);
    h.host.Pump();  // the relayout posted by the resize
    EXPECT_EQ(SendMessageA(h.list, LB_GETHORIZONTALEXTENT, 0, 0), 100 + 700 + 4);
    RECT header;
    GetWindowRect(h.header(), &header);
    EXPECT_EQ(header.right - header.left, GetSystemMetrics(SM_CXVSCROLL) + 100 + 700 + 4);
}

std::string Narrow(const std::wstring& wide) {
    char buffer[1024] = {};
    WideCharToMultiByte(GetACP(), 0, wide.c_str(), static_cast<int>(wide.size()), buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}

// Random lists: the list may sum character widths, but must reach the widths measured here.
// The last round has no header: the main column is then not limited.
TEST(ListSizing, RefreshGivesTheWidthsOfMeasuringEveryRow) {
    std::mt19937 random(5);
    const std::wstring pool[] = {L"", L"i", L"W", L"Name", L"name", L"a longer cell text", std::wstring(60, L'W'),
                                 L"Gr\u00fc\u00dfe \u00e9t\u00e9", L"x y z", std::wstring(25, L'm'), L"m"};
    const char* titles[] = {"Main", "One", "Two", "Three"};
    for (int round = 0; round < 7; ++round) {
        SCOPED_TRACE(round);
        ListHost h;
        bool header = round < 6;
        for (const char* title : titles)
            if (header) ZNList_AddHeaderColumn(h.list, std::wstring(title, title + strlen(title)).c_str(), 0);
        int rows = round < 3 ? 40 : 400, poolSize = round % 2 ? 11 : 6;  // some rounds below the limits
        int width[4] = {0};
        for (int k = 1; k < 4; ++k) width[k] = TextWidth(titles[k]) + 32;
        for (int i = 0; i < rows; ++i) {
            std::wstring texts[3];
            for (auto& t : texts) t = pool[random() % poolSize];
            RowPlan wanted{static_cast<DWORD>(random() % (rows / 2)), texts[0].c_str()};  // duplicate ids
            wanted.text2 = random() % 2 ? texts[1].c_str() : nullptr;
            wanted.text3 = wanted.text2 && random() % 2 ? texts[2].c_str() : nullptr;
            wanted.flags = static_cast<WORD>(random() % 16) & (ZN_BOLD_TEXT1 | ZN_BOLD_TEXT2 | ZN_BOLD_TEXT3);
            wanted.checkState = random() % 3 ? ZN_UNCHECKED : ZN_CHECK_DISABLED;
            wanted.severity = random() % 4;
            ASSERT_NE(InsertRow(h.list, wanted), nullptr);
            int pictures = 2 + (wanted.checkState != ZN_CHECK_DISABLED ? 20 : 0);  // no icon lists attached
            const wchar_t* shown[3] = {wanted.text1, wanted.text2, wanted.text3};
            for (int n = 0; n < 3 && shown[n]; ++n)
                width[0] = std::max(width[0], pictures + TextWidth(Narrow(shown[n]), wanted.flags & (ZN_BOLD_TEXT1 << n) ? 700 : 400));
        }
        for (const ListRow* row = ZNList_GetListHead(h.list); row; row = row->next)  // to the first row of each id
            for (DWORD k = 1; k <= 3; ++k)
                if (random() % 3) SetColumn(h.list, row->id, k, pool[random() % poolSize].c_str());
        for (const ListRow* row = ZNList_GetListHead(h.list); row; row = row->next)
            for (size_t k = 1; k <= 3; ++k)
                if (ColumnText(row, k) != L"<none>") width[k] = std::max(width[k], TextWidth(Narrow(ColumnText(row, k))));
        ASSERT_EQ(ZNList_Refresh(h.list, static_cast<int>(random() % 4), round % 2), 1);
        int total = header ? std::min(width[0], 512) : width[0];
        if (header) EXPECT_EQ(ColumnWidth(h.header(), 0), total);
        for (int k = 1; header && k < 4; ++k) {
            EXPECT_EQ(ColumnWidth(h.header(), k), std::min(width[k], 256)) << "column " << k;
            total += std::min(width[k], 256);
        }
        RECT client;
        GetClientRect(h.list, &client);
        EXPECT_EQ(SendMessageA(h.list, LB_GETHORIZONTALEXTENT, 0, 0), std::max<int>(client.right, total + 4));
    }
}

// Every shown item's height against the row height rule, worked out here.
std::string HeightMismatch(HWND list) {
    for (LRESULT i = 0, n = SendMessageA(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
        int count = ShownRow(list, i)->textCount, want = count * 18 + (count >= 2 ? 4 : 0);
        if (SendMessageA(list, LB_GETITEMHEIGHT, i, 0) != (want ? want : 1)) return "item " + std::to_string(i);
    }
    return "";
}

TEST(ListLargeRefresh, ThousandsOfRowsOfMixedHeightsShowFromTheTopWithTheirHeights) {
    ListHost h;
    ZNList_AddHeaderColumn(h.list, L"Main", 0);
    ZNList_AddHeaderColumn(h.list, L"One", 0);
    std::mt19937 random(9);
    for (int i = 0; i < 3000; ++i) {
        RowPlan wanted{static_cast<DWORD>(random() % 1000), random() % 4 ? L"text" : nullptr};
        wanted.text2 = random() % 2 ? L"" : nullptr;
        wanted.text3 = random() % 2 ? L"third" : nullptr;
        ASSERT_NE(InsertRow(h.list, wanted), nullptr);
        if (i % 3 == 0) SetColumn(h.list, wanted.id, 1, random() % 2 ? L"b" : L"A");
    }
    ASSERT_EQ(ZNList_Refresh(h.list, 1, 0), 1);
    EXPECT_EQ(SendMessageA(h.list, LB_GETCOUNT, 0, 0), 3000);
    EXPECT_EQ(ShownRow(h.list, SendMessageA(h.list, LB_GETCURSEL, 0, 0)), ZNList_GetListHead(h.list))
        << "the first row stays selected at its sorted place";
    EXPECT_EQ(HeightMismatch(h.list), "");
    Bstr text(L"new");  // rows whose texts change between sorts get new heights at the next sort
    for (DWORD id = 0; id < 1000; id += 3) {
        NodeInfo info = {0, id, ZN_CHANGE_TEXT1 | ZN_CHANGE_TEXT2 | ZN_CHANGE_TEXT3, 0, 0, 0, 0, 0, text, text, nullptr};
        ZNList_UpdateItem(h.list, &info, 0);
    }
    SendMessageA(h.list, LB_SETTOPINDEX, 1500, 0);
    Notify(h.header(), HDN_ITEMCLICKA, 0);
    EXPECT_EQ(HeightMismatch(h.list), "");
}

}  // namespace
