// The host reads nodes and rows straight from memory, so their layouts are fixed here at
// compile time for both builds: the shipped 32-bit one and the 64-bit one.
#include <cstddef>

#include "ZnTreeCt.h"

#define AT(type, field, offset) static_assert(offsetof(type, field) == (offset), #type "." #field)

#if defined(_WIN64)
static_assert(sizeof(NodeInfo) == 56, "NodeInfo size");
AT(NodeInfo, reserved, 0); AT(NodeInfo, id, 4); AT(NodeInfo, parentId, 8); AT(NodeInfo, checkState, 12);
AT(NodeInfo, flags, 16); AT(NodeInfo, extraIcon, 20); AT(NodeInfo, severity, 24);
AT(NodeInfo, text1, 32); AT(NodeInfo, text2, 40); AT(NodeInfo, text3, 48);

static_assert(sizeof(TextField) == 16, "TextField size");
AT(TextField, block, 0); AT(TextField, status, 8); AT(TextField, spare, 12);
static_assert(sizeof(TextBlock) == 24, "TextBlock size");
AT(TextBlock, wide, 0); AT(TextBlock, narrow, 8); AT(TextBlock, references, 16); AT(TextBlock, status, 20);

static_assert(sizeof(TreeNode) == 136, "TreeNode size");
AT(TreeNode, reserved, 0); AT(TreeNode, id, 4); AT(TreeNode, parentId, 8); AT(TreeNode, checkState, 12);
AT(TreeNode, severity, 16); AT(TreeNode, textCount, 20); AT(TreeNode, texts, 24);
AT(TreeNode, texts[1], 40); AT(TreeNode, texts[2], 56);
AT(TreeNode, descendantCount, 72); AT(TreeNode, level, 76); AT(TreeNode, expandState, 80);
AT(TreeNode, lineShape, 84); AT(TreeNode, groupKey, 88); AT(TreeNode, flags, 92); AT(TreeNode, extraIcon, 96);
AT(TreeNode, parent, 104); AT(TreeNode, next, 112); AT(TreeNode, choiceIndex, 120);
AT(TreeNode, choiceValue, 124); AT(TreeNode, choiceValueSet, 128);

static_assert(sizeof(ListRow) == 119, "ListRow size");
AT(ListRow, reserved, 0); AT(ListRow, id, 4); AT(ListRow, checkState, 8); AT(ListRow, severity, 12);
AT(ListRow, textCount, 16); AT(ListRow, texts, 20); AT(ListRow, texts[1], 36); AT(ListRow, texts[2], 52);
AT(ListRow, flags, 68); AT(ListRow, extraIcon, 70); AT(ListRow, next, 74); AT(ListRow, choiceIndex, 82);
AT(ListRow, choiceValue, 86); AT(ListRow, choiceValueSet, 90); AT(ListRow, columnTexts, 91);
AT(ListRow, columnTexts.begin, 91); AT(ListRow, columnTexts.end, 99); AT(ListRow, columnTexts.capacity, 107);
AT(ListRow, columnTexts.spare, 115);
#else
static_assert(sizeof(NodeInfo) == 40, "NodeInfo size");
AT(NodeInfo, reserved, 0); AT(NodeInfo, id, 4); AT(NodeInfo, parentId, 8); AT(NodeInfo, checkState, 12);
AT(NodeInfo, flags, 16); AT(NodeInfo, extraIcon, 20); AT(NodeInfo, severity, 24);
AT(NodeInfo, text1, 28); AT(NodeInfo, text2, 32); AT(NodeInfo, text3, 36);

static_assert(sizeof(TextField) == 12, "TextField size");
AT(TextField, block, 0); AT(TextField, status, 4); AT(TextField, spare, 8);
static_assert(sizeof(TextBlock) == 16, "TextBlock size");
AT(TextBlock, wide, 0); AT(TextBlock, narrow, 4); AT(TextBlock, references, 8); AT(TextBlock, status, 12);

static_assert(sizeof(TreeNode) == 108, "TreeNode size");
AT(TreeNode, reserved, 0); AT(TreeNode, id, 4); AT(TreeNode, parentId, 8); AT(TreeNode, checkState, 12);
AT(TreeNode, severity, 16); AT(TreeNode, textCount, 20); AT(TreeNode, texts, 24);
AT(TreeNode, texts[1], 36); AT(TreeNode, texts[2], 48);
AT(TreeNode, descendantCount, 60); AT(TreeNode, level, 64); AT(TreeNode, expandState, 68);
AT(TreeNode, lineShape, 72); AT(TreeNode, groupKey, 76); AT(TreeNode, flags, 80); AT(TreeNode, extraIcon, 84);
AT(TreeNode, parent, 88); AT(TreeNode, next, 92); AT(TreeNode, choiceIndex, 96);
AT(TreeNode, choiceValue, 100); AT(TreeNode, choiceValueSet, 104);

static_assert(sizeof(ListRow) == 91, "ListRow size");
AT(ListRow, reserved, 0); AT(ListRow, id, 4); AT(ListRow, checkState, 8); AT(ListRow, severity, 12);
AT(ListRow, textCount, 16); AT(ListRow, texts, 20); AT(ListRow, texts[1], 32); AT(ListRow, texts[2], 44);
AT(ListRow, flags, 56); AT(ListRow, extraIcon, 58); AT(ListRow, next, 62); AT(ListRow, choiceIndex, 66);
AT(ListRow, choiceValue, 70); AT(ListRow, choiceValueSet, 74); AT(ListRow, columnTexts, 75);
AT(ListRow, columnTexts.begin, 75); AT(ListRow, columnTexts.end, 79); AT(ListRow, columnTexts.capacity, 83);
AT(ListRow, columnTexts.spare, 87);
#endif
