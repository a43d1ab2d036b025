// Both controls driven as a screen reader drives them, in process: the object behind each list box, its children
// read after the host's and the user's changes, default actions, and what an in-context WinEvent hook hears.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <functional>
#include <map>

#include "harness.h"

namespace {

const LONG kOwnStates = STATE_SYSTEM_CHECKED | STATE_SYSTEM_MIXED | STATE_SYSTEM_EXPANDED | STATE_SYSTEM_COLLAPSED;
using Names = std::vector<std::wstring>;
BSTR Choices() { static const zt::Bstr choices = zt::Bstr::Choices({L"1", L"Keep", L"2", L"Quarantine"}); return choices; }

// The events heard for each window's client object: event and child, in order.
using Events = std::vector<std::pair<DWORD, LONG>>;
std::map<HWND, Events> heard;
std::function<void(DWORD)> onHeard;
void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object != OBJID_CLIENT || (event == EVENT_OBJECT_FOCUS && child == CHILDID_SELF)) return;
    heard[window].push_back({event, child});
    if (onHeard) onHeard(event);
}
VARIANT Child(LONG id) { VARIANT v; return v.vt = VT_I4, v.lVal = id, v; }

// What a screen reader reads of one child.
struct Read { std::wstring name, value, description, action; LONG role = 0, states = 0; };
Read ReadChild(IAccessible* object, LONG id) {
    const VARIANT child = Child(id);
    auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
        BSTR s = nullptr;
        const std::wstring out = SUCCEEDED((object->*get)(child, &s)) && s ? std::wstring(s, SysStringLen(s)) : L"";
        return SysFreeString(s), out;
    };
    Read read{text(&IAccessible::get_accName), text(&IAccessible::get_accValue),
              text(&IAccessible::get_accDescription), text(&IAccessible::get_accDefaultAction)};
    VARIANT role, states;
    if (SUCCEEDED(object->get_accRole(child, &role)) && SUCCEEDED(object->get_accState(child, &states)))
        read.role = role.lVal, read.states = states.lVal;
    return read;
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

// One host with both controls side by side; a hook records what aids would hear.
class AccessibleRows : public ::testing::Test {
protected:
    AccessibleRows() {
        h.MakeTree(10, 30, 380, 300), h.MakeList(450, 30, 380, 300);
        hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, GetModuleHandleA(nullptr), Hear, GetCurrentProcessId(), 0, WINEVENT_INCONTEXT);
        heard.clear();
    }
    ~AccessibleRows() override { UnhookWinEvent(hook), onHeard = nullptr; for (IAccessible* o : objects) o->Release(); }
    IAccessible* ObjectOf(HWND window) {  // released with the fixture
        IAccessible* object = nullptr;
        EXPECT_EQ(AccessibleObjectFromWindow(window, DWORD(OBJID_CLIENT), __uuidof(IAccessible), reinterpret_cast<void**>(&object)), S_OK);
        return object ? objects.push_back(object), object : nullptr;
    }
    void Add(std::initializer_list<zt::Item> items) {
        for (const zt::Item& item : items) EXPECT_TRUE(zt::AddNode(tree, item));
        RefreshTree(tree, &h.selectedIndex, &h.checkedCount);
    }
    void Row(DWORD id, DWORD state, const wchar_t* text, const wchar_t* path = nullptr, BSTR choices = nullptr) {
        EXPECT_TRUE(zt::AddRow(list, {id, 0, text, state, WORD(choices ? ZN_CHOICE_TEXT2 : 0), 0, 0, nullptr, nullptr, choices}));
        if (path) zt::SetCell(list, id, 1, path);
    }
    struct Com { Com() { CoInitialize(nullptr); } ~Com() { CoUninitialize(); } } com;  // outlives the controls
    zt::Host h;
    HWND &tree = h.tree, &list = h.list;
    HWINEVENTHOOK hook = nullptr;
    std::vector<IAccessible*> objects;
};

TEST_F(AccessibleRows, TreeRowsReadAfterRefreshExpandAndUpdates) {
    HIMAGELIST icons = zt::MakeIcons(4);
    AttachSeverityIcons(tree, icons), AttachAdditionalIcons(tree, icons);
    Add({{1, 0, L"Archive", ZN_UNCHECKED, 0, 2, 1}, {2, 1, L"codec.zip", ZN_CHECKED, 0, 0, 0, L"Trojan"},
         {3, 1, L"readme.txt", ZN_UNCHECKED, ZN_CHOICE_TEXT2, 0, 0, nullptr, nullptr, Choices()},
         {4, 0, L"Settings", ZN_CHECK_DISABLED}, {5, 4, L"Cache", ZN_CHECK_DISABLED}, {6, 0, L"Log", ZN_CHECK_DISABLED}});
    ASSERT_EQ(ExpandNode(tree, 1, 0), 1);
    IAccessible* object = ObjectOf(tree);
    ASSERT_TRUE(object);
    EXPECT_EQ(ReadChild(object, CHILDID_SELF).role, ROLE_SYSTEM_OUTLINE);
    IDispatch* parent = nullptr;  // the list box's window object
    ASSERT_EQ(object->get_accParent(&parent), S_OK);
    parent->Release();
    // Each row: name | value | description | action, and its own states; the first row is selected.
    const struct { const wchar_t* read; LONG states; } rows[] = {
        {L"Archive|0|Severity 2, additional icon 1|Uncheck", STATE_SYSTEM_MIXED | STATE_SYSTEM_EXPANDED},
        {L"codec.zip, Trojan|1||Uncheck", STATE_SYSTEM_CHECKED}, {L"readme.txt, Keep|1||Check", 0},
        {L"Settings|0||Expand", STATE_SYSTEM_COLLAPSED}, {L"Log|0||", 0}};
    ASSERT_EQ(NamesOf(object).size(), 5u);
    for (LONG i = 0; i < 5; ++i) {
        const Read read = ReadChild(object, i + 1);
        EXPECT_EQ(read.name + L"|" + read.value + L"|" + read.description + L"|" + read.action, rows[i].read);
        EXPECT_EQ(read.role, ROLE_SYSTEM_OUTLINEITEM);
        EXPECT_EQ(read.states & (kOwnStates | STATE_SYSTEM_SELECTED), rows[i].states | (i ? 0 : STATE_SYSTEM_SELECTED)) << i;
    }
    // Host changes read back at once; a collapse leaves the children out of the walk.
    const zt::Bstr notes(L"notes.txt");
    NodeInfo update = zt::Change(3, ZN_CHANGE_TEXT1 | ZN_CHANGE_CHECK, ZN_CHECKED, notes);
    ASSERT_EQ(UpdateTreeEntry(tree, &update, 0, &h.checkedCount), 1);
    EXPECT_EQ(ReadChild(object, 3).name, L"notes.txt, Keep");
    EXPECT_EQ(ReadChild(object, 1).states & kOwnStates, STATE_SYSTEM_CHECKED | STATE_SYSTEM_EXPANDED);
    ASSERT_EQ(CollapseNode(tree, 1, 0), 1);
    EXPECT_EQ(NamesOf(object), (Names{L"Archive", L"Settings", L"Log"}));
    // Rows scrolled away are offscreen.
    for (DWORD id = 10; id < 60; ++id) zt::AddNode(tree, {id});
    Add({});
    EXPECT_FALSE(ReadChild(object, 1).states & STATE_SYSTEM_OFFSCREEN);
    EXPECT_TRUE(ReadChild(object, 50).states & STATE_SYSTEM_OFFSCREEN);
    ImageList_Destroy(icons);
}

TEST_F(AccessibleRows, TreeActionsSelectionAndPlaces) {
    Add({{1, 0, L"Root"}, {2, 1, L"a"}, {3, 1, L"b"}, {4, 0, L"Folder", ZN_CHECK_DISABLED}, {5, 4, L"x", ZN_CHECK_DISABLED},
         {6, 0, L"Leaf", ZN_CHECK_DISABLED}});
    ExpandNode(tree, 1, 0);
    h.Pump();
    IAccessible* object = ObjectOf(tree);
    ASSERT_TRUE(object);
    const int top = zt::ItemRect(tree, 1).top;  // node 2's box is at (40, top), one level down
    auto boxAsIn = [&](const zt::Capture& then) {
        return zt::FirstDifference(zt::Capture(tree), 40, top, 18, 18, [&](int x, int y) { return then.At(40 + x, top + y); });
    };
    const zt::Capture before(tree);
    // A box: toggled as a click toggles it, selected, drawn, the host's count and notification following.
    ASSERT_EQ(object->accDoDefaultAction(Child(2)), S_OK);
    EXPECT_EQ(SendMessageA(tree, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(zt::Node(tree, 2)->checkState, DWORD(ZN_CHECKED));
    EXPECT_EQ(zt::Node(tree, 1)->checkState, DWORD(ZN_PARTLY_CHECKED));
    EXPECT_EQ(h.checkedCount, 2);  // a checked, its parent partly checked from unchecked
    EXPECT_NE(boxAsIn(before), "");
    const zt::Capture toggled(tree);
    EXPECT_EQ(h.Posted(ZN_TREE_CHECK_STATE_CHANGED), 1u);
    h.Repaint(tree);
    EXPECT_EQ(boxAsIn(toggled), "");
    // A parent without a box opens and closes; a row with neither has no action.
    ASSERT_EQ(object->accDoDefaultAction(Child(4)), S_OK);
    EXPECT_EQ(ReadChild(object, 5).name + ReadChild(object, 4).action, L"xCollapse");
    ASSERT_EQ(object->accDoDefaultAction(Child(4)), S_OK);
    EXPECT_EQ(ReadChild(object, 5).name, L"Leaf");
    EXPECT_EQ(object->accDoDefaultAction(Child(5)), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(object->accDoDefaultAction(Child(6)), E_INVALIDARG);
    EXPECT_EQ(h.Posted(ZN_TREE_CHECK_STATE_CHANGED), 1u);
    // Selection and focus, places, hit tests and navigation agree with the list box.
    ASSERT_EQ(object->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Child(3)), S_OK);
    EXPECT_EQ(SendMessageA(tree, LB_GETCURSEL, 0, 0), 2);
    VARIANT focus, selection, at;
    ASSERT_EQ(object->get_accFocus(&focus) | object->get_accSelection(&selection), S_OK);
    EXPECT_EQ(focus.lVal * 10 + selection.lVal, 33);
    EXPECT_EQ(ReadChild(object, 3).states & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED), STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED);
    ASSERT_EQ(object->accSelect(SELFLAG_TAKESELECTION, Child(1)), S_OK);
    EXPECT_EQ(SendMessageA(tree, LB_GETCURSEL, 0, 0), 0) << "the first row is child 1";
    RECT third = zt::ItemRect(tree, 2);
    long x, y, w, ht;
    ASSERT_EQ(object->accLocation(&x, &y, &w, &ht, Child(3)), S_OK);
    MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&third), 2);
    EXPECT_EQ((std::vector<long>{x, y, x + w, y + ht}), (std::vector<long>{third.left, third.top, third.right, third.bottom}));
    ASSERT_EQ(object->accHitTest(x + 5, y + ht - 1, &at), S_OK);
    EXPECT_EQ(at.lVal, 3);
    ASSERT_EQ(object->accNavigate(NAVDIR_NEXT, Child(3), &at), S_OK);
    EXPECT_EQ(at.lVal, 4);
    ASSERT_EQ(object->accNavigate(NAVDIR_LASTCHILD, Child(CHILDID_SELF), &at), S_OK);
    EXPECT_EQ(at.lVal, 5);
    EXPECT_EQ(object->accNavigate(NAVDIR_PREVIOUS, Child(1), &at), S_FALSE);
}

TEST_F(AccessibleRows, ListRowsNamedByColumnsInRowOrder) {
    ZNList_AddHeaderColumn(list, L"Finding", 0), ZNList_AddHeaderColumn(list, L"Path", 0);
    Row(1, ZN_CHECKED, L"codec.zip", L"C:\\a\\codec.zip");
    Row(2, ZN_UNCHECKED, L"readme.txt", L"D:\\readme.txt", Choices());
    Row(3, ZN_CHECK_DISABLED, L"notes");
    ASSERT_EQ(ZNList_Refresh(list, 1, 1), 1);  // paths descending: D:, C:, then the empty one
    IAccessible* object = ObjectOf(list);
    ASSERT_TRUE(object);
    EXPECT_EQ(ReadChild(object, CHILDID_SELF).role, ROLE_SYSTEM_LIST);
    EXPECT_EQ(NamesOf(object), (Names{L"Finding: readme.txt, Keep, Path: D:\\readme.txt",
                                      L"Finding: codec.zip, Path: C:\\a\\codec.zip", L"Finding: notes"}));
    const Read codec = ReadChild(object, 2), notes = ReadChild(object, 3);
    EXPECT_EQ(codec.role * 1000 + (codec.states & kOwnStates), ROLE_SYSTEM_LISTITEM * 1000 + STATE_SYSTEM_CHECKED);
    EXPECT_EQ(codec.action + L"|" + notes.action, L"Uncheck|");
    EXPECT_EQ(object->accDoDefaultAction(Child(3)), DISP_E_MEMBERNOTFOUND);
    ASSERT_EQ(object->accDoDefaultAction(Child(2)), S_OK);
    EXPECT_EQ(ZNList_GetListHead(list)->checkState, DWORD(ZN_UNCHECKED));
    EXPECT_EQ(ReadChild(object, 2).action, L"Check");
    EXPECT_EQ(h.Posted(ZN_LIST_CHECK_STATE_CHANGED), 1u);
    // The editor over the selected row's choice says which row it edits; a choice made in it
    // renames the row, and says so.
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    h.Repaint(list);
    const HWND combo = GetDlgItem(list, ZN_EDITOR_ID);
    IAccessible* editor = ObjectOf(combo);
    ASSERT_TRUE(editor);
    EXPECT_EQ(ReadChild(editor, CHILDID_SELF).name, L"Choice for Finding: readme.txt, Path: D:\\readme.txt");
    heard.clear();
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    SendMessageA(list, WM_COMMAND, MAKEWPARAM(ZN_EDITOR_ID, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(ReadChild(object, 1).name, L"Finding: readme.txt, Quarantine, Path: D:\\readme.txt");
    EXPECT_EQ(heard[list], (Events{{EVENT_OBJECT_STATECHANGE, 1}, {EVENT_OBJECT_NAMECHANGE, 1}}));
    // A click on the sorted column turns the order (empty path first); the selected row's new place
    // is announced, then a state the host sets on it.
    SetFocus(list);
    heard.clear();
    h.Notify(HDN_ITEMCLICKA, 1);
    NodeInfo check = zt::Change(2, ZN_CHANGE_CHECK, ZN_CHECKED);
    ZNList_UpdateItem(list, &check, 0);
    EXPECT_EQ(heard[list], (Events{{EVENT_OBJECT_SELECTION, 3}, {EVENT_OBJECT_FOCUS, 3}, {EVENT_OBJECT_REORDER, CHILDID_SELF},
                                  {EVENT_OBJECT_STATECHANGE, 3}}));
}

TEST_F(AccessibleRows, EventsFollowAScriptedSession) {
    Add({{1, 0, L"Root"}, {2, 1, L"a"}, {3, 0, L"Other"}});
    ExpandNode(tree, 1, 0);
    IAccessible* object = ObjectOf(tree);
    ASSERT_TRUE(object);
    SetCursorPos(0, 0);  // no click lands on a box when the selection moves
    SetFocus(tree);
    h.Pump();
    heard.clear();
    SendMessageA(tree, WM_KEYDOWN, VK_DOWN, 0);  // the user moves to "a"
    SendMessageA(tree, WM_CHAR, ' ', 0);         // and checks it: "a" and its parent change
    SendMessageA(tree, WM_KEYDOWN, VK_UP, 0);    // back to the parent
    SendMessageA(tree, WM_CHAR, ' ', 0);         // and unchecks it: the parent and "a", not "Other"
    CollapseNode(tree, 1, 0);                    // the host closes the parent
    const zt::Bstr renamed(L"Renamed");
    NodeInfo rename = zt::Change(3, ZN_CHANGE_TEXT1, 0, renamed);
    UpdateNode(tree, &rename, 0);
    EXPECT_EQ(heard[tree], (Events{{EVENT_OBJECT_SELECTION, 2}, {EVENT_OBJECT_FOCUS, 2}, {EVENT_OBJECT_STATECHANGE, 2},
                                  {EVENT_OBJECT_STATECHANGE, 1}, {EVENT_OBJECT_SELECTION, 1}, {EVENT_OBJECT_FOCUS, 1},
                                  {EVENT_OBJECT_STATECHANGE, 1}, {EVENT_OBJECT_STATECHANGE, 2}, {EVENT_OBJECT_STATECHANGE, 1},
                                  {EVENT_OBJECT_REORDER, CHILDID_SELF}, {EVENT_OBJECT_NAMECHANGE, 2}}));
    // Rows opened above the selected row move it: its new place is announced. An aid that acts
    // from an event while the tree changes its rows is refused.
    SendMessageA(tree, LB_SETCURSEL, 1, 0);
    HRESULT nested = S_OK;
    onHeard = [&](DWORD event) { nested = event == EVENT_OBJECT_REORDER ? object->accDoDefaultAction(Child(1)) : nested; };
    heard.clear();
    ExpandNode(tree, 1, 0);
    EXPECT_EQ(nested, E_FAIL);
    onHeard = nullptr;
    EXPECT_EQ(heard[tree], (Events{{EVENT_OBJECT_STATECHANGE, 1}, {EVENT_OBJECT_REORDER, CHILDID_SELF}, {EVENT_OBJECT_SELECTION, 3},
                                  {EVENT_OBJECT_FOCUS, 3}}));
}

TEST_F(AccessibleRows, ObjectsOutliveTheirControls) {
    Add({{1, 0, L"Root", ZN_UNCHECKED, ZN_CHOICE_TEXT2, 0, 0, nullptr, nullptr, Choices()}});
    Row(1, ZN_UNCHECKED, L"row");
    ZNList_Refresh(list, 0, 0);
    h.Repaint(tree);
    IAccessible* made[] = {ObjectOf(tree), ObjectOf(list), ObjectOf(GetDlgItem(tree, ZN_EDITOR_ID))};
    for (IAccessible* object : made) ASSERT_TRUE(object);
    EXPECT_EQ(ReadChild(made[2], CHILDID_SELF).name, L"Choice for Root");
    DestroyTree(tree), ZNList_Destroy(list);
    // New controls, perhaps on the same handles, are not reached either.
    tree = CreateTree(h.window(), zt::Host::kTreeId - 1, zt::Host::kTreeId);
    list = ZNList_Create(h.window(), zt::Host::kListId - 1, zt::Host::kListId);
    for (IAccessible* object : made) {
        long count = 0;
        BSTR name = nullptr;
        EXPECT_EQ(object->get_accName(Child(CHILDID_SELF), &name), CO_E_OBJNOTCONNECTED);
        EXPECT_EQ(object->accDoDefaultAction(Child(1)), CO_E_OBJNOTCONNECTED);
        EXPECT_EQ(object->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    }
}

}  // namespace
