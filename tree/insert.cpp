// Sorted insertion of nodes and the data-only update.
#include "tree.h"

namespace zn {

TreeNode* TreeControl::SortedInsert(const NodeInfo*, DWORD) { return nullptr; }
int TreeControl::UpdateNode(const NodeInfo*, DWORD) { return 0; }

}  // namespace zn
