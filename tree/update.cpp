// The repainting update of one node's check state or texts.
#include "tree.h"

namespace zn {

int TreeControl::UpdateTreeEntry(NodeInfo*, DWORD, LONG*) { return 0; }

}  // namespace zn
