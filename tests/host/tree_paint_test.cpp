// What a tree shows on screen: its pictures compared with the DLL's own image strip, the
// selection box, the choice look-alike and the in-place editor, read back pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "host.h"

using namespace host;

namespace {

const DWORD U = ZN_UNCHECKED, C = ZN_CHECKED, D = ZN_CHECK_DISABLED;

struct Painted {
    HostWindow host;
    HWND tree = host.MakeTree();
    HDC strip = CreateCompatibleDC(nullptr);  // the DLL's bitmap 226
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA("ZnTreeCt.dll"), MAKEINTRESOURCEA(226), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    Painted() { SelectObject(strip, bitmap); }
    ~Painted() {
        DeleteDC(strip);
        DeleteObject(bitmap);
    }
    void Build(const std::vector<NodePlan>& nodes, const std::vector<DWORD>& expand = {}, int select = -1) {
        for (const NodePlan& wanted : nodes) ASSERT_NE(Insert(tree, wanted), nullptr);
        ASSERT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
        for (DWORD id : expand) ASSERT_EQ(ExpandNode(tree, id, 0), 1) << id;
        Select(select);
        host.Repaint(tree);
    }
    void Select(int row) {
        SendMessageA(tree, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        host.Pump();
    }
    int Top(DWORD id) const {
        std::vector<DWORD> ids = RowIds(tree);
        return Rect(static_cast<int>(std::find(ids.begin(), ids.end(), id) - ids.begin())).top;
    }
    RECT Rect(int row) const {
        RECT r = {};
        SendMessageA(tree, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    // The screen at (x, y) against the top-left w x h of a strip image on the window colour;
    // the first difference, or empty.
    std::string Cell(int image, int x, int y, int w = 18, int h = 18) const {
        for (int dy = 0; dy < h; ++dy)
            for (int dx = 0; dx < w; ++dx) {
                COLORREF want = GetPixel(strip, image * 18 + dx, dy), got = host.Pixel(tree, x + dx, y + dy);
                if (want == RGB(0, 255, 255)) want = GetSysColor(COLOR_WINDOW);
                if (got == want) continue;
                char text[120];
                std::snprintf(text, sizeof text, "image %d (%d,%d) at (%d,%d): want %06lx got %06lx", image, dx, dy,
                              x + dx, y + dy, static_cast<unsigned long>(want), static_cast<unsigned long>(got));
                return text;
            }
        return "";
    }
};

int TextWidth(HFONT font, const char* text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size.cx;
}

TEST(TreePaint, ConnectorAndCheckImagesMatchTheStrip) {
    // 1 { 10, 11 }, 2, 3 { 30 }, 4 { 40, 41 }: 1 becomes checked, 4 partly checked.
    const std::vector<NodePlan> fourTops = {{1, 0, L"one", U},  {10, 1, L"ten", D},    {11, 1, L"eleven", C},
                                            {2, 0, L"two", U},  {3, 0, L"three", U},   {30, 3, L"thirty", U},
                                            {4, 0, L"four", U}, {40, 4, L"forty", C},  {41, 4, L"forty-one", U}};
    const struct {
        std::vector<NodePlan> nodes;
        std::vector<DWORD> expand;
        std::vector<std::array<int, 3>> cells;  // id, connector image at 18 L + 2, check image at 18 L + 22 or -1
    } cases[] = {
        {fourTops, {}, {{1, 0, 14}, {2, 7, 13}, {3, 1, 13}, {4, 2, 15}}},
        {fourTops, {1, 3, 4}, {{1, 3, 14}, {10, 7, 16}, {11, 8, 14}, {2, 7, 13}, {3, 4, 13}, {30, 8, 13}, {4, 5, 15},
                               {40, 7, 14}, {41, 8, 13}}},
        {{{1, 0, L"a", U}, {2, 1, L"b", U}}, {}, {{1, 10, 13}}},
        {{{1, 0, L"a", U}, {2, 1, L"b", U}, {3, 2, L"c", U}, {4, 2, L"d", C}}, {1, 2},
         {{1, 11, 15}, {2, 5, 15}, {3, 7, 13}, {4, 8, 14}}},
        {{{1, 0, L"a", U}, {2, 1, L"b", U}, {3, 2, L"c", U}}, {1}, {{2, 2, 13}}},
        {{{1, 0, L"a", U}}, {}, {{1, 12, 13}}},
        {{{1, 0, L"a", C}, {2, 0, L"b", D}}, {}, {{1, 6, 14}, {2, 8, -1}}},
    };
    for (size_t c = 0; c < std::size(cases); ++c) {
        Painted p;
        p.Build(cases[c].nodes, cases[c].expand);
        for (auto [id, connector, check] : cases[c].cells) {
            const int x = 18 * static_cast<int>(NodeById(p.tree, id)->level), top = p.Top(id);
            EXPECT_EQ(p.Cell(connector, x + 2, top), "") << "case " << c << " node " << id;
            if (check >= 0) {
                EXPECT_EQ(p.Cell(check, x + 22, top), "") << "case " << c << " node " << id;
            }
        }
    }
}

TEST(TreePaint, LinesRunThroughTheLowerLinesOfTallRows) {
    Painted p;
    // 1 (two lines, open; its box keeps its text clear of the children's column) { 10 (three lines), 11 }, 2
    p.Build({{1, 0, L"one", U, 0, 0, 0, 0, L"one b"}, {10, 1, L"ten", D, 0, 0, 0, 0, L"ten b", L"ten c"},
             {11, 1, L"eleven", D}, {2, 0, L"two", D}}, {1});
    const int top1 = p.Top(1), top10 = p.Top(10);
    EXPECT_EQ(top10, top1 + 40);
    const int cells[][5] = {  // image, x, y, width, height: 9 is the straight line, 7 a tee, 8 an end
        {3, 2, top1, 18, 18},     {9, 2, top1 + 18, 18, 18},   {9, 2, top1 + 36, 16, 4},  {9, 20, top1 + 18, 18, 18},
        {9, 20, top1 + 36, 16, 4}, {9, 2, top10, 18, 18},      {9, 2, top10 + 18, 18, 18}, {9, 2, top10 + 36, 18, 18},
        {9, 2, top10 + 54, 16, 4}, {7, 20, top10, 18, 18},     {9, 20, top10 + 18, 18, 18}, {9, 20, top10 + 36, 18, 18},
        {9, 20, top10 + 54, 16, 4}, {8, 2, p.Top(2), 18, 18}};
    for (const auto& c : cells) EXPECT_EQ(p.Cell(c[0], c[1], c[2], c[3], c[4]), "") << "x " << c[1] << " y " << c[2];
}

TEST(TreePaint, SelectionBoxIsTextWidthPlusFourWithDotsOnThreeSides) {
    Painted p;
    p.Build({{1, 0, L"Highlighted row", D}, {2, 0, L"Highlighted row", D}}, {}, 0);
    EXPECT_EQ(p.host.selectedIndex, 0) << "the host learns the selection from the paint";
    LOGFONTA lf = {};  // the tree's 9-point font, made here independently
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    HDC dc = CreateCompatibleDC(nullptr);
    lf.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72), lf.lfQuality = PROOF_QUALITY;
    DeleteDC(dc);
    HFONT font = CreateFontIndirectA(&lf);
    const int w = TextWidth(font, "Highlighted row"), t = 22;  // level 0, no icons, no check slot
    DeleteObject(font);
    ASSERT_GT(w, 20);
    const RECT row = p.Rect(0);
    const COLORREF fill = GetSysColor(COLOR_HIGHLIGHT), ground = GetSysColor(COLOR_WINDOW), yellow = RGB(255, 255, 0);
    for (int x = t; x <= t + w + 4; ++x) {
        COLORREF want = (x - t) % 2 == 0 ? yellow : x < t + w + 4 ? fill : ground;
        EXPECT_EQ(p.host.Pixel(p.tree, x, row.top), want) << "top x=" << x;
        EXPECT_EQ(p.host.Pixel(p.tree, x, row.bottom - 1), want) << "bottom x=" << x;
    }
    for (int y = row.top; y < row.bottom - 1; ++y) {
        EXPECT_EQ(p.host.Pixel(p.tree, t, y), (y - row.top) % 2 == 0 ? yellow : fill) << "left y=" << y;
        if (y == row.top) continue;
        EXPECT_EQ(p.host.Pixel(p.tree, t + w + 3, y), fill) << "right edge y=" << y;
        EXPECT_EQ(p.host.Pixel(p.tree, t + w + 4, y), ground) << "past the box y=" << y;
    }
    auto firstInk = [&](int top, COLORREF paper) {
        for (int x = t + 1; x < t + w + 4; ++x)
            for (int y = top + 1; y < top + 17; ++y)
                if (p.host.Pixel(p.tree, x, y) != paper) return x;
        return -1;
    };
    const int plainInk = firstInk(p.Rect(1).top, ground);
    ASSERT_GT(plainInk, 0);
    EXPECT_EQ(firstInk(row.top, fill), plainInk + 1) << "selected text is drawn one pixel further right";
}

TEST(TreePaint, FocusOnlyPaintDrawsNothingAndEveryPaintRestoresTheDc) {
    HostWindow host;
    HWND tree = host.MakeTree();
    TreeNode* node = Insert(tree, {1, 0, L"text", U});
    ASSERT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 18);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT all = {0, 0, 200, 18};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HGDIOBJ objects[] = {GetCurrentObject(dc, OBJ_FONT), GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH)};
    DRAWITEMSTRUCT item = {ODT_LISTBOX, HostWindow::kTreeId, 0, ODA_FOCUS, ODS_FOCUS, tree, dc, all, ULONG_PTR(node)};
    EXPECT_EQ(On_DrawItem(tree, &item, nullptr), 1);
    for (int x = 0; x < 200; x += 3) EXPECT_EQ(GetPixel(dc, x, 9), RGB(0, 0, 0)) << x;
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
        item.itemAction = ODA_DRAWENTIRE, item.itemState = state;
        EXPECT_EQ(On_DrawItem(tree, &item, nullptr), 1);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), objects[0]);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), objects[1]);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), objects[2]);
    }
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

class TreeChoiceEditor : public ::testing::Test {
protected:
    void SetUp() override {
        low_ = InsertChoice(1, {L"1", L"Low", L"2", L"High"}, 1);
        alpha_ = InsertChoice(2, {L"5", L"Alpha", L"6", L"Beta", L"7", L"A much longer entry"}, 0);
        ASSERT_NE(Insert(p.tree, {3, 0, L"plain"}), nullptr);
        ASSERT_EQ(RefreshTree(p.tree, &p.host.selectedIndex, &p.host.checkedCount), 1);
        p.host.Pump();
        editor_ = GetDlgItem(p.tree, ZN_EDITOR_ID);
        ASSERT_NE(editor_, nullptr);
    }
    TreeNode* InsertChoice(DWORD id, std::initializer_list<const wchar_t*> fields, DWORD choiceIndex) {
        Bstr choices = Bstr::Choices(fields);
        NodeInfo info = {};
        info.id = id, info.checkState = U, info.flags = ZN_CHOICE_TEXT1, info.text1 = choices;
        TreeNode* node = Sorted_Insert(p.tree, &info, 0);
        if (node) node->choiceIndex = choiceIndex;
        return node;
    }
    // The entries' texts and values.
    std::vector<std::pair<std::string, LPARAM>> Entries() const {
        std::vector<std::pair<std::string, LPARAM>> entries;
        for (int i = 0; i < SendMessageA(editor_, CB_GETCOUNT, 0, 0); ++i) {
            char text[64] = {};
            SendMessageA(editor_, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.emplace_back(text, SendMessageA(editor_, CB_GETITEMDATA, i, 0));
        }
        return entries;
    }
    // The editor's width for a set of labels: the widest in the host's dialog font, plus 26.
    int WidthFor(std::initializer_list<const char*> labels) const {
        int widest = 0;
        for (const char* label : labels) widest = std::max(widest, TextWidth(p.host.font(), label));
        return widest + 26;
    }
    void ExpectServing(TreeNode* node, int row, int width, int selected) {
        EXPECT_TRUE(IsWindowVisible(editor_));
        EXPECT_EQ(GetWindowLongPtrA(editor_, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(node));
        EXPECT_EQ(SendMessageA(editor_, CB_GETCURSEL, 0, 0), selected);
        RECT r;
        GetWindowRect(editor_, &r);
        MapWindowPoints(nullptr, p.tree, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, 42) << "over the text, after the check box";
        EXPECT_EQ(r.top, p.Rect(row).top - 2);
        EXPECT_EQ(r.right - r.left, width);
    }
    Painted p;
    HWND editor_ = nullptr;
    TreeNode *low_ = nullptr, *alpha_ = nullptr;
};

using Entry = std::pair<std::string, LPARAM>;

TEST_F(TreeChoiceEditor, SelectedRowGetsTheEditorFilledFromItsChoices) {
    EXPECT_EQ(Entries(), (std::vector<Entry>{{"Low", 1}, {"High", 2}}));
    EXPECT_EQ(low_->choiceValue, 2);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(editor_, WM_GETFONT, 0, 0)), p.host.font());
    EXPECT_EQ(GetParent(editor_), p.tree);
    EXPECT_EQ(GetWindowLongA(editor_, GWL_STYLE) & (WS_CHILD | CBS_DROPDOWNLIST), WS_CHILD | CBS_DROPDOWNLIST);
    ExpectServing(low_, 0, WidthFor({"Low", "High"}), 1);
    // Heights as a combo box made with the same calls has them (Wine adjusts both).
    HWND reference = CreateWindowExA(0, "COMBOBOX", "", 0x40800003, 0, 0, 1, 150, p.host.window(), nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
    SendMessageA(reference, WM_SETFONT, reinterpret_cast<WPARAM>(p.host.font()), 1);
    SendMessageA(reference, CB_SETITEMHEIGHT, WPARAM(-1), 14);
    SetWindowPos(reference, HWND_TOP, 0, 0, WidthFor({"Low", "High"}), 150, SWP_NOMOVE);
    RECT mine, theirs;
    SendMessageA(editor_, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&mine));
    SendMessageA(reference, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&theirs));
    EXPECT_EQ(mine.bottom - mine.top, theirs.bottom - theirs.top);
    EXPECT_EQ(SendMessageA(editor_, CB_GETITEMHEIGHT, WPARAM(-1), 0), SendMessageA(reference, CB_GETITEMHEIGHT, WPARAM(-1), 0));
    DestroyWindow(reference);
}

TEST_F(TreeChoiceEditor, FollowsTheSelectionAndLeavesALookAlikeBehind) {
    p.Select(1);
    EXPECT_EQ(GetDlgItem(p.tree, ZN_EDITOR_ID), editor_) << "one editor per tree";
    EXPECT_EQ(Entries(), (std::vector<Entry>{{"Alpha", 5}, {"Beta", 6}, {"A much longer entry", 7}}));
    ExpectServing(alpha_, 1, WidthFor({"Alpha", "Beta", "A much longer entry"}), 0);
    // Row 0 now shows the drawn look-alike: grey frame, separator and arrow of the icon.
    const int y = p.Rect(0).top + 1, right = 42 + WidthFor({"Low", "High"}) - 12;
    const COLORREF grey = RGB(128, 128, 128), black = RGB(0, 0, 0);
    const int pixels[][3] = {{42, y + 4, grey}, {right + 9, y + 4, grey}, {right - 4, y + 4, grey},
                             {right + 3, y + 5, black}, {right + 3, y + 8, black}};  // frame, separator, arrow
    for (const auto& px : pixels) EXPECT_EQ(p.host.Pixel(p.tree, px[0], px[1]), COLORREF(px[2])) << px[0] << "," << px[1];
    p.Select(0);
    EXPECT_EQ(Entries(), (std::vector<Entry>{{"Low", 1}, {"High", 2}}));
    ExpectServing(low_, 0, WidthFor({"Low", "High"}), 1);
    p.Select(2);
    EXPECT_FALSE(IsWindowVisible(editor_)) << "a row without choices hides it";
    EXPECT_EQ(GetWindowLongPtrA(editor_, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(low_));
}

}  // namespace
