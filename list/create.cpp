// Making a list over a placeholder, hooking its parent window, attaching icon lists and
// taking it all down again.
#include <new>

#include "frame/module.h"
#include "hooked_parents.h"
#include "list.h"

namespace zn {

WNDPROC baseListProc = nullptr;

ListControl* ListControl::FromWindow(HWND window) {
    if (!window) return nullptr;
    auto* list = reinterpret_cast<ListControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!list) return nullptr;
    // A window of another kind may keep anything in its slot: only our list boxes are trusted.
    if (GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&ListBoxWndProc)) return nullptr;
    return list->signature == kSignature && list->listBox == window ? list : nullptr;
}

ListControl* ListControl::Create(HWND parent, int placeholderId, int listBoxId) {
    if (parent && GetPropA(parent, kPropertyName)) {
        // One list per parent window: a second hook would call itself without end.
        return nullptr;
    }
    auto* list = new (std::nothrow) ListControl;
    if (!list) return nullptr;
    list->parentWindow = parent;
    list->instance = moduleInstance;
    list->dropDownIcon = LoadIconA(list->instance, MAKEINTRESOURCEA(kDropDownIcon));
    list->framePen = CreatePen(PS_SOLID, 0, RGB(128, 128, 128));
    list->imageList = LoadImageStrip(list->instance);
    if (list->imageList) list->boldFont = MakeFont(list->instance, FW_BOLD);
    if (parent) {
        list->listBox = CreateWindowExA(WS_EX_STATICEDGE, "LISTBOX", "", 0x50B00121, 115, 80, 496, 302, parent,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(listBoxId)), list->instance,
                                        nullptr);
    }
    list->listBoxId = static_cast<WORD>(listBoxId);
    if (!list->listBox) {
        // The host gets no handle and could never take the list down: undo it here.
        list->Destroy();
        return nullptr;
    }
    if (HWND placeholder = GetDlgItem(parent, placeholderId)) {
        RECT rect;
        GetWindowRect(placeholder, &rect);
        POINT corner = {rect.left, rect.top};
        ScreenToClient(parent, &corner);
        MoveWindow(list->listBox, corner.x, corner.y, rect.right - rect.left, rect.bottom - rect.top, TRUE);
        ShowWindow(placeholder, SW_HIDE);
    }
    list->normalFont = MakeFont(list->instance, FW_NORMAL);
    if (!baseListProc) baseListProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(list->listBox, GWLP_WNDPROC));
    SetWindowLongPtrA(list->listBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListBoxWndProc));
    SetPropA(parent, kPropertyName, list);
    hooked::Add(parent, list);
    list->savedParentProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListParentWndProc)));
    SetWindowLongPtrA(list->listBox, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(list));
    return list;
}

void ListControl::Destroy() {
    signature = 0;
    if (listBox) DestroyWindow(listBox);
    if (parentWindow && savedParentProc) {
        SetWindowLongPtrA(parentWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedParentProc));
        RemovePropA(parentWindow, kPropertyName);
        hooked::Remove(parentWindow);
    }
    if (IsWindow(editorWindow)) DestroyWindow(editorWindow);
    // Header messages after teardown must not reach this object.
    if (IsWindow(headerParent)) {
        SetWindowLongPtrA(headerParent, GWLP_USERDATA, 0);
        DestroyWindow(headerParent);
    }
    FreeRows();
    if (imageList) ImageList_Destroy(imageList);
    if (framePen) DeleteObject(framePen);
    if (normalFont) DeleteObject(normalFont);
    if (boldFont) DeleteObject(boldFont);
    if (ascendingMark) DeleteObject(ascendingMark);
    if (descendingMark) DeleteObject(descendingMark);
    delete this;
}

int ListControl::AttachSeverityIcons(HIMAGELIST list) {
    int count = 0;
    if (!IsUsableIconList(list, &count)) return 0;
    severityIcons = list;
    ImageList_SetBkColor(list, GetSysColor(COLOR_WINDOW));
    severityIconCount = static_cast<WORD>(count);
    severityIconsAttached = 1;
    return 1;
}

int ListControl::AttachAdditionalIcons(HIMAGELIST list) {
    int count = 0;
    if (!IsUsableIconList(list, &count)) return 0;
    additionalIcons = list;
    ImageList_SetBkColor(list, GetSysColor(COLOR_WINDOW));
    additionalIconCount = static_cast<WORD>(count);
    additionalIconsAttached = 1;
    return 1;
}

}  // namespace zn
