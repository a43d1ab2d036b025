// List rows as the user sees them, against the DLL's image strip and texts drawn here: pictures,
// selection box, choice look-alike and editor, multi-line and path cells; and a screenshot.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "list_rig.h"

using namespace host;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255), kYellow = RGB(255, 255, 0), kFrame = RGB(128, 128, 128);

struct ListPaint : ::testing::Test, ListHost {};

TEST_F(ListPaint, PicturesStandAtTheirPlaceForEveryCombination) {
    HIMAGELIST severities = MakeIcons(4), extras = MakeIcons(4);
    ASSERT_EQ(ZNList_AttachSeverityIcons(list, severities) + ZNList_AttachAdditionalIcons(list, extras), 2);
    DWORD id = 1;
    for (DWORD severity : {0u, 2u})
        for (DWORD extra : {0u, 3u})
            for (DWORD state : {ZN_CHECK_DISABLED, ZN_CHECKED, ZN_UNCHECKED, ZN_PARTLY_CHECKED}) {
                InsertRow(list, {id, L"Wg", ZN_UNCHECKED, 0, severity, extra});
                SetState(list, id++, state);
            }
    Show();
    Capture shot(list), text(120, 18);
    text.Text("Wg", {0, 1, 120, 18}, 0x48020);
    ImageStrip strip;
    for (int i = 1; i < 16; ++i) {  // row 0 is selected
        SCOPED_TRACE("row " + std::to_string(i));
        const ListRow* row = ShownRow(list, i);
        RECT item = ItemRect(list, i);
        ASSERT_EQ(item.bottom - item.top, 18);
        int x = 2;
        for (DWORD icon : {DWORD(row->severity ? 2 : 0), DWORD(row->extraIcon)})
            if (icon) {
                EXPECT_TRUE(shot.At(x, item.top + 1) == IconColour(icon) && shot.At(x + 15, item.top + 16) == IconColour(icon));
                x += 20;
            }
        if (row->checkState != ZN_CHECK_DISABLED) {
            int image = row->checkState == ZN_CHECKED ? 14 : row->checkState == ZN_PARTLY_CHECKED ? 15 : 13;
            EXPECT_EQ(CompareImage(shot, strip, image, x, item.top), "") << "check box";
            x += 20;
        }
        EXPECT_EQ(CompareRegion(shot, x, item.top, text, 120, 18), "") << "the text right after the pictures";
    }
    ImageList_Destroy(severities);
    ImageList_Destroy(extras);
}

TEST_F(ListPaint, SelectionBoxSpansTheFilledColumnsWithDots) {
    for (const wchar_t* title : {L"Name", L"One", L"Two", L"Three"}) ZNList_AddHeaderColumn(list, title, 0);
    InsertRow(list, {1, L"a"});
    InsertRow(list, {2, L"b"});
    SetColumn(list, 1, 3, L"third");  // columns 1 and 2 hold "." then
    SetColumn(list, 2, 1, L"first");
    Show();
    int right[4], x = 0;
    for (int k = 0; k < 4; ++k) right[k] = x += ColumnWidth(header(), k);
    ASSERT_LT(right[3] + 2, 500);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const int left = 22;
    for (int index : {0, 1}) {
        SCOPED_TRACE("selected row " + std::to_string(index));
        int end = index ? right[1] : right[3];
        SendMessageA(list, LB_SETCURSEL, index, 0);
        host.Repaint(list);
        Capture shot(list);
        RECT item = ItemRect(list, index);
        for (int dx = 0; dx <= end - left; ++dx) {
            COLORREF dot = dx % 2 ? (left + dx == end ? kWhite : highlight) : kYellow;  // the last dot is past the fill
            ASSERT_TRUE(shot.At(left + dx, item.top) == dot && shot.At(left + dx, item.bottom - 1) == dot) << "x " << left + dx;
        }
        for (int y = item.top; y < item.bottom - 1; ++y)
            EXPECT_EQ(shot.At(left, y), (y - item.top) % 2 ? highlight : kYellow) << "left edge at y " << y;
        EXPECT_EQ(shot.At(end - 1, item.top + 5), highlight) << "no dots on the right edge";
        EXPECT_EQ(shot.At(end + 1, item.top + 5), kWhite) << "the box ends with the last filled column";
        EXPECT_EQ(shot.At(left - 1, item.top + 5), kWhite) << "the box starts at the text";
        EXPECT_EQ(shot.At(left + 40, ItemRect(list, 1 - index).top + 1), kWhite) << "the other row is not highlighted";
    }
}

TEST_F(ListPaint, ChoiceCellShowsLookAlikeUntilSelectedThenTheEditor) {
    InsertRow(list, {1, L"1 first"});  // sorts before the choice list's "5"
    ListRow* row = InsertChoiceRow(list, 2, 1, Bstr::Choices({L"5", L"Low", L"9", L"Highest"}));
    row->choiceIndex = 1;  // as the editor would leave it
    Show();
    ASSERT_EQ(IndexOf(list, row), 1);
    ASSERT_TRUE(IsWindow(editor())) << "the look-alike builds the editor on first need";
    EXPECT_FALSE(IsWindowVisible(editor()));
    Capture reference(200, 40);  // the chosen entry's text in the dialog's font
    SIZE highest;
    SelectObject(reference.dc(), host.font());
    GetTextExtentPoint32A(reference.dc(), "Highest", 7, &highest);
    reference.Text("Highest", {0, 0, 200, 40}, DT_SINGLELINE | DT_NOPREFIX, host.font());
    const int cx = highest.cx + 26, cy = highest.cy, textX = 22, top = ItemRect(list, 1).top, line = top + 1;
    Capture shot(list);
    EXPECT_EQ(shot.At(textX, line + 4), kFrame) << "left side of the frame";
    EXPECT_EQ(shot.At(textX + 3, line - 2), kFrame) << "top of the frame";
    EXPECT_EQ(shot.At(textX + 3, line + cy + 2), kFrame) << "bottom of the frame";
    EXPECT_EQ(shot.At(textX + 3, line + 4), kWhite) << "the frame is hollow";
    EXPECT_EQ(CompareRegion(shot, textX + 4, line + 1, reference, highest.cx, cy - 2), "");
    // Selected: the editor stands over the cell, filled with the entries' values.
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    host.Repaint(list);
    HWND box = editor();
    ASSERT_TRUE(IsWindowVisible(box));
    EXPECT_EQ(GetWindowLongPtrA(box, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(row));
    RECT at;
    GetWindowRect(box, &at);
    MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&at), 2);
    EXPECT_TRUE(at.left == textX && at.top == top - 2 && at.right - at.left == cx) << at.left << "," << at.top << "," << at.right;
    EXPECT_EQ(SendMessageA(box, CB_GETDROPPEDWIDTH, 0, 0), cx);
    ASSERT_EQ(SendMessageA(box, CB_GETCOUNT, 0, 0), 2);
    EXPECT_TRUE(SendMessageA(box, CB_GETITEMDATA, 0, 0) == 5 && SendMessageA(box, CB_GETITEMDATA, 1, 0) == 9);
    EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(row->choiceValue, 9);
}

// The path column shows the longest shortened form that fits (never the second component), else
// the shortest.
TEST_F(ListPaint, MultiLineAndPathCellsFitTheirRectangles) {
    ZNList_AddHeaderColumn(list, L"Name", 0);
    ZNList_AddHeaderColumn(list, L"Notes", ZN_COLUMN_MULTILINE);
    ZNList_AddHeaderColumn(list, L"Path", ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE);
    const std::string notes = "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda";
    const std::string p[5] = {"Program Files", "Vendor Name", "Product Suite", "Version Eleven", "Binary Folder"};
    const std::string whole = p[0] + "\\" + p[1] + "\\" + p[2] + "\\" + p[3] + "\\" + p[4];
    InsertRow(list, {1, L"first"});
    InsertRow(list, {2, L"second", ZN_UNCHECKED, 0, 0, 0, L"two", L"three"});
    SetColumn(list, 2, 1, std::wstring(notes.begin(), notes.end()).c_str());
    SetColumn(list, 2, 2, std::wstring(whole.begin(), whole.end()).c_str());
    Show();
    Capture probe(4, 4);
    SelectObject(probe.dc(), ListFont(400));
    SIZE line;
    GetTextExtentPoint32A(probe.dc(), "x", 1, &line);
    const int bottom = 1 + (53 / line.cy) * line.cy;  // whole lines only
    std::set<std::string> shown;
    for (int pathWidth : {300, 200, 150, 110, 70}) {
        SetColumnWidth(header(), 1, 90);
        SetColumnWidth(header(), 2, pathWidth);
        host.Repaint(list);
        Capture shot(list);
        RECT item = ItemRect(list, 1);
        ASSERT_EQ(item.bottom - item.top, 58);
        int x1 = ColumnWidth(header(), 0), w = pathWidth - 4;
        Capture noteText(86, 58), pathText(w, 58);
        noteText.Text(notes, {0, 1, 86, bottom}, 0x48010);
        EXPECT_EQ(CompareRegion(shot, x1, item.top, noteText, 86, 58), "") << "notes";
        auto fits = [&](std::string text) {
            RECT r = {0, 1, w, bottom};
            DrawTextExA(probe.dc(), &text[0], -1, &r, 0x44010 | DT_CALCRECT, nullptr);
            return r.bottom - r.top <= bottom - 1;
        };
        std::string expected = whole;
        if (!fits(whole)) {
            expected = p[0] + "\\...\\" + p[4];
            for (std::string tail : {p[3] + "\\" + p[4], p[2] + "\\" + p[3] + "\\" + p[4]}) {
                if (!fits(p[0] + "\\...\\" + tail)) break;
                expected = p[0] + "\\...\\" + tail;
            }
        }
        shown.insert(expected);
        pathText.Text(expected, {0, 1, w, bottom}, 0x44010);
        EXPECT_EQ(CompareRegion(shot, x1 + 90, item.top, pathText, w, 58), "") << "width " << pathWidth << ": " << expected;
    }
    EXPECT_GE(shown.size(), 3u) << "the widths should lead to different forms";
}

TEST_F(ListPaint, NarrowPathCellIsLeftEmpty) {  // Wine would abort on a path ellipsis this narrow
    ZNList_AddHeaderColumn(list, L"Name", 0);
    ZNList_AddHeaderColumn(list, L"Path", ZN_COLUMN_PATH);
    ZNList_AddHeaderColumn(list, L"Wrapped path", ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE);
    InsertRow(list, {1, L"first", ZN_UNCHECKED, 0, 0, 0, L"two"});
    SetColumn(list, 1, 1, L"C:\\some\\long\\path\\to\\a\\file.txt");
    SetColumn(list, 1, 2, L"C:\\some\\long path\\to a\\file.txt");
    Show();
    for (int width : {4, 10, 14, 18}) {
        SetColumnWidth(header(), 1, width);
        SetColumnWidth(header(), 2, width);
        host.Repaint(list);
        ASSERT_TRUE(IsWindow(list));
    }
}

// A representative list saved for a person to look at (build tree, screenshots/list.bmp).
TEST_F(ListPaint, ScreenshotOfARepresentativeList) {
    HIMAGELIST severities = MakeIcons(4), extras = MakeIcons(4);
    ZNList_AttachSeverityIcons(list, severities);
    ZNList_AttachAdditionalIcons(list, extras);
    ZNList_AddHeaderColumn(list, L"Item", 0);
    ZNList_AddHeaderColumn(list, L"Notes", ZN_COLUMN_MULTILINE);
    ZNList_AddHeaderColumn(list, L"Path", ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE);
    ZNList_AddHeaderColumn(list, L"Size", ZN_COLUMN_CENTER | ZN_COLUMN_TITLE_CENTER);
    InsertRow(list, {1, L"Alpha", ZN_CHECKED, ZN_BOLD_TEXT1, 1, 0, L"second line", L"third line"});
    InsertRow(list, {2, L"Beta", ZN_UNCHECKED, 0, 2, 1});
    InsertChoiceRow(list, 3, 2, Bstr::Choices({L"1", L"Keep", L"2", L"Replace", L"3", L"Skip"}), ZN_CHECK_DISABLED, L"Gamma");
    InsertRow(list, {4, L"Delta", ZN_UNCHECKED, 0, 3, 2, L"two lines"});
    for (DWORD id = 1; id <= 4; ++id) SetColumn(list, id, 3, L"12 KB");
    SetColumn(list, 1, 1, L"some notes that wrap over lines");
    SetColumn(list, 1, 2, L"Program Files\\Vendor Name\\Product Suite\\Version Eleven\\Binary Folder");
    SetColumn(list, 4, 2, L"C:\\short\\path");
    ZNList_Refresh(list, 0, 1);
    SetColumnWidth(header(), 2, 150);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    host.Repaint(list);
    host.Repaint(list);
    CreateDirectoryA("..\\screenshots", nullptr);
    EXPECT_TRUE(Capture(host.window()).SaveBmp("..\\screenshots\\list.bmp"));
    ImageList_Destroy(severities);
    ImageList_Destroy(extras);
}

}  // namespace
