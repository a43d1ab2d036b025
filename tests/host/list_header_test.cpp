// The list's header as a host and a user meet it: declared columns and per-row column
// texts, sorting by a column through a refresh and through header clicks, resizing, and
// column widths measured here with the list's own font recipe.
#include <gtest/gtest.h>

#include <algorithm>

#include "list_support.h"

using namespace host;

namespace {

HDITEMA HeaderItem(HWND header, int index, char* title = nullptr) {
    HDITEMA item = {};
    item.mask = HDI_WIDTH | HDI_FORMAT | HDI_LPARAM | HDI_BITMAP | (title ? HDI_TEXT : 0);
    item.pszText = title;
    item.cchTextMax = title ? 100 : 0;
    SendMessageA(header, HDM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
    return item;
}

// The columns whose header item carries the sort mark.
std::vector<int> MarkedColumns(HWND header) {
    std::vector<int> marked;
    int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int k = 0; k < count; ++k)
        if (HeaderItem(header, k).fmt & HDF_BITMAP) marked.push_back(k);
    return marked;
}

TEST(ListColumns, TheFirstColumnMakesTheHeaderAndEachAddsAnItem) {
    ListHost h;
    EXPECT_EQ(h.headerParent(), nullptr);
    ASSERT_EQ(ZNList_AddHeaderColumn(h.list, L"Name", 0), 1);
    ASSERT_EQ(ZNList_AddHeaderColumn(h.list, L"Centred", ZN_COLUMN_TITLE_CENTER | ZN_COLUMN_PATH), 1);
    ASSERT_EQ(ZNList_AddHeaderColumn(h.list, nullptr, 0x12345658), 1);
    HWND header = h.header();
    ASSERT_TRUE(IsWindow(header));
    EXPECT_EQ(GetParent(header), h.headerParent());
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 3);
    struct Want {
        const char* title;
        int format;
        LPARAM flags;
    } wants[] = {{"Name", HDF_STRING, 0},
                 {"Centred", HDF_STRING | HDF_CENTER, ZN_COLUMN_TITLE_CENTER | ZN_COLUMN_PATH},
                 {"", HDF_STRING, 0x12345658}};
    for (int k = 0; k < 3; ++k) {
        char title[100] = "unset";
        HDITEMA item = HeaderItem(header, k, title);
        EXPECT_STREQ(title, wants[k].title);
        EXPECT_EQ(item.fmt & ~HDF_BITMAP, wants[k].format) << k;
        EXPECT_EQ(item.lParam, wants[k].flags) << k;
        EXPECT_EQ(item.cxy, 100) << k;
    }
    // The header sits just above the list box, which it overlaps by two pixels.
    RECT list, parent;
    GetWindowRect(h.list, &list);
    GetWindowRect(h.headerParent(), &parent);
    EXPECT_EQ(parent.left, list.left);
    EXPECT_EQ(parent.top, list.top - 20);
    EXPECT_EQ(parent.bottom, list.top + 2);
}

TEST(ListColumns, ColumnTextsFillTheGapsWithDotsAndRefuseBadNumbers) {
    ListHost h;
    Bstr text(L"third");
    EXPECT_EQ(ZNList_SetHeaderColumn(h.list, 1, 3, text), 0) << "no rows";
    ListRow* row = InsertRow(h.list, {1});
    InsertRow(h.list, {1});
    EXPECT_EQ(ZNList_SetHeaderColumn(h.list, 1, 0, text), 0) << "column 0 is the row's own texts";
    EXPECT_EQ(ZNList_SetHeaderColumn(h.list, 2, 1, text), 0) << "unknown id";
    EXPECT_EQ(ZNList_SetHeaderColumn(h.list, 1, 256, text), 0) << "no header item can show it";
    EXPECT_EQ(ZNList_SetHeaderColumn(h.list, 1, 0xFFFFFFFF, text), 0);
    EXPECT_EQ(row->columnTexts.begin, nullptr);

    ASSERT_EQ(ZNList_SetHeaderColumn(h.list, 1, 3, text), 1);
    EXPECT_EQ(row->columnTexts.end - row->columnTexts.begin, 3);
    EXPECT_EQ(ColumnText(row, 1), L".");
    EXPECT_EQ(ColumnText(row, 2), L".");
    EXPECT_EQ(ColumnText(row, 3), L"third");
    EXPECT_EQ(row->columnTexts.begin[0].block, row->columnTexts.begin[1].block) << "the dots share one text";
    EXPECT_EQ(ColumnText(ChainOf(h.list)[1], 1), L"<none>") << "the second row with the id is untouched";

    ASSERT_EQ(ZNList_SetHeaderColumn(h.list, 1, 2, nullptr), 1);
    EXPECT_EQ(ColumnText(row, 2), L"");
    EXPECT_EQ(ColumnText(row, 1), L".");
    ASSERT_EQ(ZNList_SetHeaderColumn(h.list, 1, 255, text), 1);
    EXPECT_EQ(row->columnTexts.end - row->columnTexts.begin, 255);
    EXPECT_EQ(ColumnText(row, 3), L"third") << "growing keeps the earlier texts";
    EXPECT_EQ(ColumnText(row, 254), L".");
    EXPECT_GE(row->columnTexts.capacity - row->columnTexts.end, 0);
}

// Five rows whose orders differ by every column and direction.
void FillSortRows(HWND list) {
    struct {
        DWORD id, severity;
        const wchar_t* text1;
        const wchar_t* column1;
        const wchar_t* column2;
    } rows[] = {{1, 2, L"beta", L"pear", nullptr},
                {2, 10, L"Alpha", L"apple", L"x"},
                {3, 0, L"gamma", nullptr, L"y"},
                {4, 2, nullptr, L"Apple", L"x"},
                {5, 1, L"delta", L"zoo", nullptr}};
    for (auto& r : rows) {
        InsertRow(list, {r.id, ZN_UNCHECKED, r.severity, {r.text1}});
        if (r.column1) ZNList_SetHeaderColumn(list, r.id, 1, Bstr(r.column1));
        if (r.column2) ZNList_SetHeaderColumn(list, r.id, 2, Bstr(r.column2));
        // Inserts take severities up to 3; an update stores any.
        NodeInfo update = {};
        update.id = r.id;
        update.parentId = ZN_CHANGE_SEVERITY;
        update.severity = r.severity;
        ZNList_UpdateItem(list, &update, 0);
    }
}

struct SortCase {
    int column, descending;
    std::vector<DWORD> order;
};
// Severities sort as decimal text (10 before 2) and then by text 1, empty first; columns sort
// case-insensitively, empty first ("." fills a gap), then by severity.
const SortCase kSorts[] = {
    {0, 0, {3, 5, 2, 4, 1}}, {0, 1, {1, 4, 2, 5, 3}}, {1, 0, {3, 2, 4, 1, 5}},
    {1, 1, {5, 1, 4, 2, 3}}, {2, 0, {5, 1, 2, 4, 3}}, {2, 1, {3, 4, 2, 1, 5}},
};

TEST(ListSorting, RefreshSortsByTheColumnAndDirectionGiven) {
    for (const SortCase& c : kSorts) {
        ListHost h;
        for (const wchar_t* title : {L"Main", L"Fruit", L"Letter"}) ZNList_AddHeaderColumn(h.list, title, 0);
        FillSortRows(h.list);
        ASSERT_EQ(ZNList_Refresh(h.list, c.column, c.descending), 1);
        EXPECT_EQ(ShownIds(h.list), c.order) << "column " << c.column << " descending " << c.descending;
        // The row selected by the refresh (the first of the chain) stays selected.
        EXPECT_EQ(ShownRow(h.list, SendMessageA(h.list, LB_GETCURSEL, 0, 0))->id, 1u);
        EXPECT_EQ(MarkedColumns(h.header()), std::vector<int>{c.column});
        HBITMAP mark = HeaderItem(h.header(), c.column).hbm;
        ZNList_Refresh(h.list, c.column, !c.descending);
        EXPECT_NE(HeaderItem(h.header(), c.column).hbm, mark) << "each direction has its mark";
    }
}

TEST(ListSorting, HeaderClicksSortAndToggleTheDirection) {
    ListHost h;
    for (const wchar_t* title : {L"Main", L"Fruit", L"Letter"}) ZNList_AddHeaderColumn(h.list, title, 0);
    FillSortRows(h.list);
    ASSERT_EQ(ZNList_Refresh(h.list, 0, 0), 1);
    HWND headerParent = GetParent(h.header());
    auto click = [&](int item) {
        NMHEADERA note = {};
        note.hdr.hwndFrom = h.header();
        note.hdr.idFrom = HostWindow::kListId + 1;
        note.hdr.code = HDN_ITEMCLICKA;
        note.iItem = item;
        SendMessageA(headerParent, WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
    };
    auto expect = [&](int column, int descending, const char* what) {
        for (const SortCase& c : kSorts)
            if (c.column == column && c.descending == descending) EXPECT_EQ(ShownIds(h.list), c.order) << what;
        EXPECT_EQ(MarkedColumns(h.header()), std::vector<int>{column}) << what;
    };
    // Select row 4, wherever it is, and follow it through the sorts.
    LRESULT index = SendMessageA(h.list, LB_FINDSTRING, -1, (LPARAM)RowWithId(h.list, 4));
    SendMessageA(h.list, LB_SETCURSEL, index, 0);
    struct Step {
        int item, column, descending;
        const char* what;
    } steps[] = {{1, 1, 0, "another column keeps ascending"},  {1, 1, 1, "the same column turns"},
                 {2, 2, 1, "another column keeps descending"}, {2, 2, 0, "and turns back"},
                 {3, 2, 0, "no such column"},                  {-1, 2, 0, "a negative item"},
                 {0, 0, 0, "column 0"}};
    for (const Step& s : steps) {
        click(s.item);
        expect(s.column, s.descending, s.what);
        EXPECT_EQ(ShownRow(h.list, SendMessageA(h.list, LB_GETCURSEL, 0, 0))->id, 4u) << s.what;
    }
    // A refresh by a column without a header item takes the mark off every column.
    ZNList_Refresh(h.list, 7, 0);
    EXPECT_TRUE(MarkedColumns(h.header()).empty());
    std::vector<DWORD> ids = ShownIds(h.list);
    EXPECT_EQ(std::vector<DWORD>(ids.begin(), ids.begin() + 3), (std::vector<DWORD>{3, 5, 2})) << "by severity";
}

TEST(ListHeader, ResizingKeepsEightyPixelsAndRelayoutsTheExtent) {
    ListHost h;
    ZNList_AddHeaderColumn(h.list, L"A", 0);
    ZNList_AddHeaderColumn(h.list, L"B", 0);
    HWND headerParent = GetParent(h.header());
    struct Case {
        UINT mask;
        int button, width;
        LRESULT result;
        int want;
    } cases[] = {{HDI_WIDTH, 0, 30, 0, 80}, {HDI_WIDTH, 0, 79, 0, 80}, {HDI_WIDTH, 0, 80, 0, 80},
                 {HDI_WIDTH, 0, 120, 0, 120}, {HDI_WIDTH, 1, 30, 0, 30}, {HDI_FORMAT, 0, 30, 0, 30}};
    for (const Case& c : cases) {
        HDITEMA item = {};
        item.mask = c.mask;
        item.cxy = c.width;
        NMHEADERA note = {};
        note.hdr.hwndFrom = h.header();
        note.hdr.code = HDN_ENDTRACKA;
        note.iButton = c.button;
        note.pitem = &item;
        EXPECT_EQ(SendMessageA(headerParent, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&note)), c.result);
        EXPECT_EQ(item.cxy, c.want) << "width " << c.width << " button " << c.button;
    }
    // The posted relayout sets the extent from the header items' widths.
    HDITEMA wide = {};
    wide.mask = HDI_WIDTH;
    wide.cxy = 700;
    SendMessageA(h.header(), HDM_SETITEMA, 1, reinterpret_cast<LPARAM>(&wide));
    h.host.Pump();
    EXPECT_EQ(SendMessageA(h.list, LB_GETHORIZONTALEXTENT, 0, 0), 100 + 700 + 4);
    RECT header;
    GetWindowRect(h.header(), &header);
    EXPECT_EQ(header.right - header.left, GetSystemMetrics(SM_CXVSCROLL) + 100 + 700 + 4);
}

// The list's fonts as the host can make them: 9 points from the stock GUI font.
HFONT RecipeFont(int weight) {
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTA font = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
    font.lfWeight = weight;
    font.lfQuality = PROOF_QUALITY;
    DeleteDC(dc);
    return CreateFontIndirectA(&font);
}

int Measure(HWND window, HFONT font, const char* text) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

TEST(ListSizing, ColumnsFitTheirContentsWithinTheirLimits) {
    HFONT normal = RecipeFont(400), bold = RecipeFont(700);
    const std::string longText(120, 'W');  // far wider than any column may grow
    struct Case {
        const char* what;
        const char* mainText;
        bool boldMain, checkBox, withHeader;
        const char* columnText;
    } cases[] = {
        {"short texts", "ab", false, true, true, "x"},
        {"bold main text, no box", "A bold main text", true, false, true, "a column text wider than its title"},
        {"texts beyond the limits", longText.c_str(), false, true, true, longText.c_str()},
        {"no header", longText.c_str(), true, true, false, nullptr},
    };
    for (const Case& c : cases) {
        ListHost h;
        if (c.withHeader) {
            ZNList_AddHeaderColumn(h.list, L"Main", 0);
            ZNList_AddHeaderColumn(h.list, L"Title", 0);
        }
        std::wstring main(c.mainText, c.mainText + strlen(c.mainText));
        InsertRow(h.list, {1, DWORD(c.checkBox ? ZN_UNCHECKED : ZN_CHECK_DISABLED), 0, {main.c_str()},
                           static_cast<WORD>(c.boldMain ? ZN_BOLD_TEXT1 : 0)});
        InsertRow(h.list, {2, ZN_CHECK_DISABLED, 0, {L"i"}});
        if (c.columnText) {
            std::wstring column(c.columnText, c.columnText + strlen(c.columnText));
            ZNList_SetHeaderColumn(h.list, 1, 1, Bstr(column.c_str()));
        }
        ASSERT_EQ(ZNList_Refresh(h.list, 0, 0), 1);

        int mainWidth = 2 + Measure(h.list, c.boldMain ? bold : normal, c.mainText) + (c.checkBox ? 20 : 0);
        int total = mainWidth;
        if (c.withHeader) {
            mainWidth = std::min(mainWidth, 512);
            int columnWidth = std::min(std::max(Measure(h.list, normal, "Title") + 32,
                                                Measure(h.list, normal, c.columnText)), 256);
            EXPECT_EQ(HeaderItem(h.header(), 0).cxy, mainWidth) << c.what;
            EXPECT_EQ(HeaderItem(h.header(), 1).cxy, columnWidth) << c.what;
            total = mainWidth + columnWidth;
            RECT header;
            GetWindowRect(h.header(), &header);
            RECT client;
            GetClientRect(h.list, &client);
            int extent = std::max<int>(client.right - 4, total);
            EXPECT_EQ(header.right - header.left, GetSystemMetrics(SM_CXVSCROLL) + extent + 4) << c.what;
        }
        RECT client;
        GetClientRect(h.list, &client);
        EXPECT_EQ(SendMessageA(h.list, LB_GETHORIZONTALEXTENT, 0, 0), std::max<int>(client.right, total + 4)) << c.what;
    }
    DeleteObject(normal);
    DeleteObject(bold);
}

}  // namespace
