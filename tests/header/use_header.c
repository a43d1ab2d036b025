/* Compiled as C89, C99 and C++17 with every warning an error: the public header must be
 * usable from any of them, including only what it names. */
#include "ZnTreeCt.h"

typedef HWND (__cdecl *CreateFunction)(HWND, int, int);

int ReadState(const TreeNode *node, const ListRow *row, NodeInfo *info)
{
    CreateFunction create = CreateTree;
    info->parentId = ZN_CHANGE_CHECK | ZN_CHANGE_TEXT1;
    info->checkState = ZN_CHECKED;
    return (int)node->checkState + (int)row->checkState + (create != 0) + ZN_TREE_CHECK_STATE_CHANGED;
}
