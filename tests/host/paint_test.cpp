// What the controls show, read back after a real paint: the tree's connectors, lines, icons and
// boxes against the DLL's image strip, selection boxes, the list's pictures and its multi-line
// and path cells against texts drawn here.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "harness.h"

using namespace zt;

namespace {

const DWORD U = ZN_UNCHECKED, C = ZN_CHECKED, D = ZN_CHECK_DISABLED, P = ZN_PARTLY_CHECKED;
constexpr COLORREF kWhite = RGB(255, 255, 255), kYellow = RGB(255, 255, 0);

// Cells: the strip image (or its top w x h), or from 100 on the host's icon colour, at x and dy
// below the top of the node's row.
struct Cell { DWORD id; int image, x, dy = 0, w = 18, h = 18; };

TEST(TreePaint, ConnectorsIconsAndBoxesStandAtTheirPlaces) {
    // 1 { 10, 11 }, 2, 3 { 30 }, 4 { 40, 41 }: 1 becomes checked, 4 partly checked. Icons named
    // without the host's lists take no room.
    const std::vector<Item> fourTops = {{1, 0, L"one", U, 0, 2, 1}, {10, 1, L"ten", D}, {11, 1, L"eleven", C},
                                        {2, 0, L"two", U},  {3, 0, L"three", U},  {30, 3, L"thirty", U, 0, 1, 1},
                                        {4, 0, L"four", U}, {40, 4, L"forty", C}, {41, 4, L"forty-one", U}};
    const struct { std::vector<Item> nodes; Ids expand; bool icons; std::vector<Cell> cells; } cases[] = {
        {fourTops, {}, false, {{1, 0, 2}, {1, 14, 22}, {2, 7, 2}, {2, 13, 22}, {3, 1, 2}, {3, 13, 22}, {4, 2, 2}, {4, 15, 22}}},
        {fourTops, {1, 3, 4}, false, {{1, 3, 2}, {1, 14, 22}, {10, 7, 20}, {10, 16, 40}, {11, 8, 20}, {11, 14, 40},
                                      {2, 7, 2}, {2, 13, 22}, {3, 4, 2}, {3, 13, 22}, {30, 8, 20}, {30, 13, 40},
                                      {4, 5, 2}, {4, 15, 22}, {40, 7, 20}, {40, 14, 40}, {41, 8, 20}, {41, 13, 40}}},
        {{{1, 0, L"a"}, {2, 1, L"b"}}, {}, false, {{1, 10, 2}, {1, 13, 22}}},
        {{{1, 0, L"a"}, {2, 1, L"b"}, {3, 2, L"c"}, {4, 2, L"d", C}}, {1, 2}, false,
         {{1, 11, 2}, {1, 15, 22}, {2, 5, 20}, {2, 15, 40}, {3, 7, 38}, {3, 13, 58}, {4, 8, 38}, {4, 14, 58}}},
        {{{1, 0, L"a"}, {2, 1, L"b"}, {3, 2, L"c"}}, {1}, false, {{2, 2, 20}, {2, 13, 40}}},
        {{{1, 0, L"a"}}, {}, false, {{1, 12, 2}, {1, 13, 22}}},
        {{{1, 0, L"a", C}, {2, 0, L"b", D}}, {}, false, {{1, 6, 2}, {1, 14, 22}, {2, 8, 2}}},
        // Lines run through the lower lines of tall rows and their 4-pixel gaps: 1 (two lines, open)
        // { 10 (three lines), 11 }, 2. 9 is the straight line, 7 a tee, 8 an end.
        {{{1, 0, L"one", U, 0, 0, 0, L"one b"}, {10, 1, L"ten", D, 0, 0, 0, L"ten b", L"ten c"}, {11, 1, L"eleven", D},
          {2, 0, L"two", D}}, {1}, false,
         {{1, 3, 2}, {1, 9, 2, 18}, {1, 9, 2, 36, 16, 4}, {1, 9, 20, 18}, {1, 9, 20, 36, 16, 4}, {10, 9, 2}, {10, 9, 2, 18},
          {10, 9, 2, 36}, {10, 9, 2, 54, 16, 4}, {10, 7, 20}, {10, 9, 20, 18}, {10, 9, 20, 36}, {10, 9, 20, 54, 16, 4}, {2, 8, 2}}},
        // Icons push the boxes right, and each ancestor's icons push its descendants' rows.
        {{{1, 0, L"a", U, 0, 1, 2}, {10, 1, L"b", U, 0, 2}, {11, 10, L"c", U, 0, 0, 3}}, {1, 10}, true,
         {{1, 11, 2}, {1, 101, 22}, {1, 102, 42}, {1, 13, 62}, {10, 5, 60}, {10, 102, 80}, {10, 13, 100},
          {11, 8, 98}, {11, 103, 118}, {11, 13, 138}}},
    };
    HIMAGELIST icons = MakeIcons(4);
    for (size_t c = 0; c < std::size(cases); ++c) {
        Host host;
        HWND tree = host.MakeTree();
        if (cases[c].icons) AttachSeverityIcons(tree, icons), AttachAdditionalIcons(tree, icons);
        for (const Item& item : cases[c].nodes) ASSERT_NE(AddNode(tree, item), nullptr);
        ASSERT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
        for (DWORD id : cases[c].expand) ASSERT_EQ(ExpandNode(tree, id, 0), 1) << id;
        SendMessageA(tree, LB_SETCURSEL, WPARAM(-1), 0), host.Repaint(tree);
        Capture shot(tree);
        for (const Cell& cell : cases[c].cells) {
            const int top = ItemRect(tree, RowOf(tree, Node(tree, cell.id))).top + cell.dy;
            const COLORREF icon = IconColour(cell.image - 100);  // the 16 x 16 icon one pixel below the row's top
            EXPECT_EQ(cell.image < 100 ? DiffersFromImage(shot, cell.image, cell.x, top, kWhite, cell.w, cell.h)
                      : shot.At(cell.x, top + 1) == icon && shot.At(cell.x + 15, top + 16) == icon ? "" : "not the icon", "")
                << "case " << c << " node " << cell.id << " at " << cell.x;
        }
    }
    ImageList_Destroy(icons);
}

// A selected row's highlight runs from the text's left to its widest line (or, under a header,
// to the last column the row fills) plus 4, dotted every second pixel on top, bottom and left.
TEST(Paint, SelectionBoxesSpanTheTextWithDotsOnThreeSides) {
    enum Kind { kTree, kList, kColumns };
    for (Kind kind : {kTree, kList, kColumns}) {
        SCOPED_TRACE(kind);
        Host host;
        HWND w = kind == kTree ? host.MakeTree() : host.MakeList();
        int left = 22, width = TextWidth(kind == kTree ? "Highlighted row" : "a much longer third line"), row = 0;
        if (kind == kTree) {
            for (DWORD id : {1u, 2u}) AddNode(w, {id, 0, L"Highlighted row", D});
            RefreshTree(w, &host.selectedIndex, &host.checkedCount);
        } else {
            if (kind == kColumns)
                for (const wchar_t* title : {L"Name", L"One", L"Two", L"Three"}) ZNList_AddHeaderColumn(w, title, 0);
            AddRow(w, {1, 0, L"a", U, 0, 0, 0, L"bb", L"a much longer third line"});
            AddRow(w, {2, 0, L"b"});
            SetCell(w, 1, 3, L"third"), SetCell(w, 2, 1, L"first");  // row 1's columns 1 and 2 hold "." then
            ZNList_Refresh(w, 0, 0);
            if (kind == kColumns)  // the second row, filling column 1 only
                row = 1, width = ColumnWidth(host.Header(), 0) + ColumnWidth(host.Header(), 1) - 4 - left;
        }
        SendMessageA(w, LB_SETCURSEL, row, 0);
        host.Repaint(w);
        if (kind == kTree) EXPECT_EQ(host.selectedIndex, 0) << "the host learns the selection from the paint";
        Capture shot(w);
        const RECT item = ItemRect(w, row);
        const COLORREF fill = GetSysColor(COLOR_HIGHLIGHT), ground = GetSysColor(COLOR_WINDOW);
        for (int x = left; x <= left + width + 4; ++x) {
            COLORREF want = (x - left) % 2 == 0 ? kYellow : x < left + width + 4 ? fill : ground;
            ASSERT_TRUE(shot.At(x, item.top) == want && shot.At(x, item.bottom - 1) == want) << "x " << x;
        }
        for (int y = item.top; y < item.bottom - 1; ++y) {
            EXPECT_EQ(shot.At(left, y), (y - item.top) % 2 == 0 ? kYellow : fill) << "left y=" << y;
            if (y == item.top) continue;
            EXPECT_EQ(shot.At(left + width + 3, y), fill) << "no dots on the right edge y=" << y;
            EXPECT_EQ(shot.At(left + width + 5, y), ground) << "past the box y=" << y;
        }
        EXPECT_EQ(shot.At(left - 1, item.top + 5), ground) << "the box starts at the text";
    }
}

TEST(ListPaint, PicturesStandAtTheirPlaceForEveryCombination) {
    Host host;
    HWND list = host.MakeList();
    HIMAGELIST icons = MakeIcons(4);
    ASSERT_EQ(ZNList_AttachSeverityIcons(list, icons) + ZNList_AttachAdditionalIcons(list, icons), 2);
    DWORD id = 1;
    for (DWORD severity : {0u, 2u})
        for (DWORD extra : {0u, 3u})
            for (DWORD state : {D, C, U, P}) {
                AddRow(list, {id, 0, L"Wg", U, 0, severity, extra});
                NodeInfo update = Change(id++, ZN_CHANGE_CHECK, state);  // the only way to a partly checked row
                ZNList_UpdateItem(list, &update, 0);
            }
    ZNList_Refresh(list, 0, 0);
    host.Repaint(list);
    Capture shot(list), text(120, 18);
    text.Text("Wg", {0, 1, 120, 18}, 0x48020);
    for (int i = 1; i < 16; ++i) {  // row 0 is selected
        SCOPED_TRACE("row " + std::to_string(i));
        const ListRow* row = static_cast<ListRow*>(RowItem(list, i));
        const RECT item = ItemRect(list, i);
        ASSERT_EQ(item.bottom - item.top, 18);
        int x = 2;  // each picture shown moves the next one on by 20
        for (DWORD icon : {DWORD(row->severity ? 2 : 0), DWORD(row->extraIcon)}) {
            if (!icon) continue;
            EXPECT_TRUE(shot.At(x, item.top + 1) == IconColour(icon) && shot.At(x + 15, item.top + 16) == IconColour(icon));
            x += 20;
        }
        if (row->checkState != D) {
            EXPECT_EQ(DiffersFromImage(shot, row->checkState == C ? 14 : row->checkState == P ? 15 : 13, x, item.top), "") << "box";
            x += 20;
        }
        EXPECT_EQ(DiffersFromRegion(shot, x, item.top, text, 120, 18), "") << "the text right after the pictures";
    }
    ZNList_Destroy(list), ImageList_Destroy(icons);
}

// The path column shows the longest shortened form that fits (never the second component), else
// the shortest; a multi-line cell wraps within whole lines.
TEST(ListPaint, MultiLineAndPathCellsFitTheirRectangles) {
    Host host;
    HWND list = host.MakeList();
    for (DWORD flags : {0, ZN_COLUMN_MULTILINE, ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE, ZN_COLUMN_PATH}) ZNList_AddHeaderColumn(list, L"C", flags);
    const std::string notes = "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda";
    const std::string p[5] = {"Program Files", "Vendor Name", "Product Suite", "Version Eleven", "Binary Folder"};
    const std::string whole = p[0] + "\\" + p[1] + "\\" + p[2] + "\\" + p[3] + "\\" + p[4];
    AddRow(list, {1, 0, L"first"}), AddRow(list, {2, 0, L"second", U, 0, 0, 0, L"two", L"three"});
    SetCell(list, 2, 1, std::wstring(notes.begin(), notes.end()).c_str());
    SetCell(list, 2, 2, std::wstring(whole.begin(), whole.end()).c_str());
    SetCell(list, 2, 3, L"C:\\some\\long\\path\\to\\a\\file.txt");
    ZNList_Refresh(list, 0, 0);
    Capture probe(4, 4);
    SelectObject(probe.dc(), ControlFont(400));
    const int line = HIWORD(GetTabbedTextExtentA(probe.dc(), "x", 1, 0, nullptr)), bottom = 1 + 53 / line * line;  // whole lines
    std::set<std::string> shown;
    for (int pathWidth : {300, 200, 150, 110, 70}) {
        SetColumnWidth(host.Header(), 1, 90);
        SetColumnWidth(host.Header(), 2, pathWidth);
        host.Repaint(list);
        Capture shot(list);
        const RECT item = ItemRect(list, 1);
        ASSERT_EQ(item.bottom - item.top, 58);
        const int x1 = ColumnWidth(host.Header(), 0), w = pathWidth - 4;
        Capture noteText(86, 58), pathText(w, 58);
        noteText.Text(notes, {0, 1, 86, bottom}, 0x48010);
        EXPECT_EQ(DiffersFromRegion(shot, x1, item.top, noteText, 86, 58), "") << "notes";
        auto fits = [&](std::string text) {
            RECT r = {0, 1, w, bottom};
            DrawTextExA(probe.dc(), &text[0], -1, &r, 0x44010 | DT_CALCRECT, nullptr);
            return r.bottom - r.top <= bottom - 1;
        };
        std::string expected = whole;  // else the longest shortened form that fits, else the shortest
        for (std::string tail : {p[2] + "\\" + p[3] + "\\" + p[4], p[3] + "\\" + p[4], p[4]})
            if (!fits(expected)) expected = p[0] + "\\...\\" + tail;
        shown.insert(expected);
        pathText.Text(expected, {0, 1, w, bottom}, 0x44010);
        EXPECT_EQ(DiffersFromRegion(shot, x1 + 90, item.top, pathText, w, 58), "") << "width " << pathWidth << ": " << expected;
    }
    EXPECT_GE(shown.size(), 3u) << "the widths should lead to different forms";
    // A path cell too narrow for Wine's path ellipsis is left empty rather than taking the host down.
    for (int width : {4, 10, 14, 18}) SetColumnWidth(host.Header(), 2, width), SetColumnWidth(host.Header(), 3, width), host.Repaint(list);
    EXPECT_TRUE(IsWindow(list));
}

}  // namespace
