// Typed characters for the controls' list boxes.
#pragma once
#include <windows.h>

namespace zn {

// The controls' list boxes are made without LBS_WANTKEYBOARDINPUT, and a list box of that style
// never asks its owner about a typed character. The controls ask on its behalf, as an owner-drawn
// list box with that style would, so that the space bar and the other keys reach the handlers.
inline void AskOwnerAboutChar(HWND listBox, WPARAM character, WNDPROC base) {
    if (GetWindowLongA(listBox, GWL_STYLE) & LBS_WANTKEYBOARDINPUT) return;  // the list box asks itself
    LRESULT caret = CallWindowProcA(base, listBox, LB_GETCARETINDEX, 0, 0);
    SendMessageA(GetParent(listBox), WM_CHARTOITEM, MAKEWPARAM(LOWORD(character), LOWORD(caret)),
                 reinterpret_cast<LPARAM>(listBox));
}

}  // namespace zn
