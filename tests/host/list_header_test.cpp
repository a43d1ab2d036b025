// The list's header: declared columns and per-row column texts, sorting through a refresh
// and through header clicks, resizing, and widths measured here with the list's font recipe.
#include <gtest/gtest.h>

#include <algorithm>

#include "list_support.h"

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
    EXPECT_EQ(item.fmt & ~HDF_BITMAP, HDF_STRING | HDF_CENTER);
    EXPECT_EQ(item.lParam, 0x12345678);
    EXPECT_EQ(item.cxy, 100);
    EXPECT_EQ(Item(h.header(), 0, title).fmt & ~HDF_BITMAP, HDF_STRING);
    EXPECT_STREQ(title, "Name");

    ListRow* row = InsertRow(h.list, 1);
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
void FillSortRows(HWND list) {
    struct { DWORD id, severity; const wchar_t *text1, *column1, *column2; } rows[] = {
        {1, 2, L"beta", L"pear", nullptr}, {2, 10, L"Alpha", L"apple", L"x"}, {3, 0, L"gamma", nullptr, L"y"},
        {4, 2, nullptr, L"Apple", L"x"},   {5, 1, L"delta", L"zoo", nullptr}};
    for (auto& r : rows) {
        InsertRow(list, r.id, ZN_UNCHECKED, r.text1);
        if (r.column1) ZNList_SetHeaderColumn(list, r.id, 1, Bstr(r.column1));
        if (r.column2) ZNList_SetHeaderColumn(list, r.id, 2, Bstr(r.column2));  // "." fills column 1
        NodeInfo update = {0, r.id, ZN_CHANGE_SEVERITY, 0, 0, 0, 0, r.severity};
        ZNList_UpdateItem(list, &update, 0);  // inserts would take 10 as 1
    }
}

const struct SortCase { int column, descending; std::vector<DWORD> order; } kSorts[] = {
    {0, 0, {3, 5, 2, 4, 1}}, {0, 1, {1, 4, 2, 5, 3}}, {1, 0, {3, 2, 4, 1, 5}},
    {1, 1, {5, 1, 4, 2, 3}}, {2, 0, {5, 1, 2, 4, 3}}, {2, 1, {3, 4, 2, 1, 5}}};

TEST(ListSorting, ByRefreshAndByHeaderClicksKeepingTheSelectedRow) {
    ListHost h;
    for (const wchar_t* title : {L"Main", L"Fruit", L"Letter"}) ZNList_AddHeaderColumn(h.list, title, 0);
    FillSortRows(h.list);
    for (const SortCase& c : kSorts) {
        ASSERT_EQ(ZNList_Refresh(h.list, c.column, c.descending), 1);
        EXPECT_EQ(ShownIds(h.list), c.order) << c.column << (c.descending ? " descending" : " ascending");
        EXPECT_EQ(SelectedId(h.list), 1u) << "the refresh selects the first row of the chain";
        EXPECT_EQ(MarkedColumns(h.header()), std::vector<int>{c.column});
    }
    HBITMAP descendingMark = Item(h.header(), 2).hbm;
    SendMessageA(h.list, LB_SETCURSEL, SendMessageA(h.list, LB_FINDSTRING, -1, (LPARAM)RowWithId(h.list, 4)), 0);
    struct { int item, column, descending; } clicks[] = {
        {1, 1, 1}, {1, 1, 0}, {0, 0, 0}, {0, 0, 1}, {3, 0, 1}, {-1, 0, 1}, {2, 2, 1}};
    for (const auto& click : clicks) {
        NMHEADERA note = {{h.header(), HostWindow::kListId + 1, static_cast<UINT>(HDN_ITEMCLICKA)}, click.item};
        SendMessageA(GetParent(h.header()), WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
        for (const SortCase& c : kSorts)
            if (c.column == click.column && c.descending == click.descending)
                EXPECT_EQ(ShownIds(h.list), c.order) << "click on " << click.item;
        EXPECT_EQ(MarkedColumns(h.header()), std::vector<int>{click.column}) << "click on " << click.item;
        EXPECT_EQ(SelectedId(h.list), 4u) << "click on " << click.item;
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
        NMHEADERA note = {{h.header(), 0, static_cast<UINT>(HDN_ENDTRACKA)}, 0, c.button, &item};
        SendMessageA(GetParent(h.header()), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&note));
        EXPECT_EQ(item.cxy, c.want) << "width " << c.width << " button " << c.button;
    }
    HDITEMA wide = {HDI_WIDTH, 700};
    SendMessageA(h.header(), HDM_SETITEMA, 1, reinterpret_cast<LPARAM>(&wide));
    h.host.Pump();  // the relayout posted by the resize
    EXPECT_EQ(SendMessageA(h.list, LB_GETHORIZONTALEXTENT, 0, 0), 100 + 700 + 4);
    RECT header;
    GetWindowRect(h.header(), &header);
    EXPECT_EQ(header.right - header.left, GetSystemMetrics(SM_CXVSCROLL) + 100 + 700 + 4);
}

// Widths measured here with the list's font recipe: 9 points from the stock GUI font.
int Measure(HWND window, int weight, const std::string& text) {
    HDC dc = GetDC(window);
    LOGFONTA logFont = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont);
    logFont.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
    logFont.lfWeight = weight;
    logFont.lfQuality = PROOF_QUALITY;
    HFONT font = CreateFontIndirectA(&logFont);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(window, dc);
    return size.cx;
}

TEST(ListSizing, ColumnsFitTheirContentsWithinTheirLimits) {
    const std::string huge(120, 'W');
    struct { const char* what; std::string main; bool bold, box, header; std::string column; } cases[] = {
        {"short", "ab", false, true, true, "x"},
        {"bold, no box", "A bold main text", true, false, true, "a column text wider than its title"},
        {"beyond the limits", huge, false, true, true, huge},
        {"no header", huge, true, true, false, ""}};
    for (const auto& c : cases) {
        ListHost h;
        for (const wchar_t* title : {L"Main", L"Title"})
            if (c.header) ZNList_AddHeaderColumn(h.list, title, 0);
        std::wstring main(c.main.begin(), c.main.end()), column(c.column.begin(), c.column.end());
        InsertRow(h.list, 1, c.box ? ZN_UNCHECKED : ZN_CHECK_DISABLED, main.c_str(), nullptr,
                  c.bold ? ZN_BOLD_TEXT1 : 0);
        InsertRow(h.list, 2, ZN_CHECK_DISABLED, L"i");
        if (c.header) ZNList_SetHeaderColumn(h.list, 1, 1, Bstr(column.c_str()));
        ASSERT_EQ(ZNList_Refresh(h.list, 0, 0), 1);
        int total = 2 + Measure(h.list, c.bold ? 700 : 400, c.main) + (c.box ? 20 : 0);
        RECT client;
        GetClientRect(h.list, &client);
        if (c.header) {
            int first = std::min(total, 512);
            int second = std::min(std::max(Measure(h.list, 400, "Title") + 32, Measure(h.list, 400, c.column)), 256);
            EXPECT_EQ(Item(h.header(), 0).cxy, first) << c.what;
            EXPECT_EQ(Item(h.header(), 1).cxy, second) << c.what;
            total = first + second;
            RECT header;
            GetWindowRect(h.header(), &header);
            EXPECT_EQ(header.right - header.left,
                      GetSystemMetrics(SM_CXVSCROLL) + std::max<int>(client.right - 4, total) + 4) << c.what;
        }
        EXPECT_EQ(SendMessageA(h.list, LB_GETHORIZONTALEXTENT, 0, 0), std::max<int>(client.right, total + 4)) << c.what;
    }
}

}  // namespace
