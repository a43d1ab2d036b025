// Making a tree over a placeholder, finding it behind its window, attaching icon lists,
// clearing and destroying it.
#include <new>

#include "tree.h"

namespace zn {

WNDPROC savedListBoxProc = nullptr;

TreeControl* TreeControl::FromWindow(HWND window) {
    registry::Entry entry;
    return registry::Find(window, kListBoxRole, &entry) ? static_cast<TreeControl*>(entry.control) : nullptr;
}

TreeControl* TreeControl::Create(HWND parent, int placeholderId, int listBoxId) {
    auto* tree = new (std::nothrow) TreeControl;
    if (!tree) return nullptr;
    if (!tree->MakeListBox(parent, placeholderId, listBoxId, WS_EX_CLIENTEDGE, &TreeListBoxProc, &savedListBoxProc) ||
        !registry::Add({tree->listBox, kListBoxRole, tree, nullptr})) {
        // The host gets no handle and so could never destroy what was made: release it here.
        tree->Destroy();
        return nullptr;
    }
    SetWindowLongPtrA(tree->listBox, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(tree));
    return tree;
}

void TreeControl::Destroy() {
    DestroyListBox();
    FreeChain();
    ReleaseResources();
    delete this;
}

int TreeControl::Clear() {
    // The editor must not keep serving a node about to be freed: a later choice in it would
    // write into freed memory.
    if (editorWindow) {
        ShowWindow(editorWindow, SW_HIDE);
        SetWindowLongPtrA(editorWindow, GWLP_USERDATA, 0);
    }
    if (listBox) RemoveAllRows();
    FreeChain();
    accessible::RowsReordered(*this, listBox);
    return 1;
}

int TreeControl::AttachIcons(IconSet set, HIMAGELIST list) {
    const int attached = ListBoxControl::AttachIcons(set, list);
    if (attached) extentsStale_ = true;  // icons move the texts of the rows that show them
    return attached;
}

}  // namespace zn
