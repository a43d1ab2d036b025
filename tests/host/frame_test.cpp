// The module as a host meets it: every export refuses windows that are not its controls,
// the controls take the placeholder's place, and the DLL carries its resources.
#include <gtest/gtest.h>

#include <functional>

#include "host.h"

using namespace host;

namespace {

// Every export that takes a control's window, called with harmless arguments.
struct Call {
    const char* name;
    std::function<INT_PTR(HWND)> call;
};

std::vector<Call> TreeCalls() {
    static NodeInfo info = {};
    static LONG count = 0, selected = 0;
    static DRAWITEMSTRUCT draw = {};
    static MEASUREITEMSTRUCT measure = {};
    return {
        {"DestroyTree", [](HWND w) { return (INT_PTR)DestroyTree(w); }},
        {"ClearTree", [](HWND w) { return (INT_PTR)ClearTree(w); }},
        {"AttachSeverityIcons", [](HWND w) { return (INT_PTR)AttachSeverityIcons(w, nullptr); }},
        {"AttachAdditionalIcons", [](HWND w) { return (INT_PTR)AttachAdditionalIcons(w, nullptr); }},
        {"GetListHead", [](HWND w) { return (INT_PTR)GetListHead(w); }},
        {"Sorted_Insert", [](HWND w) { return (INT_PTR)Sorted_Insert(w, &info, 0); }},
        {"UpdateNode", [](HWND w) { return (INT_PTR)UpdateNode(w, &info, 0); }},
        {"UpdateTreeEntry", [](HWND w) { return (INT_PTR)UpdateTreeEntry(w, &info, 0, &count); }},
        {"RefreshTree", [](HWND w) { return (INT_PTR)RefreshTree(w, &selected, &count); }},
        {"ExpandNode", [](HWND w) { return (INT_PTR)ExpandNode(w, 1, 0); }},
        {"CollapseNode", [](HWND w) { return (INT_PTR)CollapseNode(w, 1, 0); }},
        {"ZNTree_SelectNode", [](HWND w) { return (INT_PTR)ZNTree_SelectNode(w, 1, 0); }},
        {"On_DrawItem", [](HWND w) { return (INT_PTR)On_DrawItem(w, &draw, &selected); }},
        {"On_MeasureItem", [](HWND w) { return (INT_PTR)On_MeasureItem(w, &measure); }},
        {"On_WMCharToItem", [](HWND w) { return (INT_PTR)On_WMCharToItem(w, ' ', (LPARAM)w, &count); }},
        {"On_WMCommand", [](HWND w) { return (INT_PTR)On_WMCommand(w, MAKEWPARAM(1, 1), (LPARAM)w, &count); }},
    };
}

std::vector<Call> ListCalls() {
    static NodeInfo info = {};
    static TreeNode node = {};
    static LONG count = 0;
    return {
        {"ZNList_Destroy", [](HWND w) { return (INT_PTR)ZNList_Destroy(w); }},
        {"ZNList_Clear", [](HWND w) { return (INT_PTR)ZNList_Clear(w); }},
        {"ZNList_AttachSeverityIcons", [](HWND w) { return (INT_PTR)ZNList_AttachSeverityIcons(w, nullptr); }},
        {"ZNList_AttachAdditionalIcons", [](HWND w) { return (INT_PTR)ZNList_AttachAdditionalIcons(w, nullptr); }},
        {"ZNList_GetListHead", [](HWND w) { return (INT_PTR)ZNList_GetListHead(w); }},
        {"ZNList_Insert", [](HWND w) { return (INT_PTR)ZNList_Insert(w, &info); }},
        {"ZNList_InsertFromTree", [](HWND w) { return (INT_PTR)ZNList_InsertFromTree(w, &node); }},
        {"ZNList_UpdateItem", [](HWND w) { return (INT_PTR)ZNList_UpdateItem(w, &info, 0); }},
        {"ZNList_UpdateEntry", [](HWND w) { return (INT_PTR)ZNList_UpdateEntry(w, &info, 0, &count); }},
        {"ZNList_Refresh", [](HWND w) { return (INT_PTR)ZNList_Refresh(w, 0, 0); }},
        {"ZNList_AddHeaderColumn", [](HWND w) { return (INT_PTR)ZNList_AddHeaderColumn(w, L"t", 0); }},
        {"ZNList_SetHeaderColumn", [](HWND w) { return (INT_PTR)ZNList_SetHeaderColumn(w, 1, 1, nullptr); }},
        {"ZNList_SelectNode", [](HWND w) { return (INT_PTR)ZNList_SelectNode(w, 1); }},
        {"ZNList_GetListCount", [](HWND w) { return (INT_PTR)ZNList_GetListCount(w); }},
        {"ZNList_GetSelectedNodeCount", [](HWND w) { return (INT_PTR)ZNList_GetSelectedNodeCount(w); }},
    };
}

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

    struct Target {
        const char* what;
        HWND window;
        bool forTree, forList;
    } targets[] = {
        {"null", nullptr, true, true},        {"host window", host.window(), true, true},
        {"destroyed", destroyed, true, true}, {"foreign list box", foreign, true, true},
        {"a list given to tree exports", list, true, false},
        {"a tree given to list exports", tree, false, true},
    };
    for (const Target& t : targets) {
        if (t.forTree)
            for (const Call& c : TreeCalls()) EXPECT_EQ(c.call(t.window), 0) << c.name << " with " << t.what;
        if (t.forList)
            for (const Call& c : ListCalls()) EXPECT_EQ(c.call(t.window), 0) << c.name << " with " << t.what;
    }
    // Nothing above took either control down.
    EXPECT_TRUE(IsWindow(tree));
    EXPECT_TRUE(IsWindow(list));
    EXPECT_EQ(ClearTree(tree), 1);
    EXPECT_EQ(ZNList_Destroy(list), 1);
}

TEST(Dispatch, CreateWithoutParentGivesNoWindow) {
    EXPECT_EQ(CreateTree(nullptr, 1, 2), nullptr);
    EXPECT_EQ(ZNList_Create(nullptr, 1, 2), nullptr);
}

TEST(Creation, ControlsTakeThePlaceholdersPlaceAndHideIt) {
    HostWindow host;
    HWND tree = host.MakeTree(17, 23, 311, 205);
    ASSERT_NE(tree, nullptr);
    HWND placeholder = GetDlgItem(host.window(), HostWindow::kPlaceholderId);
    EXPECT_FALSE(IsWindowVisible(placeholder));
    RECT r;
    GetWindowRect(tree, &r);
    POINT corner = {r.left, r.top};
    ScreenToClient(host.window(), &corner);
    EXPECT_EQ(corner.x, 17);
    EXPECT_EQ(corner.y, 23);
    EXPECT_EQ(r.right - r.left, 311);
    EXPECT_EQ(r.bottom - r.top, 205);
    EXPECT_EQ(GetDlgCtrlID(tree), HostWindow::kTreeId);
    EXPECT_TRUE(GetWindowLongA(tree, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

    // The same style bits as a list box made directly with the documented style.
    HWND reference = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", 0x50B00121, 0, 0, 50, 50, host.window(),
                                     nullptr, nullptr, nullptr);
    EXPECT_EQ(GetWindowLongA(tree, GWL_STYLE), GetWindowLongA(reference, GWL_STYLE));
    DestroyWindow(reference);

    HWND list = host.MakeList(400, 60, 300, 200);
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(host.window(), HostWindow::kPlaceholderId + 1)));
    EXPECT_TRUE(GetWindowLongA(list, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    EXPECT_EQ(ZNList_Destroy(list), 1);
}

TEST(Creation, TwoTreesAreIndependent) {
    HostWindow host;
    host.AddPlaceholder(501, 0, 0, 100, 100);
    host.AddPlaceholder(502, 200, 0, 100, 100);
    HWND a = CreateTree(host.window(), 501, 601);
    HWND b = CreateTree(host.window(), 502, 602);
    ASSERT_TRUE(a && b && a != b);
    EXPECT_EQ(DestroyTree(a), 1);
    EXPECT_FALSE(IsWindow(a));
    EXPECT_EQ(ClearTree(b), 1);
    EXPECT_EQ(DestroyTree(b), 1);
}

TEST(Creation, ListHooksTheParentAndGivesItBack) {
    HostWindow host;
    LONG_PTR before = GetWindowLongPtrA(host.window(), GWLP_WNDPROC);
    HWND list = host.MakeList();
    ASSERT_NE(list, nullptr);
    EXPECT_NE(GetWindowLongPtrA(host.window(), GWLP_WNDPROC), before);
    EXPECT_NE(GetPropA(host.window(), "ZNListCt"), nullptr);
    // A second list on the same parent would hook it twice: it is refused.
    host.AddPlaceholder(777, 0, 0, 10, 10);
    EXPECT_EQ(ZNList_Create(host.window(), 777, 778), nullptr);
    EXPECT_EQ(ZNList_Destroy(list), 1);
    EXPECT_EQ(GetWindowLongPtrA(host.window(), GWLP_WNDPROC), before);
    EXPECT_EQ(GetPropA(host.window(), "ZNListCt"), nullptr);
    EXPECT_FALSE(IsWindow(list));
}

TEST(Creation, IconListsMustBeSixteenSquareWithTwoImages) {
    HostWindow host;
    HWND tree = host.MakeTree();
    HWND list = host.MakeList(450, 40, 400, 300);
    HIMAGELIST good = MakeIcons(2), single = MakeIcons(1), large = MakeIcons(3, 32);
    using Attach = int(__cdecl*)(HWND, HIMAGELIST);
    struct {
        Attach attach;
        HWND window;
    } attachers[] = {{AttachSeverityIcons, tree}, {AttachAdditionalIcons, tree},
                     {ZNList_AttachSeverityIcons, list}, {ZNList_AttachAdditionalIcons, list}};
    for (auto& a : attachers) {
        EXPECT_EQ(a.attach(a.window, nullptr), 0);
        EXPECT_EQ(a.attach(a.window, single), 0);
        EXPECT_EQ(a.attach(a.window, large), 0);
        ImageList_SetBkColor(good, RGB(1, 2, 3));
        EXPECT_EQ(a.attach(a.window, good), 1);
        EXPECT_EQ(ImageList_GetBkColor(good), GetSysColor(COLOR_WINDOW));
    }
    ZNList_Destroy(list);
    DestroyTree(tree);
    host.tree = nullptr;
    // The host's lists stay the host's.
    EXPECT_EQ(ImageList_GetImageCount(good), 2);
    ImageList_Destroy(good);
    ImageList_Destroy(single);
    ImageList_Destroy(large);
}

HMODULE Library() { return GetModuleHandleA("ZnTreeCt.dll"); }

TEST(Resources, ImageStripAndIconsAreInTheDll) {
    HMODULE dll = Library();
    ASSERT_NE(dll, nullptr);
    EXPECT_NE(FindResourceA(dll, MAKEINTRESOURCEA(226), MAKEINTRESOURCEA(2)), nullptr);  // RT_BITMAP
    for (int icon : {222, 227, 228}) EXPECT_NE(FindResourceA(dll, MAKEINTRESOURCEA(icon), MAKEINTRESOURCEA(14)), nullptr);

    HBITMAP strip = static_cast<HBITMAP>(LoadImageA(dll, MAKEINTRESOURCEA(226), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(strip, nullptr);
    BITMAP info;
    GetObjectA(strip, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 360);
    EXPECT_EQ(info.bmHeight, 18);
    EXPECT_EQ(info.bmBitsPixel, 24);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, strip);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 255, 255)) << "cyan ground, the transparent colour";
    // Dotted lines at x = 6 and y = 8 of a cell: image 7 (tee) has every second pixel grey.
    EXPECT_EQ(GetPixel(dc, 7 * 18 + 6, 0), RGB(128, 128, 128));
    EXPECT_EQ(GetPixel(dc, 7 * 18 + 6, 1), RGB(0, 255, 255));
    EXPECT_EQ(GetPixel(dc, 7 * 18 + 12, 8), RGB(128, 128, 128));
    // Images 17 to 19 are empty.
    for (int x = 17 * 18; x < 360; ++x)
        for (int y = 0; y < 18; ++y) ASSERT_EQ(GetPixel(dc, x, y), RGB(0, 255, 255));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(strip);

    HICON arrow = static_cast<HICON>(LoadImageA(dll, MAKEINTRESOURCEA(222), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(arrow, nullptr);
    DestroyIcon(arrow);
}

TEST(Resources, VersionBlockNamesTheTreeControl) {
    char path[MAX_PATH];
    GetModuleFileNameA(Library(), path, MAX_PATH);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));
    char* description = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\FileDescription",
                               reinterpret_cast<void**>(&description), &length));
    EXPECT_STREQ(description, "Tree Control");
    EXPECT_NE(FindResourceA(Library(), MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(24)), nullptr) << "manifest";
}

}  // namespace
