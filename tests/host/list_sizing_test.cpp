// Column widths after a refresh of random lists, against widths measured here row by row with
// GetTextExtentPoint32A in the list's fonts: the list may sum character widths instead, but the
// widths must come out the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "list_rig.h"
#include "list_support.h"

using namespace host;

namespace {

struct Measurer {
    explicit Measurer(HWND window) : window(window), dc(GetDC(window)) {}
    ~Measurer() {
        SelectObject(dc, old);
        DeleteObject(normal);
        DeleteObject(bold);
        ReleaseDC(window, dc);
    }
    int Width(const std::string& text, bool isBold) {
        SelectObject(dc, isBold ? bold : normal);
        SIZE size = {};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(std::strlen(text.c_str())), &size);
        return size.cx;
    }
    HWND window;
    HDC dc;
    HFONT normal = ListFont(400), bold = ListFont(700);
    HGDIOBJ old = SelectObject(dc, normal);
};

std::string Narrow(const std::wstring& wide) {
    char buffer[1024] = {};
    WideCharToMultiByte(GetACP(), 0, wide.c_str(), static_cast<int>(wide.size()), buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}

TEST(ListSizingByRows, RefreshGivesTheWidthsOfMeasuringEveryRow) {
    std::mt19937 random(5);
    const std::wstring pool[] = {L"", L"i", L"W", L"Name", L"name", L"a longer cell text", std::wstring(60, L'W'),
                                 L"Gr\u00fc\u00dfe \u00e9t\u00e9", L"x y z", std::wstring(25, L'm'), L"m"};
    for (int round = 0; round < 6; ++round) {
        ListHost h;
        for (const wchar_t* title : {L"Main", L"One", L"Two", L"Three"}) ZNList_AddHeaderColumn(h.list, title, 0);
        int rows = round < 3 ? 40 : 400;
        // Wider texts only in some rounds, so that widths below the limits are compared too.
        int poolSize = round % 2 ? 11 : 6;
        Measurer measure(h.list);
        const char* titles[] = {"Main", "One", "Two", "Three"};
        int mainWidth = 0, columnWidth[4] = {0, 0, 0, 0};
        for (int k = 1; k < 4; ++k) columnWidth[k] = measure.Width(titles[k], false) + 32;
        for (int i = 0; i < rows; ++i) {
            DWORD id = static_cast<DWORD>(random() % (rows / 2));  // duplicate ids
            RowSpec spec{id, nullptr};
            std::wstring texts[3];
            for (auto& t : texts) t = pool[random() % poolSize];
            spec.text1 = texts[0].c_str();
            spec.text2 = random() % 2 ? texts[1].c_str() : nullptr;
            spec.text3 = spec.text2 && random() % 2 ? texts[2].c_str() : nullptr;
            spec.flags = static_cast<WORD>(random() % 16) & (ZN_BOLD_TEXT1 | ZN_BOLD_TEXT2 | ZN_BOLD_TEXT3);
            spec.checkState = random() % 3 ? ZN_UNCHECKED : ZN_CHECK_DISABLED;
            spec.severity = random() % 4;
            ListRow* row = InsertRow(h.list, spec);
            ASSERT_NE(row, nullptr);
            int pictures = 2 + (spec.checkState != ZN_CHECK_DISABLED ? 20 : 0);  // no icon lists attached
            const wchar_t* shown[3] = {spec.text1, spec.text2, spec.text3};
            for (int n = 0; n < 3 && shown[n]; ++n)
                mainWidth = std::max(mainWidth, pictures + measure.Width(Narrow(shown[n]), spec.flags & (ZN_BOLD_TEXT1 << n)));
        }
        // Column texts go to the first row of each id, columns left out show ".".
        for (const ListRow* row = ZNList_GetListHead(h.list); row; row = row->next) {
            for (DWORD k = 1; k <= 3; ++k)
                if (random() % 3) SetColumn(h.list, row->id, k, pool[random() % poolSize].c_str());
        }
        for (const ListRow* row = ZNList_GetListHead(h.list); row; row = row->next) {
            size_t count = row->columnTexts.begin ? row->columnTexts.end - row->columnTexts.begin : 0;
            for (size_t k = 1; k <= count && k <= 3; ++k)
                columnWidth[k] = std::max(columnWidth[k], measure.Width(Narrow(TextOf(row->columnTexts.begin[k - 1])), false));
        }
        ASSERT_EQ(ZNList_Refresh(h.list, static_cast<int>(random() % 4), round % 2), 1);
        EXPECT_EQ(ColumnWidth(h.header(), 0), std::min(mainWidth, 512)) << "round " << round;
        for (int k = 1; k < 4; ++k) EXPECT_EQ(ColumnWidth(h.header(), k), std::min(columnWidth[k], 256)) << "round " << round << ", column " << k;
    }
}

}  // namespace

namespace {

// Every shown item's height against the row height rule, worked out here.
std::string HeightMismatch(HWND list) {
    for (LRESULT i = 0, n = SendMessageA(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
        const ListRow* row = ShownRow(list, i);
        int want = row->textCount * 18 + (row->textCount >= 2 ? 4 : 0);
        if (SendMessageA(list, LB_GETITEMHEIGHT, i, 0) != (want ? want : 1)) return "item " + std::to_string(i);
    }
    return "";
}

TEST(ListLargeRefresh, ThousandsOfRowsOfMixedHeightsShowFromTheTopWithTheirHeights) {
    ListHost h;
    ZNList_AddHeaderColumn(h.list, L"Main", 0);
    ZNList_AddHeaderColumn(h.list, L"One", 0);
    std::mt19937 random(9);
    const int rows = 3000;
    for (int i = 0; i < rows; ++i) {
        RowSpec spec{static_cast<DWORD>(random() % 1000), random() % 4 ? L"text" : nullptr};
        spec.text2 = random() % 2 ? L"" : nullptr;
        spec.text3 = random() % 2 ? L"third" : nullptr;
        ASSERT_NE(InsertRow(h.list, spec), nullptr);
        if (i % 3 == 0) SetColumn(h.list, spec.id, 1, random() % 2 ? L"b" : L"A");
    }
    ASSERT_EQ(ZNList_Refresh(h.list, 1, 0), 1);
    EXPECT_EQ(SendMessageA(h.list, LB_GETCOUNT, 0, 0), rows);
    EXPECT_EQ(ShownRow(h.list, SendMessageA(h.list, LB_GETCURSEL, 0, 0)), ZNList_GetListHead(h.list))
        << "the first row stays selected at its sorted place";
    EXPECT_EQ(HeightMismatch(h.list), "");
    // Rows whose texts change between sorts get new heights at the next sort.
    for (DWORD id = 0; id < 1000; id += 3) {
        Bstr text(L"new");
        NodeInfo info = {0, id, ZN_CHANGE_TEXT1 | ZN_CHANGE_TEXT2 | ZN_CHANGE_TEXT3, 0, 0, 0, 0, 0, text, text, nullptr};
        ZNList_UpdateItem(h.list, &info, 0);
    }
    SendMessageA(h.list, LB_SETTOPINDEX, 1500, 0);
    NMHEADERA click = {};
    click.hdr.hwndFrom = h.header();
    click.hdr.idFrom = HostWindow::kListId + 1;
    click.hdr.code = HDN_ITEMCLICKA;
    click.iItem = 0;
    SendMessageA(GetParent(h.header()), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(HeightMismatch(h.list), "");
}

}  // namespace
