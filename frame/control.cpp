#include "control.h"

#include "choice_label.h"
#include "gdi.h"
#include "module.h"

namespace zn {
namespace {

constexpr int kEditorHeight = 150;  // with its open list

// A 9-point font of the given weight, derived from the stock GUI font (proof quality).
HFONT MakeFont(int weight) {
    MemoryDC dc;
    SetMapMode(dc, MM_TEXT);
    LOGFONTA font;
    ZeroMemory(&font, sizeof font);
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
    font.lfWeight = weight;
    font.lfQuality = PROOF_QUALITY;
    return CreateFontIndirectA(&font);
}

}  // namespace

bool ListBoxControl::MakeListBox(HWND parent, int placeholderId, int id, DWORD exStyle, WNDPROC procedure,
                                 WNDPROC* classProcedure) {
    instance = moduleInstance;
    dropDownIcon = LoadIconA(instance, MAKEINTRESOURCEA(kDropDownIcon));
    framePen = CreatePen(PS_SOLID, 0, RGB(128, 128, 128));
    // The control's own 18 x 18 images; without them there is no bold font either.
    imageList = ImageList_LoadImageA(instance, MAKEINTRESOURCEA(kImageStrip), 18, 0, CLR_DEFAULT, IMAGE_BITMAP,
                                     LR_CREATEDIBSECTION);
    if (imageList) boldFont = MakeFont(FW_BOLD);
    if (parent) {
        listBox = CreateWindowExA(exStyle, "LISTBOX", "", 0x50B00121, 115, 80, 496, 302, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    }
    listBoxId = static_cast<WORD>(id);
    if (!listBox) return false;
    if (HWND placeholder = GetDlgItem(parent, placeholderId)) {
        RECT rect;
        GetWindowRect(placeholder, &rect);
        POINT corner = {rect.left, rect.top};
        ScreenToClient(parent, &corner);
        MoveWindow(listBox, corner.x, corner.y, rect.right - rect.left, rect.bottom - rect.top, TRUE);
        ShowWindow(placeholder, SW_HIDE);
        // The host's dialog template decides how Tab reaches the control, as for any control: the
        // list box takes its placeholder's tab stop and group and its place in the tab order.
        if (const LONG tabbing = GetWindowLongA(placeholder, GWL_STYLE) & (WS_TABSTOP | WS_GROUP))
            SetWindowLongA(listBox, GWL_STYLE, GetWindowLongA(listBox, GWL_STYLE) | tabbing);
        SetWindowPos(listBox, placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    normalFont = MakeFont(FW_NORMAL);
    if (!*classProcedure) *classProcedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(listBox, GWLP_WNDPROC));
    SetWindowLongPtrA(listBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    return true;
}

void ListBoxControl::DestroyListBox() {
    if (listBox) DestroyWindow(listBox);
    editorWindow = nullptr;
}

void ListBoxControl::ReleaseResources() {
    if (imageList) ImageList_Destroy(imageList);
    if (framePen) DeleteObject(framePen);
    if (normalFont) DeleteObject(normalFont);
    if (boldFont) DeleteObject(boldFont);
}

int ListBoxControl::AttachIcons(IconSet set, HIMAGELIST list) {
    int cx = 0, cy = 0;
    if (!list || !ImageList_GetIconSize(list, &cx, &cy) || cx != 16 || cy != 16) return 0;
    const int count = ImageList_GetImageCount(list);
    if (count < 2) return 0;
    ImageList_SetBkColor(list, GetSysColor(COLOR_WINDOW));
    if (set == kSeverityIcons) {
        severityIcons = list;
        severityIconCount = static_cast<WORD>(count);
        severityIconsAttached = 1;
    } else {
        additionalIcons = list;
        additionalIconCount = static_cast<WORD>(count);
        additionalIconsAttached = 1;
    }
    return 1;
}

void ListBoxControl::PostCheckStateChanged() const {
    if (listBox)
        PostMessageA(GetParent(listBox), WM_COMMAND, MAKEWPARAM(listBoxId, notification_),
                     reinterpret_cast<LPARAM>(listBox));
}

LONG ListBoxControl::ScrollOffset(const RECT& item) const {
    RECT client;
    GetClientRect(listBox, &client);
    return item.right > client.right ? item.right - client.right : 0;
}

LONG ListBoxControl::ScrollOffsetAt(int row) const {
    RECT item;
    if (SendMessageA(listBox, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
        return 0;
    return ScrollOffset(item);
}

ListBoxControl::Filled ListBoxControl::FillEditor(const TextField& text, DWORD choiceIndex, void* item) {
    Filled filled = {nullptr, false, 0};
    if (IsWindow(editorWindow)) {
        while (SendMessageA(editorWindow, CB_DELETESTRING, 0, 0) != CB_ERR) {
        }
    } else {
        editorWindow = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_BORDER | CBS_DROPDOWNLIST, 0, 0, 1,
                                       kEditorHeight, listBox, reinterpret_cast<HMENU>(ZN_EDITOR_ID), instance,
                                       nullptr);
        if (!editorWindow) return filled;
        accessible::AdoptEditor(editorWindow, this);  // named after the row it edits
        // Font and field height are set once: changing them later would resize the editor in
        // the middle of a paint.
        dialogFont = reinterpret_cast<HFONT>(SendMessageA(GetParent(listBox), WM_GETFONT, 0, 0));
        SendMessageA(editorWindow, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), TRUE);
        SendMessageA(editorWindow, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 14);
    }
    ChoicesOf table(text);
    if (!table) {
        // A choice line that holds no choice list offers nothing: the emptied editor serves nothing.
        SetWindowLongPtrA(editorWindow, GWLP_USERDATA, 0);
        return filled;
    }
    const SIZE size = MeasureChoices(text, kEditorMargin);
    RECT now;
    GetWindowRect(editorWindow, &now);
    // Resizing or raising it to where it is would only make Wine repaint the list box again.
    if (now.right - now.left != size.cx || now.bottom - now.top != kEditorHeight ||
        GetWindow(listBox, GW_CHILD) != editorWindow)
        SetWindowPos(editorWindow, HWND_TOP, 0, 0, size.cx, kEditorHeight, SWP_NOMOVE);
    for (int k = 0; k < table.count(); ++k) {
        ChoiceLabel label(text, table->entries[k]);
        LRESULT index = SendMessageA(editorWindow, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.get()));
        if (index >= 0)
            SendMessageA(editorWindow, CB_SETITEMDATA, static_cast<WPARAM>(index),
                         static_cast<LPARAM>(table->entries[k].value));
    }
    SendMessageA(editorWindow, CB_SETCURSEL, static_cast<WPARAM>(choiceIndex), 0);
    filled.editor = editorWindow;
    if (choiceIndex < static_cast<DWORD>(table.count())) {
        filled.chosen = true;
        filled.value = table->entries[choiceIndex].value;
    }
    SetWindowLongPtrA(editorWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(item));
    return filled;
}

SIZE ListBoxControl::MeasureChoices(const TextField& text, int margin) {
    SIZE result = {0, 0};
    if (!IsWindow(editorWindow)) return result;
    ChoicesOf table(text);
    if (!table) return result;
    WindowDC dc(editorWindow);
    if (!dc) return result;
    Selected font(dc, dialogFont);
    WORD widest = 0;
    for (int k = 0; k < table.count(); ++k) {
        ChoiceLabel label(text, table->entries[k]);
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, label.get(), label.length(), &size);
        if (static_cast<WORD>(size.cx) > widest) widest = static_cast<WORD>(size.cx);
        result.cy = size.cy;
    }
    result.cx = widest + margin;
    return result;
}

void ListBoxControl::DrawSelectionBox(HDC dc, const RECT& box) {
    FillSolid(dc, box, GetSysColor(COLOR_HIGHLIGHT));
    const COLORREF dot = RGB(255, 255, 0);
    for (LONG x = box.left; x <= box.right; x += 2) {
        SetPixelV(dc, x, box.top, dot);
        SetPixelV(dc, x, box.bottom - 1, dot);
    }
    for (LONG y = box.top; y < box.bottom; y += 2) SetPixelV(dc, box.left, y, dot);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
}

}  // namespace zn
