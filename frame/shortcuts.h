// Whether the controls take their shortcuts through the list box — moving its top row along long
// runs of rows, closing large branches from the bottom up, carrying check states in one walk —
// or the plain step-by-step path, row by row. Both end with the same rows, top row, selection,
// states and picture; the library's own tests run both and compare them. The shipped DLL always
// takes the shortcuts: nothing a host can reach turns them off.
#pragma once

namespace zn {

#ifdef ZN_SHIPPED
inline bool ShortcutsTaken() { return true; }
#else
extern bool plainPathsOnly;  // set by tests of the library only
inline bool ShortcutsTaken() { return !plainPathsOnly; }
#endif

}  // namespace zn
