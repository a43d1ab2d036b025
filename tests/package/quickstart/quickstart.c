/* The README's quick start as a program: a host window with two placeholders, a tree with one
 * node and a list with one row copied from it. Built from an unpacked release archive alone;
 * exits 0 when every step answered as documented, else the number of the step that did not. */
#include <windows.h>
#include <commctrl.h>
#include "ZnTreeCt.h"

int main(void) {
    HWND host, tree, list;
    HIMAGELIST icons;
    NodeInfo info;
    const TreeNode *node;
    BSTR path;
    LONG checkedCount = 0, selectedIndex = 0;
    int failed = 0;

    InitCommonControls();
    host = CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, 600, 400, NULL, NULL, NULL, NULL);
    CreateWindowExA(0, "STATIC", "", WS_CHILD, 10, 10, 280, 300, host, (HMENU)101, NULL, NULL);
    CreateWindowExA(0, "STATIC", "", WS_CHILD, 300, 40, 280, 300, host, (HMENU)102, NULL, NULL);

    tree = CreateTree(host, 101, 201);
    icons = ImageList_Create(16, 16, ILC_COLOR24, 2, 0);
    ImageList_SetImageCount(icons, 2);
    if (!tree) failed = 1;
    else if (AttachSeverityIcons(tree, icons) != 1) failed = 2;

    ZeroMemory(&info, sizeof info);
    info.id = 1;
    info.checkState = ZN_UNCHECKED;
    info.flags = ZN_SORT_CHILDREN | ZN_BOLD_TEXT1;
    info.text1 = SysAllocString(L"Documents");
    node = Sorted_Insert(tree, &info, 0);
    SysFreeString(info.text1);
    if (!failed && (!node || node != GetListHead(tree))) failed = 3;
    if (!failed && RefreshTree(tree, &selectedIndex, &checkedCount) != 1) failed = 4;

    list = ZNList_Create(host, 102, 301);
    if (!failed && !list) failed = 5;
    if (!failed && ZNList_AddHeaderColumn(list, L"Finding", 0) != 1) failed = 6;
    if (!failed && ZNList_AddHeaderColumn(list, L"Path", ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE) != 1) failed = 7;
    if (!failed && !ZNList_InsertFromTree(list, node)) failed = 8;
    path = SysAllocString(L"C:\\Users\\ana\\report.docm");
    if (!failed && ZNList_SetHeaderColumn(list, node->id, 1, path) != 1) failed = 9;
    SysFreeString(path);
    if (!failed && (ZNList_Refresh(list, 0, 0) != 1 || ZNList_GetListCount(list) != 1)) failed = 10;

    if (!failed && (ZNList_Destroy(list) != 1 || DestroyTree(tree) != 1)) failed = 11;
    ImageList_Destroy(icons);
    DestroyWindow(host);
    return failed;
}
