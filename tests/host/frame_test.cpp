// The module as a host meets it: every export refuses windows that are not its controls, the
// controls take the placeholder's place, the list hooks its parent for its life, and icon lists
// are checked.
#include <gtest/gtest.h>

#include <functional>

#include "harness.h"

using namespace zt;

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
    Host host;
    HWND tree = host.MakeTree(), list = host.MakeList(450, 40, 400, 300);
    HWND destroyed = host.AddPlaceholder(1, 0, 0, 5, 5);
    DestroyWindow(destroyed);
    // A list box of the host's own that keeps something else in its user-data slot.
    HWND foreign = CreateWindowExA(0, "LISTBOX", "", WS_CHILD, 0, 0, 5, 5, host.window(), nullptr, nullptr, nullptr);
    static char junk[256] = {};
    SetWindowLongPtrA(foreign, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(junk));
    const struct { const char* what; HWND window; bool forTree, forList; } targets[] = {
        {"null", nullptr, true, true}, {"host window", host.window(), true, true}, {"destroyed", destroyed, true, true},
        {"foreign list box", foreign, true, true}, {"a list", list, true, false}, {"a tree", tree, false, true}};
    for (const auto& t : targets) {
        for (const Call& c : kTreeCalls) EXPECT_TRUE(!t.forTree || c.second(t.window) == 0) << c.first << ", " << t.what;
        for (const Call& c : kListCalls) EXPECT_TRUE(!t.forList || c.second(t.window) == 0) << c.first << ", " << t.what;
    }
    EXPECT_EQ(ClearTree(tree) + ZNList_Clear(list), 2) << "nothing above took either control down";
}

TEST(Creation, ControlsTakeThePlaceholdersPlaceAndTheListHooksItsParentForItsLife) {
    EXPECT_FALSE(CreateTree(nullptr, 1, 2) || ZNList_Create(nullptr, 1, 2));
    Host host;
    const LONG_PTR hostProc = GetWindowLongPtrA(host.window(), GWLP_WNDPROC);
    HWND tree = host.MakeTree(17, 23, 311, 205);
    ASSERT_NE(tree, nullptr);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(host.window(), Host::kTreeId - 1)));
    const RECT r = PlaceIn(tree, host.window());
    EXPECT_TRUE(r.left == 17 && r.top == 23 && r.right - r.left == 311 && r.bottom - r.top == 205);
    EXPECT_TRUE(GetDlgCtrlID(tree) == Host::kTreeId && (GetWindowLongA(tree, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
    // The same style bits as a list box made directly with the documented style.
    HWND reference = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", 0x50B00121, 0, 0, 50, 50, host.window(), nullptr, nullptr, nullptr);
    EXPECT_EQ(GetWindowLongA(tree, GWL_STYLE), GetWindowLongA(reference, GWL_STYLE));
    DestroyWindow(reference);
    // A list hooks its parent, refuses a second hook of it, and gives the parent back; what it
    // does not take reaches the host, and its header band goes with it.
    HWND list = host.MakeList(400, 60, 300, 200);
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(host.window(), Host::kListId - 1)));
    EXPECT_TRUE(GetWindowLongA(list, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    EXPECT_TRUE(GetWindowLongPtrA(host.window(), GWLP_WNDPROC) != hostProc && GetPropA(host.window(), "ZNListCt"));
    SendMessageA(host.window(), WM_COMMAND, MAKEWPARAM(55, ZN_LIST_CHECK_STATE_CHANGED), 0);
    EXPECT_EQ(host.notifications.size(), 1u);
    host.AddPlaceholder(777, 0, 0, 10, 10);
    EXPECT_EQ(ZNList_Create(host.window(), 777, 778), nullptr);
    ASSERT_EQ(ZNList_AddHeaderColumn(list, L"Name", 0), 1);
    HWND band = GetParent(host.Header());
    EXPECT_EQ(ZNList_Destroy(list), 1);
    EXPECT_TRUE(GetWindowLongPtrA(host.window(), GWLP_WNDPROC) == hostProc && !GetPropA(host.window(), "ZNListCt"));
    EXPECT_FALSE(IsWindow(list) || IsWindow(band)) << "their messages would reach a freed list";
    // Further controls need no placeholder; destroyed ones are refused.
    HWND b = CreateTree(host.window(), 4242, 602), c = ZNList_Create(host.window(), 4243, 603);
    ASSERT_TRUE(b && c);
    EXPECT_EQ(DestroyTree(b) + ZNList_Destroy(c), 2);
    EXPECT_EQ(DestroyTree(b) + ZNList_Destroy(c), 0);
}

TEST(Creation, IconListsMustBeSixteenSquareWithTwoImages) {
    Host host;
    HWND tree = host.MakeTree(), list = host.MakeList(450, 40, 400, 300);
    HIMAGELIST good = MakeIcons(2), single = MakeIcons(1), large = MakeIcons(3, 32);
    const std::pair<int(__cdecl*)(HWND, HIMAGELIST), HWND> attachers[] = {
        {AttachSeverityIcons, tree}, {AttachAdditionalIcons, tree}, {ZNList_AttachSeverityIcons, list}, {ZNList_AttachAdditionalIcons, list}};
    for (auto [attach, window] : attachers) {
        for (HIMAGELIST refused : {HIMAGELIST(nullptr), single, large}) EXPECT_EQ(attach(window, refused), 0);
        ImageList_SetBkColor(good, RGB(1, 2, 3));
        EXPECT_EQ(attach(window, good), 1);
        EXPECT_EQ(ImageList_GetBkColor(good), GetSysColor(COLOR_WINDOW));
    }
    ZNList_Destroy(list), DestroyTree(tree);
    EXPECT_EQ(ImageList_GetImageCount(good), 2) << "the host's lists stay the host's";
    for (HIMAGELIST l : {good, single, large}) ImageList_Destroy(l);
}

}  // namespace
