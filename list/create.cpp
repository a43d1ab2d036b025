// Making a list over a placeholder, hooking its parent window, finding it behind its windows,
// and taking it all down again.
#include <new>

#include "list.h"

namespace zn {

WNDPROC baseListProc = nullptr;

ListControl* ListControl::FromWindow(HWND window, registry::Role role, registry::Entry* entry) {
    registry::Entry found;
    if (!registry::Find(window, role, &found)) return nullptr;
    if (entry) *entry = found;
    return static_cast<ListControl*>(found.control);
}

ListControl* ListControl::Create(HWND parent, int placeholderId, int listBoxId) {
    // One list per parent window: a second hook would call itself without end.
    if (FromWindow(parent, registry::Role::ListParent)) return nullptr;
    auto* list = new (std::nothrow) ListControl;
    if (!list) return nullptr;
    list->parentWindow = parent;
    if (!list->MakeListBox(parent, placeholderId, listBoxId, WS_EX_STATICEDGE, &ListBoxWndProc, &baseListProc) ||
        !registry::Add({list->listBox, kListBoxRole, list, nullptr}) || !list->HookParent()) {
        // The host gets no handle and could never take the list down: undo it here.
        list->Destroy();
        return nullptr;
    }
    SetWindowLongPtrA(list->listBox, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(list));
    return list;
}

// The parent's procedure is replaced, unless an earlier list's hook still stands in its chain of
// procedures (see UnhookParent): then that hook serves this list.
bool ListControl::HookParent() {
    registry::Entry hook = {};
    FromWindow(parentWindow, registry::Role::ListParent, &hook);
    if (hook.window) {
        hook.control = this;
        registry::Update(hook);
    } else {
        hook = {parentWindow, registry::Role::ListParent, this, nullptr};
        if (!registry::Add(hook)) return false;
        hook.replaced = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(parentWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListParentWndProc)));
        registry::Update(hook);
    }
    savedParentProc = hook.replaced;
    SetPropA(parentWindow, kPropertyName, this);
    return true;
}

// The parent gets its procedure back while the hook is still its procedure. When something has
// replaced it since, and so calls the hook in turn, the hook stays and passes every message on
// to the procedure it replaced, until the parent's procedure is the hook again or the parent goes.
void ListControl::UnhookParent() {
    registry::Entry hook = {};
    if (FromWindow(parentWindow, registry::Role::ListParent, &hook) != this) return;
    if (GetWindowLongPtrA(parentWindow, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&ListParentWndProc)) {
        SetWindowLongPtrA(parentWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook.replaced));
        registry::Remove(parentWindow, registry::Role::ListParent);
    } else {
        hook.control = nullptr;
        registry::Update(hook);
    }
    RemovePropA(parentWindow, kPropertyName);
}

void ListControl::Destroy() {
    DestroyListBox();
    UnhookParent();
    // Header messages after teardown must not reach this object.
    if (IsWindow(headerParent)) {
        registry::Remove(headerParent, registry::Role::ListHeaderBand);
        DestroyWindow(headerParent);
    }
    FreeRows();
    ReleaseResources();
    if (ascendingMark) DeleteObject(ascendingMark);
    if (descendingMark) DeleteObject(descendingMark);
    delete this;
}

}  // namespace zn
