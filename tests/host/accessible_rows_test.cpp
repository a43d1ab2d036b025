// Both controls driven as a screen reader drives them, in process: the object behind each list box
// (AccessibleObjectFromWindow), its children read after the host's and the user's changes, default
// actions, and the events an in-context WinEvent hook hears during a scripted session.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "ZnTreeCt.h"

namespace {

const LONG kOwnStates = STATE_SYSTEM_CHECKED | STATE_SYSTEM_MIXED | STATE_SYSTEM_EXPANDED | STATE_SYSTEM_COLLAPSED;
const int kTreeId = 200, kListId = 300;
const wchar_t kChoices[] = L"1\0Keep\0" L"2\0Quarantine\0";  // ends with two NULs
using Names = std::vector<std::wstring>;

struct Heard {
    DWORD event;
    HWND window;
    LONG child;
    bool operator==(const Heard& o) const { return event == o.event && window == o.window && child == o.child; }
};
void PrintTo(const Heard& h, std::ostream* os) { *os << std::hex << h.event << std::dec << " child " << h.child; }
std::vector<Heard> heard;
std::function<void(const Heard&)> onHeard;
void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object != OBJID_CLIENT || (event == EVENT_OBJECT_FOCUS && child == CHILDID_SELF)) return;
    heard.push_back({event, window, child});
    if (onHeard) onHeard(heard.back());
}
std::vector<Heard> From(HWND window) {
    std::vector<Heard> from;
    for (const Heard& h : heard)
        if (h.window == window) from.push_back(h);
    return from;
}

// A host's record with texts made as BSTRs for one call (a choice list with its NULs).
struct Info : NodeInfo {
    Info(DWORD id_, DWORD parentOrMask, DWORD state, const wchar_t* t1, const wchar_t* t2 = nullptr, WORD flags_ = 0)
        : NodeInfo() {
        id = id_, parentId = parentOrMask, checkState = state, flags = flags_;
        text1 = SysAllocString(t1);
        text2 = t2 == kChoices ? SysAllocStringLen(t2, sizeof kChoices / sizeof *kChoices) : SysAllocString(t2);
    }
    ~Info() { SysFreeString(text1), SysFreeString(text2); }
};

VARIANT Child(LONG id) {
    VARIANT v;
    v.vt = VT_I4, v.lVal = id;
    return v;
}

// What a screen reader reads of one child.
struct Read {
    std::wstring name, value, description, action;
    LONG role = 0, states = 0;
};
Read ReadChild(IAccessible* object, LONG id) {
    const VARIANT child = Child(id);
    auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
        BSTR s = nullptr;
        (object->*get)(child, &s);
        std::wstring out = s ? std::wstring(s, SysStringLen(s)) : L"";
        SysFreeString(s);
        return out;
    };
    Read read{text(&IAccessible::get_accName), text(&IAccessible::get_accValue),
              text(&IAccessible::get_accDescription), text(&IAccessible::get_accDefaultAction)};
    VARIANT role, states;
    if (SUCCEEDED(object->get_accRole(child, &role)) && SUCCEEDED(object->get_accState(child, &states)))
        read.role = role.lVal, read.states = states.lVal;
    return read;
}

IAccessible* ObjectOf(HWND window) {
    IAccessible* object = nullptr;
    EXPECT_EQ(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&object)),
              S_OK);
    return object;
}

Names NamesOf(IAccessible* object) {  // as a screen reader walks the children
    long count = 0, got = 0;
    object->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<size_t>(count));
    EXPECT_EQ(AccessibleChildren(object, 0, count, children.data(), &got), S_OK);
    Names names;
    for (long i = 0; i < got; ++i) names.push_back(ReadChild(object, children[i].lVal).name);
    return names;
}

std::vector<COLORREF> Pixels(HWND window, RECT box) {
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(window);
    for (LONG y = box.top; y < box.bottom; ++y)
        for (LONG x = box.left; x < box.right; ++x) pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(window, dc);
    return pixels;
}

// Two host dialogs, one for each control: the tree's forwards its four messages with its own
// count of checked nodes; both count the notifications. A hook records what aids would hear.
class AccessibleRows : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = "ZnAccessHost";
        RegisterClassA(&wc);
        for (HWND* made : {&window, &listWindow}) {
            *made = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, made == &window ? 40 : 480, 40,
                                    420, 400, nullptr, nullptr, nullptr, nullptr);
            SetWindowLongPtrA(*made, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            CreateWindowExA(0, "STATIC", "", WS_CHILD, 10, 30, 380, 300, *made, HMENU(100), nullptr, nullptr);
        }
        tree = CreateTree(window, 100, kTreeId);
        list = ZNList_Create(listWindow, 100, kListId);
        hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, GetModuleHandleA(nullptr), Hear, GetCurrentProcessId(), 0,
                               WINEVENT_INCONTEXT);
        heard.clear();
    }
    void TearDown() override {
        UnhookWinEvent(hook);
        onHeard = nullptr;
        DestroyTree(tree);
        ZNList_Destroy(list);
        DestroyWindow(window);
        DestroyWindow(listWindow);
        Pump();
        CoUninitialize();
    }
    static void Pump() {
        MSG msg;
        for (int n = 0; n < 5000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++n) DispatchMessageA(&msg);
    }
    void Insert(DWORD id, DWORD parent, const wchar_t* t1, DWORD state, const wchar_t* t2 = nullptr, WORD flags = 0) {
        Info info(id, parent, state, t1, t2, flags);
        EXPECT_TRUE(Sorted_Insert(tree, &info, 0));
    }
    void Refresh() { RefreshTree(tree, &selectedIndex, &checkedCount); }
    void Row(DWORD id, DWORD state, const wchar_t* t1, const wchar_t* path = nullptr, const wchar_t* t2 = nullptr) {
        Info info(id, 0, state, t1, t2, t2 ? ZN_CHOICE_TEXT2 : 0);
        EXPECT_TRUE(ZNList_Insert(list, &info));
        BSTR text = SysAllocString(path);
        if (text) ZNList_SetHeaderColumn(list, id, 1, text);
        SysFreeString(text);
    }
    HWND window, listWindow, tree, list;
    LONG checkedCount = 0, selectedIndex = 0;
    int treeNotes = 0, listNotes = 0;
    HWINEVENTHOOK hook = nullptr;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* host = reinterpret_cast<AccessibleRows*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        HWND tree = host && window == host->window ? host->tree : nullptr;
        if (tree && message == WM_MEASUREITEM && wParam == kTreeId)
            return On_MeasureItem(tree, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        if (tree && message == WM_DRAWITEM && wParam == kTreeId)
            return On_DrawItem(tree, reinterpret_cast<DRAWITEMSTRUCT*>(lParam), &host->selectedIndex);
        if (tree && message == WM_CHARTOITEM && HWND(lParam) == tree)
            return On_WMCharToItem(tree, wParam, lParam, &host->checkedCount);
        if (host && message == WM_COMMAND && HIWORD(wParam) == ZN_TREE_CHECK_STATE_CHANGED) return ++host->treeNotes;
        if (host && message == WM_COMMAND && HIWORD(wParam) == ZN_LIST_CHECK_STATE_CHANGED) return ++host->listNotes;
        if (tree && message == WM_COMMAND && LOWORD(wParam) == kTreeId)
            return On_WMCommand(tree, wParam, lParam, &host->checkedCount);
        return DefWindowProcA(window, message, wParam, lParam);
    }
};

TEST_F(AccessibleRows, TreeRowsReadAfterRefreshExpandAndUpdates) {
    HIMAGELIST icons = ImageList_Create(16, 16, ILC_COLOR24, 4, 0);
    ImageList_SetImageCount(icons, 4);
    AttachSeverityIcons(tree, icons);
    AttachAdditionalIcons(tree, icons);
    Info archive(1, 0, ZN_UNCHECKED, L"Archive");
    archive.severity = 2, archive.extraIcon = 1;
    Sorted_Insert(tree, &archive, 0);
    Insert(2, 1, L"codec.zip", ZN_CHECKED, L"Trojan");
    Insert(3, 1, L"readme.txt", ZN_UNCHECKED, kChoices, ZN_CHOICE_TEXT2);
    Insert(4, 0, L"Settings", ZN_CHECK_DISABLED);
    Insert(5, 4, L"Cache", ZN_CHECK_DISABLED);
    Insert(6, 0, L"Log", ZN_CHECK_DISABLED);
    Refresh();
    ASSERT_EQ(ExpandNode(tree, 1, 0), 1);
    IAccessible* object = ObjectOf(tree);
    ASSERT_TRUE(object);
    EXPECT_EQ(ReadChild(object, CHILDID_SELF).role, ROLE_SYSTEM_OUTLINE);
    IDispatch* parent = nullptr;
    ASSERT_EQ(object->get_accParent(&parent), S_OK);  // the list box's window object
    parent->Release();

    const struct {
        const wchar_t *name, *value, *description, *action;
        LONG states;
    } rows[] = {
        {L"Archive", L"0", L"Severity 2, additional icon 1", L"Uncheck", STATE_SYSTEM_MIXED | STATE_SYSTEM_EXPANDED},
        {L"codec.zip, Trojan", L"1", L"", L"Uncheck", STATE_SYSTEM_CHECKED},
        {L"readme.txt, Keep", L"1", L"", L"Check", 0},
        {L"Settings", L"0", L"", L"Expand", STATE_SYSTEM_COLLAPSED},
        {L"Log", L"0", L"", L"", 0},
    };
    long count = 0;
    ASSERT_EQ(object->get_accChildCount(&count), S_OK);
    ASSERT_EQ(count, 5);
    for (LONG i = 0; i < 5; ++i) {
        const Read read = ReadChild(object, i + 1);
        EXPECT_EQ(read.name, rows[i].name);
        EXPECT_EQ(read.value + L"|" + read.description + L"|" + read.action,
                  std::wstring(rows[i].value) + L"|" + rows[i].description + L"|" + rows[i].action);
        EXPECT_EQ(read.role, ROLE_SYSTEM_OUTLINEITEM);
        EXPECT_EQ(read.states & kOwnStates, rows[i].states) << i;
        EXPECT_EQ((read.states & STATE_SYSTEM_SELECTED) != 0, i == 0) << i;
    }

    // Host changes read back at once; a collapse leaves the children out of the walk.
    Info update(3, ZN_CHANGE_TEXT1 | ZN_CHANGE_CHECK, ZN_CHECKED, L"notes.txt");
    ASSERT_EQ(UpdateTreeEntry(tree, &update, 0, &checkedCount), 1);
    EXPECT_EQ(ReadChild(object, 3).name, L"notes.txt, Keep");
    EXPECT_EQ(ReadChild(object, 1).states & kOwnStates, STATE_SYSTEM_CHECKED | STATE_SYSTEM_EXPANDED);
    ASSERT_EQ(CollapseNode(tree, 1, 0), 1);
    EXPECT_EQ(NamesOf(object), (Names{L"Archive", L"Settings", L"Log"}));
    // Rows scrolled away are offscreen.
    for (DWORD id = 10; id < 60; ++id) Insert(id, 0, L"more", ZN_UNCHECKED);
    Refresh();
    EXPECT_FALSE(ReadChild(object, 1).states & STATE_SYSTEM_OFFSCREEN);
    EXPECT_TRUE(ReadChild(object, 50).states & STATE_SYSTEM_OFFSCREEN);
    object->Release();
    ImageList_Destroy(icons);
}

TEST_F(AccessibleRows, TreeActionsSelectionAndPlaces) {
    Insert(1, 0, L"Root", ZN_UNCHECKED);
    Insert(2, 1, L"a", ZN_UNCHECKED);
    Insert(3, 1, L"b", ZN_UNCHECKED);
    Insert(4, 0, L"Folder", ZN_CHECK_DISABLED);
    Insert(5, 4, L"x", ZN_CHECK_DISABLED);
    Insert(6, 0, L"Leaf", ZN_CHECK_DISABLED);
    Refresh();
    ExpandNode(tree, 1, 0);
    Pump();
    IAccessible* object = ObjectOf(tree);
    ASSERT_TRUE(object);
    RECT a;
    SendMessageA(tree, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&a));
    const RECT box = {40, a.top, 58, a.top + 18};  // the box of a node one level down
    const std::vector<COLORREF> before = Pixels(tree, box);

    // A box: toggled as a click toggles it, the host's count following.
    ASSERT_EQ(object->accDoDefaultAction(Child(2)), S_OK);
    EXPECT_EQ(SendMessageA(tree, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(GetListHead(tree)->next->checkState, DWORD(ZN_CHECKED));
    EXPECT_EQ(GetListHead(tree)->checkState, DWORD(ZN_PARTLY_CHECKED));
    EXPECT_EQ(checkedCount, 2);  // a checked, its parent partly checked from unchecked
    const std::vector<COLORREF> toggled = Pixels(tree, box);
    EXPECT_NE(toggled, before);
    Pump();
    EXPECT_EQ(treeNotes, 1);
    InvalidateRect(tree, nullptr, TRUE);
    Pump();
    EXPECT_EQ(Pixels(tree, box), toggled);

    // A parent without a box opens and closes; a row with neither has no action.
    EXPECT_EQ(ReadChild(object, 4).action, L"Expand");
    ASSERT_EQ(object->accDoDefaultAction(Child(4)), S_OK);
    EXPECT_EQ(ReadChild(object, 5).name + ReadChild(object, 4).action, L"xCollapse");
    ASSERT_EQ(object->accDoDefaultAction(Child(4)), S_OK);
    EXPECT_EQ(ReadChild(object, 5).name, L"Leaf");
    EXPECT_EQ(object->accDoDefaultAction(Child(5)), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(object->accDoDefaultAction(Child(6)), E_INVALIDARG);
    EXPECT_EQ(treeNotes, 1);

    // Selection and focus, places, hit tests and navigation agree with the list box.
    ASSERT_EQ(object->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Child(3)), S_OK);
    EXPECT_EQ(SendMessageA(tree, LB_GETCURSEL, 0, 0), 2);
    VARIANT focus, selection, at;
    ASSERT_EQ(object->get_accFocus(&focus), S_OK);
    ASSERT_EQ(object->get_accSelection(&selection), S_OK);
    EXPECT_EQ(focus.lVal * 10 + selection.lVal, 33);
    EXPECT_EQ(ReadChild(object, 3).states & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED),
              STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED);
    RECT third;
    SendMessageA(tree, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third));
    MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&third), 2);
    long x, y, w, h;
    ASSERT_EQ(object->accLocation(&x, &y, &w, &h, Child(3)), S_OK);
    EXPECT_EQ((std::vector<long>{x, y, x + w, y + h}),
              (std::vector<long>{third.left, third.top, third.right, third.bottom}));
    ASSERT_EQ(object->accHitTest(x + 5, y + h - 1, &at), S_OK);
    EXPECT_EQ(at.lVal, 3);
    ASSERT_EQ(object->accNavigate(NAVDIR_NEXT, Child(3), &at), S_OK);
    EXPECT_EQ(at.lVal, 4);
    ASSERT_EQ(object->accNavigate(NAVDIR_LASTCHILD, Child(CHILDID_SELF), &at), S_OK);
    EXPECT_EQ(at.lVal, 5);
    EXPECT_EQ(object->accNavigate(NAVDIR_PREVIOUS, Child(1), &at), S_FALSE);
    object->Release();
}

TEST_F(AccessibleRows, ListRowsNamedByColumnsInRowOrder) {
    ZNList_AddHeaderColumn(list, L"Finding", 0);
    ZNList_AddHeaderColumn(list, L"Path", 0);
    Row(1, ZN_CHECKED, L"codec.zip", L"C:\\a\\codec.zip");
    Row(2, ZN_UNCHECKED, L"readme.txt", L"D:\\readme.txt", kChoices);
    Row(3, ZN_CHECK_DISABLED, L"notes");
    ASSERT_EQ(ZNList_Refresh(list, 1, 1), 1);  // paths descending: D:, C:, then the empty one
    IAccessible* object = ObjectOf(list);
    ASSERT_TRUE(object);
    EXPECT_EQ(ReadChild(object, CHILDID_SELF).role, ROLE_SYSTEM_LIST);
    EXPECT_EQ(NamesOf(object), (Names{L"Finding: readme.txt, Keep, Path: D:\\readme.txt",
                                      L"Finding: codec.zip, Path: C:\\a\\codec.zip", L"Finding: notes"}));
    const Read codec = ReadChild(object, 2), notes = ReadChild(object, 3);
    EXPECT_EQ(codec.role, ROLE_SYSTEM_LISTITEM);
    EXPECT_EQ(codec.states & kOwnStates, STATE_SYSTEM_CHECKED);
    EXPECT_EQ(codec.action + L"|" + notes.action, L"Uncheck|");
    EXPECT_EQ(object->accDoDefaultAction(Child(3)), DISP_E_MEMBERNOTFOUND);
    ASSERT_EQ(object->accDoDefaultAction(Child(2)), S_OK);
    EXPECT_EQ(ZNList_GetListHead(list)->checkState, DWORD(ZN_UNCHECKED));
    EXPECT_EQ(ReadChild(object, 2).action, L"Check");
    Pump();
    EXPECT_EQ(listNotes, 1);

    // The editor over the selected row's choice says which row it edits; a choice made in it
    // renames the row, and says so.
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    InvalidateRect(list, nullptr, TRUE);
    Pump();
    const HWND combo = GetDlgItem(list, ZN_EDITOR_ID);
    IAccessible* editor = ObjectOf(combo);
    ASSERT_TRUE(editor);
    EXPECT_EQ(ReadChild(editor, CHILDID_SELF).name, L"Choice for Finding: readme.txt, Path: D:\\readme.txt");
    heard.clear();
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    SendMessageA(list, WM_COMMAND, MAKEWPARAM(ZN_EDITOR_ID, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(ReadChild(object, 1).name, L"Finding: readme.txt, Quarantine, Path: D:\\readme.txt");
    EXPECT_EQ(From(list),
              (std::vector<Heard>{{EVENT_OBJECT_STATECHANGE, list, 1}, {EVENT_OBJECT_NAMECHANGE, list, 1}}));
    editor->Release();
    object->Release();
}

TEST_F(AccessibleRows, EventsFollowAScriptedSession) {
    Insert(1, 0, L"Root", ZN_UNCHECKED);
    Insert(2, 1, L"a", ZN_UNCHECKED);
    Insert(3, 0, L"Other", ZN_UNCHECKED);
    Refresh();
    ExpandNode(tree, 1, 0);
    IAccessible* object = ObjectOf(tree);
    ASSERT_TRUE(object);
    SetCursorPos(0, 0);  // no click lands on a box when the selection moves
    SetFocus(tree);
    Pump();
    heard.clear();
    SendMessageA(tree, WM_KEYDOWN, VK_DOWN, 0);  // the user moves to "a"
    SendMessageA(tree, WM_CHAR, ' ', 0);         // and checks it: "a" and its parent change
    SendMessageA(tree, WM_KEYDOWN, VK_UP, 0);    // back to the parent
    SendMessageA(tree, WM_CHAR, ' ', 0);         // and unchecks it: the parent and "a", not "Other"
    CollapseNode(tree, 1, 0);                    // the host closes the parent
    Info rename(3, ZN_CHANGE_TEXT1, 0, L"Renamed");
    UpdateNode(tree, &rename, 0);
    const HWND t = tree;
    EXPECT_EQ(From(t), (std::vector<Heard>{{EVENT_OBJECT_SELECTION, t, 2},   {EVENT_OBJECT_FOCUS, t, 2},
                                           {EVENT_OBJECT_STATECHANGE, t, 2}, {EVENT_OBJECT_STATECHANGE, t, 1},
                                           {EVENT_OBJECT_SELECTION, t, 1},   {EVENT_OBJECT_FOCUS, t, 1},
                                           {EVENT_OBJECT_STATECHANGE, t, 1}, {EVENT_OBJECT_STATECHANGE, t, 2},
                                           {EVENT_OBJECT_STATECHANGE, t, 1}, {EVENT_OBJECT_REORDER, t, CHILDID_SELF},
                                           {EVENT_OBJECT_NAMECHANGE, t, 2}}));

    // Rows opened above the selected row move it: its new place is announced. An aid that acts
    // from an event while the tree changes its rows is refused.
    SendMessageA(tree, LB_SETCURSEL, 1, 0);
    HRESULT nested = S_OK;
    onHeard = [&](const Heard& h) {
        if (h.event == EVENT_OBJECT_REORDER) nested = object->accDoDefaultAction(Child(1));
    };
    heard.clear();
    ExpandNode(tree, 1, 0);
    EXPECT_EQ(nested, E_FAIL);
    onHeard = nullptr;
    EXPECT_EQ(From(t), (std::vector<Heard>{{EVENT_OBJECT_STATECHANGE, t, 1}, {EVENT_OBJECT_REORDER, t, CHILDID_SELF},
                                           {EVENT_OBJECT_SELECTION, t, 3}, {EVENT_OBJECT_FOCUS, t, 3}}));

    // The list: a sort by a header click, a state the host sets on the selected row.
    ZNList_AddHeaderColumn(list, L"Name", 0);
    for (const wchar_t* text : {L"a", L"b", L"c"}) Row(DWORD(text[0] - L'a' + 1), ZN_UNCHECKED, text);
    ZNList_Refresh(list, 0, 0);  // "a" selected
    IAccessible* rows = ObjectOf(list);
    SetFocus(list);
    heard.clear();
    NMHEADERA click = {};
    click.hdr.code = static_cast<UINT>(HDN_ITEMCLICKA);
    SendMessageA(GetDlgItem(listWindow, kListId + 2), WM_NOTIFY, kListId + 1, reinterpret_cast<LPARAM>(&click));
    Info check(1, ZN_CHANGE_CHECK, ZN_CHECKED, nullptr);  // "a", last once sorted descending
    ZNList_UpdateItem(list, &check, 0);
    const HWND l = list;
    EXPECT_EQ(From(l), (std::vector<Heard>{{EVENT_OBJECT_SELECTION, l, 3}, {EVENT_OBJECT_FOCUS, l, 3},
                                           {EVENT_OBJECT_REORDER, l, CHILDID_SELF}, {EVENT_OBJECT_STATECHANGE, l, 3}}));
    rows->Release();
    object->Release();
}

TEST_F(AccessibleRows, ObjectsOutliveTheirControls) {
    Insert(1, 0, L"Root", ZN_UNCHECKED, kChoices, ZN_CHOICE_TEXT2);
    Refresh();
    Row(1, ZN_UNCHECKED, L"row");
    ZNList_Refresh(list, 0, 0);
    InvalidateRect(tree, nullptr, TRUE);
    Pump();
    IAccessible* objects[] = {ObjectOf(tree), ObjectOf(list), ObjectOf(GetDlgItem(tree, ZN_EDITOR_ID))};
    for (IAccessible* object : objects) ASSERT_TRUE(object);
    EXPECT_EQ(ReadChild(objects[2], CHILDID_SELF).name, L"Choice for Root");
    DestroyTree(tree);
    ZNList_Destroy(list);
    // New controls, perhaps on the same handles, are not reached either.
    tree = CreateTree(window, 100, kTreeId);
    list = ZNList_Create(listWindow, 100, kListId);
    for (IAccessible* object : objects) {
        long count = 0;
        BSTR name = nullptr;
        EXPECT_EQ(object->get_accName(Child(CHILDID_SELF), &name), CO_E_OBJNOTCONNECTED);
        EXPECT_EQ(object->accDoDefaultAction(Child(1)), CO_E_OBJNOTCONNECTED);
        EXPECT_EQ(object->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
        object->Release();
    }
}

}  // namespace
