// The exported interface. Every export but the two create calls finds its control object
// through the window's user-data slot and answers 0 for a window that holds none.
#include "ZnTreeCt.h"
#include "list/list.h"
#include "tree/tree.h"

using zn::ListControl;
using zn::TreeControl;

#define WITH_TREE(window) \
    TreeControl* tree = TreeControl::FromWindow(window); \
    if (!tree) return 0
#define WITH_LIST(window) \
    ListControl* list = ListControl::FromWindow(window); \
    if (!list) return 0

extern "C" {

HWND __cdecl CreateTree(HWND parent, int placeholderId, int listBoxId) {
    TreeControl* tree = TreeControl::Create(parent, placeholderId, listBoxId);
    return tree ? tree->listBox : nullptr;
}

int __cdecl DestroyTree(HWND window) {
    WITH_TREE(window);
    tree->Destroy();
    return 1;
}

int __cdecl ClearTree(HWND window) {
    WITH_TREE(window);
    return tree->Clear();
}

int __cdecl AttachSeverityIcons(HWND window, HIMAGELIST icons) {
    WITH_TREE(window);
    return tree->AttachSeverityIcons(icons);
}

int __cdecl AttachAdditionalIcons(HWND window, HIMAGELIST icons) {
    WITH_TREE(window);
    return tree->AttachAdditionalIcons(icons);
}

TreeNode* __cdecl GetListHead(HWND window) {
    WITH_TREE(window);
    return tree->Head();
}

TreeNode* __cdecl Sorted_Insert(HWND window, const NodeInfo* info, DWORD groupKey) {
    WITH_TREE(window);
    return tree->SortedInsert(info, groupKey);
}

int __cdecl UpdateNode(HWND window, const NodeInfo* info, DWORD groupKey) {
    WITH_TREE(window);
    return tree->UpdateNode(info, groupKey);
}

int __cdecl UpdateTreeEntry(HWND window, NodeInfo* info, DWORD groupKey, LONG* checkedCount) {
    WITH_TREE(window);
    return tree->UpdateTreeEntry(info, groupKey, checkedCount);
}

int __cdecl RefreshTree(HWND window, LONG* selectedIndex, LONG* checkedCount) {
    WITH_TREE(window);
    return tree->Refresh(selectedIndex, checkedCount);
}

int __cdecl ExpandNode(HWND window, DWORD id, DWORD groupKey) {
    WITH_TREE(window);
    return tree->ExpandNode(id, groupKey);
}

int __cdecl CollapseNode(HWND window, DWORD id, DWORD groupKey) {
    WITH_TREE(window);
    return tree->CollapseNode(id, groupKey);
}

int __cdecl ZNTree_SelectNode(HWND window, DWORD id, DWORD groupKey) {
    WITH_TREE(window);
    return tree->SelectNode(id, groupKey);
}

int __cdecl On_DrawItem(HWND window, DRAWITEMSTRUCT* item, LONG* selectedIndex) {
    WITH_TREE(window);
    if (item) tree->DrawRow(item, selectedIndex);
    return 1;
}

int __cdecl On_MeasureItem(HWND window, MEASUREITEMSTRUCT* item) {
    WITH_TREE(window);
    if (item) tree->MeasureItem(item);
    return 1;
}

int __cdecl On_WMCharToItem(HWND window, WPARAM wParam, LPARAM lParam, LONG* checkedCount) {
    WITH_TREE(window);
    return tree->OnCharToItem(wParam, lParam, checkedCount);
}

int __cdecl On_WMCommand(HWND window, WPARAM wParam, LPARAM lParam, LONG* checkedCount) {
    WITH_TREE(window);
    tree->OnCommand(wParam, lParam, checkedCount);
    return 1;
}

HWND __cdecl ZNList_Create(HWND parent, int placeholderId, int listBoxId) {
    ListControl* list = ListControl::Create(parent, placeholderId, listBoxId);
    return list ? list->listBox : nullptr;
}

int __cdecl ZNList_Destroy(HWND window) {
    WITH_LIST(window);
    list->Destroy();
    return 1;
}

int __cdecl ZNList_Clear(HWND window) {
    WITH_LIST(window);
    return list->Clear();
}

int __cdecl ZNList_AttachSeverityIcons(HWND window, HIMAGELIST icons) {
    WITH_LIST(window);
    return list->AttachSeverityIcons(icons);
}

int __cdecl ZNList_AttachAdditionalIcons(HWND window, HIMAGELIST icons) {
    WITH_LIST(window);
    return list->AttachAdditionalIcons(icons);
}

ListRow* __cdecl ZNList_GetListHead(HWND window) {
    WITH_LIST(window);
    return list->Head();
}

ListRow* __cdecl ZNList_Insert(HWND window, const NodeInfo* info) {
    WITH_LIST(window);
    return list->Insert(info);
}

ListRow* __cdecl ZNList_InsertFromTree(HWND window, const TreeNode* node) {
    WITH_LIST(window);
    return list->InsertFromTree(node);
}

int __cdecl ZNList_UpdateItem(HWND window, const NodeInfo* info, DWORD) {
    WITH_LIST(window);
    return list->UpdateItem(info);
}

int __cdecl ZNList_UpdateEntry(HWND window, NodeInfo* info, DWORD, LONG* checkedCount) {
    WITH_LIST(window);
    return list->UpdateEntry(info, checkedCount);
}

int __cdecl ZNList_Refresh(HWND window, int sortColumn, int descending) {
    WITH_LIST(window);
    return list->Refresh(sortColumn, descending);
}

int __cdecl ZNList_AddHeaderColumn(HWND window, const WCHAR* title, DWORD flags) {
    WITH_LIST(window);
    return list->AddHeaderColumn(title, flags);
}

int __cdecl ZNList_SetHeaderColumn(HWND window, DWORD rowId, DWORD column, BSTR text) {
    WITH_LIST(window);
    return list->SetHeaderColumn(rowId, column, text);
}

int __cdecl ZNList_SelectNode(HWND window, DWORD rowId) {
    WITH_LIST(window);
    return list->SelectNode(rowId);
}

int __cdecl ZNList_GetListCount(HWND window) {
    WITH_LIST(window);
    return list->GetListCount();
}

int __cdecl ZNList_GetSelectedNodeCount(HWND window) {
    WITH_LIST(window);
    return list->GetSelectedNodeCount();
}

}  // extern "C"
