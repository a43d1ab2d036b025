// The tree's list-box procedure with an editor standing over a row: a choice made in it is
// stored in the node it serves, and scrolling hides it once its row has left the view. The
// editor is a combo box made here and handed to the control, as row painting would.
#include <gtest/gtest.h>

#include "tree/tree.h"

using zn::TreeControl;

namespace {

class TreeListBoxMessages : public ::testing::Test {
protected:
    void SetUp() override {
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, nullptr,
                                 nullptr);
        tree = TreeControl::Create(parent, 0, 200);
        ASSERT_NE(tree, nullptr);
        MoveWindow(tree->listBox, 0, 0, 300, 200, TRUE);
        for (DWORD id = 1; id <= 40; ++id) {
            NodeInfo info = {};
            info.id = id;
            info.checkState = ZN_UNCHECKED;
            ASSERT_NE(tree->SortedInsert(&info, 0), nullptr);
        }
        LONG selected = 0, count = 0;
        ASSERT_EQ(tree->Refresh(&selected, &count), 1);
        editor = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 0, 0, 100, 150,
                                 tree->listBox, reinterpret_cast<HMENU>(ZN_EDITOR_ID), nullptr, nullptr);
        const char* texts[] = {"Low", "High"};
        for (int i = 0; i < 2; ++i) {
            LRESULT at = SendMessageA(editor, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(texts[i]));
            SendMessageA(editor, CB_SETITEMDATA, at, i + 1);
        }
        tree->editorWindow = editor;
        Serve(0);
        Drain();
    }
    void TearDown() override {
        tree->Destroy();
        DestroyWindow(parent);
    }
    TreeNode* NodeAt(int row) const {
        return reinterpret_cast<TreeNode*>(SendMessageA(tree->listBox, LB_GETITEMDATA, row, 0));
    }
    void Serve(int row) {
        tree->currentIndex = row;
        SetWindowLongPtrA(editor, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(NodeAt(row)));
        ShowWindow(editor, SW_SHOW);
    }
    void Choose(int entry, HWND from = nullptr) {
        SendMessageA(editor, CB_SETCURSEL, entry, 0);
        SendMessageA(tree->listBox, WM_COMMAND, MAKEWPARAM(ZN_EDITOR_ID, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(from ? from : editor));
    }
    // Notifications posted to the parent, taken off the queue.
    int Drain() {
        int notes = 0;
        MSG msg;
        while (PeekMessageA(&msg, parent, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            notes += HIWORD(msg.wParam) == ZN_TREE_CHECK_STATE_CHANGED && LOWORD(msg.wParam) == 200 &&
                     reinterpret_cast<HWND>(msg.lParam) == tree->listBox;
        return notes;
    }
    void Scroll(UINT message, WPARAM wParam) { SendMessageA(tree->listBox, message, wParam, 0); }

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
    Scroll(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_TRUE(IsWindowVisible(editor)) << "the row was still at the top when the step came";
    Scroll(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_EQ(SendMessageA(tree->listBox, LB_GETTOPINDEX, 0, 0), 2) << "the list box scrolled as well";

    // Serving another node than the row at currentIndex keeps it up.
    Serve(0);
    SetWindowLongPtrA(editor, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(NodeAt(5)));
    Scroll(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_TRUE(IsWindowVisible(editor));

    // A row below the view, met by the wheel.
    Scroll(WM_VSCROLL, SB_TOP);
    Serve(39);
    SendMessageA(tree->listBox, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_FALSE(IsWindowVisible(editor));
    Serve(1);
    SendMessageA(tree->listBox, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_TRUE(IsWindowVisible(editor)) << "its row is in view";
}

}  // namespace
