// Row painting: lines, icons, check boxes, texts, choice look-alikes and the selection box.
//
// Horizontal scrolling: every picture and text is placed from rcItem.left, like the fill and the
// highlight box, so that what is drawn stays where the hit tests and the editor (both shifted by
// the scroll offset) expect it. With no scrolling rcItem.left is 0 and nothing changes.
#include <algorithm>

#include "frame/choice_label.h"
#include "frame/gdi.h"
#include "frame/text.h"
#include "tree.h"

namespace zn {
namespace {

WORD BoldBit(int line) { return static_cast<WORD>(ZN_BOLD_TEXT1 << line); }
WORD ChoiceBit(int line) { return static_cast<WORD>(ZN_CHOICE_TEXT1 << line); }

void PaintLine(HDC dc, HFONT font, int x, int y, const TextField& text) {
    if (font) SelectObject(dc, font);
    UINT length = text::NarrowLength(text);
    if (length > 0) TextOutA(dc, x, y, text::Narrow(text), static_cast<int>(length));
}

}  // namespace

int TreeControl::TextWidth(HDC dc, HFONT font, const TextField& text) const {
    Selected selected(dc, font);
    const char* narrow = text::Narrow(text);
    SIZE size = {0, 0};
    if (narrow) GetTextExtentPoint32A(dc, narrow, lstrlenA(narrow), &size);
    return size.cx;
}

void TreeControl::DrawRow(DRAWITEMSTRUCT* item, LONG* selectedIndex) {
    HDC dc = item->hDC;
    SavedDC lent(dc);  // the host's DC leaves as it came, on every way out
    if (normalFont) SelectObject(dc, normalFont);
    if (item->itemAction != ODA_DRAWENTIRE && item->itemAction != ODA_SELECT) return;
    auto* node = reinterpret_cast<TreeNode*>(item->itemData);
    if (!node) return;  // an empty list box still asks for focus paints of row -1

    const RowLayout slots = RowSlots(node);
    const int ox = item->rcItem.left;
    const int top = item->rcItem.top;
    const bool selected = (item->itemState & ODS_SELECTED) != 0;

    if (selected) {
        DrawSelectionBox(item, node, slots.textX);
    } else {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        // Clears the highlight this row may still carry. The list box may already report the new
        // selection while it repaints the row it leaves, so that row is cleared as well.
        if (currentIndex == SendMessageA(listBox, LB_GETCURSEL, 0, 0) ||
            currentIndex == static_cast<LONG>(item->itemID)) {
            RECT clear = {ox + slots.textX - 2, top, item->rcItem.right, item->rcItem.bottom};
            FillSolid(dc, clear, GetSysColor(COLOR_WINDOW));
        }
    }

    DrawTreeLines(item, node);
    if (slots.severityX >= 0)
        ImageList_Draw(severityIcons, static_cast<int>(node->severity), dc, ox + slots.severityX, top + 1, ILD_NORMAL);
    if (slots.additionalX >= 0)
        ImageList_Draw(additionalIcons, static_cast<int>(node->extraIcon), dc, ox + slots.additionalX, top + 1,
                       ILD_NORMAL);
    if (slots.checkX >= 0 && imageList) ImageList_Draw(imageList, slots.checkImage, dc, ox + slots.checkX, top, ILD_NORMAL);

    const int textX = ox + slots.textX + (selected ? 1 : 0);
    for (int i = 0; i < node->textCount && i < 3; ++i) {
        const int y = top + 18 * i + 1;
        if (node->flags & BoldBit(i)) {
            PaintLine(dc, boldFont, textX, y, node->texts[i]);
        } else if (node->flags & ChoiceBit(i)) {
            if (selected)
                PlaceEditor(item, node, i, slots.textX);
            else
                DrawChoiceLookAlike(item, node, i, ox + slots.textX, y);
        } else {
            PaintLine(dc, normalFont, textX, y, node->texts[i]);
        }
    }

    if (selected) {
        currentIndex = static_cast<LONG>(SendMessageA(listBox, LB_GETCURSEL, 0, 0));
        if (selectedIndex) *selectedIndex = currentIndex;
    }
}

void TreeControl::DrawSelectionBox(const DRAWITEMSTRUCT* item, TreeNode* node, int textX) {
    HDC dc = item->hDC;
    int width = TextWidth(dc, (node->flags & ZN_BOLD_TEXT1) ? boldFont : normalFont, node->texts[0]);
    for (int i = 0; i < node->textCount && i < 3; ++i) {
        int w;
        if (node->flags & BoldBit(i))
            w = TextWidth(dc, boldFont, node->texts[i]);
        else if (node->flags & ChoiceBit(i))
            w = MeasureChoices(node->texts[i]).cx + 8;
        else
            w = TextWidth(dc, normalFont, node->texts[i]);
        width = std::max(width, w);
    }

    const LONG left = item->rcItem.left + textX;
    ListBoxControl::DrawSelectionBox(dc, {left, item->rcItem.top, left + width + 4, item->rcItem.bottom});
}

void TreeControl::DrawChoiceLookAlike(const DRAWITEMSTRUCT* item, TreeNode* node, int line, int textX, int y) {
    if (editorWindow) {
        if (reinterpret_cast<TreeNode*>(GetWindowLongPtrA(editorWindow, GWLP_USERDATA)) == node)
            ShowWindow(editorWindow, SW_HIDE);
    } else {
        BuildEditor(node);  // stays hidden; gives MeasureChoices its window and font
    }

    const TextField& text = node->texts[line];
    ChoicesOf table(text);
    if (!table || node->choiceIndex >= static_cast<DWORD>(table.count())) return;
    ChoiceLabel label(text, table->entries[node->choiceIndex]);

    HDC dc = item->hDC;
    SIZE size = MeasureChoices(text);
    const int right = textX + size.cx - 2;
    const int bottom = y + size.cy;
    {
        Selected brush(dc, GetStockObject(NULL_BRUSH));
        Selected pen(dc, framePen);
        Rectangle(dc, textX, y - 2, right + 10, bottom + 3);
    }
    if (dropDownIcon) DrawIcon(dc, right - 4, y - 1, dropDownIcon);
    // Without an editor there is no dialog font: the tree's own normal font stands in.
    SelectObject(dc, dialogFont ? dialogFont : normalFont);
    TextOutA(dc, textX + 4, y + 1, label.get(), label.length());
}

void TreeControl::PlaceEditor(const DRAWITEMSTRUCT* item, TreeNode* node, int line, int textX) {
    if (!editorWindow || reinterpret_cast<TreeNode*>(GetWindowLongPtrA(editorWindow, GWLP_USERDATA)) != node) {
        // Shown over a line it cannot offer, the editor would be hidden again by the row it last
        // served, and each hiding would repaint the list box for ever.
        if (!BuildEditor(node)) {
            if (editorWindow) ShowWindow(editorWindow, SW_HIDE);
            return;
        }
    }

    const int x = textX - ScrollOffset(item->rcItem);
    const int y = item->rcItem.top + 18 * line - 2;

    RECT now;
    GetWindowRect(editorWindow, &now);
    MapWindowPoints(nullptr, listBox, reinterpret_cast<POINT*>(&now), 2);
    // Moving a child during a paint invalidates the list box again; Wine's UpdateWindow would
    // then repaint for ever if the editor were moved onto the place where it already stands.
    if (now.left != x || now.top != y || GetWindow(listBox, GW_CHILD) != editorWindow)
        SetWindowPos(editorWindow, HWND_TOP, x, y, 0, 0, SWP_NOSIZE);
    ShowWindow(editorWindow, SW_SHOW);
}

}  // namespace zn
