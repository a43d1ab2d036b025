// The list's row chain seen from inside: the count kept with it, the rows shown, and the
// column-text array, checked after the operations that change them.
#include <gtest/gtest.h>

#include "frame/text.h"
#include "list/list.h"

using namespace zn;

namespace {

HWND MakeParent() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZnUnitListParent";
        RegisterClassA(&wc);
        registered = true;
    }
    return CreateWindowExA(0, "ZnUnitListParent", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

TEST(ListChain, CountAndShownRowsStayInStepWithTheChain) {
    LONG blocks = text::LiveBlocks();
    HWND parent = MakeParent();
    ListControl* list = ListControl::Create(parent, 0, 300);
    ASSERT_NE(list, nullptr);
    BSTR text = SysAllocString(L"row");
    NodeInfo info = {};
    info.text1 = text;
    for (DWORD id = 1; id <= 5; ++id) {
        info.id = id;
        ASSERT_NE(list->Insert(&info), nullptr);
        EXPECT_EQ(list->CheckRows(), nullptr);
    }
    EXPECT_EQ(list->Refresh(0, 1), 1);
    EXPECT_EQ(list->CheckRows(), nullptr);
    EXPECT_EQ(list->SetHeaderColumn(3, 4, text), 1);
    EXPECT_EQ(columns::Count(list->FindRow(3)->columnTexts), 4u);
    // The checker itself notices a count out of step and a row shown twice.
    ++list->rowCount;
    EXPECT_NE(list->CheckRows(), nullptr);
    --list->rowCount;
    SendMessageA(list->listBox, LB_SETITEMDATA, 1, SendMessageA(list->listBox, LB_GETITEMDATA, 0, 0));
    EXPECT_NE(list->CheckRows(), nullptr);
    EXPECT_EQ(list->Clear(), 1);
    EXPECT_EQ(list->CheckRows(), nullptr);
    EXPECT_EQ(list->rowCount, 0u);
    list->Destroy();
    SysFreeString(text);
    DestroyWindow(parent);
    EXPECT_EQ(text::LiveBlocks(), blocks) << "rows' texts and column texts are all released";
}

}  // namespace
