/* Compiled as C89, C99 and C++17 with every warning an error: the public header must be
 * usable from any of them, including only what it names, and give a C host the records'
 * layouts the library reads and writes (32-bit and x64). */
#include <stddef.h>

#include "ZnTreeCt.h"

/* A negative array size fails the compilation: one check a line, named by its line. */
#define LAYOUT_CHECK_AT(condition, line) typedef char layout_check_##line[(condition) ? 1 : -1]
#define LAYOUT_CHECK_LINE(condition, line) LAYOUT_CHECK_AT(condition, line)
#define AT(type, field, x86, x64) LAYOUT_CHECK_LINE(offsetof(type, field) == (sizeof(void *) == 4 ? (x86) : (x64)), __LINE__)
#define SIZE(type, x86, x64) LAYOUT_CHECK_LINE(sizeof(type) == (sizeof(void *) == 4 ? (x86) : (x64)), __LINE__)

SIZE(NodeInfo, 40, 56);
AT(NodeInfo, id, 4, 4);
AT(NodeInfo, parentId, 8, 8);
AT(NodeInfo, checkState, 12, 12);
AT(NodeInfo, flags, 16, 16);
AT(NodeInfo, extraIcon, 20, 20);
AT(NodeInfo, severity, 24, 24);
AT(NodeInfo, text1, 28, 32);
AT(NodeInfo, text2, 32, 40);
AT(NodeInfo, text3, 36, 48);
SIZE(TextField, 12, 16);
AT(TextField, status, 4, 8);
AT(TextField, spare, 8, 12);
SIZE(TextBlock, 16, 24);
AT(TextBlock, narrow, 4, 8);
AT(TextBlock, references, 8, 16);
AT(TextBlock, status, 12, 20);
SIZE(TreeNode, 108, 136);
AT(TreeNode, id, 4, 4);
AT(TreeNode, parentId, 8, 8);
AT(TreeNode, checkState, 12, 12);
AT(TreeNode, severity, 16, 16);
AT(TreeNode, textCount, 20, 20);
AT(TreeNode, texts, 24, 24);
AT(TreeNode, descendantCount, 60, 72);
AT(TreeNode, level, 64, 76);
AT(TreeNode, expandState, 68, 80);
AT(TreeNode, lineShape, 72, 84);
AT(TreeNode, groupKey, 76, 88);
AT(TreeNode, flags, 80, 92);
AT(TreeNode, extraIcon, 84, 96);
AT(TreeNode, parent, 88, 104);
AT(TreeNode, next, 92, 112);
AT(TreeNode, choiceIndex, 96, 120);
AT(TreeNode, choiceValue, 100, 124);
AT(TreeNode, choiceValueSet, 104, 128);
SIZE(ListRow, 91, 119);
AT(ListRow, id, 4, 4);
AT(ListRow, checkState, 8, 8);
AT(ListRow, severity, 12, 12);
AT(ListRow, textCount, 16, 16);
AT(ListRow, texts, 20, 20);
AT(ListRow, flags, 56, 68);
AT(ListRow, extraIcon, 58, 70);
AT(ListRow, next, 62, 74);
AT(ListRow, choiceIndex, 66, 82);
AT(ListRow, choiceValue, 70, 86);
AT(ListRow, choiceValueSet, 74, 90);
AT(ListRow, columnTexts, 75, 91);
SIZE(ColumnTextArray, 16, 28);

typedef HWND (__cdecl *CreateFunction)(HWND, int, int);

int ReadState(const TreeNode *node, const ListRow *row, NodeInfo *info)
{
    CreateFunction create = CreateTree;
    info->parentId = ZN_CHANGE_CHECK | ZN_CHANGE_TEXT1;
    info->checkState = ZN_CHECKED;
    return (int)node->checkState + (int)row->checkState + (create != 0) + ZN_TREE_CHECK_STATE_CHANGED;
}
