// The module's instance handle and the resources and fonts both controls make alike.
#pragma once
#include <windows.h>
#include <commctrl.h>

namespace zn {

extern HINSTANCE moduleInstance;

enum ResourceId { kDropDownIcon = 222, kImageStrip = 226, kAscendingMark = 227, kDescendingMark = 228 };

// A 9-point font of the given weight, derived from the stock GUI font (proof quality).
HFONT MakeFont(HINSTANCE instance, int weight);
// The control's own 18 x 18 images (connectors, expand boxes, check boxes); null when missing.
HIMAGELIST LoadImageStrip(HINSTANCE instance);
// Whether an attached icon list is usable: 16 x 16 images, at least two of them.
bool IsUsableIconList(HIMAGELIST list, int* count);

}  // namespace zn
