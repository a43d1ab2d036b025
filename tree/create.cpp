// Making a tree over a placeholder, attaching icon lists, clearing and destroying it.
#include <cstdlib>
#include <new>

#include "frame/module.h"
#include "tree.h"

namespace zn {

WNDPROC savedListBoxProc = nullptr;

TreeControl* TreeControl::FromWindow(HWND window) {
    if (!window) return nullptr;
    auto* tree = reinterpret_cast<TreeControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!tree) return nullptr;
    // A window of another kind may keep anything in its slot: only our list boxes are trusted.
    if (GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&TreeListBoxProc)) return nullptr;
    return tree->signature == kSignature && tree->listBox == window ? tree : nullptr;
}

TreeControl* TreeControl::Create(HWND parent, int placeholderId, int listBoxId) {
    auto* tree = new (std::nothrow) TreeControl;
    if (!tree) return nullptr;
    tree->instance = moduleInstance;
    tree->dropDownIcon = LoadIconA(tree->instance, MAKEINTRESOURCEA(kDropDownIcon));
    tree->framePen = CreatePen(PS_SOLID, 0, RGB(128, 128, 128));
    tree->imageList = LoadImageStrip(tree->instance);
    if (tree->imageList) tree->boldFont = MakeFont(tree->instance, FW_BOLD);

    if (parent) {
        tree->listBox = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", 0x50B00121, 115, 80, 496, 302, parent,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(listBoxId)), tree->instance,
                                        nullptr);
    }
    tree->listBoxId = static_cast<WORD>(listBoxId);
    if (!tree->listBox) {
        // The host gets no handle and so could never destroy what was made: release it here.
        tree->Destroy();
        return nullptr;
    }
    if (HWND placeholder = GetDlgItem(parent, placeholderId)) {
        RECT rect;
        GetWindowRect(placeholder, &rect);
        POINT corner = {rect.left, rect.top};
        ScreenToClient(parent, &corner);
        MoveWindow(tree->listBox, corner.x, corner.y, rect.right - rect.left, rect.bottom - rect.top, TRUE);
        ShowWindow(placeholder, SW_HIDE);
    }
    tree->normalFont = MakeFont(tree->instance, FW_NORMAL);
    if (!savedListBoxProc)
        savedListBoxProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(tree->listBox, GWLP_WNDPROC));
    SetWindowLongPtrA(tree->listBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TreeListBoxProc));
    SetWindowLongPtrA(tree->listBox, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(tree));
    return tree;
}

void TreeControl::Destroy() {
    signature = 0;
    if (listBox) DestroyWindow(listBox);
    if (editorWindow) DestroyWindow(editorWindow);
    FreeChain();
    if (imageList) ImageList_Destroy(imageList);
    if (framePen) DeleteObject(framePen);
    if (normalFont) DeleteObject(normalFont);
    if (boldFont) DeleteObject(boldFont);
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
    return 1;
}

int TreeControl::AttachSeverityIcons(HIMAGELIST list) {
    int count = 0;
    if (!IsUsableIconList(list, &count)) return 0;
    severityIcons = list;
    ImageList_SetBkColor(list, GetSysColor(COLOR_WINDOW));
    severityIconCount = static_cast<WORD>(count);
    severityIconsAttached = 1;
    extentsStale_ = true;
    return 1;
}

int TreeControl::AttachAdditionalIcons(HIMAGELIST list) {
    int count = 0;
    if (!IsUsableIconList(list, &count)) return 0;
    additionalIcons = list;
    ImageList_SetBkColor(list, GetSysColor(COLOR_WINDOW));
    additionalIconCount = static_cast<WORD>(count);
    additionalIconsAttached = 1;
    extentsStale_ = true;
    return 1;
}

}  // namespace zn
