// The list finds the first row with an id through an index: rows are only appended and the
// chain is emptied as a whole, so the first row recorded for an id stays the first in chain order.
#pragma once
#include "ZnTreeCt.h"
#include "frame/id_index.h"

namespace zn {

using RowIndex = IdIndex<ListRow>;

}  // namespace zn
