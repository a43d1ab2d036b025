// The module as a host meets it: every export refuses windows that are not its controls,
// the controls take the placeholder's place, and the DLL carries its resources.
#include <gtest/gtest.h>

#include <functional>

#include "host.h"

using namespace host;

namespace {

NodeInfo info = {};
TreeNode node = {};
LONG count = 0, selected = 0;
DRAWITEMSTRUCT draw = {};
MEASUREITEMSTRUCT measure = {};

// Every export that takes a control's window, called with harmless arguments.
using Call = std::pair<const char*, std::function<INT_PTR(HWND)>>;
#define CALL(expr) Call{#expr, [](HWND w) { return (INT_PTR)(expr); }}
const Call kTreeCalls[] = {
    CALL(DestroyTree(w)), CALL(ClearTree(w)), CALL(AttachSeverityIcons(w, nullptr)),
    CALL(AttachAdditionalIcons(w, nullptr)), CALL(GetListHead(w)), CALL(Sorted_Insert(w, &info, 0)),
    CALL(UpdateNode(w, &info, 0)), CALL(UpdateTreeEntry(w, &info, 0, &count)), CALL(RefreshTree(w, &selected, &count)),
    CALL(ExpandNode(w, 1, 0)), CALL(CollapseNode(w, 1, 0)), CALL(ZNTree_SelectNode(w, 1, 0)),
    CALL(On_DrawItem(w, &draw, &selected)), CALL(On_MeasureItem(w, &measure)),
    CALL(On_WMCharToItem(w, ' ', (LPARAM)w, &count)), CALL(On_WMCommand(w, MAKEWPARAM(1, 1), (LPARAM)w, &count)),
};
const Call kListCalls[] = {
    CALL(ZNList_Destroy(w)), CALL(ZNList_Clear(w)), CALL(ZNList_AttachSeverityIcons(w, nullptr)),
    CALL(ZNList_AttachAdditionalIcons(w, nullptr)), CALL(ZNList_GetListHead(w)), CALL(ZNList_Insert(w, &info)),
    CALL(ZNList_InsertFromTree(w, &node)), CALL(ZNList_UpdateItem(w, &info, 0)),
    CALL(ZNList_UpdateEntry(w, &info, 0, &count)), CALL(ZNList_Refresh(w, 0, 0)),
    CALL(ZNList_AddHeaderColumn(w, L"t", 0)), CALL(ZNList_SetHeaderColumn(w, 1, 1, nullptr)),
    CALL(ZNList_SelectNode(w, 1)), CALL(ZNList_GetListCount(w)), CALL(ZNList_GetSelectedNodeCount(w)),
};

TEST(Dispatch, WindowsThatAreNotTheControlsGetZero) {
    HostWindow host;
    HWND tree = host.MakeTree();
    HWND list = host.MakeList(450, 40, 400, 300);
    ASSERT_TRUE(tree && list);
    HWND destroyed = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, host.window(), nullptr, nullptr, nullptr);
    DestroyWindow(destroyed);
    // A list box of the host's own that keeps something else in its user-data slot.
    HWND foreign = CreateWindowExA(0, "LISTBOX", "", WS_CHILD, 0, 0, 5, 5, host.window(), nullptr, nullptr, nullptr);
    static char junk[256] = {};
    SetWindowLongPtrA(foreign, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(junk));
    const struct {
        const char* what;
        HWND window;
        bool forTree, forList;
    } targets[] = {
        {"null", nullptr, true, true},        {"host window", host.window(), true, true},
        {"destroyed", destroyed, true, true}, {"foreign list box", foreign, true, true},
        {"a list", list, true, false},        {"a tree", tree, false, true},
    };
    for (const auto& t : targets) {
        for (const Call& c : kTreeCalls) EXPECT_TRUE(!t.forTree || c.second(t.window) == 0) << c.first << ", " << t.what;
        for (const Call& c : kListCalls) EXPECT_TRUE(!t.forList || c.second(t.window) == 0) << c.first << ", " << t.what;
    }
    // Nothing above took either control down.
    EXPECT_TRUE(IsWindow(tree) && IsWindow(list));
    EXPECT_EQ(ClearTree(tree), 1);
    EXPECT_EQ(ZNList_Destroy(list), 1);
}

TEST(Creation, ControlsTakeThePlaceholdersPlaceAndHideIt) {
    EXPECT_EQ(CreateTree(nullptr, 1, 2), nullptr);
    EXPECT_EQ(ZNList_Create(nullptr, 1, 2), nullptr);
    HostWindow host;
    LONG_PTR hostProc = GetWindowLongPtrA(host.window(), GWLP_WNDPROC);
    HWND tree = host.MakeTree(17, 23, 311, 205);
    ASSERT_NE(tree, nullptr);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(host.window(), HostWindow::kPlaceholderId)));
    RECT r;
    GetWindowRect(tree, &r);
    MapWindowPoints(nullptr, host.window(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 17);
    EXPECT_EQ(r.top, 23);
    EXPECT_EQ(r.right - r.left, 311);
    EXPECT_EQ(r.bottom - r.top, 205);
    EXPECT_EQ(GetDlgCtrlID(tree), HostWindow::kTreeId);
    EXPECT_TRUE(GetWindowLongA(tree, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    // The same style bits as a list box made directly with the documented style.
    HWND reference = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", 0x50B00121, 0, 0, 50, 50, host.window(),
                                     nullptr, nullptr, nullptr);
    EXPECT_EQ(GetWindowLongA(tree, GWL_STYLE), GetWindowLongA(reference, GWL_STYLE));
    DestroyWindow(reference);

    // A list hooks its parent, refuses a second hook of it, and gives the parent back.
    HWND list = host.MakeList(400, 60, 300, 200);
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(host.window(), HostWindow::kPlaceholderId + 1)));
    EXPECT_TRUE(GetWindowLongA(list, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    EXPECT_NE(GetWindowLongPtrA(host.window(), GWLP_WNDPROC), hostProc);
    EXPECT_NE(GetPropA(host.window(), "ZNListCt"), nullptr);
    host.AddPlaceholder(777, 0, 0, 10, 10);
    EXPECT_EQ(ZNList_Create(host.window(), 777, 778), nullptr);
    EXPECT_EQ(ZNList_Destroy(list), 1);
    EXPECT_EQ(GetWindowLongPtrA(host.window(), GWLP_WNDPROC), hostProc);
    EXPECT_EQ(GetPropA(host.window(), "ZNListCt"), nullptr);
    EXPECT_FALSE(IsWindow(list));

    // Further trees are independent, with or without a placeholder; destroyed ones are refused.
    host.AddPlaceholder(501, 0, 0, 100, 100);
    HWND a = CreateTree(host.window(), 501, 601), b = CreateTree(host.window(), 4242, 602);
    HWND c = ZNList_Create(host.window(), 4243, 603);
    ASSERT_TRUE(a && b && c && a != b);
    EXPECT_EQ(DestroyTree(a), 1);
    EXPECT_FALSE(IsWindow(a));
    EXPECT_EQ(ClearTree(b), 1);
    EXPECT_EQ(DestroyTree(b), 1);
    EXPECT_EQ(ZNList_Destroy(c), 1);
    EXPECT_EQ(DestroyTree(b), 0);
    EXPECT_EQ(ZNList_Destroy(c), 0);
}

TEST(Creation, IconListsMustBeSixteenSquareWithTwoImages) {
    HostWindow host;
    HWND tree = host.MakeTree();
    HWND list = host.MakeList(450, 40, 400, 300);
    HIMAGELIST good = MakeIcons(2), single = MakeIcons(1), large = MakeIcons(3, 32);
    const std::pair<int(__cdecl*)(HWND, HIMAGELIST), HWND> attachers[] = {
        {AttachSeverityIcons, tree}, {AttachAdditionalIcons, tree},
        {ZNList_AttachSeverityIcons, list}, {ZNList_AttachAdditionalIcons, list}};
    for (auto [attach, window] : attachers) {
        for (HIMAGELIST refused : {HIMAGELIST(nullptr), single, large}) EXPECT_EQ(attach(window, refused), 0);
        ImageList_SetBkColor(good, RGB(1, 2, 3));
        EXPECT_EQ(attach(window, good), 1);
        EXPECT_EQ(ImageList_GetBkColor(good), GetSysColor(COLOR_WINDOW));
    }
    ZNList_Destroy(list);
    DestroyTree(tree);
    host.tree = nullptr;
    EXPECT_EQ(ImageList_GetImageCount(good), 2) << "the host's lists stay the host's";
    for (HIMAGELIST l : {good, single, large}) ImageList_Destroy(l);
}

TEST(Resources, ImageStripIconsAndVersionAreInTheDll) {
    HMODULE dll = GetModuleHandleA("ZnTreeCt.dll");
    ASSERT_NE(dll, nullptr);
    for (int icon : {222, 227, 228}) EXPECT_NE(FindResourceA(dll, MAKEINTRESOURCEA(icon), MAKEINTRESOURCEA(14)), nullptr);
    EXPECT_NE(FindResourceA(dll, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(24)), nullptr) << "manifest";
    HICON arrow = static_cast<HICON>(LoadImageA(dll, MAKEINTRESOURCEA(222), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(arrow, nullptr);
    DestroyIcon(arrow);

    HBITMAP strip = static_cast<HBITMAP>(LoadImageA(dll, MAKEINTRESOURCEA(226), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(strip, nullptr);
    BITMAP bits;
    GetObjectA(strip, sizeof bits, &bits);
    EXPECT_EQ(bits.bmWidth, 360);
    EXPECT_EQ(bits.bmHeight, 18);
    EXPECT_EQ(bits.bmBitsPixel, 24);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, strip);
    const COLORREF cyan = RGB(0, 255, 255), grey = RGB(128, 128, 128);  // cyan is the transparent ground
    EXPECT_EQ(GetPixel(dc, 0, 0), cyan);
    // Dotted lines at x = 6 and y = 8 of a cell: image 7 (tee) has every second pixel grey.
    EXPECT_EQ(GetPixel(dc, 7 * 18 + 6, 0), grey);
    EXPECT_EQ(GetPixel(dc, 7 * 18 + 6, 1), cyan);
    EXPECT_EQ(GetPixel(dc, 7 * 18 + 12, 8), grey);
    for (int x = 17 * 18; x < 360; ++x)  // images 17 to 19 are empty
        for (int y = 0; y < 18; ++y) ASSERT_EQ(GetPixel(dc, x, y), cyan);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(strip);

    char path[MAX_PATH];
    GetModuleFileNameA(dll, path, MAX_PATH);
    DWORD handle = 0, size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));
    char* description = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\FileDescription",
                               reinterpret_cast<void**>(&description), &length));
    EXPECT_STREQ(description, "Tree Control");
}

}  // namespace
