// Row drawing: the first cell with its icons, check box and stacked texts, the further cells
// of the header's columns, the selection box and the drawn look-alike of a choice cell.
#include <cstring>

#include "fitting.h"
#include "frame/choice_label.h"
#include "frame/gdi.h"
#include "frame/text.h"
#include "list.h"

namespace zn {
namespace {

constexpr int kLineHeight = 18;
constexpr int kPictureStep = 20;
constexpr UINT kTextFlags = DT_SINGLELINE | DT_END_ELLIPSIS | DT_WORD_ELLIPSIS;
// Wine aborts drawing a path ellipsis into a rectangle narrower than about 15 pixels.
constexpr LONG kNarrowestPathCell = 16;

ListRow* RowOf(const DRAWITEMSTRUCT* cell) { return reinterpret_cast<ListRow*>(cell->itemData); }

int CheckImage(DWORD state) {
    if (state == ZN_CHECKED) return 14;
    if (state == ZN_PARTLY_CHECKED) return 15;
    return 13;
}

void DrawCellText(HDC dc, const TextField& text, RECT rect, UINT flags) {
    const char* narrow = text::Narrow(text);
    if (narrow) DrawTextExA(dc, const_cast<char*>(narrow), -1, &rect, flags, nullptr);
}

bool ReadHeaderItem(HWND header, int index, HDITEMA* item) {
    *item = HDITEMA{};
    item->mask = HDI_WIDTH | HDI_LPARAM;
    return SendMessageA(header, HDM_GETITEMA, index, reinterpret_cast<LPARAM>(item)) != 0;
}

}  // namespace

void ListControl::DrawRow(const DRAWITEMSTRUCT* item) {
    if (!item) return;
    SavedDC lent(item->hDC);  // the DC leaves as it came, on every way out
    const LONG scroll = ScrollOffset(item->rcItem);
    if (scroll != headerOffset) {
        headerOffset = scroll;
        if (IsWindow(headerWindow))
            SetWindowPos(headerWindow, nullptr, -headerOffset, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    DRAWITEMSTRUCT cell = *item;
    if (!IsWindow(headerWindow)) {
        DrawMainCell(&cell);
        return;
    }
    HDITEMA column;
    LONG x = 0;
    for (int k = 0; ReadHeaderItem(headerWindow, k, &column); ++k) {
        cell = *item;
        cell.rcItem.left = x;
        cell.rcItem.right = x + column.cxy - 4;
        x += column.cxy;
        if (k == 0)
            DrawMainCell(&cell);
        else
            DrawColumnCell(&cell, k, static_cast<DWORD>(column.lParam) & 0xFF);
    }
}

void ListControl::DrawMainCell(DRAWITEMSTRUCT* cell) {
    HDC dc = cell->hDC;
    Selected font(dc, normalFont);
    if (cell->itemAction != ODA_DRAWENTIRE && cell->itemAction != ODA_SELECT) return;
    ListRow* row = RowOf(cell);
    if (!row) return;

    int next = 2;
    bool severity = row->severity && severityIconsAttached;
    bool extra = row->extraIcon && additionalIconsAttached;
    bool box = row->checkState != ZN_CHECK_DISABLED;
    if (severity) next = 2 + kPictureStep;
    int extraX = next;
    if (extra) next += kPictureStep;
    int boxX = next;
    if (box) next += kPictureStep;
    const int textX = next;
    bool selected = (cell->itemState & ODS_SELECTED) != 0;
    LRESULT selection = SendMessageA(listBox, LB_GETCURSEL, 0, 0);

    if (selected) {
        DrawSelectionBox(cell, row, textX);
    } else {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        // Clears the highlight this row may have carried. The list box may already report the new
        // selection while it repaints the row it leaves, so that row is cleared as well.
        if (currentIndex == selection || currentIndex == static_cast<LONG>(cell->itemID)) {
            RECT clear = {cell->rcItem.left + textX - 2, cell->rcItem.top, cell->rcItem.right + 4, cell->rcItem.bottom};
            FillSolid(dc, clear, GetSysColor(COLOR_WINDOW));
        }
    }
    LONG top = cell->rcItem.top;
    if (severity) ImageList_Draw(severityIcons, static_cast<int>(row->severity), dc, 2, top + 1, ILD_NORMAL);
    if (extra) ImageList_Draw(additionalIcons, static_cast<int>(row->extraIcon), dc, extraX, top + 1, ILD_NORMAL);
    if (box) ImageList_Draw(imageList, CheckImage(row->checkState), dc, boxX, top, ILD_NORMAL);

    int texts = row->textCount < 3 ? row->textCount : 3;
    for (int n = 1; n <= texts; ++n) {
        LONG lineTop = cell->rcItem.top + kLineHeight * (n - 1) + 1;
        const TextField& text = row->texts[n - 1];
        bool bold = (row->flags & (ZN_BOLD_TEXT1 << (n - 1))) != 0;
        bool choice = (row->flags & (ZN_CHOICE_TEXT1 << (n - 1))) != 0;
        if (!bold && choice) {
            if (selected)
                PlaceEditorOverCell(row, n, cell, textX);
            else
                DrawChoiceLookAlike(cell, row, n, textX, lineTop);
            continue;
        }
        // Without a bold font (no image strip) bold texts draw in the normal one.
        Selected textFont(dc, bold && boldFont ? boldFont : normalFont);
        RECT rect = {textX + (selected ? 1 : 0), lineTop, cell->rcItem.right, cell->rcItem.bottom};
        DrawCellText(dc, text, rect, kTextFlags);
    }
    if (selected) currentIndex = static_cast<LONG>(selection);
}

void ListControl::DrawChoiceLookAlike(DRAWITEMSTRUCT* cell, ListRow* row, int textNumber, int textX, int top) {
    HDC dc = cell->hDC;
    if (IsWindow(editorWindow)) {
        if (GetWindowLongPtrA(editorWindow, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(row))
            ShowWindow(editorWindow, SW_HIDE);
    } else {
        BuildEditor(row);
    }
    const TextField& text = row->texts[textNumber - 1];
    ChoicesOf table(text);
    // Without a valid chosen entry the line stays empty, frame included.
    if (!table || row->choiceIndex >= static_cast<DWORD>(table.count())) return;
    SIZE size = MeasureChoices(text);
    LONG right = textX + size.cx - 2;
    if (right > cell->rcItem.right) {
        right = cell->rcItem.right - 2;
        cell->rcItem.right -= 16;
    }
    {
        Selected brush(dc, GetStockObject(NULL_BRUSH));
        Selected pen(dc, framePen);
        Rectangle(dc, textX, top - 2, right, top + size.cy + 3);
    }
    if (dropDownIcon) DrawIcon(dc, right - 14, top - 1, dropDownIcon);
    Selected font(dc, dialogFont);
    ChoiceLabel label(text, table->entries[row->choiceIndex]);
    ExtTextOutA(dc, textX + 4, top + 1, ETO_CLIPPED, &cell->rcItem, label.get(), static_cast<UINT>(label.length()),
                nullptr);
}

void ListControl::DrawSelectionBox(const DRAWITEMSTRUCT* cell, ListRow* row, int textX) {
    HDC dc = cell->hDC;
    LONG width = 0;
    if (IsWindow(headerWindow)) {
        // Up to the right edge of the last column the row fills.
        size_t filled = columns::Count(row->columnTexts);
        LONG sum = 0;
        HDITEMA item;
        for (size_t k = 0; k <= filled && ReadHeaderItem(headerWindow, static_cast<int>(k), &item); ++k) sum += item.cxy;
        width = sum - 4 - textX;
    } else {
        int texts = row->textCount < 3 ? row->textCount : 3;
        for (int n = 0; n < texts; ++n) {
            LONG w;
            if (row->flags & (ZN_CHOICE_TEXT1 << n)) {
                w = MeasureChoices(row->texts[n]).cx + 8;
            } else {
                HFONT font = ((row->flags & (ZN_BOLD_TEXT1 << n)) && boldFont) ? boldFont : normalFont;
                w = static_cast<LONG>(TextWidth(dc, font, row->texts[n]));
            }
            if (w > width) width = w;
        }
    }
    const LONG left = cell->rcItem.left + textX;
    ListBoxControl::DrawSelectionBox(dc, {left, cell->rcItem.top, left + width + 4, cell->rcItem.bottom});
}

void ListControl::DrawColumnCell(DRAWITEMSTRUCT* cell, int column, DWORD flags) {
    HDC dc = cell->hDC;
    ListRow* row = RowOf(cell);
    bool selected = (cell->itemState & ODS_SELECTED) != 0;
    if (!selected && (cell->itemAction & ODA_SELECT)) {
        RECT clear = {cell->rcItem.left, cell->rcItem.top, cell->rcItem.right + 4, cell->rcItem.bottom};
        FillSolid(dc, clear, GetSysColor(COLOR_WINDOW));
    }
    if (!row || static_cast<size_t>(column) > columns::Count(row->columnTexts)) return;
    TextField text = {};
    text::Share(row->columnTexts.begin[column - 1], text);
    if (!text::IsEmpty(text)) {
        Selected font(dc, normalFont);
        if (selected) {
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        } else {
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        }
        UINT format = DT_WORD_ELLIPSIS | ((flags & ZN_COLUMN_PATH) ? DT_PATH_ELLIPSIS : DT_END_ELLIPSIS);
        if (flags & ZN_COLUMN_MULTILINE) format |= DT_WORDBREAK;
        if (flags & ZN_COLUMN_CENTER) format |= DT_CENTER;
        if (flags & ZN_COLUMN_SINGLELINE) format |= DT_SINGLELINE | DT_VCENTER;
        RECT rect = cell->rcItem;
        rect.top += 1;
        if (row->textCount > 1) rect.bottom -= 4;
        // A path cell too narrow to draw in is left empty rather than take the host down.
        bool drawable = !(format & DT_PATH_ELLIPSIS) || rect.right - rect.left >= kNarrowestPathCell;
        if (drawable && (format & DT_WORDBREAK)) {
            FitRectToLines(dc, rect, text);
            if (format & DT_PATH_ELLIPSIS) CompactPathText(dc, rect, text, format);
        }
        if (drawable) DrawCellText(dc, text, rect, format);
    }
    text::Release(text);
}

}  // namespace zn
