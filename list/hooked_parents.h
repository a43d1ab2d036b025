// The parent windows this library has hooked, each with its list: the same list that the
// window's "ZNListCt" property names, since only list creation and teardown set and remove that
// property. Reading a window property is a round trip to the window server, and the hooked
// procedure runs for every WM_MEASUREITEM and WM_DELETEITEM of every row, so it looks here.
#pragma once
#include <windows.h>

namespace zn {
class ListControl;

namespace hooked {
void Add(HWND parent, ListControl* list);
void Remove(HWND parent);
ListControl* Find(HWND parent);  // null when the window is not a hooked parent
}  // namespace hooked
}  // namespace zn
