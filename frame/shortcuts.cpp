#include "shortcuts.h"

namespace zn {

#ifndef ZN_SHIPPED
bool plainPathsOnly = false;
#endif

}  // namespace zn
