// The library's own record of the windows its live controls serve: a tree's or a list's list
// box, a list's parent window and header band, a control's choice editor. Exports and window procedures find their control
// here, so a subclass that replaces a window's procedure, or a value written into its user-data
// slot, never cuts a window off from its control or leads it to another. A window is forgotten
// when it is destroyed, so a recycled handle reaches nothing.
#pragma once
#include <windows.h>

namespace zn::registry {

enum class Role : BYTE { TreeListBox, ListListBox, ListParent, ListHeaderBand, ChoiceEditor };

struct Entry {
    HWND window;
    Role role;
    void* control;     // null for a parent whose list is gone while the hook has to stay
    WNDPROC replaced;  // for a parent and an editor: the procedure the library's replaced
};

bool Add(const Entry& entry);      // false when out of memory
bool Find(HWND window, Role role, Entry* found);
void Update(const Entry& entry);   // the entry with the same window and role
void Remove(HWND window, Role role);

}  // namespace zn::registry
