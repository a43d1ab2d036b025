// What the tree and the list have alike: an owner-drawn list box laid over a placeholder of the
// host's dialog, with its fonts, frame pen, image strip and the host's icon lists, one in-place
// choice editor, a notification to the host, and the guard against calls made while the
// control is busy. Both controls are made of this and add their own records and drawing.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "ZnTreeCt.h"
#include "accessible.h"

namespace zn {

class ListBoxControl : public accessible::Rows {
public:
    enum IconSet { kSeverityIcons, kAdditionalIcons };

    // Attaches one of the host's icon lists: 16 x 16 images, at least two; else 0, nothing changed.
    int AttachIcons(IconSet set, HIMAGELIST list);
    // Posts the control's check-state notification to the list box's parent.
    void PostCheckStateChanged() const;
    // How far the rows are scrolled to the left: an item's right edge past the client area's.
    LONG ScrollOffset(const RECT& item) const;
    LONG ScrollOffsetAt(int row) const;  // measured on a row's rectangle; 0 when it has none
    // The record a list-box row shows, null for a row that does not exist.
    template <class Item>
    Item* ItemAt(LRESULT row) const {
        LRESULT data = SendMessageA(listBox, LB_GETITEMDATA, static_cast<WPARAM>(row), 0);
        return data == LB_ERR ? nullptr : reinterpret_cast<Item*>(data);
    }

    // The choice editor. BuildEditor empties the editor (making it on first need), fills it
    // with the choices of the item's first choice line, selects its chosen entry and links it to
    // the item; null when it cannot be made or the line holds no choice list (then it serves
    // nothing). MeasureChoices gives the widest entry in the dialog's font plus `margin`, and the
    // entries' height; (0, 0) without an editor or a choice list.
    template <class Item>
    HWND BuildEditor(Item* item) {
        for (int i = 0; i < item->textCount && i < 3; ++i) {
            if (!(item->flags & static_cast<WORD>(ZN_CHOICE_TEXT1 << i))) continue;
            Filled filled = FillEditor(item->texts[i], item->choiceIndex, item);
            if (filled.chosen) item->choiceValue = filled.value;
            return filled.editor;
        }
        return nullptr;
    }
    SIZE MeasureChoices(const TextField& text, int margin);
    static constexpr int kEditorMargin = 26;  // the editor is as wide as its widest entry and this

    // The highlight of a selected row's texts with its dotted frame open to the right; the texts
    // that follow are drawn transparently in the highlight text colour.
    static void DrawSelectionBox(HDC dc, const RECT& box);

    HWND editorWindow = nullptr;
    HFONT dialogFont = nullptr;
    LONG currentIndex = 0;
    HWND listBox = nullptr;
    WORD listBoxId = 0;
    HINSTANCE instance = nullptr;
    HFONT normalFont = nullptr;
    HFONT boldFont = nullptr;
    HPEN framePen = nullptr;
    HICON dropDownIcon = nullptr;
    HIMAGELIST imageList = nullptr;
    HIMAGELIST additionalIcons = nullptr;
    HIMAGELIST severityIcons = nullptr;
    DWORD severityIconsAttached = 0;
    DWORD additionalIconsAttached = 0;
    WORD additionalIconCount = 0;
    WORD severityIconCount = 0;
    // Exports that change the control are refused while one runs: a host handler of a message
    // the control's own work sends must not change or free what that work is walking.
    int busy = 0;
    bool Busy() const override { return busy != 0; }

protected:
    explicit ListBoxControl(WORD notification) : notification_(notification) {}
    ~ListBoxControl() = default;
    // Loads the images and fonts, makes the list box over the placeholder and replaces its
    // procedure (the list box class's own is kept in *classProcedure once for all); false when
    // there is no list box.
    bool MakeListBox(HWND parent, int placeholderId, int id, DWORD exStyle, WNDPROC procedure,
                     WNDPROC* classProcedure);
    void DestroyListBox();    // the editor, its child, goes with it
    void ReleaseResources();  // what MakeListBox made besides the window

private:
    struct Filled {
        HWND editor;
        bool chosen;  // the chosen entry exists; its value follows
        LONG value;
    };
    Filled FillEditor(const TextField& text, DWORD choiceIndex, void* item);
    WORD notification_;
};

}  // namespace zn
