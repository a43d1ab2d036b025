// Row operations: inserts, updates, clearing, refreshing, selecting and counting.
#include "list.h"

namespace zn {

void ListControl::FreeRows() {}
ListRow* ListControl::Insert(const NodeInfo*) { return nullptr; }
ListRow* ListControl::InsertFromTree(const TreeNode*) { return nullptr; }
int ListControl::UpdateItem(const NodeInfo*) { return 0; }
int ListControl::UpdateEntry(NodeInfo*, LONG*) { return 0; }
int ListControl::Clear() { return 0; }
int ListControl::Refresh(int, int) { return 0; }
int ListControl::SelectNode(DWORD) { return 0; }
int ListControl::GetListCount() const { return 0; }
int ListControl::GetSelectedNodeCount() const { return 0; }

}  // namespace zn
