// The tree's list-box procedure with a choice editor (a combo box made here) over a row: a
// choice is stored in the node it serves, and scrolling hides the editor once its row has gone.
#include <gtest/gtest.h>

#include "tree/tree.h"

using zn::TreeControl;

namespace {

class TreeListBoxMessages : public ::testing::Test {
protected:
    void SetUp() override {
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        tree = TreeControl::Create(parent, 0, 200);
        ASSERT_NE(tree, nullptr);
        MoveWindow(tree->listBox, 0, 0, 300, 200, TRUE);
        for (DWORD id = 1; id <= 40; ++id) {
            NodeInfo info = {};
            info.id = id, info.checkState = ZN_UNCHECKED;
            ASSERT_NE(tree->SortedInsert(&info, 0), nullptr);
        }
        LONG selected = 0, count = 0;
        ASSERT_EQ(tree->Refresh(&selected, &count), 1);
        editor = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 0, 0, 100, 150,
                                 tree->listBox, reinterpret_cast<HMENU>(ZN_EDITOR_ID), nullptr, nullptr);
        for (LPARAM i = 0; i < 2; ++i)
            SendMessageA(editor, CB_SETITEMDATA, SendMessageA(editor, CB_ADDSTRING, 0, LPARAM(i ? "High" : "Low")), i + 1);
        tree->editorWindow = editor;
        Serve(0);
        Drain();
    }
    void TearDown() override {
        tree->Destroy();
        DestroyWindow(parent);
    }
    TreeNode* NodeAt(int row) const { return reinterpret_cast<TreeNode*>(Send(LB_GETITEMDATA, row)); }
    LRESULT Send(UINT message, WPARAM wParam) const { return SendMessageA(tree->listBox, message, wParam, 0); }
    void Serve(int row) {
        tree->currentIndex = row;
        SetWindowLongPtrA(editor, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(NodeAt(row)));
        ShowWindow(editor, SW_SHOW);
    }
    void Choose(int entry, HWND from = nullptr) {
        SendMessageA(editor, CB_SETCURSEL, entry, 0);
        SendMessageA(tree->listBox, WM_COMMAND, MAKEWPARAM(ZN_EDITOR_ID, CBN_SELCHANGE), LPARAM(from ? from : editor));
    }
    int Drain() {  // check-state notifications posted to the parent
        int notes = 0;
        MSG msg;
        while (PeekMessageA(&msg, parent, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            notes += HIWORD(msg.wParam) == ZN_TREE_CHECK_STATE_CHANGED && LOWORD(msg.wParam) == 200 &&
                     reinterpret_cast<HWND>(msg.lParam) == tree->listBox;
        return notes;
    }
    HWND parent = nullptr, editor = nullptr;
    TreeControl* tree = nullptr;
};

TEST_F(TreeListBoxMessages, ChoiceIsStoredCheckedAndOnlyItsRowRepainted) {
    Serve(2);
    ValidateRect(tree->listBox, nullptr);
    Choose(1);
    TreeNode* node = NodeAt(2);
    EXPECT_EQ(node->choiceIndex, 1u);
    EXPECT_EQ(node->choiceValue, 2);
    EXPECT_EQ(node->checkState, static_cast<DWORD>(ZN_CHECKED));
    RECT dirty = {}, row = {};
    EXPECT_TRUE(GetUpdateRect(tree->listBox, &dirty, FALSE));
    SendMessageA(tree->listBox, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
    EXPECT_TRUE(EqualRect(&dirty, &row));
    EXPECT_EQ(Drain(), 1);

    // No entry chosen, another window's notice, or an editor serving no node: nothing happens.
    node->checkState = ZN_UNCHECKED;
    Choose(-1);
    Choose(0, parent);
    SetWindowLongPtrA(editor, GWLP_USERDATA, 0);
    Choose(0);
    EXPECT_EQ(node->choiceIndex, 1u);
    EXPECT_EQ(node->checkState, static_cast<DWORD>(ZN_UNCHECKED));
    EXPECT_EQ(Drain(), 0);
}

TEST_F(TreeListBoxMessages, ScrollingHidesTheEditorOnceItsRowIsOutOfView) {
    Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_TRUE(IsWindowVisible(editor)) << "the row was still at the top when the step came";
    Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_EQ(Send(LB_GETTOPINDEX, 0), 2) << "the list box scrolled as well";
    Serve(0);
    SetWindowLongPtrA(editor, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(NodeAt(5)));
    Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_TRUE(IsWindowVisible(editor)) << "serving another node than the row at currentIndex";
    Send(WM_VSCROLL, SB_TOP);
    Serve(39);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA));
    EXPECT_FALSE(IsWindowVisible(editor)) << "a row below the view, met by the wheel";
    Serve(1);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA));
    EXPECT_TRUE(IsWindowVisible(editor)) << "its row is in view";
}

}  // namespace
