// Rebuilding the rows from the chain; expanding, collapsing and selecting nodes.
#include "tree.h"

namespace zn {

int TreeControl::Refresh(LONG*, LONG*) { return 0; }
int TreeControl::ExpandNode(DWORD, DWORD) { return 0; }
int TreeControl::CollapseNode(DWORD, DWORD) { return 0; }
int TreeControl::SelectNode(DWORD, DWORD) { return 0; }
void TreeControl::RecalcHorizontalExtent() {}

}  // namespace zn
