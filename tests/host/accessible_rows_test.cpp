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

struct Heard {
    DWORD event;
    HWND window;
    LONG child;
    bool operator==(const Heard& o) const { return event == o.event && window == o.window && child == o.child; }
};
void PrintTo(const Heard& h, std::ostream* os) { *os << std::hex << h.event << std::dec << " child " << h.child; }
std::vector<Heard> heard;
std::function<void(const Heard&)> onHeard;
std::vector<Heard> From(HWND window) {
    std::vector<Heard> from;
    for (const Heard& h : heard)
        if (h.window == window) from.push_back(h);
    return from;
}
void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object != OBJID_CLIENT || (event == EVENT_OBJECT_FOCUS && child == CHILDID_SELF)) return;
    heard.push_back({event, window, child});
    if (onHeard) onHeard(heard.back());
}

BSTR Text(const wchar_t* text, UINT length = 0) { return SysAllocStringLen(text, length ? length : lstrlenW(text)); }

// Two host dialogs, one for each control: the tree's forwards its four messages with its own
// count; both count the notifications.
class Host {
public:
    Host() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZnAccessHost";
        RegisterClassA(&wc);
        for (HWND* made : {&window, &listWindow}) {
            *made = CreateWindowExA(0, "ZnAccessHost", "", WS_POPUP | WS_VISIBLE, made == &window ? 40 : 480, 40, 420,
                                    400, nullptr, nullptr, wc.hInstance, nullptr);
            SetWindowLongPtrA(*made, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            CreateWindowExA(0, "STATIC", "", WS_CHILD, 10, 30, 380, 300, *made, HMENU(100), nullptr, nullptr);
        }
        tree = CreateTree(window, 100, kTreeId);
        list = ZNList_Create(listWindow, 100, kListId);
    }
    ~Host() {
        if (tree) DestroyTree(tree);
        if (list) ZNList_Destroy(list);
        DestroyWindow(window);
        DestroyWindow(listWindow);
        Pump();
    }
    static void Pump() {
        MSG msg;
        for (int n = 0; n < 5000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++n) DispatchMessageA(&msg);
    }
    void Insert(DWORD id, DWORD parent, const wchar_t* t1, DWORD state, const wchar_t* t2 = nullptr, WORD flags = 0,
                UINT t2Length = 0) {
        NodeInfo info = {};
        info.id = id;
        info.parentId = parent;
        info.checkState = state;
        info.flags = flags;
        info.text1 = Text(t1);
        info.text2 = t2 ? Text(t2, t2Length) : nullptr;
        EXPECT_TRUE(Sorted_Insert(tree, &info, 0));
        SysFreeString(info.text1);
        SysFreeString(info.text2);
    }
    HWND window, listWindow, tree, list;
    LONG checkedCount = 0, selectedIndex = 0;
    int treeNotes = 0, listNotes = 0;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* host = reinterpret_cast<Host*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (host && host->tree && window == host->window) {
            if (message == WM_MEASUREITEM && wParam == kTreeId)
                return On_MeasureItem(host->tree, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            if (message == WM_DRAWITEM && wParam == kTreeId)
                return On_DrawItem(host->tree, reinterpret_cast<DRAWITEMSTRUCT*>(lParam), &host->selectedIndex);
            if (message == WM_CHARTOITEM && HWND(lParam) == host->tree)
                return On_WMCharToItem(host->tree, wParam, lParam, &host->checkedCount);
            if (message == WM_COMMAND && HIWORD(wParam) == ZN_TREE_CHECK_STATE_CHANGED) return ++host->treeNotes, 0;
            if (message == WM_COMMAND && LOWORD(wParam) == kTreeId)
                return On_WMCommand(host->tree, wParam, lParam, &host->checkedCount), 0;
        }
        if (host && message == WM_COMMAND && HIWORD(wParam) == ZN_LIST_CHECK_STATE_CHANGED) return ++host->listNotes, 0;
        if (message == WM_GETFONT) return LRESULT(GetStockObject(DEFAULT_GUI_FONT));
        return DefWindowProcA(window, message, wParam, lParam);
    }
};

VARIANT Child(LONG id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

// What a screen reader reads of one child.
struct Read {
    std::wstring name, value, description, action;
    LONG role = 0, states = 0;
};
Read ReadChild(IAccessible* object, LONG id) {
    Read read;
    const VARIANT child = Child(id);
    auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
        BSTR s = nullptr;
        (object->*get)(child, &s);
        std::wstring out = s ? std::wstring(s, SysStringLen(s)) : L"";
        SysFreeString(s);
        return out;
    };
    read.name = text(&IAccessible::get_accName);
    read.value = text(&IAccessible::get_accValue);
    read.description = text(&IAccessible::get_accDescription);
    read.action = text(&IAccessible::get_accDefaultAction);
    VARIANT v;
    if (SUCCEEDED(object->get_accRole(child, &v)) && v.vt == VT_I4) read.role = v.lVal;
    if (SUCCEEDED(object->get_accState(child, &v)) && v.vt == VT_I4) read.states = v.lVal;
    return read;
}

IAccessible* ObjectOf(HWND window) {
    IAccessible* object = nullptr;
    EXPECT_EQ(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&object)),
              S_OK);
    return object;
}

std::vector<std::wstring> Names(IAccessible* object) {
    long count = 0;
    object->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<size_t>(count));
    long got = 0;
    EXPECT_EQ(AccessibleChildren(object, 0, count, children.data(), &got), S_OK);
    std::vector<std::wstring> names;
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

HIMAGELIST Icons(int count) {
    HIMAGELIST icons = ImageList_Create(16, 16, ILC_COLOR24, count, 0);
    HDC screen = GetDC(nullptr);
    HBITMAP strip = CreateCompatibleBitmap(screen, 16 * count, 16);
    ReleaseDC(nullptr, screen);
    ImageList_Add(icons, strip, nullptr);
    DeleteObject(strip);
    return icons;
}

class AccessibleRows : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        host = new Host;
        hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, GetModuleHandleA(nullptr), Hear, GetCurrentProcessId(), 0,
                               WINEVENT_INCONTEXT);
        heard.clear();
    }
    void TearDown() override {
        UnhookWinEvent(hook);
        onHeard = nullptr;
        delete host;
        CoUninitialize();
    }
    Host* host = nullptr;
    HWINEVENTHOOK hook = nullptr;
};

const wchar_t kChoices[] = L"1\0Keep\0" L"2\0Quarantine\0";  // ends with two NULs
const UINT kChoicesLength = sizeof kChoices / sizeof kChoices[0];

TEST_F(AccessibleRows, TreeRowsReadAfterRefreshExpandAndUpdates) {
    HIMAGELIST severity = Icons(4), extra = Icons(3);
    AttachSeverityIcons(host->tree, severity);
    AttachAdditionalIcons(host->tree, extra);
    NodeInfo archive = {};
    archive.id = 1;
    archive.checkState = ZN_UNCHECKED;
    archive.severity = 2;
    archive.extraIcon = 1;
    archive.text1 = Text(L"Archive");
    Sorted_Insert(host->tree, &archive, 0);
    SysFreeString(archive.text1);
    host->Insert(2, 1, L"codec.zip", ZN_CHECKED, L"Trojan");
    host->Insert(3, 1, L"readme.txt", ZN_UNCHECKED, kChoices, ZN_CHOICE_TEXT2, kChoicesLength);
    host->Insert(4, 0, L"Settings", ZN_CHECK_DISABLED);
    host->Insert(5, 4, L"Cache", ZN_CHECK_DISABLED);
    host->Insert(6, 0, L"Log", ZN_CHECK_DISABLED);
    ASSERT_EQ(RefreshTree(host->tree, &host->selectedIndex, &host->checkedCount), 1);
    ASSERT_EQ(ExpandNode(host->tree, 1, 0), 1);
    IAccessible* tree = ObjectOf(host->tree);
    ASSERT_TRUE(tree);
    EXPECT_EQ(ReadChild(tree, CHILDID_SELF).role, ROLE_SYSTEM_OUTLINE);

    struct Row {
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
    ASSERT_EQ(tree->get_accChildCount(&count), S_OK);
    ASSERT_EQ(count, 5);
    for (LONG i = 0; i < 5; ++i) {
        const Read read = ReadChild(tree, i + 1);
        EXPECT_EQ(read.name, rows[i].name);
        EXPECT_EQ(read.value, rows[i].value) << i;
        EXPECT_EQ(read.description, rows[i].description) << i;
        EXPECT_EQ(read.action, rows[i].action) << i;
        EXPECT_EQ(read.role, ROLE_SYSTEM_OUTLINEITEM);
        EXPECT_EQ(read.states & kOwnStates, rows[i].states) << i;
        EXPECT_EQ((read.states & STATE_SYSTEM_SELECTED) != 0, i == 0) << i;
    }

    // Host changes read back at once; a collapse leaves the children out of the walk.
    NodeInfo update = {};
    update.id = 3;
    update.parentId = ZN_CHANGE_TEXT1 | ZN_CHANGE_CHECK;
    update.checkState = ZN_CHECKED;
    update.text1 = Text(L"notes.txt");
    ASSERT_EQ(UpdateTreeEntry(host->tree, &update, 0, &host->checkedCount), 1);
    SysFreeString(update.text1);
    EXPECT_EQ(ReadChild(tree, 3).name, L"notes.txt, Keep");
    EXPECT_EQ(ReadChild(tree, 1).states & kOwnStates, STATE_SYSTEM_CHECKED | STATE_SYSTEM_EXPANDED);
    ASSERT_EQ(CollapseNode(host->tree, 1, 0), 1);
    EXPECT_EQ(Names(tree), (std::vector<std::wstring>{L"Archive", L"Settings", L"Log"}));
    tree->Release();
    ImageList_Destroy(severity);
    ImageList_Destroy(extra);
}

TEST_F(AccessibleRows, TreeActionsSelectionAndPlaces) {
    host->Insert(1, 0, L"Root", ZN_UNCHECKED);
    host->Insert(2, 1, L"a", ZN_UNCHECKED);
    host->Insert(3, 1, L"b", ZN_UNCHECKED);
    host->Insert(4, 0, L"Folder", ZN_CHECK_DISABLED);
    host->Insert(5, 4, L"x", ZN_CHECK_DISABLED);
    host->Insert(6, 0, L"Leaf", ZN_CHECK_DISABLED);
    RefreshTree(host->tree, &host->selectedIndex, &host->checkedCount);
    ExpandNode(host->tree, 1, 0);
    Host::Pump();
    IAccessible* tree = ObjectOf(host->tree);
    ASSERT_TRUE(tree);
    RECT a;
    SendMessageA(host->tree, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&a));
    const RECT box = {22 + 18, a.top, 40 + 18, a.top + 18};  // the box of a node one level down
    const std::vector<COLORREF> before = Pixels(host->tree, box);

    // A box: toggled as a click toggles it, the count following through the host.
    ASSERT_EQ(tree->accDoDefaultAction(Child(2)), S_OK);
    EXPECT_EQ(SendMessageA(host->tree, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(GetListHead(host->tree)->next->checkState, DWORD(ZN_CHECKED));
    EXPECT_EQ(GetListHead(host->tree)->checkState, DWORD(ZN_PARTLY_CHECKED));
    EXPECT_EQ(host->checkedCount, 2);  // a checked, its parent partly checked from unchecked
    const std::vector<COLORREF> toggled = Pixels(host->tree, box);
    EXPECT_NE(toggled, before);
    Host::Pump();
    EXPECT_EQ(host->treeNotes, 1);
    InvalidateRect(host->tree, nullptr, TRUE);
    Host::Pump();
    EXPECT_EQ(Pixels(host->tree, box), toggled);

    // A parent without a box opens and closes; a row with neither has no action.
    EXPECT_EQ(ReadChild(tree, 4).action, L"Expand");
    ASSERT_EQ(tree->accDoDefaultAction(Child(4)), S_OK);
    EXPECT_EQ(ReadChild(tree, 5).name, L"x");
    EXPECT_EQ(ReadChild(tree, 4).action, L"Collapse");
    ASSERT_EQ(tree->accDoDefaultAction(Child(4)), S_OK);
    EXPECT_EQ(ReadChild(tree, 5).name, L"Leaf");
    EXPECT_EQ(tree->accDoDefaultAction(Child(5)), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(tree->accDoDefaultAction(Child(6)), E_INVALIDARG);
    EXPECT_EQ(host->treeNotes, 1);

    // Selection and focus, places, hit tests and navigation agree with the list box.
    ASSERT_EQ(tree->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Child(3)), S_OK);
    EXPECT_EQ(SendMessageA(host->tree, LB_GETCURSEL, 0, 0), 2);
    VARIANT focus, selection, at;
    ASSERT_EQ(tree->get_accFocus(&focus), S_OK);
    ASSERT_EQ(tree->get_accSelection(&selection), S_OK);
    EXPECT_EQ(focus.lVal, 3);
    EXPECT_EQ(selection.lVal, 3);
    EXPECT_EQ(ReadChild(tree, 3).states & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED),
              STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED);
    RECT third;
    SendMessageA(host->tree, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third));
    MapWindowPoints(host->tree, nullptr, reinterpret_cast<POINT*>(&third), 2);
    long x, y, w, h;
    ASSERT_EQ(tree->accLocation(&x, &y, &w, &h, Child(3)), S_OK);
    EXPECT_EQ((std::vector<long>{x, y, x + w, y + h}),
              (std::vector<long>{third.left, third.top, third.right, third.bottom}));
    ASSERT_EQ(tree->accHitTest(x + 5, y + h - 1, &at), S_OK);
    EXPECT_EQ(at.lVal, 3);
    ASSERT_EQ(tree->accNavigate(NAVDIR_NEXT, Child(3), &at), S_OK);
    EXPECT_EQ(at.lVal, 4);
    ASSERT_EQ(tree->accNavigate(NAVDIR_LASTCHILD, Child(CHILDID_SELF), &at), S_OK);
    EXPECT_EQ(at.lVal, 5);
    EXPECT_EQ(tree->accNavigate(NAVDIR_PREVIOUS, Child(1), &at), S_FALSE);
    // Rows scrolled away are offscreen.
    for (DWORD id = 10; id < 60; ++id) host->Insert(id, 0, L"more", ZN_UNCHECKED);
    RefreshTree(host->tree, &host->selectedIndex, &host->checkedCount);
    EXPECT_FALSE(ReadChild(tree, 1).states & STATE_SYSTEM_OFFSCREEN);
    EXPECT_TRUE(ReadChild(tree, 50).states & STATE_SYSTEM_OFFSCREEN);
    tree->Release();
}

TEST_F(AccessibleRows, ListRowsNamedByColumnsInRowOrder) {
    ZNList_AddHeaderColumn(host->list, L"Finding", 0);
    ZNList_AddHeaderColumn(host->list, L"Path", 0);
    const struct {
        DWORD id, state;
        const wchar_t *text, *path;
    } rows[] = {{1, ZN_CHECKED, L"codec.zip", L"C:\\a\\codec.zip"},
                {2, ZN_UNCHECKED, L"readme.txt", L"D:\\readme.txt"},
                {3, ZN_CHECK_DISABLED, L"notes", nullptr}};
    for (const auto& r : rows) {
        NodeInfo info = {};
        info.id = r.id;
        info.checkState = r.state;
        info.text1 = Text(r.text);
        if (r.id == 2) info.flags = ZN_CHOICE_TEXT2, info.text2 = Text(kChoices, kChoicesLength);
        ZNList_Insert(host->list, &info);
        SysFreeString(info.text1);
        SysFreeString(info.text2);
        BSTR path = r.path ? Text(r.path) : nullptr;
        if (path) ZNList_SetHeaderColumn(host->list, r.id, 1, path);
        SysFreeString(path);
    }
    ASSERT_EQ(ZNList_Refresh(host->list, 1, 1), 1);  // paths descending: D:, C:, then the empty one
    IAccessible* list = ObjectOf(host->list);
    ASSERT_TRUE(list);
    EXPECT_EQ(ReadChild(list, CHILDID_SELF).role, ROLE_SYSTEM_LIST);
    EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"Finding: readme.txt, Keep, Path: D:\\readme.txt",
                                                      L"Finding: codec.zip, Path: C:\\a\\codec.zip",
                                                      L"Finding: notes"}));
    const Read codec = ReadChild(list, 2), notes = ReadChild(list, 3);
    EXPECT_EQ(codec.role, ROLE_SYSTEM_LISTITEM);
    EXPECT_EQ(codec.states & kOwnStates, STATE_SYSTEM_CHECKED);
    EXPECT_EQ(codec.action, L"Uncheck");
    EXPECT_EQ(notes.action, L"");
    EXPECT_EQ(list->accDoDefaultAction(Child(3)), DISP_E_MEMBERNOTFOUND);

    ASSERT_EQ(list->accDoDefaultAction(Child(2)), S_OK);
    EXPECT_EQ(ZNList_GetListHead(host->list)->checkState, DWORD(ZN_UNCHECKED));
    EXPECT_EQ(ReadChild(list, 2).action, L"Check");
    Host::Pump();
    EXPECT_EQ(host->listNotes, 1);

    // The editor over the selected row's choice says which row it edits.
    SendMessageA(host->list, LB_SETCURSEL, 0, 0);
    InvalidateRect(host->list, nullptr, TRUE);
    Host::Pump();
    const HWND combo = GetDlgItem(host->list, ZN_EDITOR_ID);
    IAccessible* editor = ObjectOf(combo);
    ASSERT_TRUE(editor);
    EXPECT_EQ(ReadChild(editor, CHILDID_SELF).name, L"Choice for Finding: readme.txt, Path: D:\\readme.txt");
    // A choice made in it renames the row, and says so.
    heard.clear();
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    SendMessageA(host->list, WM_COMMAND, MAKEWPARAM(ZN_EDITOR_ID, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(ReadChild(list, 1).name, L"Finding: readme.txt, Quarantine, Path: D:\\readme.txt");
    EXPECT_EQ(From(host->list), (std::vector<Heard>{{EVENT_OBJECT_STATECHANGE, host->list, 1},
                                                    {EVENT_OBJECT_NAMECHANGE, host->list, 1}}));
    editor->Release();
    list->Release();
}

TEST_F(AccessibleRows, EventsFollowAScriptedSession) {
    host->Insert(1, 0, L"Root", ZN_UNCHECKED);
    host->Insert(2, 1, L"a", ZN_UNCHECKED);
    host->Insert(3, 0, L"Other", ZN_UNCHECKED);
    RefreshTree(host->tree, &host->selectedIndex, &host->checkedCount);
    ExpandNode(host->tree, 1, 0);
    IAccessible* tree = ObjectOf(host->tree);
    ASSERT_TRUE(tree);
    SetCursorPos(0, 0);  // no click lands on a box when the selection moves
    SetFocus(host->tree);
    Host::Pump();
    heard.clear();
    HWND t = host->tree;
    SendMessageA(t, WM_KEYDOWN, VK_DOWN, 0);                     // the user moves to "a"
    SendMessageA(t, WM_CHAR, ' ', 0);                            // and checks it
    CollapseNode(t, 1, 0);                                       // the host closes its parent
    NodeInfo update = {};
    update.id = 3;
    update.parentId = ZN_CHANGE_TEXT1;
    update.text1 = Text(L"Renamed");
    UpdateNode(t, &update, 0);
    SysFreeString(update.text1);
    const std::vector<Heard> expected = {
        {EVENT_OBJECT_SELECTION, t, 2}, {EVENT_OBJECT_FOCUS, t, 2},       {EVENT_OBJECT_STATECHANGE, t, 2},
        {EVENT_OBJECT_STATECHANGE, t, 1}, {EVENT_OBJECT_STATECHANGE, t, 1}, {EVENT_OBJECT_REORDER, t, CHILDID_SELF},
        {EVENT_OBJECT_NAMECHANGE, t, 2}};
    EXPECT_EQ(From(t), expected);

    // An aid that acts from an event while the tree changes its rows is refused.
    HRESULT nested = S_OK;
    onHeard = [&](const Heard& h) {
        if (h.event == EVENT_OBJECT_REORDER) nested = tree->accDoDefaultAction(Child(1));
    };
    ExpandNode(t, 1, 0);
    EXPECT_EQ(nested, E_FAIL);
    onHeard = nullptr;

    // The list: a sort by a header click, a state set by the host on the selected row.
    ZNList_AddHeaderColumn(host->list, L"Name", 0);
    for (DWORD id = 1; id <= 3; ++id) {
        NodeInfo info = {};
        info.id = id;
        info.text1 = Text(id == 1 ? L"a" : id == 2 ? L"b" : L"c");
        ZNList_Insert(host->list, &info);
        SysFreeString(info.text1);
    }
    ZNList_Refresh(host->list, 0, 0);  // a, b, c; "a" selected
    IAccessible* list = ObjectOf(host->list);
    SetFocus(host->list);
    heard.clear();
    NMHEADERA click = {};
    click.hdr.code = static_cast<UINT>(HDN_ITEMCLICKA);
    SendMessageA(GetDlgItem(host->listWindow, kListId + 2), WM_NOTIFY, kListId + 1, reinterpret_cast<LPARAM>(&click));
    NodeInfo check = {};
    check.id = 1;  // "a", selected, last once sorted descending
    check.parentId = ZN_CHANGE_CHECK;
    check.checkState = ZN_CHECKED;
    ZNList_UpdateItem(host->list, &check, 0);
    const HWND l = host->list;
    EXPECT_EQ(From(l), (std::vector<Heard>{{EVENT_OBJECT_SELECTION, l, 3}, {EVENT_OBJECT_FOCUS, l, 3},
                                           {EVENT_OBJECT_REORDER, l, CHILDID_SELF}, {EVENT_OBJECT_STATECHANGE, l, 3}}));
    list->Release();
    tree->Release();
}

TEST_F(AccessibleRows, ObjectsOutliveTheirControls) {
    host->Insert(1, 0, L"Root", ZN_UNCHECKED, kChoices, ZN_CHOICE_TEXT2, kChoicesLength);
    RefreshTree(host->tree, &host->selectedIndex, &host->checkedCount);
    NodeInfo info = {};
    info.id = 1;
    info.text1 = Text(L"row");
    ZNList_Insert(host->list, &info);
    SysFreeString(info.text1);
    ZNList_Refresh(host->list, 0, 0);
    InvalidateRect(host->tree, nullptr, TRUE);
    Host::Pump();
    IAccessible* objects[] = {ObjectOf(host->tree), ObjectOf(host->list),
                              ObjectOf(GetDlgItem(host->tree, ZN_EDITOR_ID))};
    for (IAccessible* object : objects) ASSERT_TRUE(object);
    EXPECT_EQ(ReadChild(objects[2], CHILDID_SELF).name, L"Choice for Root");
    DestroyTree(host->tree);
    ZNList_Destroy(host->list);
    host->tree = host->list = nullptr;
    Host host2;  // new controls, perhaps on the same handles, are not reached either
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
