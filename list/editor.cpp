// The in-place choice editor: one drop-down list per list control, filled with the choices of
// the row it serves and placed over that row's choice cell while the row is selected.
#include "choice_label.h"
#include "frame/gdi.h"
#include "frame/text.h"
#include "list.h"

namespace zn {
namespace {

constexpr int kEditorHeight = 150;  // with its open list
constexpr int kLineHeight = 18;
constexpr int kChoiceMargin = 26;   // room for the frame and the drop-down button

// The text the editor edits: the first one whose choice bit is set.
int ChoiceTextIndex(const ListRow* row) {
    int texts = row->textCount < 3 ? row->textCount : 3;
    for (int n = 0; n < texts; ++n)
        if (row->flags & (ZN_CHOICE_TEXT1 << n)) return n;
    return -1;
}

}  // namespace

HWND ListControl::BuildEditor(ListRow* row) {
    int n = row ? ChoiceTextIndex(row) : -1;
    if (n < 0) return nullptr;
    if (IsWindow(editorWindow)) {
        while (SendMessageA(editorWindow, CB_DELETESTRING, 0, 0) != CB_ERR) {
        }
    } else {
        editorWindow = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_BORDER | CBS_DROPDOWNLIST, 0, 0, 1,
                                       kEditorHeight, listBox, reinterpret_cast<HMENU>(ZN_EDITOR_ID), instance,
                                       nullptr);
        if (!editorWindow) return nullptr;
        // Font and field height are set once: changing them later would resize the editor
        // in the middle of a paint.
        dialogFont = reinterpret_cast<HFONT>(SendMessageA(GetParent(listBox), WM_GETFONT, 0, 0));
        SendMessageA(editorWindow, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), TRUE);
        SendMessageA(editorWindow, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 14);
    }
    const TextField& choices = row->texts[n];
    ChoicesOf table(text::ParseChoices(choices));
    if (!table) {
        // A choice cell that holds no choice list offers nothing: the emptied editor serves no row.
        SetWindowLongPtrA(editorWindow, GWLP_USERDATA, 0);
        return nullptr;
    }
    SIZE size = MeasureChoices(choices);
    SetWindowPos(editorWindow, nullptr, 0, 0, size.cx, kEditorHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The size changed behind editorRect's back: the next placing must move it.
    SetRectEmpty(&editorRect);
    const WCHAR* source = text::Wide(choices);
    for (int i = 0; i < table.count(); ++i) {
        ChoiceLabel label(source, table->entries[i]);
        LRESULT index = SendMessageA(editorWindow, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.get()));
        SendMessageA(editorWindow, CB_SETITEMDATA, index, static_cast<LPARAM>(table->entries[i].value));
    }
    SendMessageA(editorWindow, CB_SETCURSEL, row->choiceIndex, 0);
    if (row->choiceIndex < static_cast<DWORD>(table.count())) row->choiceValue = table->entries[row->choiceIndex].value;
    SetWindowLongPtrA(editorWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(row));
    return editorWindow;
}

SIZE ListControl::MeasureChoices(const TextField& choices) {
    SIZE result = {0, 0};
    if (!IsWindow(editorWindow)) return result;
    ChoicesOf table(text::ParseChoices(choices));
    if (!table) return result;
    WindowDC dc(editorWindow);
    if (!dc) return result;
    Selected font(dc, dialogFont);
    const WCHAR* source = text::Wide(choices);
    WORD widest = 0;
    for (int i = 0; i < table.count(); ++i) {
        ChoiceLabel label(source, table->entries[i]);
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, label.get(), label.length(), &size);
        if (static_cast<WORD>(size.cx) > widest) widest = static_cast<WORD>(size.cx);
        result.cy = size.cy;
    }
    result.cx = widest + kChoiceMargin;
    return result;
}

void ListControl::PlaceEditorOverCell(ListRow* row, int textNumber, const DRAWITEMSTRUCT* cell, int textX) {
    if (!IsWindow(editorWindow) || GetWindowLongPtrA(editorWindow, GWLP_USERDATA) != reinterpret_cast<LONG_PTR>(row)) {
        // An editor left serving another row must not stand over this one.
        if (!BuildEditor(row)) {
            if (IsWindow(editorWindow)) ShowWindow(editorWindow, SW_HIDE);
            return;
        }
    }
    SIZE size = MeasureChoices(row->texts[textNumber - 1]);
    RECT client, first;
    GetClientRect(listBox, &client);
    LONG scroll = 0;
    if (SendMessageA(listBox, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)) != LB_ERR &&
        first.right > client.right)
        scroll = first.right - client.right;
    // A cell narrower than its text start gives the full width (the minimum is unsigned).
    DWORD room = static_cast<DWORD>(cell->rcItem.right - textX);
    DWORD width = static_cast<DWORD>(size.cx) < room ? static_cast<DWORD>(size.cx) : room;
    RECT rect;
    rect.left = textX - scroll;
    rect.top = cell->rcItem.top + kLineHeight * (textNumber - 1) - 2;
    rect.right = textX + static_cast<LONG>(width) - scroll;
    rect.bottom = rect.top + size.cy;
    MoveEditor(rect);
    SendMessageA(editorWindow, CB_SETDROPPEDWIDTH, size.cx, 0);
    ShowWindow(editorWindow, SW_SHOW);
}

void ListControl::MoveEditor(const RECT& rect) {
    // Moving a child to where it stands would invalidate the list box during its own paint.
    if (EqualRect(&rect, &editorRect)) return;
    editorRect = rect;
    if (IsWindow(editorWindow))
        SetWindowPos(editorWindow, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOACTIVATE);
}

}  // namespace zn
