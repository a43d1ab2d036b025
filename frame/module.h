// The module's instance handle and the resources both controls use.
#pragma once
#include <windows.h>

namespace zn {

extern HINSTANCE moduleInstance;

enum ResourceId { kDropDownIcon = 222, kImageStrip = 226, kAscendingMark = 227, kDescendingMark = 228 };

}  // namespace zn
