// Row geometry: heights, icon and check-box slots, connector pictures and tree lines.
#include "tree.h"

namespace zn {

int TreeControl::MeasureItem(MEASUREITEMSTRUCT*) { return 0; }

}  // namespace zn
