// Both controls in one dialog, as a host builds it from a dialog template: the dialog manager's
// own message loop (IsDialogMessage), real keys, Tab between the controls, and resizing.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ZnTreeCt.h"

namespace {

constexpr int kTreePlace = 100, kListPlace = 101, kTreeId = 200, kListId = 300;

// A dialog template in memory: a resizable dialog with two placeholders and an OK button.
class Template {
public:
    Template() {
        Add(WS_POPUP | WS_VISIBLE | WS_THICKFRAME | DS_SETFONT | DS_3DLOOK);
        Add(0);                                 // extended style
        words_.push_back(3);                    // items
        for (short v : {0, 0, 420, 230}) words_.push_back(static_cast<WORD>(v));
        words_.push_back(0), words_.push_back(0), words_.push_back(0);  // no menu, default class, no title
        words_.push_back(8);
        Text(L"MS Shell Dlg");
        Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP, 5, 5, 200, 200, kTreePlace, 0x0082, L"");
        Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP, 215, 20, 200, 185, kListPlace, 0x0082, L"");
        Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP, 365, 210, 50, 14, IDOK, 0x0080, L"OK");
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Add(DWORD v) { words_.push_back(LOWORD(v)), words_.push_back(HIWORD(v)); }
    void Text(const wchar_t* t) {
        for (; *t; ++t) words_.push_back(*t);
        words_.push_back(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const wchar_t* text) {
        if (words_.size() % 2) words_.push_back(0);  // items start on a DWORD boundary
        Add(style), Add(0);
        for (short v : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(v));
        words_.push_back(id), words_.push_back(0xFFFF), words_.push_back(atom);
        Text(text);
        words_.push_back(0);  // no creation data
    }
    std::vector<WORD> words_;
};

// The host's dialog: its procedure forwards the tree's four messages exactly as the README shows
// and records the notifications; WM_SIZE moves both controls with the dialog's right and bottom.
struct ScanDialog {
    HWND dialog = nullptr, tree = nullptr, list = nullptr;
    LONG checkedCount = 0, selectedIndex = 0;
    std::vector<WORD> notifications;  // the codes, in order
    HIMAGELIST icons = ImageList_Create(16, 16, ILC_COLOR24, 2, 0);

    ScanDialog() {
        ImageList_SetImageCount(icons, 2);
        dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), Template().get(), nullptr, Proc,
                                            reinterpret_cast<LPARAM>(this));
        SetForegroundWindow(dialog);
        for (DWORD id = 1; id <= 6; ++id) Node(id, id <= 3 ? 0 : 1);
        RefreshTree(tree, &selectedIndex, &checkedCount);
        ZNList_AddHeaderColumn(list, L"Finding", 0);
        ZNList_AddHeaderColumn(list, L"Path", ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE);
        for (const TreeNode* n = GetListHead(tree); n; n = n->next) ZNList_InsertFromTree(list, n);
        ZNList_Refresh(list, 0, 0);
        Pump();
    }
    ~ScanDialog() {
        DestroyTree(tree);
        ZNList_Destroy(list);
        DestroyWindow(dialog);
        ImageList_Destroy(icons);
        Pump();
    }
    void Node(DWORD id, DWORD parent) {
        NodeInfo info = {};
        info.id = id, info.parentId = parent, info.checkState = ZN_UNCHECKED;
        info.text1 = SysAllocString((L"node " + std::to_wstring(id)).c_str());
        Sorted_Insert(tree, &info, 0);
        SysFreeString(info.text1);
    }
    // The dialog manager's loop, as a modeless dialog's host runs it.
    void Pump() {
        MSG msg;
        for (int round = 0; round < 20; ++round) {
            bool any = false;
            for (int n = 0; n < 2000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
                any = true;
                if (!IsDialogMessageA(dialog, &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageA(&msg);
                }
            }
            if (!any) break;
        }
    }
    // A key pressed and released on the keyboard, then the loop.
    void Press(WORD key) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = key;
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
        Pump();
    }
    // The left button pressed and released where the cursor is, then the loop.
    void Click() {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_MOUSE;
        in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, in, sizeof(INPUT));
        Pump();
    }
    size_t Count(WORD code) const { return std::count(notifications.begin(), notifications.end(), code); }

    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<ScanDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (message == WM_INITDIALOG) {
            self = reinterpret_cast<ScanDialog*>(lParam);
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            self->dialog = dialog;
            self->tree = CreateTree(dialog, kTreePlace, kTreeId);
            self->list = ZNList_Create(dialog, kListPlace, kListId);
            return TRUE;
        }
        if (!self || !self->tree) return FALSE;
        HWND tree = self->tree;
        switch (message) {
        case WM_MEASUREITEM:
            if (wParam == kTreeId) return On_MeasureItem(tree, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            break;
        case WM_DRAWITEM:
            if (wParam == kTreeId) return On_DrawItem(tree, reinterpret_cast<DRAWITEMSTRUCT*>(lParam), &self->selectedIndex);
            break;
        case WM_CHARTOITEM:
            if (reinterpret_cast<HWND>(lParam) == tree) return On_WMCharToItem(tree, wParam, lParam, &self->checkedCount);
            break;
        case WM_SIZE: {
            // The list follows the dialog's right and bottom edges.
            RECT list;
            GetWindowRect(self->list, &list);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&list), 2);
            const int top = HIWORD(lParam) / 4;
            MoveWindow(self->list, list.left, top, LOWORD(lParam) - 10 - list.left, HIWORD(lParam) - 40 - top, TRUE);
            return TRUE;
        }
        case WM_COMMAND:
            if (HIWORD(wParam) == ZN_TREE_CHECK_STATE_CHANGED || HIWORD(wParam) == ZN_LIST_CHECK_STATE_CHANGED) {
                self->notifications.push_back(HIWORD(wParam));
                return TRUE;
            }
            if (LOWORD(wParam) == kTreeId) {
                On_WMCommand(tree, wParam, lParam, &self->checkedCount);
                return TRUE;
            }
            break;
        default:
            break;
        }
        return FALSE;
    }
};

const ListRow* ListRowAt(HWND list, int index) {
    return reinterpret_cast<const ListRow*>(SendMessageA(list, LB_GETITEMDATA, index, 0));
}

}  // namespace

TEST(Dialog, KeysMovingTheSelectionNeverToggleTheBoxUnderTheMouse) {
    ScanDialog d;
    // The mouse rests over the first row's box. No row is selected (the host's refill left none),
    // so space first selects the row the caret is on, as a list box does, then toggles it once.
    POINT box = {10, 8};
    ClientToScreen(d.list, &box);
    SetCursorPos(box.x, box.y);
    SetFocus(d.list);
    SendMessageA(d.list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    d.Press(VK_SPACE);
    EXPECT_EQ(ListRowAt(d.list, 0)->checkState, static_cast<DWORD>(ZN_CHECKED));
    EXPECT_EQ(d.Count(ZN_LIST_CHECK_STATE_CHANGED), 1u);
    // Down and Up move the selection under the resting mouse and toggle nothing, in either control.
    d.Press(VK_DOWN), d.Press(VK_UP);
    POINT treeBox = {30, 8};
    ClientToScreen(d.tree, &treeBox);
    SetCursorPos(treeBox.x, treeBox.y);
    SetFocus(d.tree);
    SendMessageA(d.tree, LB_SETCURSEL, 1, 0);
    d.Press(VK_UP);
    EXPECT_EQ(d.notifications.size(), 1u);
    EXPECT_EQ(ListRowAt(d.list, 1)->checkState, static_cast<DWORD>(ZN_UNCHECKED));
    EXPECT_EQ(GetListHead(d.tree)->checkState, static_cast<DWORD>(ZN_UNCHECKED));
}

TEST(Dialog, KeysReachEachControlOfASharedDialog) {
    ScanDialog d;
    // Space toggles the selected list row once, and is heard once.
    SetFocus(d.list);
    SendMessageA(d.list, LB_SETCURSEL, 0, 0);
    d.Press(VK_SPACE);
    EXPECT_EQ(ListRowAt(d.list, 0)->checkState, static_cast<DWORD>(ZN_CHECKED));
    EXPECT_EQ(d.Count(ZN_LIST_CHECK_STATE_CHANGED), 1u);

    // The tree's keys get past the list's hook on the same dialog.
    SetFocus(d.tree);
    SendMessageA(d.tree, LB_SETCURSEL, 0, 0);
    d.Press(VK_ADD);
    EXPECT_EQ(GetListHead(d.tree)->expandState, 1);
    d.Press(VK_SPACE);
    EXPECT_EQ(GetListHead(d.tree)->checkState, static_cast<DWORD>(ZN_CHECKED));
    EXPECT_EQ(d.Count(ZN_TREE_CHECK_STATE_CHANGED), 1u);
}

TEST(Dialog, TreeArrowsAndDoubleClicksOpenAndCloseLikeEveryTree) {
    ScanDialog d;
    const TreeNode* parent = GetListHead(d.tree);  // node 1, with nodes 4 to 6 below it
    auto selected = [&] { return SendMessageA(d.tree, LB_GETCURSEL, 0, 0); };
    auto rows = [&] { return SendMessageA(d.tree, LB_GETCOUNT, 0, 0); };
    SetFocus(d.tree);
    SendMessageA(d.tree, LB_SETCURSEL, 0, 0);
    d.Press(VK_RIGHT);  // opens
    EXPECT_EQ(parent->expandState, 1);
    EXPECT_EQ(rows(), 6);
    d.Press(VK_RIGHT);  // to the first child
    EXPECT_EQ(selected(), 1);
    d.Press(VK_RIGHT);  // a leaf: nothing
    EXPECT_EQ(selected(), 1);
    d.Press(VK_LEFT);   // to the parent
    EXPECT_EQ(selected(), 0);
    d.Press(VK_LEFT);   // closes
    EXPECT_EQ(parent->expandState, 0);
    EXPECT_EQ(rows(), 3);
    d.Press(VK_LEFT);   // a closed top-level node: nothing
    EXPECT_EQ(selected(), 0);
    EXPECT_EQ(rows(), 3);
    d.Press(VK_DOWN);   // Up and Down still move one row
    EXPECT_EQ(selected(), 1);

    // A double click on the parent's text opens it, another closes it; boxes stay as they were.
    POINT text = {80, 8};
    ClientToScreen(d.tree, &text);
    SetCursorPos(text.x, text.y);
    d.Click(), d.Click();
    EXPECT_EQ(parent->expandState, 1);
    d.Click(), d.Click();
    EXPECT_EQ(parent->expandState, 0);
    EXPECT_TRUE(d.notifications.empty());
}

TEST(Dialog, TabFollowsTheTemplateThroughBothControls) {
    ScanDialog d;
    HWND ok = GetDlgItem(d.dialog, IDOK);
    SetFocus(ok);
    d.Press(VK_TAB);
    EXPECT_EQ(GetFocus(), d.tree);
    d.Press(VK_TAB);
    EXPECT_EQ(GetFocus(), d.list);
    d.Press(VK_TAB);
    EXPECT_EQ(GetFocus(), ok);
}

// The header's picture, read back from the screen.
std::vector<COLORREF> HeaderPixels(HWND header) {
    RECT r;
    GetClientRect(header, &r);
    HDC dc = GetDC(header);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < r.bottom; y += 2)
        for (int x = 0; x < 200; ++x) pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(header, dc);
    return pixels;
}

TEST(Dialog, TheHeaderKeepsItsTitlesWhenTheDialogIsResized) {
    ScanDialog d;
    HWND header = GetDlgItem(GetDlgItem(d.dialog, kListId + 2), kListId + 1);
    ASSERT_TRUE(header);
    RECT frame;
    GetWindowRect(d.dialog, &frame);
    for (int step = 1; step <= 6; ++step) {
        SetWindowPos(d.dialog, nullptr, 0, 0, frame.right - frame.left + 20 * step, frame.bottom - frame.top + 10 * step,
                     SWP_NOMOVE | SWP_NOZORDER);
        d.Pump();
    }
    const std::vector<COLORREF> shown = HeaderPixels(header);
    RedrawWindow(d.dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    d.Pump();
    const std::vector<COLORREF> redrawn = HeaderPixels(header);
    // Moved without a change of size, the list takes its header along.
    RECT list, band;
    GetWindowRect(d.list, &list);
    MapWindowPoints(nullptr, d.dialog, reinterpret_cast<POINT*>(&list), 2);
    MoveWindow(d.list, list.left + 5, list.top + 10, list.right - list.left, list.bottom - list.top, TRUE);
    GetWindowRect(GetParent(header), &band);
    MapWindowPoints(nullptr, d.dialog, reinterpret_cast<POINT*>(&band), 2);
    EXPECT_EQ(band.left, list.left + 5);
    EXPECT_EQ(band.top, list.top + 10 - 20);
    EXPECT_EQ(shown, redrawn);
}

TEST(Dialog, TheCheckedCountIsARunningTallyThatCountsPartlyCheckedParents) {
    ScanDialog d;  // node 1 with children 4 to 6, all unchecked
    ExpandNode(d.tree, 1, 0);
    d.Pump();
    RECT child;
    SendMessageA(d.tree, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&child));
    POINT box = {48, child.top + 8};  // node 4's box, one level in
    ClientToScreen(d.tree, &box);
    SetCursorPos(box.x, box.y);
    SetFocus(d.tree);
    d.Click();
    EXPECT_EQ(d.checkedCount, 2);  // node 4 checked, node 1 partly checked
    d.Press(VK_UP);                // to node 1, under the resting mouse: no toggle
    d.Press(VK_SPACE);             // a partly checked box clears, with its descendants
    EXPECT_EQ(GetListHead(d.tree)->checkState, static_cast<DWORD>(ZN_UNCHECKED));
    EXPECT_EQ(d.checkedCount, 0);
    d.Press(VK_SPACE);
    EXPECT_EQ(d.checkedCount, 4);
    RefreshTree(d.tree, &d.selectedIndex, &d.checkedCount);
    EXPECT_EQ(d.checkedCount, 4);
}
