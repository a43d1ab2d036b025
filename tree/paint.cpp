// Row painting: lines, icons, check boxes, texts, choice look-alikes and the selection box.
#include "tree.h"

namespace zn {

void TreeControl::DrawRow(DRAWITEMSTRUCT*, LONG*) {}

}  // namespace zn
