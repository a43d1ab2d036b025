/* Calls every export through the MSVC-format import library, built with an MSVC-style compiler
 * and linker and no C runtime. Without a control each export answers 0; a calling-convention
 * or import-name mismatch shows as a link error, a crash or a wrong sum. */
#include "ZnTreeCt.h"

int mainCRTStartup(void) {
    HWND none = NULL;
    LONG count = 0;
    INT_PTR sum = 0;
    sum += (INT_PTR)CreateTree(none, 1, 2) + DestroyTree(none) + ClearTree(none);
    sum += AttachSeverityIcons(none, NULL) + AttachAdditionalIcons(none, NULL);
    sum += (INT_PTR)GetListHead(none) + (INT_PTR)Sorted_Insert(none, NULL, 0) + UpdateNode(none, NULL, 0);
    sum += UpdateTreeEntry(none, NULL, 0, &count) + RefreshTree(none, &count, &count);
    sum += ExpandNode(none, 1, 0) + CollapseNode(none, 1, 0) + ZNTree_SelectNode(none, 1, 0);
    sum += On_DrawItem(none, NULL, &count) + On_MeasureItem(none, NULL);
    sum += On_WMCharToItem(none, 0, 0, &count) + On_WMCommand(none, 0, 0, &count);
    sum += (INT_PTR)ZNList_Create(none, 1, 2) + ZNList_Destroy(none) + ZNList_Clear(none);
    sum += ZNList_AttachSeverityIcons(none, NULL) + ZNList_AttachAdditionalIcons(none, NULL);
    sum += (INT_PTR)ZNList_GetListHead(none) + (INT_PTR)ZNList_Insert(none, NULL);
    sum += (INT_PTR)ZNList_InsertFromTree(none, NULL) + ZNList_UpdateItem(none, NULL, 0);
    sum += ZNList_UpdateEntry(none, NULL, 0, &count) + ZNList_Refresh(none, 0, 0);
    sum += ZNList_AddHeaderColumn(none, L"", 0) + ZNList_SetHeaderColumn(none, 1, 1, NULL);
    sum += ZNList_SelectNode(none, 1) + ZNList_GetListCount(none) + ZNList_GetSelectedNodeCount(none);
    return sum == 0 && count == 0 ? 0 : 1;
}
