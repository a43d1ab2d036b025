// The list's row chain seen from inside: the count and the shown rows kept in step with it.
#include <gtest/gtest.h>

#include "frame/text.h"
#include "list/list.h"

using namespace zn;

namespace {

TEST(ListChain, CountAndShownRowsStayInStepWithTheChain) {
    LONG blocks = text::LiveBlocks();
    WNDCLASSA wc = {0, DefWindowProcA, 0, 0, GetModuleHandleA(nullptr)};
    wc.lpszClassName = "ZnUnitListParent";
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, wc.hInstance, nullptr);
    ListControl* list = ListControl::Create(parent, 0, 300);
    ASSERT_NE(list, nullptr);
    BSTR text = SysAllocString(L"row");
    NodeInfo info = {0, 0, 0, 0, 0, 0, 0, 0, text};
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
    EXPECT_TRUE(list->CheckRows() == nullptr && list->rowCount == 0u);
    list->Destroy();
    SysFreeString(text);
    DestroyWindow(parent);
    EXPECT_EQ(text::LiveBlocks(), blocks) << "rows' texts and column texts are all released";
}

}  // namespace
