// What the random sessions do not reach in the list: a text update's repaint, the header's
// resizing, and column widths against measurements made here.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "harness.h"

using namespace zt;

namespace {

// A text-only entry update repaints its row at once: the paint over it is gone afterwards.
TEST(ListNotifications, TextEntryUpdatesRepaintTheirRow) {
    Host host;
    HWND list = host.MakeList();
    AddRow(list, {1, 0, L"one"}), ZNList_Refresh(list, 0, 0), host.Repaint(list);
    const RECT item = ItemRect(list, 0);
    HDC dc = GetDC(list);
    FillRect(dc, &item, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), ReleaseDC(list, dc);
    Bstr text(L"new");
    NodeInfo info = Change(1, ZN_CHANGE_TEXT1, 0, text);
    ASSERT_EQ(ZNList_UpdateEntry(list, &info, 0, nullptr), 1);
    EXPECT_EQ(DiffersFromImage(Capture(list), 13, 2, item.top), "");
}

TEST(ListHeader, ResizingKeepsEightyPixelsAndTheBandFollowsTheList) {
    Host host;
    HWND list = host.MakeList();
    ZNList_AddHeaderColumn(list, L"A", 0), ZNList_AddHeaderColumn(list, L"B", 0);
    struct { UINT mask; int button, width, want; } cases[] = {  // a width only, and by the left button only
        {HDI_WIDTH, 0, 30, 80}, {HDI_WIDTH, 0, 79, 80}, {HDI_WIDTH, 0, 120, 120}, {HDI_WIDTH, 1, 30, 30}, {HDI_FORMAT, 0, 30, 30}};
    for (const auto& c : cases) {
        HDITEMA item = {c.mask, c.width};
        host.Notify(HDN_ENDTRACKA, 0, c.button, &item);
        EXPECT_EQ(item.cxy, c.want) << "width " << c.width << " button " << c.button;
    }
    SetColumnWidth(host.Header(), 1, 700), host.Pump();  // and the relayout posted by the resize
    EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), 100 + 700 + 4);
    RECT r = PlaceIn(host.Header(), host.window());
    EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXVSCROLL) + 100 + 700 + 4);
    AddRow(list, {1, 0, L"row"}), ZNList_Refresh(list, 0, 0);
    HWND band = GetParent(host.Header());
    MoveWindow(list, 5, 60, 600, 400, TRUE), host.Pump();  // the band stays the 20 pixels above the list, as wide
    r = PlaceIn(band, host.window());
    EXPECT_TRUE(r.left == 5 && r.top == 40 && r.right == 605 && r.bottom == 60);
}

// Random lists: the list may sum character widths, but must reach the widths measured here.
// The last round has no header: the main column is then not limited.
TEST(ListSizing, RefreshGivesTheWidthsOfMeasuringEveryRow) {
    std::mt19937 random(5);
    const std::wstring pool[] = {L"", L"i", L"W", L"Name", L"name", L"a longer cell text", std::wstring(60, L'W'),
                                 L"Gr\u00fc\u00dfe \u00e9t\u00e9", L"x y z", std::wstring(25, L'm'), L"m"};
    const wchar_t* titles[] = {L"Main", L"One", L"Two", L"Three"};
    for (int round = 0; round < 7; ++round) {
        SCOPED_TRACE(round);
        Host host;
        HWND list = host.MakeList();
        const bool header = round < 6;
        for (const wchar_t* title : titles) if (header) ZNList_AddHeaderColumn(list, title, 0);
        int rows = round < 3 ? 40 : 400, poolSize = round % 2 ? 11 : 6;  // some rounds below the limits
        int width[4] = {0};
        for (int k = 1; k < 4; ++k) width[k] = TextWidth(Narrow(titles[k])) + 32;
        for (int i = 0; i < rows; ++i) {
            std::wstring texts[3];
            for (auto& t : texts) t = pool[random() % poolSize];
            Item item = {static_cast<DWORD>(random() % (rows / 2)), 0, texts[0].c_str()};  // duplicate ids
            item.text2 = random() % 2 ? texts[1].c_str() : nullptr;
            item.text3 = item.text2 && random() % 2 ? texts[2].c_str() : nullptr;
            item.flags = static_cast<WORD>(random() % 16) & (ZN_BOLD_TEXT1 | ZN_BOLD_TEXT2 | ZN_BOLD_TEXT3);
            item.state = random() % 3 ? ZN_UNCHECKED : ZN_CHECK_DISABLED;
            item.severity = random() % 4;
            ASSERT_NE(AddRow(list, item), nullptr);
            int pictures = 2 + (item.state != ZN_CHECK_DISABLED ? 20 : 0);  // no icon lists attached
            const wchar_t* shown[3] = {item.text1, item.text2, item.text3};
            for (int n = 0; n < 3 && shown[n]; ++n)
                width[0] = std::max(width[0], pictures + TextWidth(Narrow(shown[n]), item.flags & (ZN_BOLD_TEXT1 << n) ? 700 : 400));
        }
        for (const ListRow* row = ZNList_GetListHead(list); row; row = row->next)  // to the first row of each id
            for (DWORD k = 1; k <= 3; ++k)
                if (random() % 3) SetCell(list, row->id, k, pool[random() % poolSize].c_str());
        for (const ListRow* row = ZNList_GetListHead(list); row; row = row->next)
            for (size_t k = 1; k <= 3; ++k) width[k] = std::max(width[k], TextWidth(Narrow(Cell(row, k))));
        ASSERT_EQ(ZNList_Refresh(list, static_cast<int>(random() % 4), round % 2), 1);
        int total = header ? std::min(width[0], 512) : width[0];
        if (header) EXPECT_EQ(ColumnWidth(host.Header(), 0), total);
        for (int k = 1; header && k < 4; ++k) {
            EXPECT_EQ(ColumnWidth(host.Header(), k), std::min(width[k], 256)) << "column " << k;
            total += std::min(width[k], 256);
        }
        EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), std::max<int>(Capture::Client(list).right, total + 4));
    }
}

}  // namespace
