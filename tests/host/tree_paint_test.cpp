// What a tree shows on screen: its pictures compared with the DLL's own image strip, the
// selection box, the choice look-alike and the in-place editor, read back pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "host.h"

using namespace host;

namespace {

constexpr COLORREF kCyan = RGB(0, 255, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kFrameGrey = RGB(128, 128, 128);

// The DLL's bitmap 226, read pixel by pixel.
class ImageStrip {
public:
    ImageStrip() {
        bitmap_ = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA("ZnTreeCt.dll"), MAKEINTRESOURCEA(226), IMAGE_BITMAP,
                                                  0, 0, LR_CREATEDIBSECTION));
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~ImageStrip() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    bool ok() const { return bitmap_ != nullptr; }
    COLORREF At(int image, int x, int y) const { return GetPixel(dc_, image * 18 + x, y); }

private:
    HBITMAP bitmap_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// Compares the screen at (x, y) with the top-left w x h of an image of the strip drawn on the
// window colour; returns a description of the first difference, empty when they match.
std::string CompareCell(const HostWindow& host, HWND tree, const ImageStrip& strip, int image, int x, int y,
                        int w = 18, int h = 18) {
    const COLORREF ground = GetSysColor(COLOR_WINDOW);
    for (int dy = 0; dy < h; ++dy)
        for (int dx = 0; dx < w; ++dx) {
            COLORREF want = strip.At(image, dx, dy);
            if (want == kCyan) want = ground;
            COLORREF got = host.Pixel(tree, x + dx, y + dy);
            if (got != want) {
                char text[160];
                std::snprintf(text, sizeof text, "image %d pixel (%d,%d) at screen (%d,%d): want %06lx got %06lx", image,
                              dx, dy, x + dx, y + dy, static_cast<unsigned long>(want),
                              static_cast<unsigned long>(got));
                return text;
            }
        }
    return "";
}

int RowOf(HWND tree, DWORD id) {
    std::vector<DWORD> ids = RowIds(tree);
    auto it = std::find(ids.begin(), ids.end(), id);
    return it == ids.end() ? -1 : static_cast<int>(it - ids.begin());
}

RECT ItemRect(HWND tree, int row) {
    RECT r = {};
    SendMessageA(tree, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    return r;
}

void Select(HostWindow& host, HWND tree, int row) {
    SendMessageA(tree, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    host.Pump();
}

// The tree's 9-point font, made here independently of the DLL.
HFONT NinePointFont(int weight) {
    LOGFONTA lf = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    HDC dc = CreateCompatibleDC(nullptr);
    lf.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
    DeleteDC(dc);
    lf.lfWeight = weight;
    lf.lfQuality = PROOF_QUALITY;
    return CreateFontIndirectA(&lf);
}

int TextWidth(HFONT font, const char* text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size.cx;
}

// ---- connector and check images ----------------------------------------------------------

struct CellExpectation {
    DWORD id;
    int connector;  // image in the node's own connector cell, at 18 L + 2
    int check;      // image in the check slot at 18 L + 22, or -1 for no slot
};

struct PictureCase {
    const char* name;
    std::vector<NodeSpec> nodes;
    std::vector<DWORD> expand;
    std::vector<CellExpectation> cells;
};

class TreePictures : public ::testing::TestWithParam<PictureCase> {};

TEST_P(TreePictures, ConnectorAndCheckImagesMatchTheStrip) {
    ImageStrip strip;
    ASSERT_TRUE(strip.ok());
    HostWindow host;
    HWND tree = host.MakeTree();
    for (const NodeSpec& spec : GetParam().nodes) ASSERT_NE(Insert(tree, spec), nullptr);
    ASSERT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
    for (DWORD id : GetParam().expand) ASSERT_EQ(ExpandNode(tree, id, 0), 1) << id;
    Select(host, tree, -1);  // no highlight over the text area
    host.Repaint(tree);
    for (const CellExpectation& cell : GetParam().cells) {
        int row = RowOf(tree, cell.id);
        ASSERT_GE(row, 0) << "node " << cell.id << " has no row";
        const TreeNode* node = NodeById(tree, cell.id);
        int level = static_cast<int>(node->level);
        int top = ItemRect(tree, row).top;
        EXPECT_EQ(CompareCell(host, tree, strip, cell.connector, 18 * level + 2, top), "") << "node " << cell.id;
        if (cell.check >= 0)
            EXPECT_EQ(CompareCell(host, tree, strip, cell.check, 18 * level + 22, top), "") << "node " << cell.id;
    }
}

const DWORD U = ZN_UNCHECKED, C = ZN_CHECKED, D = ZN_CHECK_DISABLED;
// 1 { 10, 11 }, 2, 3 { 30 }, 4 { 40, 41 }: 1 becomes checked, 4 partly checked.
const std::vector<NodeSpec> kFourTops = {{1, 0, L"one", U},    {10, 1, L"ten", D},  {11, 1, L"eleven", C},
                                         {2, 0, L"two", U},    {3, 0, L"three", U}, {30, 3, L"thirty", U},
                                         {4, 0, L"four", U},   {40, 4, L"forty", C}, {41, 4, L"forty-one", U}};

INSTANTIATE_TEST_SUITE_P(
    Shapes, TreePictures,
    ::testing::Values(
        PictureCase{"CollapsedFirstMiddleLast", kFourTops, {}, {{1, 0, 14}, {2, 7, 13}, {3, 1, 13}, {4, 2, 15}}},
        PictureCase{"ExpandedAndLeavesBelow",
                    kFourTops,
                    {1, 3, 4},
                    {{1, 3, 14}, {10, 7, 16}, {11, 8, 14}, {2, 7, 13}, {3, 4, 13}, {30, 8, 13}, {4, 5, 15},
                     {40, 7, 14}, {41, 8, 13}}},
        PictureCase{"OnlyTopCollapsed", {{1, 0, L"a", U}, {2, 1, L"b", U}}, {}, {{1, 10, 13}}},
        PictureCase{"OnlyTopExpandedWithOpenChild",
                    {{1, 0, L"a", U}, {2, 1, L"b", U}, {3, 2, L"c", U}, {4, 2, L"d", C}},
                    {1, 2},
                    {{1, 11, 15}, {2, 5, 15}, {3, 7, 13}, {4, 8, 14}}},
        PictureCase{"OnlyTopExpandedWithClosedChild",
                    {{1, 0, L"a", U}, {2, 1, L"b", U}, {3, 2, L"c", U}},
                    {1},
                    {{2, 2, 13}}},
        PictureCase{"OnlyLeaf", {{1, 0, L"a", U}}, {}, {{1, 12, 13}}},
        PictureCase{"TwoLeaves", {{1, 0, L"a", C}, {2, 0, L"b", D}}, {}, {{1, 6, 14}, {2, 8, -1}}}),
    [](const ::testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

// ---- lines through multi-line rows --------------------------------------------------------

TEST(TreeLines, RunThroughTheLowerLinesOfTallRows) {
    ImageStrip strip;
    ASSERT_TRUE(strip.ok());
    HostWindow host;
    HWND tree = host.MakeTree();
    // 1 (two lines, open, a check box keeps its text clear of the children's column) { 10 (three lines), 11 }, 2
    ASSERT_NE(Insert(tree, {1, 0, L"one", U, 0, 0, 0, 0, L"one b"}), nullptr);
    ASSERT_NE(Insert(tree, {10, 1, L"ten", D, 0, 0, 0, 0, L"ten b", L"ten c"}), nullptr);
    ASSERT_NE(Insert(tree, {11, 1, L"eleven", D}), nullptr);
    ASSERT_NE(Insert(tree, {2, 0, L"two", D}), nullptr);
    ASSERT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
    ASSERT_EQ(ExpandNode(tree, 1, 0), 1);
    Select(host, tree, -1);
    host.Repaint(tree);

    int top1 = ItemRect(tree, RowOf(tree, 1)).top;
    // Own column (a sibling follows) and the children's column, on the second line and the gap.
    EXPECT_EQ(CompareCell(host, tree, strip, 3, 2, top1), "");
    EXPECT_EQ(CompareCell(host, tree, strip, 9, 2, top1 + 18), "");
    EXPECT_EQ(CompareCell(host, tree, strip, 9, 2, top1 + 36, 16, 4), "");
    EXPECT_EQ(CompareCell(host, tree, strip, 9, 20, top1 + 18), "");
    EXPECT_EQ(CompareCell(host, tree, strip, 9, 20, top1 + 36, 16, 4), "");

    int top10 = ItemRect(tree, RowOf(tree, 10)).top;
    EXPECT_EQ(top10, top1 + 40);
    // Node 10: the ancestor column of 1 on all three lines and the gap; its own tee and line.
    for (int k = 0; k < 3; ++k) EXPECT_EQ(CompareCell(host, tree, strip, 9, 2, top10 + 18 * k), "") << k;
    EXPECT_EQ(CompareCell(host, tree, strip, 9, 2, top10 + 54, 16, 4), "");
    EXPECT_EQ(CompareCell(host, tree, strip, 7, 20, top10), "");
    for (int k = 1; k < 3; ++k) EXPECT_EQ(CompareCell(host, tree, strip, 9, 20, top10 + 18 * k), "") << k;
    EXPECT_EQ(CompareCell(host, tree, strip, 9, 20, top10 + 54, 16, 4), "");

    // Node 2 is last: no line continues under it.
    int top2 = ItemRect(tree, RowOf(tree, 2)).top;
    EXPECT_EQ(CompareCell(host, tree, strip, 8, 2, top2), "");
}

// ---- selection box --------------------------------------------------------------------------

TEST(TreeSelectionBox, HighlightsTextWidthPlusFourWithDotsOnThreeSides) {
    HostWindow host;
    HWND tree = host.MakeTree();
    const char* text = "Highlighted row";
    ASSERT_NE(Insert(tree, {1, 0, L"Highlighted row", D}), nullptr);
    ASSERT_NE(Insert(tree, {2, 0, L"Highlighted row", D}), nullptr);
    ASSERT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
    host.Repaint(tree);
    ASSERT_EQ(SendMessageA(tree, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(host.selectedIndex, 0) << "the host learns the selection from the paint";

    HFONT font = NinePointFont(FW_NORMAL);
    const int w = TextWidth(font, text);
    DeleteObject(font);
    ASSERT_GT(w, 20);
    const int t = 22;  // level 0, no icons, no check slot
    const RECT row = ItemRect(tree, 0);
    const COLORREF fill = GetSysColor(COLOR_HIGHLIGHT), ground = GetSysColor(COLOR_WINDOW);

    for (int x = t; x <= t + w + 4; ++x) {
        COLORREF want = (x - t) % 2 == 0 ? kYellow : x < t + w + 4 ? fill : ground;
        EXPECT_EQ(host.Pixel(tree, x, row.top), want) << "top x=" << x;
        EXPECT_EQ(host.Pixel(tree, x, row.bottom - 1), want) << "bottom x=" << x;
    }
    for (int y = row.top; y < row.bottom - 1; ++y) {
        EXPECT_EQ(host.Pixel(tree, t, y), (y - row.top) % 2 == 0 ? kYellow : fill) << "left y=" << y;
        if (y > row.top && y < row.bottom - 1) {
            EXPECT_EQ(host.Pixel(tree, t + w + 3, y), fill) << "right edge y=" << y;
            EXPECT_EQ(host.Pixel(tree, t + w + 4, y), ground) << "past the box y=" << y;
        }
    }

    // The same text is drawn one pixel further right when its row is selected.
    auto firstInk = [&](int top, COLORREF paper) {
        for (int x = t + 1; x < t + w + 4; ++x)
            for (int y = top + 1; y < top + 17; ++y)
                if (host.Pixel(tree, x, y) != paper) return x;
        return -1;
    };
    int selectedInk = firstInk(row.top, fill);
    int plainInk = firstInk(ItemRect(tree, 1).top, ground);
    ASSERT_GT(plainInk, 0);
    EXPECT_EQ(selectedInk, plainInk + 1);
}

TEST(TreeSelectionBox, FocusOnlyPaintDrawsNothingAndRestoresTheDc) {
    HostWindow host;
    HWND tree = host.MakeTree();
    TreeNode* node = Insert(tree, {1, 0, L"text", U});
    ASSERT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 18);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT all = {0, 0, 200, 18};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT), pen = GetCurrentObject(dc, OBJ_PEN),
            brush = GetCurrentObject(dc, OBJ_BRUSH);

    DRAWITEMSTRUCT item = {ODT_LISTBOX, HostWindow::kTreeId, 0, ODA_FOCUS, ODS_FOCUS, tree, dc, all,
                           reinterpret_cast<ULONG_PTR>(node)};
    EXPECT_EQ(On_DrawItem(tree, &item, nullptr), 1);
    for (int x = 0; x < 200; x += 3) EXPECT_EQ(GetPixel(dc, x, 9), RGB(0, 0, 0)) << x;

    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        EXPECT_EQ(On_DrawItem(tree, &item, nullptr), 1);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    }
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

// ---- in-place choice editor -----------------------------------------------------------------

TreeNode* InsertChoice(HWND tree, DWORD id, std::initializer_list<const wchar_t*> fields, DWORD choiceIndex) {
    Bstr choices = Bstr::Choices(fields);
    NodeInfo info = {};
    info.id = id;
    info.checkState = ZN_UNCHECKED;
    info.flags = ZN_CHOICE_TEXT1;
    info.text1 = choices;
    TreeNode* node = Sorted_Insert(tree, &info, 0);
    if (node) node->choiceIndex = choiceIndex;
    return node;
}

std::vector<std::string> Entries(HWND editor) {
    std::vector<std::string> entries;
    int count = static_cast<int>(SendMessageA(editor, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[64] = {};
        SendMessageA(editor, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

std::vector<LPARAM> ItemData(HWND editor) {
    std::vector<LPARAM> values;
    int count = static_cast<int>(SendMessageA(editor, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) values.push_back(SendMessageA(editor, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
    return values;
}

RECT RectIn(HWND window, HWND parent) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class TreeChoiceEditor : public ::testing::Test {
protected:
    void SetUp() override {
        tree_ = host_.MakeTree();
        low_ = InsertChoice(tree_, 1, {L"1", L"Low", L"2", L"High"}, 1);
        alpha_ = InsertChoice(tree_, 2, {L"5", L"Alpha", L"6", L"Beta", L"7", L"A much longer entry"}, 0);
        ASSERT_NE(Insert(tree_, {3, 0, L"plain"}), nullptr);
        ASSERT_EQ(RefreshTree(tree_, &host_.selectedIndex, &host_.checkedCount), 1);
        host_.Pump();
        editor_ = GetDlgItem(tree_, ZN_EDITOR_ID);
        ASSERT_NE(editor_, nullptr);
    }
    // The editor's width for a set of labels: the widest in the host's dialog font, plus 26.
    int WidthFor(std::initializer_list<const char*> labels) const {
        int widest = 0;
        for (const char* label : labels) widest = std::max(widest, TextWidth(host_.font(), label));
        return widest + 26;
    }
    void ExpectServing(TreeNode* node, int row, int width) {
        EXPECT_TRUE(IsWindowVisible(editor_));
        EXPECT_EQ(GetWindowLongPtrA(editor_, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(node));
        RECT r = RectIn(editor_, tree_);
        EXPECT_EQ(r.left, 42) << "over the text, after the check box";
        EXPECT_EQ(r.top, ItemRect(tree_, row).top - 2);
        EXPECT_EQ(r.right - r.left, width);
    }
    HostWindow host_;
    HWND tree_ = nullptr;
    HWND editor_ = nullptr;
    TreeNode* low_ = nullptr;
    TreeNode* alpha_ = nullptr;
};

TEST_F(TreeChoiceEditor, SelectedRowGetsTheEditorFilledFromItsChoices) {
    EXPECT_EQ(Entries(editor_), (std::vector<std::string>{"Low", "High"}));
    EXPECT_EQ(ItemData(editor_), (std::vector<LPARAM>{1, 2}));
    EXPECT_EQ(SendMessageA(editor_, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(low_->choiceValue, 2);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(editor_, WM_GETFONT, 0, 0)), host_.font());
    EXPECT_EQ(GetParent(editor_), tree_);
    EXPECT_EQ(GetWindowLongA(editor_, GWL_STYLE) & (WS_CHILD | CBS_DROPDOWNLIST), WS_CHILD | CBS_DROPDOWNLIST);
    ExpectServing(low_, 0, WidthFor({"Low", "High"}));

    // Heights as a combo box made with the same calls has them (Wine adjusts both).
    HWND reference = CreateWindowExA(0, "COMBOBOX", "", 0x40800003, 0, 0, 1, 150, host_.window(), nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
    SendMessageA(reference, WM_SETFONT, reinterpret_cast<WPARAM>(host_.font()), 1);
    SendMessageA(reference, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 14);
    SetWindowPos(reference, HWND_TOP, 0, 0, WidthFor({"Low", "High"}), 150, SWP_NOMOVE);
    RECT mine, theirs;
    SendMessageA(editor_, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&mine));
    SendMessageA(reference, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&theirs));
    EXPECT_EQ(mine.bottom - mine.top, theirs.bottom - theirs.top);
    EXPECT_EQ(SendMessageA(editor_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0),
              SendMessageA(reference, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    DestroyWindow(reference);
}

TEST_F(TreeChoiceEditor, FollowsTheSelectionAndLeavesALookAlikeBehind) {
    Select(host_, tree_, 1);
    EXPECT_EQ(GetDlgItem(tree_, ZN_EDITOR_ID), editor_) << "one editor per tree";
    EXPECT_EQ(Entries(editor_), (std::vector<std::string>{"Alpha", "Beta", "A much longer entry"}));
    EXPECT_EQ(ItemData(editor_), (std::vector<LPARAM>{5, 6, 7}));
    EXPECT_EQ(SendMessageA(editor_, CB_GETCURSEL, 0, 0), 0);
    ExpectServing(alpha_, 1, WidthFor({"Alpha", "Beta", "A much longer entry"}));

    // Row 0 now shows the drawn look-alike: grey frame, separator and arrow of the icon.
    const int cx = WidthFor({"Low", "High"}) - 10;  // widest + 16
    const int y = ItemRect(tree_, 0).top + 1, textX = 42, right = textX + cx - 2;
    EXPECT_EQ(host_.Pixel(tree_, textX, y + 4), kFrameGrey) << "left side of the frame";
    EXPECT_EQ(host_.Pixel(tree_, right + 9, y + 4), kFrameGrey) << "right side of the frame";
    EXPECT_EQ(host_.Pixel(tree_, right - 4, y + 4), kFrameGrey) << "the icon's separator";
    EXPECT_EQ(host_.Pixel(tree_, right + 3, y + 5), RGB(0, 0, 0)) << "the icon's arrow";
    EXPECT_EQ(host_.Pixel(tree_, right + 3, y + 8), RGB(0, 0, 0)) << "the arrow's tip";

    Select(host_, tree_, 0);
    EXPECT_EQ(Entries(editor_), (std::vector<std::string>{"Low", "High"}));
    ExpectServing(low_, 0, WidthFor({"Low", "High"}));

    // Leaving the editor's row for a row without choices hides it.
    Select(host_, tree_, 2);
    EXPECT_FALSE(IsWindowVisible(editor_));
    EXPECT_EQ(GetWindowLongPtrA(editor_, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(low_));
}

}  // namespace
