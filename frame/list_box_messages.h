// What both controls do with their list box's messages around the list box's own procedure,
// which sees every message exactly once (but an accessibility aid's request for the rows' object,
// answered here): the choice editor leaves a row scrolled out of view, a choice made in it is
// stored and announced, typed characters reach the owner, a resize is followed, aids hear the
// selection move, and a destroyed list box is forgotten. Nothing thrown in the control's part
// reaches the caller's frames: the answer is always the list box procedure's own.
#pragma once
#include <windows.h>

#include "ZnTreeCt.h"
#include "accessible.h"
#include "keys.h"
#include "registry.h"

namespace zn {

// The list box whose own procedure is handling a key now. A selection that a key moves is
// announced like a click's (LBN_SELCHANGE) while the mouse may rest anywhere, over a box too:
// the controls take only a selection the mouse made as a click.
inline HWND& KeyedListBox() {
    static thread_local HWND window = nullptr;
    return window;
}

// `Control` names its record type `Item` and its `kListBoxRole`, and has NoteForeignRowChange
// (message), ListBoxResized() and ListBoxMoved(). `control` is null for a list box whose control
// is gone.
template <class Control>
LRESULT ListBoxMessage(Control* control, WNDPROC base, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto ask = [&](UINT m, WPARAM w, LPARAM l) { return CallWindowProcA(base, window, m, w, l); };
    if (control) {
        try {
            Control& c = *control;
            const WPARAM current = static_cast<WPARAM>(c.currentIndex);
            RECT item;
            if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
                if (LRESULT object = accessible::AnswerClient(window, Control::kListBoxRole, control, control, wParam))
                    return object;
            } else if (message == WM_VSCROLL || message == WM_MOUSEWHEEL) {
                // The editor follows its row only while the row is in view; the row is judged
                // where it stands before this scroll step.
                LONG_PTR served = IsWindow(c.editorWindow) && IsWindowVisible(c.editorWindow)
                                      ? GetWindowLongPtrA(c.editorWindow, GWLP_USERDATA) : 0;
                if (served && served == ask(LB_GETITEMDATA, current, 0) &&
                    ask(LB_GETITEMRECT, current, reinterpret_cast<LPARAM>(&item)) != LB_ERR) {
                    RECT client;
                    GetClientRect(window, &client);
                    if (item.top < 0 || item.top > client.bottom) ShowWindow(c.editorWindow, SW_HIDE);
                }
            } else if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELCHANGE && LOWORD(wParam) == ZN_EDITOR_ID &&
                       c.editorWindow && reinterpret_cast<HWND>(lParam) == c.editorWindow) {
                auto* served = reinterpret_cast<typename Control::Item*>(GetWindowLongPtrA(c.editorWindow, GWLP_USERDATA));
                LRESULT choice = served ? SendMessageA(c.editorWindow, CB_GETCURSEL, 0, 0) : CB_ERR;
                if (choice != CB_ERR) {
                    // The host's count of checked items is not reachable from here.
                    served->choiceIndex = static_cast<DWORD>(choice);
                    served->choiceValue = static_cast<LONG>(SendMessageA(c.editorWindow, CB_GETITEMDATA, choice, 0));
                    served->checkState = ZN_CHECKED;
                    c.PostCheckStateChanged();
                    accessible::EditorChoiceMade(window, base, static_cast<LRESULT>(current),
                                                 reinterpret_cast<LPARAM>(served));
                    if (ask(LB_GETITEMRECT, current, reinterpret_cast<LPARAM>(&item)) != LB_ERR)
                        InvalidateRect(window, &item, FALSE);
                }
            }
            if (message == WM_CHAR) AskOwnerAboutChar(window, wParam, base);
            c.NoteForeignRowChange(message);
        } catch (...) {
        }
    }
    const bool key = message == WM_KEYDOWN || message == WM_CHAR;
    const HWND keyed = KeyedListBox();
    if (key) KeyedListBox() = window;
    const LRESULT result = ask(message, wParam, lParam);
    KeyedListBox() = keyed;
    if (control) accessible::FollowSelection(*control, window, message, base);
    if (message == WM_NCDESTROY) {
        registry::Remove(window, Control::kListBoxRole);
    } else if (control && (message == WM_SIZE || message == WM_MOVE)) {
        try {
            if (message == WM_SIZE) control->ListBoxResized();
            else control->ListBoxMoved();
        } catch (...) {
        }
    }
    return result;
}

}  // namespace zn
