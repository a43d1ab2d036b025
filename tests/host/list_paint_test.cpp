// List rows as the user sees them: pictures, selection box, choice look-alike and editor,
// multi-line and path cells, and the header following horizontal scrolling.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "list_rig.h"

using namespace host;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kFrame = RGB(128, 128, 128);

struct ListPaint : ::testing::Test {
    HostWindow host;
    HWND list = nullptr;
    void SetUp() override { list = host.MakeList(10, 40, 520, 420); }
    void TearDown() override { ZNList_Destroy(list); }
    void Show() {
        ZNList_Refresh(list, 0, 0);
        host.Repaint(list);
    }
};

TEST_F(ListPaint, PicturesStandAtTheirPlaceForEveryCombination) {
    HIMAGELIST severities = MakeIcons(4), extras = MakeIcons(4);
    ASSERT_EQ(ZNList_AttachSeverityIcons(list, severities), 1);
    ASSERT_EQ(ZNList_AttachAdditionalIcons(list, extras), 1);
    const DWORD states[] = {ZN_CHECK_DISABLED, ZN_CHECKED, ZN_UNCHECKED, ZN_PARTLY_CHECKED};
    DWORD id = 1;
    for (DWORD severity : {0u, 2u})
        for (DWORD extra : {0u, 3u})
            for (DWORD state : states) {
                ListRow* row = InsertRow(list, {id, L"Wg", ZN_UNCHECKED, 0, severity, extra});
                NodeInfo update = {};
                update.id = id++;
                update.parentId = ZN_CHANGE_CHECK;  // the only way to a partly checked row
                update.checkState = state;
                ZNList_UpdateItem(list, &update, 0);
                ASSERT_EQ(row->checkState, state);
            }
    Show();
    Capture shot(list);
    ImageStrip strip;
    HFONT font = ListFont(FW_NORMAL);
    for (int i = 1; i < 16; ++i) {  // row 0 is selected
        const ListRow* row = RowAt(list, i);
        RECT item = ItemRect(list, i);
        ASSERT_EQ(item.bottom - item.top, 18);
        int x = 2;
        if (row->severity) {
            EXPECT_EQ(shot.At(2, item.top + 1), IconColour(2)) << "severity of row " << i;
            EXPECT_EQ(shot.At(17, item.top + 16), IconColour(2)) << "severity of row " << i;
            x = 22;
        }
        if (row->extraIcon) {
            EXPECT_EQ(shot.At(x, item.top + 1), IconColour(3)) << "extra icon of row " << i;
            EXPECT_EQ(shot.At(x + 15, item.top + 16), IconColour(3)) << "extra icon of row " << i;
            x += 20;
        }
        if (row->checkState != ZN_CHECK_DISABLED) {
            int image = row->checkState == ZN_CHECKED ? 14 : row->checkState == ZN_PARTLY_CHECKED ? 15 : 13;
            EXPECT_EQ(CompareImage(shot, strip, image, x, item.top, kWhite), "") << "check box of row " << i;
            x += 20;
        }
        // The text starts right after the pictures: compare with the same text drawn there.
        Capture reference(120, 18);
        HGDIOBJ old = SelectObject(reference.dc(), font);
        SetTextColor(reference.dc(), GetSysColor(COLOR_WINDOWTEXT));
        RECT rect = {0, 1, 120, 18};
        DrawTextExA(reference.dc(), const_cast<char*>("Wg"), -1, &rect, 0x48020, nullptr);
        SelectObject(reference.dc(), old);
        EXPECT_EQ(CompareRegion(shot, x, item.top, reference, 120, 18), "") << "text of row " << i;
    }
    DeleteObject(font);
    ImageList_Destroy(severities);
    ImageList_Destroy(extras);
}

TEST_F(ListPaint, SelectionBoxSpansTheFilledColumnsWithDots) {
    ASSERT_EQ(ZNList_AddHeaderColumn(list, L"Name", 0), 1);
    for (const wchar_t* title : {L"One", L"Two", L"Three"}) ZNList_AddHeaderColumn(list, title, 0);
    InsertRow(list, {1, L"a"});
    InsertRow(list, {2, L"b"});
    SetColumn(list, 1, 3, L"third");  // columns 1 and 2 hold "." then
    SetColumn(list, 2, 1, L"first");
    Show();
    HWND header = HeaderOf(host.window());
    int right[4], x = 0;
    for (int k = 0; k < 4; ++k) right[k] = x += ColumnWidth(header, k);
    ASSERT_LT(right[3] + 2, 500);

    struct Expect { int index; int end; };
    for (Expect e : {Expect{0, right[3]}, Expect{1, right[1]}}) {
        SendMessageA(list, LB_SETCURSEL, e.index, 0);
        host.Repaint(list);
        Capture shot(list);
        RECT item = ItemRect(list, e.index);
        const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
        const int left = 22;
        SCOPED_TRACE("selected row " + std::to_string(e.index));
        for (int dx = 0; dx <= e.end - left; ++dx) {
            COLORREF dot = dx % 2 ? highlight : kYellow;
            if (left + dx == e.end) dot = dx % 2 ? kWhite : kYellow;  // the last dot stands past the fill
            ASSERT_EQ(shot.At(left + dx, item.top), dot) << "top line at x " << left + dx;
            ASSERT_EQ(shot.At(left + dx, item.bottom - 1), dot) << "bottom line at x " << left + dx;
        }
        for (int y = item.top; y < item.bottom - 1; ++y)
            EXPECT_EQ(shot.At(left, y), (y - item.top) % 2 ? highlight : kYellow) << "left edge at y " << y;
        EXPECT_EQ(shot.At(e.end - 1, item.top + 5), highlight) << "no dots on the right edge";
        EXPECT_EQ(shot.At(e.end + 1, item.top + 5), kWhite) << "the box ends with the last filled column";
        EXPECT_EQ(shot.At(left - 1, item.top + 5), kWhite) << "the box starts at the text";
        // The other row is not highlighted.
        RECT other = ItemRect(list, 1 - e.index);
        EXPECT_EQ(shot.At(left + 40, other.top + 1), kWhite);
    }
}

TEST_F(ListPaint, ChoiceCellShowsLookAlikeUntilSelectedThenTheEditor) {
    Bstr choices = Bstr::Choices({L"5", L"Low", L"9", L"Highest"});
    InsertRow(list, {1, L"1 first"});  // sorts before the choice list's "5"
    ListRow* row = InsertChoiceRow(list, 2, L"unused", 1, choices, ZN_UNCHECKED);
    row->choiceIndex = 1;  // as the editor would leave it
    Show();
    ASSERT_EQ(IndexOf(list, row), 1);
    HWND editor = EditorOf(list);
    ASSERT_TRUE(IsWindow(editor)) << "the look-alike builds the editor on first need";
    EXPECT_FALSE(IsWindowVisible(editor));

    HDC dc = GetDC(editor);
    HGDIOBJ old = SelectObject(dc, host.font());
    SIZE low, highest;
    GetTextExtentPoint32A(dc, "Low", 3, &low);
    GetTextExtentPoint32A(dc, "Highest", 7, &highest);
    SelectObject(dc, old);
    ReleaseDC(editor, dc);
    const int cx = highest.cx + 26, cy = highest.cy, textX = 22;
    RECT item = ItemRect(list, 1);
    const int lineTop = item.top + 1, right = textX + cx - 2;

    Capture shot(list);
    EXPECT_EQ(shot.At(textX, lineTop + 4), kFrame) << "left side of the frame";
    EXPECT_EQ(shot.At(textX + 3, lineTop - 2), kFrame) << "top of the frame";
    EXPECT_EQ(shot.At(textX + 3, lineTop + cy + 2), kFrame) << "bottom of the frame";
    EXPECT_EQ(shot.At(textX + 3, lineTop + 4), kWhite) << "the frame is hollow";
    // The chosen entry's text, drawn in the dialog's font.
    Capture reference(highest.cx, cy);
    old = SelectObject(reference.dc(), host.font());
    SetTextColor(reference.dc(), GetSysColor(COLOR_WINDOWTEXT));
    ExtTextOutA(reference.dc(), 0, 0, 0, nullptr, "Highest", 7, nullptr);
    SelectObject(reference.dc(), old);
    EXPECT_EQ(CompareRegion(shot, textX + 4, lineTop + 1, reference, highest.cx, cy - 2), "");

    // Selected: the editor stands over the cell, filled with the entries' values.
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    host.Repaint(list);
    ASSERT_TRUE(IsWindowVisible(editor));
    EXPECT_EQ(GetWindowLongPtrA(editor, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(row));
    RECT at;
    GetWindowRect(editor, &at);
    MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&at), 2);
    EXPECT_EQ(at.left, textX);
    EXPECT_EQ(at.top, item.top - 2);
    EXPECT_EQ(at.right - at.left, cx);
    EXPECT_EQ(SendMessageA(editor, CB_GETDROPPEDWIDTH, 0, 0), cx);
    ASSERT_EQ(SendMessageA(editor, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(editor, CB_GETITEMDATA, 0, 0), 5);
    EXPECT_EQ(SendMessageA(editor, CB_GETITEMDATA, 1, 0), 9);
    EXPECT_EQ(SendMessageA(editor, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(row->choiceValue, 9);
    (void)right;
    (void)low;
}

// Multi-line and path cells against the same texts drawn here with the same font and flags.
TEST_F(ListPaint, MultiLineAndPathCellsFitTheirRectangles) {
    ZNList_AddHeaderColumn(list, L"Name", 0);
    ZNList_AddHeaderColumn(list, L"Notes", ZN_COLUMN_MULTILINE);
    ZNList_AddHeaderColumn(list, L"Path", ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE);
    const wchar_t* notes = L"alpha beta gamma delta epsilon zeta eta theta iota kappa lambda";
    const std::string path[5] = {"Program Files", "Vendor Name", "Product Suite", "Version Eleven", "Binary Folder"};
    std::wstring widePath;
    for (int i = 0; i < 5; ++i) widePath += (i ? L"\\" : L"") + std::wstring(path[i].begin(), path[i].end());
    InsertRow(list, {1, L"first"});
    InsertRow(list, {2, L"second", ZN_UNCHECKED, 0, 0, 0, L"two", L"three"});
    SetColumn(list, 2, 1, notes);
    SetColumn(list, 2, 2, widePath.c_str());
    Show();
    HWND header = HeaderOf(host.window());
    HFONT font = ListFont(FW_NORMAL);
    std::set<std::string> shown;
    for (int pathWidth : {300, 200, 150, 110, 70}) {
        SetColumnWidth(header, 1, 90);
        SetColumnWidth(header, 2, pathWidth);
        host.Repaint(list);
        Capture shot(list);
        RECT item = ItemRect(list, 1);
        ASSERT_EQ(item.bottom - item.top, 58);
        int x1 = ColumnWidth(header, 0), x2 = x1 + 90;
        RECT cell = {0, 1, 0, 58 - 4};
        HGDIOBJ old;
        SIZE line;
        {
            Capture probe(4, 4);
            old = SelectObject(probe.dc(), font);
            GetTextExtentPoint32A(probe.dc(), "x", 1, &line);
            SelectObject(probe.dc(), old);
        }
        cell.bottom -= (cell.bottom - cell.top) % line.cy;  // whole lines only
        // The notes column.
        {
            Capture reference(86, 58);
            old = SelectObject(reference.dc(), font);
            SetTextColor(reference.dc(), GetSysColor(COLOR_WINDOWTEXT));
            RECT r = {0, cell.top, 86, cell.bottom};
            std::string narrow(notes, notes + wcslen(notes));
            DrawTextExA(reference.dc(), &narrow[0], -1, &r, 0x48010, nullptr);
            SelectObject(reference.dc(), old);
            EXPECT_EQ(CompareRegion(shot, x1, item.top, reference, 86, 58), "") << "notes";
        }
        // The path column: the longest of the shortened forms that fits, else the shortest.
        int w = pathWidth - 4;
        Capture reference(w, 58);
        old = SelectObject(reference.dc(), font);
        SetTextColor(reference.dc(), GetSysColor(COLOR_WINDOWTEXT));
        auto fits = [&](std::string text) {
            RECT r = {0, cell.top, w, cell.bottom};
            DrawTextExA(reference.dc(), &text[0], -1, &r, 0x44010 | DT_CALCRECT, nullptr);
            return r.bottom - r.top <= cell.bottom - cell.top;
        };
        std::string whole = path[0] + "\\" + path[1] + "\\" + path[2] + "\\" + path[3] + "\\" + path[4];
        std::string expected = whole;
        if (!fits(whole)) {
            expected = path[0] + "\\...\\" + path[4];
            for (std::string tail : {path[3] + "\\" + path[4], path[2] + "\\" + path[3] + "\\" + path[4]}) {
                if (!fits(path[0] + "\\...\\" + tail)) break;
                expected = path[0] + "\\...\\" + tail;
            }
        }
        shown.insert(expected);
        if (expected != whole) EXPECT_EQ(expected.find(path[1]), std::string::npos);
        RECT r = {0, cell.top, w, cell.bottom};
        DrawTextExA(reference.dc(), &expected[0], -1, &r, 0x44010, nullptr);
        SelectObject(reference.dc(), old);
        EXPECT_EQ(CompareRegion(shot, x2, item.top, reference, w, 58), "") << "path at width " << pathWidth
                                                                           << ", expected " << expected;
    }
    EXPECT_GE(shown.size(), 3u) << "the widths should lead to different forms";
    DeleteObject(font);
}

TEST_F(ListPaint, NarrowPathCellIsLeftEmpty) {
    ZNList_AddHeaderColumn(list, L"Name", 0);
    ZNList_AddHeaderColumn(list, L"Path", ZN_COLUMN_PATH);
    ZNList_AddHeaderColumn(list, L"Wrapped path", ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE);
    InsertRow(list, {1, L"first", ZN_UNCHECKED, 0, 0, 0, L"two"});
    SetColumn(list, 1, 1, L"C:\\some\\long\\path\\to\\a\\file.txt");
    SetColumn(list, 1, 2, L"C:\\some\\long path\\to a\\file.txt");
    Show();
    HWND header = HeaderOf(host.window());
    for (int width : {4, 10, 14, 18}) {
        SetColumnWidth(header, 1, width);
        SetColumnWidth(header, 2, width);
        host.Repaint(list);  // Wine would abort here on a path ellipsis this narrow
        ASSERT_TRUE(IsWindow(list));
    }
}

TEST_F(ListPaint, HeaderFollowsHorizontalScrolling) {
    ZNList_AddHeaderColumn(list, L"Name", 0);
    ZNList_AddHeaderColumn(list, L"Wide", 0);
    InsertRow(list, {1, L"first"});
    Show();
    HWND header = HeaderOf(host.window());
    SetColumnWidth(header, 1, 900);
    PostMessageA(HeaderParentOf(host.window()), ZN_HEADER_RELAYOUT, 0, 0);
    host.Pump();
    SendMessageA(list, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 30), 0);
    host.Repaint(list);
    RECT at;
    GetWindowRect(header, &at);
    MapWindowPoints(nullptr, HeaderParentOf(host.window()), reinterpret_cast<POINT*>(&at), 2);
    EXPECT_EQ(at.left, -30);
    SendMessageA(list, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    host.Repaint(list);
    GetWindowRect(header, &at);
    MapWindowPoints(nullptr, HeaderParentOf(host.window()), reinterpret_cast<POINT*>(&at), 2);
    EXPECT_EQ(at.left, 0);
}

}  // namespace

namespace {

// A representative list saved for a person to look at (build tree, screenshots/list.bmp).
TEST_F(ListPaint, ScreenshotOfARepresentativeList) {
    HIMAGELIST severities = MakeIcons(4), extras = MakeIcons(4);
    ZNList_AttachSeverityIcons(list, severities);
    ZNList_AttachAdditionalIcons(list, extras);
    ZNList_AddHeaderColumn(list, L"Item", 0);
    ZNList_AddHeaderColumn(list, L"Notes", ZN_COLUMN_MULTILINE);
    ZNList_AddHeaderColumn(list, L"Path", ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE);
    ZNList_AddHeaderColumn(list, L"Size", ZN_COLUMN_CENTER | ZN_COLUMN_TITLE_CENTER);
    Bstr choices = Bstr::Choices({L"1", L"Keep", L"2", L"Replace", L"3", L"Skip"});
    InsertRow(list, {1, L"Alpha", ZN_CHECKED, ZN_BOLD_TEXT1, 1, 0, L"second line", L"third line"});
    InsertRow(list, {2, L"Beta", ZN_UNCHECKED, 0, 2, 1});
    InsertChoiceRow(list, 3, L"Gamma", 2, choices, ZN_CHECK_DISABLED);
    InsertRow(list, {4, L"Delta", ZN_UNCHECKED, 0, 3, 2, L"two lines"});
    for (DWORD id = 1; id <= 4; ++id) SetColumn(list, id, 3, L"12 KB");
    SetColumn(list, 1, 1, L"some notes that wrap over lines");
    SetColumn(list, 1, 2, L"Program Files\\Vendor Name\\Product Suite\\Version Eleven\\Binary Folder");
    SetColumn(list, 4, 2, L"C:\\short\\path");
    ZNList_Refresh(list, 0, 1);
    SetColumnWidth(HeaderOf(host.window()), 2, 150);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    host.Repaint(list);
    host.Repaint(list);
    Capture shot(host.window());
    CreateDirectoryA("..\\screenshots", nullptr);
    EXPECT_TRUE(shot.SaveBmp("..\\screenshots\\list.bmp"));
    ImageList_Destroy(severities);
    ImageList_Destroy(extras);
}

}  // namespace
