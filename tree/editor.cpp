// The in-place choice editor: one COMBOBOX per tree, refilled for the node it is moved to.
#include <algorithm>
#include <string>

#include "frame/gdi.h"
#include "frame/text.h"
#include "tree.h"

namespace zn {

std::string TreeControl::ChoiceLabel(const TextField& text, const ChoiceEntry& entry) {
    const WCHAR* wide = text::Wide(text);
    UINT length = text::Length(text);
    std::wstring label;
    // The table's offsets are checked against the stored length again: never read past it.
    if (wide && entry.offset < length) label.assign(wide + entry.offset, std::min(entry.length, length - entry.offset));
    TextField temporary = {};
    text::MakeFromWide(temporary, label.c_str());
    const char* narrow = text::Narrow(temporary);
    std::string result(narrow ? narrow : "", text::NarrowLength(temporary));
    text::Release(temporary);
    return result;
}

SIZE TreeControl::MeasureChoices(const TextField& text) {
    SIZE result = {0, 0};
    if (!editorWindow) return result;
    ChoiceTable* table = text::ParseChoices(text);
    if (!table) return result;
    WORD widest = 0;
    {
        WindowDC dc(editorWindow);
        Selected font(dc, dialogFont);
        for (int k = 0; k < table->count; ++k) {
            std::string label = ChoiceLabel(text, table->entries[k]);
            SIZE size = {0, 0};
            GetTextExtentPoint32A(dc, label.c_str(), static_cast<int>(label.size()), &size);
            widest = std::max(widest, static_cast<WORD>(size.cx));
            result.cy = size.cy;
        }
    }
    FreeChoices(table);
    result.cx = widest + 16;
    return result;
}

HWND TreeControl::BuildEditor(TreeNode* node) {
    int line = -1;
    for (int i = 0; i < node->textCount && i < 3; ++i) {
        if (node->flags & static_cast<WORD>(ZN_CHOICE_TEXT1 << i)) {
            line = i;
            break;
        }
    }

    if (editorWindow) {
        while (SendMessageA(editorWindow, CB_DELETESTRING, 0, 0) != CB_ERR) {
        }
    } else {
        HWND editor = CreateWindowExA(0, "COMBOBOX", "", 0x40800003, 0, 0, 1, 150, listBox,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(ZN_EDITOR_ID)), instance, nullptr);
        if (!editor) return nullptr;
        editorWindow = editor;
        dialogFont = reinterpret_cast<HFONT>(SendMessageA(GetParent(listBox), WM_GETFONT, 0, 0));
        SendMessageA(editorWindow, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), 1);
        SendMessageA(editorWindow, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 14);
    }

    if (line < 0) return nullptr;
    const TextField& text = node->texts[line];
    ChoiceTable* table = text::ParseChoices(text);
    if (!table) {
        // A choice line that holds no choice list offers nothing: the emptied editor serves no node.
        SetWindowLongPtrA(editorWindow, GWLP_USERDATA, 0);
        return nullptr;
    }

    SIZE size = MeasureChoices(text);
    RECT now;
    GetWindowRect(editorWindow, &now);
    // Resizing to the size it has would only make Wine repaint the list box again.
    if (now.right - now.left != size.cx + 10 || now.bottom - now.top != 150 || !IsTopChild(editorWindow))
        SetWindowPos(editorWindow, HWND_TOP, 0, 0, size.cx + 10, 150, SWP_NOMOVE);

    for (int k = 0; k < table->count; ++k) {
        std::string label = ChoiceLabel(text, table->entries[k]);
        LRESULT index = SendMessageA(editorWindow, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
        if (index >= 0)
            SendMessageA(editorWindow, CB_SETITEMDATA, static_cast<WPARAM>(index),
                         static_cast<LPARAM>(table->entries[k].value));
    }
    SendMessageA(editorWindow, CB_SETCURSEL, static_cast<WPARAM>(node->choiceIndex), 0);
    if (node->choiceIndex < static_cast<DWORD>(table->count)) node->choiceValue = table->entries[node->choiceIndex].value;

    FreeChoices(table);
    SetWindowLongPtrA(editorWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(node));
    return editorWindow;
}

bool TreeControl::IsTopChild(HWND child) const { return GetWindow(listBox, GW_CHILD) == child; }

}  // namespace zn
