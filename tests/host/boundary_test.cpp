// The library's boundaries as a host meets them: memory running out inside an export or a window
// procedure, list boxes and parents that other code subclasses, exports called from the host's
// own handlers while a control rebuilds its rows, the device contexts a host lends for painting,
// and the windows teardown lets go of.
#include <gtest/gtest.h>
#include <functional>
#include <utility>
#include "harness.h"
#include "imports.h"

using namespace zt;

namespace {

// While armed, the DLL's allocation number `failing` (counted from arming) fails: memory runs out
// for a moment, as it does when another part of the host holds it.
int allocations = 0, failing = 0, injected = 0;
decltype(&::malloc) original_malloc; decltype(&::calloc) original_calloc; decltype(&::realloc) original_realloc;
bool Refuse() { return allocations++ == failing && ++injected; }
void* Hook_malloc(size_t n) { return Refuse() ? nullptr : original_malloc(n); }
void* Hook_calloc(size_t n, size_t s) { return Refuse() ? nullptr : original_calloc(n, s); }
void* Hook_realloc(void* p, size_t n) { return Refuse() ? nullptr : original_realloc(p, n); }
// Fonts the DLL makes, a normal-weight one refused on demand; windows it destroys that were gone.
bool refuseNormalFont = false; int staleDestroys = 0;
decltype(&::CreateFontIndirectA) original_CreateFontIndirectA; decltype(&::DestroyWindow) original_DestroyWindow;
HFONT WINAPI Hook_CreateFontIndirectA(const LOGFONTA* f) {
    return refuseNormalFont && f->lfWeight == FW_NORMAL ? nullptr : original_CreateFontIndirectA(f);
}
BOOL WINAPI Hook_DestroyWindow(HWND window) { return staleDestroys += !IsWindow(window), original_DestroyWindow(window); }

// A subclass as hosts and accessibility tools install one: it passes every message on, and on
// the first `message` after arming calls `nested` from the host's handler first.
int passedOn = 0; UINT message = 0;
std::function<INT_PTR()> nested; INT_PTR nestedResult;
LRESULT CALLBACK PassOn(HWND window, UINT m, WPARAM wParam, LPARAM lParam) {
    ++passedOn;
    if (nested && m == message) nestedResult = std::exchange(nested, nullptr)();
    return CallWindowProcA(WNDPROC(GetPropA(window, "test.previous")), window, m, wParam, lParam);
}
void Subclass(HWND w) { SetPropA(w, "test.previous", HANDLE(SetWindowLongPtrA(w, GWLP_WNDPROC, LONG_PTR(&PassOn)))); }
// A host's call of a window procedure, as its subclass passes a message on.
LRESULT Call(HWND w, UINT m, WPARAM wParam, LPARAM lParam) { return WNDPROC(GetWindowLongPtrA(w, GWLP_WNDPROC))(w, m, wParam, lParam); }

// A host with a tree (1 open over 2, whose choices need the heap, over 3; 4 closed over 5) and a
// list of rows copied from it, without header columns.
struct Scene : Host {
    Bstr choices = Bstr::Choices({L"1", L"A first choice of some length", L"2", L"A second, even longer choice"});
    HIMAGELIST icons = MakeIcons(2);
    Scene() {
        MakeTree(5, 5, 300, 200), MakeList(320, 30, 400, 200), AddNode(tree, {1, 0, L"one"});
        AddNode(tree, {2, 1, L"bold line", 0, ZN_BOLD_TEXT1 | ZN_CHOICE_TEXT2, 0, 0, nullptr, L"plain line", choices});
        AddNode(tree, {3, 2, L"three"}), AddNode(tree, {4, 0, L"four"}), AddNode(tree, {5, 4, L"five"});
        RefreshTree(tree, &selectedIndex, &checkedCount), ExpandNode(tree, 1, 0);
        for (const TreeNode* n = GetListHead(tree); n; n = n->next) ZNList_InsertFromTree(list, n);
        ZNList_Refresh(list, 0, 0);
    }
    ~Scene() { IsWindow(tree) && DestroyTree(tree), ImageList_Destroy(icons); }  // the tree first: it may hold the icons
    // A row of `control` drawn as its owner draws it, the tree's by the host's forwarding, the
    // list's by the parent's procedure: into the control's own DC, or one the host lends.
    void Draw(HWND control, int row, UINT state = ODS_SELECTED, HDC lent = nullptr) {
        const UINT id = control == tree ? kTreeId : kListId;
        DRAWITEMSTRUCT item = {ODT_LISTBOX, id, UINT(row), ODA_DRAWENTIRE, state, control, lent ? lent : GetDC(control),
                               ItemRect(control, row), ULONG_PTR(RowItem(control, row))};
        control == tree ? On_DrawItem(tree, &item, nullptr) : Call(window(), WM_DRAWITEM, id, LPARAM(&item));
        if (!lent) ReleaseDC(control, item.hDC);
    }
    // Sound chains, rows that show their own records, and both controls still rebuilding and
    // painting; a parent whose list could not be made takes one now.
    void ExpectWorking() {
        if (!list) { EXPECT_EQ(GetPropA(window(), "ZNListCt"), nullptr); MakeList(320, 30, 400, 200); }
        ASSERT_NE(list, nullptr);
        EXPECT_NE(GetPropA(window(), "ZNListCt"), nullptr) << "a list hooks its parent";
        EXPECT_EQ(ChainFault(tree), "");
        EXPECT_TRUE(AddNode(tree, {9}) && AddRow(list, {9})) << "both controls take more";
        Ids tops; std::vector<const void*> chain, shown;
        for (const TreeNode* n = GetListHead(tree); n; n = n->next) if (!n->parent) tops.push_back(n->id);
        EXPECT_EQ(RefreshTree(tree, &selectedIndex, &checkedCount), tops.empty() ? 0 : 1);
        EXPECT_EQ(Rows(tree), tops);
        for (const ListRow* r = ZNList_GetListHead(list); r; r = r->next) chain.push_back(r);
        EXPECT_EQ(ZNList_Refresh(list, 0, 0), chain.empty() ? 0 : 1);
        for (int i = 0; i < RowCount(list); ++i) shown.push_back(RowItem(list, i));
        std::sort(chain.begin(), chain.end()), std::sort(shown.begin(), shown.end());
        EXPECT_EQ(shown, chain);
        Repaint(tree), Repaint(list);
    }
};

// What a host can call, and a message for each window procedure the library installs.
const struct Step { const char* what; void (*prepare)(Scene&), (*call)(Scene&); } kSteps[] = {
    {"RefreshTree", nullptr, [](Scene& s) { RefreshTree(s.tree, &s.selectedIndex, nullptr); }},
    {"ExpandNode", nullptr, [](Scene& s) { ExpandNode(s.tree, 4, 0); }},
    {"ZNTree_SelectNode", nullptr, [](Scene& s) { ZNTree_SelectNode(s.tree, 3, 0); }},
    {"typed *", [](Scene& s) { SendMessageA(s.tree, LB_SETCURSEL, 3, 0); },
     [](Scene& s) { On_WMCharToItem(s.tree, '*', LPARAM(s.tree), &s.checkedCount); }},
    {"Sorted_Insert", nullptr, [](Scene& s) { AddNode(s.tree, {6, 2, L"six"}); }},
    {"On_DrawItem", nullptr, [](Scene& s) { s.Draw(s.tree, 1); }},
    {"ZNList_Create", [](Scene& s) { ZNList_Destroy(s.list), s.list = nullptr; }, [](Scene& s) { s.MakeList(320, 30, 400, 200); }},
    {"ZNList_Refresh", nullptr, [](Scene& s) { ZNList_Refresh(s.list, 0, 1); }},
    {"ZNList_SetHeaderColumn", nullptr, [](Scene& s) { SetCell(s.list, 3, 4, L"bold line"); }},
    {"tree list box WM_SIZE", [](Scene& s) { AttachAdditionalIcons(s.tree, s.icons); },
     [](Scene& s) { Call(s.tree, WM_SIZE, 0, MAKELPARAM(300, 200)); }},
    {"list box WM_SIZE", nullptr, [](Scene& s) { Call(s.list, WM_SIZE, 0, MAKELPARAM(400, 200)); }},
    {"parent WM_DRAWITEM", [](Scene& s) { ZNList_SelectNode(s.list, 2), s.Pump(); }, [](Scene& s) { s.Draw(s.list, 1); }},
    {"header band HDN_ITEMCLICK",
     [](Scene& s) { ZNList_AddHeaderColumn(s.list, L"Name", 0), ZNList_AddHeaderColumn(s.list, L"Note", 0); },
     [](Scene& s) { NMHEADERA note = {{s.Header(), Host::kListId + 1, UINT(HDN_ITEMCLICKA)}, 1, 0, nullptr};
                    Call(GetParent(s.Header()), WM_NOTIFY, note.hdr.idFrom, LPARAM(&note)); }},
};

}  // namespace

TEST(Boundary, RunningOutOfMemoryAnywhereLeavesBothControlsWorking) {
    for (const Step& step : kSteps)  // the first allocation fails, then the second, ... until the step makes no more
        for (int number = 0;; ++number) {
            SCOPED_TRACE(std::string(step.what) + ", allocation " + std::to_string(number) + " failing");
            Scene scene;
            if (step.prepare) step.prepare(scene);
            allocations = injected = 0, failing = number;
            Patched failure({ZT_HOOK(malloc), ZT_HOOK(calloc), ZT_HOOK(realloc)});
            ASSERT_EQ(failure.patched, 3);
            bool escaped = false;
            try { step.call(scene); } catch (...) { escaped = true; }
            failing = -1;  // memory is back
            EXPECT_FALSE(escaped) << "an exception left the library";
            scene.ExpectWorking();
            if (injected == 0 || HasFailure()) break;
        }
}

TEST(Boundary, SubclassedListBoxesStillLeadToTheirControls) {
    Host host, listHost;  // a list's hook would answer the tree's typed characters itself
    HWND tree = host.MakeTree(), list = listHost.MakeList();
    Subclass(tree), Subclass(list);
    ASSERT_TRUE(AddNode(tree, {1}) && AddRow(list, {1}));
    EXPECT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
    EXPECT_EQ(ZNList_Refresh(list, 0, 0), 1);
    passedOn = 0;  // the space bar reaches both controls' handlers through the subclasses
    SendMessageA(tree, WM_CHAR, ' ', 0), SendMessageA(list, WM_CHAR, ' ', 0);
    EXPECT_GE(passedOn, 2);
    EXPECT_EQ(GetListHead(tree)->checkState, DWORD(ZN_CHECKED));
    EXPECT_EQ(ZNList_GetSelectedNodeCount(list), 1);
    EXPECT_EQ(ZNList_Destroy(list), 1);
    EXPECT_EQ(DestroyTree(tree), 1);
}

TEST(Boundary, ParentsSubclassedAfterTheirListKeepEveryProcedure) {
    Host host;
    HWND parent = host.window();
    const LONG_PTR hostProc = GetWindowLongPtrA(parent, GWLP_WNDPROC);
    HWND list = host.MakeList();
    Subclass(parent);  // over the list's hook
    ASSERT_EQ(ZNList_Destroy(list), 1);
    EXPECT_EQ(GetWindowLongPtrA(parent, GWLP_WNDPROC), LONG_PTR(&PassOn)) << "the later subclass stays";
    passedOn = 0;
    EXPECT_EQ(SendMessageA(parent, WM_GETFONT, 0, 0), LRESULT(host.font()));
    EXPECT_EQ(passedOn, 1);
    ASSERT_NE(AddRow(host.MakeList(), {1}), nullptr);  // another list on that parent works and goes again
    EXPECT_EQ(ZNList_Refresh(host.list, 0, 0), 1);
    host.Repaint(host.list);
    EXPECT_EQ(ZNList_Destroy(host.list), 1);
    // The subclass leaves as subclasses do, putting back the procedure it replaced: the host's
    // procedure answers again, and the library's hook is gone from the parent.
    SetWindowLongPtrA(parent, GWLP_WNDPROC, LONG_PTR(GetPropA(parent, "test.previous")));
    EXPECT_EQ(SendMessageA(parent, WM_GETFONT, 0, 0), LRESULT(host.font()));
    EXPECT_EQ(GetWindowLongPtrA(parent, GWLP_WNDPROC), hostProc);
}

TEST(Boundary, ExportsCalledFromTheHostsHandlersWhileRowsChangeAreRefused) {
    Scene s;
    Subclass(s.window());
    const struct { const char* what; UINT message; std::function<INT_PTR()> outer, inner; Ids rows; } cases[] = {
        {"ClearTree while a branch opens", WM_MEASUREITEM, [&] { return ExpandNode(s.tree, 4, 0); },
         [&] { return ClearTree(s.tree); }, {1, 2, 4, 5}},
        {"RefreshTree while a branch closes", WM_DELETEITEM, [&] { return CollapseNode(s.tree, 1, 0); },
         [&] { return RefreshTree(s.tree, nullptr, nullptr); }, {1, 4, 5}},
        {"DestroyTree while rows are rebuilt", WM_MEASUREITEM, [&] { return RefreshTree(s.tree, nullptr, nullptr); },
         [&] { return DestroyTree(s.tree); }, {1, 4}},
        {"ZNList_Destroy while the list is cleared", WM_DELETEITEM, [&] { return ZNList_Clear(s.list); },
         [&] { return ZNList_Destroy(s.list); }, {1, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        message = c.message, nested = c.inner, nestedResult = -7;  // -7: never called
        EXPECT_EQ(c.outer(), 1);
        EXPECT_EQ(nestedResult, 0);
        EXPECT_EQ(Rows(s.tree), c.rows);
        EXPECT_EQ(ChainFault(s.tree), "");
    }
    EXPECT_EQ(ZNList_GetListCount(s.list), 0);
    EXPECT_NE(AddRow(s.list, {7}), nullptr);
}

TEST(Boundary, TreeClicksAreTakenOnlyFromItsOwnListBox) {
    Host host;
    HWND tree = host.MakeTree(10, 10, 300, 200), other = host.AddPlaceholder(555, 400, 300, 200, 100);
    AddNode(tree, {1}), RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    // The cursor on the selected row's check box (22 < x < 40) as the host forwards a selection
    // change, first with another window, then with the tree's list box.
    POINT p = {30, 5};
    ClientToScreen(tree, &p), SetCursorPos(p.x, p.y);
    for (HWND from : {other, tree}) {
        EXPECT_EQ(On_WMCommand(tree, MAKEWPARAM(Host::kTreeId, LBN_SELCHANGE), LPARAM(from), &host.checkedCount), 1);
        EXPECT_EQ(host.Posted(ZN_TREE_CHECK_STATE_CHANGED), from == tree ? 1u : 0u);
    }
    EXPECT_EQ(GetListHead(tree)->checkState, DWORD(ZN_CHECKED));
}

TEST(Boundary, PaintingLeavesTheHostsDeviceContextAsItWasLent) {
    for (bool withoutNormalFont : {false, true}) {
        SCOPED_TRACE(withoutNormalFont ? "without its normal font" : "with its fonts");
        Patched fonts({ZT_HOOK(CreateFontIndirectA)});
        ASSERT_EQ(fonts.patched, 1);
        refuseNormalFont = withoutNormalFont;
        Scene s;
        refuseNormalFont = false;
        Capture canvas(400, 70);
        const HDC dc = canvas.dc();
        const HGDIOBJ oldFont = SelectObject(dc, s.font());
        for (HWND control : {s.tree, s.list})
            for (int row = 0; row < RowCount(control); ++row)
                for (UINT state : {0u, UINT(ODS_SELECTED)}) {
                    SCOPED_TRACE(std::string(control == s.tree ? "tree row " : "list row ") + std::to_string(row) + (state ? ", selected" : ""));
                    SetBkMode(dc, OPAQUE), SetTextColor(dc, RGB(1, 2, 3));
                    s.Draw(control, row, state, dc);
                    EXPECT_EQ(GetBkMode(dc), OPAQUE);
                    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
                    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), s.font());
                }
        SelectObject(dc, oldFont);
        // Teardown destroys the windows it made while they exist, and no handle after.
        Patched destroys({ZT_HOOK(DestroyWindow)});
        staleDestroys = 0;
        EXPECT_EQ(ZNList_Destroy(s.list), 1);
        EXPECT_EQ(DestroyTree(s.tree), 1);
        EXPECT_EQ(staleDestroys, 0);
    }
}
