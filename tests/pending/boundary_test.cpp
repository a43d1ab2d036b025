// The library's boundaries as a host meets them: memory running out inside an export or a window
// procedure, list boxes and parents that other code subclasses, exports called from the host's
// own handlers while a control rebuilds its rows, the device contexts a host lends for painting,
// and the windows teardown lets go of. The DLL's import slots are pointed at failing or counting
// stand-ins where a fault has to be provoked or seen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "host.h"
#include "list_rig.h"

using namespace host;

namespace {

// The DLL's import slot of `name`, or null.
void** ImportSlot(const char* name) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA("ZnTreeCt.dll"));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots)
            if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) &&
                !std::strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name, name))
                return reinterpret_cast<void**>(&slots->u1.Function);
    }
    return nullptr;
}

// Points one of the DLL's imports at a stand-in while it lives; `original` reaches the real one.
template <class F>
class Detour {
public:
    Detour(const char* name, F standIn, F* original) : slot_(ImportSlot(name)) {
        EXPECT_NE(slot_, nullptr) << name;
        if (!slot_) return;
        saved_ = *slot_;
        *original = reinterpret_cast<F>(saved_);
        Write(reinterpret_cast<void*>(standIn));
    }
    ~Detour() { if (slot_) Write(saved_); }
    Detour(const Detour&) = delete;

private:
    void Write(void* value) {
        DWORD old;
        VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &old);
        *slot_ = value;
        VirtualProtect(slot_, sizeof(void*), old, &old);
    }
    void** slot_;
    void* saved_ = nullptr;
};

// While armed, the DLL's allocation number `failing` (counted from arming) fails: memory runs out
// for a moment, as it does when another part of the host holds it.
int allocations = 0, failing = 0, injected = 0;
using Malloc = void* (*)(size_t);
using Calloc = void* (*)(size_t, size_t);
using Realloc = void* (*)(void*, size_t);
Malloc realMalloc;
Calloc realCalloc;
Realloc realRealloc;
bool Refuse() { return allocations++ == failing && ++injected; }
void* FailingMalloc(size_t n) { return Refuse() ? nullptr : realMalloc(n); }
void* FailingCalloc(size_t n, size_t s) { return Refuse() ? nullptr : realCalloc(n, s); }
void* FailingRealloc(void* p, size_t n) { return Refuse() ? nullptr : realRealloc(p, n); }

struct OutOfMemory {
    explicit OutOfMemory(int number) { allocations = injected = 0, failing = number; }
    Detour<Malloc> m{"malloc", &FailingMalloc, &realMalloc};
    Detour<Calloc> c{"calloc", &FailingCalloc, &realCalloc};
    Detour<Realloc> r{"realloc", &FailingRealloc, &realRealloc};
};

// A node or row record with a choice list in text 2.
NodeInfo ChoiceRecord(DWORD id, DWORD parentId, BSTR text1, BSTR choices) {
    NodeInfo info = Record(id, parentId);
    info.flags = ZN_BOLD_TEXT1 | ZN_CHOICE_TEXT2;
    info.text1 = text1, info.text2 = choices;
    return info;
}

// A host with a tree (1 open over 2, whose choices need the heap, over 3; 4 closed over 5) and a
// list of rows copied from it, without header columns.
struct Scene {
    HostWindow& host;
    HWND tree = host.MakeTree(5, 5, 300, 200);
    HWND list = host.MakeList(320, 30, 400, 200);
    Bstr choices = Bstr::Choices({L"1", L"A first choice of some length", L"2", L"A second, even longer choice"});
    Bstr bold{L"bold line"};
    HIMAGELIST icons = MakeIcons(2);
    explicit Scene(HostWindow& window) : host(window) {
        NodeInfo two = ChoiceRecord(2, 1, bold, choices);
        Insert(tree, {1, 0, L"one"});
        Sorted_Insert(tree, &two, 0);
        for (const NodePlan& p : {NodePlan{3, 2, L"three"}, NodePlan{4, 0, L"four"}, NodePlan{5, 4, L"five"}})
            Insert(tree, p);
        RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
        ExpandNode(tree, 1, 0);
        for (const TreeNode* n = GetListHead(tree); n; n = n->next) ZNList_InsertFromTree(list, n);
        ZNList_Refresh(list, 0, 0);
    }
    ~Scene() {
        ZNList_Destroy(list);
        DestroyTree(tree);
        ImageList_Destroy(icons);
    }
    INT_PTR CallProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        // As a host's subclass procedure passes a message on: a plain call from the host's frame.
        auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
        return procedure(window, message, wParam, lParam);
    }
    // Sound chains, rows that show their own records, and both controls still rebuilding and
    // painting; a parent whose list could not be made takes one now.
    void ExpectWorking() {
        if (!list) {
            EXPECT_EQ(GetPropA(host.window(), "ZNListCt"), nullptr);
            list = host.MakeList(320, 30, 400, 200);
            ASSERT_NE(list, nullptr);
        }
        EXPECT_NE(GetPropA(host.window(), "ZNListCt"), nullptr) << "a list hooks its parent";
        EXPECT_EQ(ChainFault(tree), "");
        std::vector<DWORD> tops;
        for (const TreeNode* n = GetListHead(tree); n; n = n->next)
            if (!n->parent) tops.push_back(n->id);
        EXPECT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), tops.empty() ? 0 : 1);
        EXPECT_EQ(RowIds(tree), tops);
        std::vector<const ListRow*> rows;
        for (const ListRow* r = ZNList_GetListHead(list); r; r = r->next) rows.push_back(r);
        EXPECT_EQ(ZNList_Refresh(list, 0, 0), rows.empty() ? 0 : 1);
        ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(rows.size()));
        for (size_t i = 0; i < rows.size(); ++i)
            EXPECT_NE(std::find(rows.begin(), rows.end(), ShownRow(list, i)), rows.end());
        host.Repaint(tree);
        host.Repaint(list);
    }
};

// What a host can call, and a message for each window procedure the library installs.
struct Step {
    const char* what;
    std::function<void(Scene&)> prepare;
    std::function<INT_PTR(Scene&)> call;
};
const Step kSteps[] = {
    {"RefreshTree", nullptr, [](Scene& s) { return (INT_PTR)RefreshTree(s.tree, &s.host.selectedIndex, nullptr); }},
    {"ExpandNode", nullptr, [](Scene& s) { return (INT_PTR)ExpandNode(s.tree, 4, 0); }},
    {"ZNTree_SelectNode", nullptr, [](Scene& s) { return (INT_PTR)ZNTree_SelectNode(s.tree, 3, 0); }},
    {"On_WMCharToItem *", [](Scene& s) { SendMessageA(s.tree, LB_SETCURSEL, 3, 0); },
     [](Scene& s) { return (INT_PTR)On_WMCharToItem(s.tree, '*', (LPARAM)s.tree, &s.host.checkedCount); }},
    {"Sorted_Insert", nullptr, [](Scene& s) { return (INT_PTR)Insert(s.tree, {6, 2, L"six"}); }},
    {"On_DrawItem", nullptr,
     [](Scene& s) {
         DRAWITEMSTRUCT item = {ODT_LISTBOX, HostWindow::kTreeId, 1, ODA_DRAWENTIRE, ODS_SELECTED, s.tree,
                                GetDC(s.tree), {0, 18, 300, 58}, (ULONG_PTR)SendMessageA(s.tree, LB_GETITEMDATA, 1, 0)};
         INT_PTR r = On_DrawItem(s.tree, &item, nullptr);
         ReleaseDC(s.tree, item.hDC);
         return r;
     }},
    {"ZNList_Create", [](Scene& s) { ZNList_Destroy(s.list), s.list = nullptr; },
     [](Scene& s) { return (INT_PTR)(s.list = s.host.MakeList(320, 30, 400, 200)); }},
    {"ZNList_Refresh", nullptr, [](Scene& s) { return (INT_PTR)ZNList_Refresh(s.list, 0, 1); }},
    {"ZNList_SetHeaderColumn", nullptr, [](Scene& s) { return (INT_PTR)ZNList_SetHeaderColumn(s.list, 3, 4, s.bold); }},
    {"tree list box WM_SIZE", [](Scene& s) { AttachAdditionalIcons(s.tree, s.icons); },
     [](Scene& s) { return s.CallProcedure(s.tree, WM_SIZE, 0, MAKELPARAM(300, 200)); }},
    {"list box WM_SIZE", nullptr, [](Scene& s) { return s.CallProcedure(s.list, WM_SIZE, 0, MAKELPARAM(400, 200)); }},
    {"parent WM_DRAWITEM",
     [](Scene& s) { ZNList_SelectNode(s.list, 2), s.host.Pump(); },
     [](Scene& s) {
         RECT r = ItemRect(s.list, 1);
         DRAWITEMSTRUCT item = {ODT_LISTBOX, HostWindow::kListId, 1, ODA_DRAWENTIRE, ODS_SELECTED, s.list,
                                GetDC(s.list), r, (ULONG_PTR)ShownRow(s.list, 1)};
         INT_PTR r2 = s.CallProcedure(s.host.window(), WM_DRAWITEM, HostWindow::kListId, (LPARAM)&item);
         ReleaseDC(s.list, item.hDC);
         return r2;
     }},
    {"header band HDN_ITEMCLICK",
     [](Scene& s) { ZNList_AddHeaderColumn(s.list, L"Name", 0), ZNList_AddHeaderColumn(s.list, L"Note", 0); },
     [](Scene& s) {
         NMHEADERA note = {{HeaderOf(s.host.window()), HostWindow::kListId + 1, (UINT)HDN_ITEMCLICKA}, 1, 0, nullptr};
         return s.CallProcedure(HeaderParentOf(s.host.window()), WM_NOTIFY, note.hdr.idFrom, (LPARAM)&note);
     }},
};

}  // namespace

TEST(Boundary, RunningOutOfMemoryAnywhereLeavesBothControlsWorking) {
    HostWindow host;
    for (const Step& step : kSteps) {
        // The first allocation fails, then the second, ... until the step makes no more.
        for (int number = 0;; ++number) {
            SCOPED_TRACE(std::string(step.what) + ", allocation " + std::to_string(number) + " failing");
            Scene scene(host);
            if (step.prepare) step.prepare(scene);
            bool escaped = false;
            {
                OutOfMemory failure(number);
                try {
                    step.call(scene);
                } catch (...) {
                    escaped = true;
                }
            }
            EXPECT_FALSE(escaped) << "an exception left the library";
            scene.ExpectWorking();
            if (injected == 0 || HasFailure()) break;
        }
    }
}

namespace {

// A subclass as hosts and accessibility tools install one: it passes every message on.
int passedOn = 0;
LRESULT CALLBACK PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++passedOn;
    auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, "test.previous"));
    return CallWindowProcA(previous, window, message, wParam, lParam);
}
void Subclass(HWND window) {
    SetPropA(window, "test.previous",
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PassOn))));
}

}  // namespace

TEST(Boundary, SubclassedListBoxesStillLeadToTheirControls) {
    HostWindow host, listHost;  // a list's hook would answer the tree's typed characters itself
    HWND tree = host.MakeTree(), list = listHost.MakeList();
    Subclass(tree);
    Subclass(list);
    ASSERT_NE(Insert(tree, {1, 0, L"node"}), nullptr);
    EXPECT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
    ASSERT_NE(InsertRow(list, {1, L"row"}), nullptr);
    EXPECT_EQ(ZNList_Refresh(list, 0, 0), 1);
    // The space bar reaches both controls' handlers through the subclasses.
    passedOn = 0;
    SendMessageA(tree, WM_CHAR, ' ', 0);
    SendMessageA(list, WM_CHAR, ' ', 0);
    EXPECT_GE(passedOn, 2);
    EXPECT_EQ(GetListHead(tree)->checkState, static_cast<DWORD>(ZN_CHECKED));
    EXPECT_EQ(ZNList_GetSelectedNodeCount(list), 1);
    EXPECT_EQ(ZNList_Destroy(list), 1);
    EXPECT_EQ(DestroyTree(tree), 1);
}

TEST(Boundary, ParentsSubclassedAfterTheirListKeepEveryProcedure) {
    HostWindow host;
    HWND parent = host.window();
    const LONG_PTR hostProc = GetWindowLongPtrA(parent, GWLP_WNDPROC);
    const LRESULT font = reinterpret_cast<LRESULT>(host.font());
    HWND list = host.MakeList();
    Subclass(parent);
    ASSERT_EQ(ZNList_Destroy(list), 1);
    EXPECT_EQ(GetWindowLongPtrA(parent, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&PassOn)) << "the later subclass stays";
    passedOn = 0;
    EXPECT_EQ(SendMessageA(parent, WM_GETFONT, 0, 0), font);
    EXPECT_EQ(passedOn, 1);
    // Another list on that parent works and goes again.
    list = host.MakeList();
    ASSERT_NE(list, nullptr);
    InsertRow(list, {1, L"row"});
    EXPECT_EQ(ZNList_Refresh(list, 0, 0), 1);
    host.Repaint(list);
    EXPECT_EQ(ZNList_Destroy(list), 1);
    // The subclass leaves as subclasses do, putting back the procedure it replaced: the host's
    // procedure answers again, and the library's hook is gone from the parent.
    SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetPropA(parent, "test.previous")));
    EXPECT_EQ(SendMessageA(parent, WM_GETFONT, 0, 0), font);
    EXPECT_EQ(GetWindowLongPtrA(parent, GWLP_WNDPROC), hostProc);
}

namespace {

// Calls an export from the host's handler of the first `message` after arming.
struct Nested {
    UINT message = 0;
    std::function<INT_PTR()> call;
    INT_PTR result = -7;
} nested;
LRESULT CALLBACK Reenter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (nested.call && message == nested.message) {
        auto call = std::move(nested.call);
        nested.call = nullptr;
        nested.result = call();
    }
    return PassOn(window, message, wParam, lParam);
}

}  // namespace

TEST(Boundary, ExportsCalledFromTheHostsHandlersWhileRowsChangeAreRefused) {
    HostWindow host;
    Scene s(host);
    SetPropA(s.host.window(), "test.previous",
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(s.host.window(), GWLP_WNDPROC, (LONG_PTR)&Reenter)));
    const struct {
        const char* what;
        UINT message;
        std::function<INT_PTR()> outer, inner;
        std::vector<DWORD> rows;
    } cases[] = {
        {"ClearTree while a branch opens", WM_MEASUREITEM, [&] { return (INT_PTR)ExpandNode(s.tree, 4, 0); },
         [&] { return (INT_PTR)ClearTree(s.tree); }, {1, 2, 4, 5}},
        {"RefreshTree while a branch closes", WM_DELETEITEM, [&] { return (INT_PTR)CollapseNode(s.tree, 1, 0); },
         [&] { return (INT_PTR)RefreshTree(s.tree, nullptr, nullptr); }, {1, 4, 5}},
        {"DestroyTree while rows are rebuilt", WM_MEASUREITEM,
         [&] { return (INT_PTR)RefreshTree(s.tree, nullptr, nullptr); }, [&] { return (INT_PTR)DestroyTree(s.tree); },
         {1, 4}},
        {"ZNList_Destroy while the list is cleared", WM_DELETEITEM, [&] { return (INT_PTR)ZNList_Clear(s.list); },
         [&] { return (INT_PTR)ZNList_Destroy(s.list); }, {1, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        nested.message = c.message;
        nested.call = c.inner;
        EXPECT_EQ(c.outer(), 1);
        EXPECT_EQ(nested.result, 0);
        EXPECT_EQ(RowIds(s.tree), c.rows);
        EXPECT_EQ(ChainFault(s.tree), "");
    }
    EXPECT_EQ(ZNList_GetListCount(s.list), 0);
    EXPECT_NE(InsertRow(s.list, {7, L"after"}), nullptr);
}

TEST(Boundary, TreeClicksAreTakenOnlyFromItsOwnListBox) {
    HostWindow host;
    HWND tree = host.MakeTree(10, 10, 300, 200);
    Insert(tree, {1, 0, L"node"});
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    HWND other = host.AddPlaceholder(555, 400, 300, 200, 100);
    // The cursor where the selected row's check box is (22 < x < 40), as the host forwards a
    // selection change first with another window, then with the tree's list box.
    for (HWND from : {other, tree}) {
        POINT p = HostWindow::ToScreen(from, 30, 5);
        SetCursorPos(p.x, p.y);
        EXPECT_EQ(On_WMCommand(tree, MAKEWPARAM(HostWindow::kTreeId, LBN_SELCHANGE), (LPARAM)from, &host.checkedCount), 1);
        host.Pump();
        EXPECT_EQ(host.CountNotifications(ZN_TREE_CHECK_STATE_CHANGED), from == tree ? 1u : 0u);
    }
    EXPECT_EQ(GetListHead(tree)->checkState, static_cast<DWORD>(ZN_CHECKED));
}

namespace {

// Fonts the DLL makes; a normal-weight one can be refused.
bool refuseNormalFont = false;
decltype(&::CreateFontIndirectA) realCreateFont;
HFONT WINAPI MaybeCreateFont(const LOGFONTA* font) {
    return refuseNormalFont && font->lfWeight == FW_NORMAL ? nullptr : realCreateFont(font);
}
// Windows the DLL destroys that were no longer windows.
int staleDestroys = 0;
decltype(&::DestroyWindow) realDestroyWindow;
BOOL WINAPI CountingDestroyWindow(HWND window) {
    staleDestroys += !IsWindow(window);
    return realDestroyWindow(window);
}

}  // namespace

TEST(Boundary, PaintingLeavesTheHostsDeviceContextAsItWasLent) {
    for (bool withoutNormalFont : {false, true}) {
        HostWindow host;
        HWND tree, list;
        {
            Detour<decltype(&::CreateFontIndirectA)> fonts("CreateFontIndirectA", &MaybeCreateFont, &realCreateFont);
            refuseNormalFont = withoutNormalFont;
            tree = host.MakeTree(5, 5, 300, 200);
            list = host.MakeList(320, 30, 400, 200);
            refuseNormalFont = false;
        }
        Bstr bold(L"bold line"), choices = Bstr::Choices({L"1", L"Low", L"2", L"High"}), plain(L"plain line");
        NodeInfo info = ChoiceRecord(1, 0, bold, choices);
        info.text3 = plain;
        const void* records[] = {Sorted_Insert(tree, &info, 0), ZNList_Insert(list, &info)};
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP canvas = CreateBitmap(400, 70, 1, 32, nullptr);
        HGDIOBJ oldBitmap = SelectObject(dc, canvas), oldFont = SelectObject(dc, host.font());
        for (int control = 0; control < 2; ++control) {
            for (UINT state : {UINT(0), UINT(ODS_SELECTED)}) {
                SCOPED_TRACE(std::string(control ? "list" : "tree") + (state ? ", selected" : "") +
                             (withoutNormalFont ? ", without its normal font" : ""));
                SetBkMode(dc, OPAQUE);
                SetTextColor(dc, RGB(1, 2, 3));
                DRAWITEMSTRUCT item = {ODT_LISTBOX, 0, 0, ODA_DRAWENTIRE, state, control ? list : tree, dc,
                                       {0, 0, 400, 58}, (ULONG_PTR)records[control]};
                if (control) {
                    item.CtlID = HostWindow::kListId;
                    SendMessageA(host.window(), WM_DRAWITEM, HostWindow::kListId, (LPARAM)&item);
                } else {
                    item.CtlID = HostWindow::kTreeId;
                    On_DrawItem(tree, &item, nullptr);
                }
                EXPECT_EQ(GetBkMode(dc), OPAQUE);
                EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
                EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), host.font());
            }
        }
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteObject(canvas);
        DeleteDC(dc);
        // Teardown destroys the windows it made while they exist, and no handle after.
        Detour<decltype(&::DestroyWindow)> destroys("DestroyWindow", &CountingDestroyWindow, &realDestroyWindow);
        staleDestroys = 0;
        EXPECT_EQ(ZNList_Destroy(list), 1);
        EXPECT_EQ(DestroyTree(tree), 1);
        EXPECT_EQ(staleDestroys, 0);
    }
}
