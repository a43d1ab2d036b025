// Row heights, column widths from their contents, and the horizontal scrolling range.
#include <cstring>

#include "frame/gdi.h"
#include "frame/text.h"
#include "list.h"

namespace zn {
namespace {

constexpr int kLineHeight = 18;
constexpr DWORD kNoHeaderLimit = 65535;
constexpr DWORD kColumnLimit = 256;

}  // namespace

int ListControl::RowHeight(const ListRow* row) {
    if (!row) return kLineHeight;
    int texts = row->textCount;
    return kLineHeight * texts + (texts >= 2 ? 4 : 0);
}

DWORD ListControl::TextWidth(HDC dc, HFONT font, const TextField& text) {
    const char* narrow = text::Narrow(text);
    if (!narrow || !dc) return 0;
    Selected selected(dc, font);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, narrow, static_cast<int>(std::strlen(narrow)), &size);
    return size.cx > 0 ? static_cast<DWORD>(size.cx) : 0;
}

// The same width as TextWidth, summed from the font's width table when that is exact.
DWORD ListControl::MeasuredWidth(HDC dc, HFONT font, const TextField& text) {
    const TextWidths& table = font == boldFont ? boldWidths : normalWidths;
    if (!table.Exact() || (font != boldFont && font != normalFont)) return TextWidth(dc, font, text);
    const char* narrow = text::Narrow(text);
    return narrow && dc ? table.Width(narrow) : 0;
}

void ListControl::PrepareWidths(HDC dc) {
    // Made afresh for each sizing, so a changed font or DC can never leave stale widths.
    {
        Selected selected(dc, normalFont);
        normalWidths.Prepare(normalFont ? dc : nullptr);
    }
    Selected selected(dc, boldFont);
    boldWidths.Prepare(boldFont ? dc : nullptr);
}

bool ListControl::ShownRows(PodArray<ListRow*>* rows) const {
    LRESULT count = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    if (count > 0 && !rows->Reserve(static_cast<size_t>(count))) return false;
    for (LRESULT i = 0; i < count; ++i)
        if (ListRow* row = RowAt(i)) rows->Push(row);
    return true;
}

DWORD ListControl::MainColumnWidthOf(HDC dc, ListRow* const* rows, size_t count, DWORD limit) {
    if (!IsWindow(headerWindow)) limit = kNoHeaderLimit;
    DWORD widest = 0;
    for (size_t i = 0; i < count; ++i) {
        const ListRow* row = rows[i];
        // The pictures before the texts, as the row drawing places them.
        DWORD pictures = (row->severity && severityIconsAttached) ? 22 : 2;
        if (row->extraIcon && additionalIconsAttached) pictures += 20;
        if (row->checkState != ZN_CHECK_DISABLED) pictures += 20;
        int texts = row->textCount < 3 ? row->textCount : 3;
        for (int n = 0; n < texts; ++n) {
            // Without a bold font (no image strip) bold texts measure in the normal one.
            HFONT font = ((row->flags & (ZN_BOLD_TEXT1 << n)) && boldFont) ? boldFont : normalFont;
            DWORD width = pictures + MeasuredWidth(dc, font, row->texts[n]);
            if (width > limit) return limit;
            if (width > widest) widest = width;
        }
    }
    return widest;
}

DWORD ListControl::TotalColumnsWidth() {
    if (!IsWindow(headerWindow)) {
        // Without room to list the rows, the width is taken as none.
        PodArray<ListRow*> rows;
        if (!ShownRows(&rows)) return 0;
        WindowDC dc(listBox);
        PrepareWidths(dc);
        return MainColumnWidthOf(dc, rows.begin(), rows.size(), kNoHeaderLimit);
    }
    DWORD total = 0;
    HDITEMA item = {};
    item.mask = HDI_WIDTH;
    for (int k = 0; SendMessageA(headerWindow, HDM_GETITEMA, k, reinterpret_cast<LPARAM>(&item)); ++k)
        total += static_cast<DWORD>(item.cxy);
    return total;
}

DWORD ListControl::ColumnNaturalWidthOf(HDC dc, ListRow* const* rows, size_t count, int column, DWORD limit) {
    if (column == 0) return MainColumnWidthOf(dc, rows, count, 2 * limit);
    if (column < 0 || column > columnCount) return 0;
    char title[100] = {};
    HDITEMA item = {};
    item.mask = HDI_TEXT;
    item.pszText = title;
    item.cchTextMax = sizeof title;
    SendMessageA(headerWindow, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item));
    title[sizeof title - 1] = 0;
    DWORD width = 32;
    if (dc) {
        Selected selected(dc, normalFont);
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, title, static_cast<int>(std::strlen(title)), &size);
        width += static_cast<DWORD>(size.cx > 0 ? size.cx : 0);
    }
    for (size_t i = 0; i < count; ++i) {
        const ListRow* row = rows[i];
        if (columns::Count(row->columnTexts) < static_cast<size_t>(column)) continue;
        DWORD text = MeasuredWidth(dc, normalFont, row->columnTexts.begin[column - 1]);
        if (text > limit) return limit;
        if (text > width) width = text;
    }
    return width;
}

DWORD ListControl::AutoSizeColumnsOf(ListRow* const* rows, size_t count) {
    DWORD sum = 0;
    if (IsWindow(headerWindow) && columnCount > 0) {
        WindowDC dc(listBox);
        PrepareWidths(dc);
        for (int k = 0; k < columnCount; ++k) {
            DWORD width = ColumnNaturalWidthOf(dc, rows, count, k, kColumnLimit);
            HDITEMA item = {};
            item.mask = HDI_WIDTH;
            item.cxy = static_cast<int>(width);
            SendMessageA(headerWindow, HDM_SETITEMA, k, reinterpret_cast<LPARAM>(&item));
            sum += width;
        }
    }
    UpdateHorizontalExtent();
    return sum;
}

void ListControl::UpdateHorizontalExtent() {
    DWORD total = TotalColumnsWidth();
    RECT client = {};
    GetClientRect(listBox, &client);
    LONG width = client.right - client.left;
    DWORD extent = width > 0 && static_cast<DWORD>(width) > total ? static_cast<DWORD>(width) - 4 : total;
    SendMessageA(listBox, LB_SETHORIZONTALEXTENT, extent + 4, 0);
    if (IsWindow(headerWindow))
        SetWindowPos(headerWindow, nullptr, 0, 0, GetSystemMetrics(SM_CXVSCROLL) + static_cast<int>(extent) + 4, 20,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace zn
