// The header bar: columns, per-row column texts, sorting on a click.
#include <algorithm>
#include <cstdlib>

#include "frame/boundary.h"
#include "frame/gdi.h"
#include "frame/module.h"
#include "frame/text.h"
#include "list.h"

namespace zn {
namespace {

const char* const kHeaderParentClass = "Header Parent Window";
constexpr UINT kHeaderRelayout = ZN_HEADER_RELAYOUT;
constexpr size_t kShownItemsBound = 1024;  // more items than a list box shows at once

bool RegisterHeaderParentClass(HINSTANCE instance) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = HeaderParentProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kHeaderParentClass;
    return RegisterClassExA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool ListControl::MakeHeader() {
    if (!IsWindow(headerParent)) {
        if (!RegisterHeaderParentClass(instance)) return false;
        const RECT place = ListBoxPlace();
        headerParent = CreateWindowExA(WS_EX_STATICEDGE, kHeaderParentClass, kHeaderParentClass, 0x52800000,
                                       place.left, place.top - 20, place.right - place.left, 22, parentWindow,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(listBoxId + 2)), instance, nullptr);
        if (!IsWindow(headerParent) || !registry::Add({headerParent, registry::Role::ListHeaderBand, this, nullptr})) {
            if (headerParent) DestroyWindow(headerParent);
            headerParent = nullptr;
            return false;
        }
    }
    headerWindow = CreateWindowExA(0, "SysHeader32", "", WS_CHILD | WS_VISIBLE | HDS_BUTTONS, 0, 0, 1200, 20,
                                   headerParent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(listBoxId + 1)),
                                   instance, nullptr);
    if (!headerWindow) return false;
    SendMessageA(headerWindow, WM_SETFONT, reinterpret_cast<WPARAM>(normalFont), TRUE);
    ascendingMark = MakeSortMark(kAscendingMark);
    descendingMark = MakeSortMark(kDescendingMark);
    return true;
}

HBITMAP ListControl::MakeSortMark(int iconId) {
    WindowDC headerDc(headerWindow);
    MemoryDC memory(headerDc);
    HBITMAP mark = CreateCompatibleBitmap(headerDc, 16, 16);
    if (!mark) return nullptr;
    Selected selected(memory, mark);
    RECT square = {0, 0, 16, 16};
    FillSolid(memory, square, GetSysColor(COLOR_BTNFACE));
    DrawIcon(memory, 0, 0, LoadIconA(instance, MAKEINTRESOURCEA(iconId)));
    return mark;
}

int ListControl::AddHeaderColumn(const WCHAR* title, DWORD flags) {
    if (!IsWindow(headerWindow) && !MakeHeader()) return 0;
    // columnCount is 8 bits: a 256th column would make it 0 again.
    if (columnCount == 0xFF) return 0;
    TextField narrowTitle = {};
    text::MakeFromWide(narrowTitle, title ? title : L"");
    const char* narrow = text::Narrow(narrowTitle);
    HDITEMA item = {};
    item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | HDI_LPARAM;
    item.cxy = 100;
    item.pszText = const_cast<char*>(narrow ? narrow : "");
    item.cchTextMax = static_cast<int>(text::NarrowLength(narrowTitle)) + 1;
    item.fmt = HDF_STRING | ((flags & ZN_COLUMN_TITLE_CENTER) ? HDF_CENTER : HDF_LEFT);
    item.lParam = static_cast<LPARAM>(flags);
    SendMessageA(headerWindow, HDM_INSERTITEMA, columnCount, reinterpret_cast<LPARAM>(&item));
    text::Release(narrowTitle);
    ++columnCount;
    return 1;
}

int ListControl::SetHeaderColumn(DWORD rowId, DWORD column, BSTR text) {
    if (column == 0 || column > kMaxColumnNumber) return 0;
    ListRow* row = FindRow(rowId);
    if (!row) return 0;
    ColumnTextArray& texts = row->columnTexts;
    // Entries before the column get "."; the column's own entry is replaced below anyway, so
    // filling columns in order makes no "." text at all.
    if (columns::Count(texts) + 1 < column) {
        TextField dot = {};
        text::MakeFromWide(dot, L".");
        bool grown = columns::GrowTo(texts, column - 1, dot);
        text::Release(dot);
        if (!grown) return 0;
    }
    if (!columns::GrowTo(texts, column, TextField{})) return 0;
    text::AssignCopy(texts.begin[column - 1], text);
    AnnounceRowChange(row, -1, accessible::kNameChange);
    return 1;
}

void ListControl::HeaderClick(int column) {
    if (static_cast<unsigned>(column) >= columnCount) return;
    if (column != sortColumn)
        SortAndRefill(column, sortDescending);
    else
        SortAndRefill(column, !sortDescending);
}

void ListControl::SortAndRefill(int column, int descending) {
    // The rows on display are sorted; after a refresh they are every row of the chain, and a
    // click between an insert and the next refresh leaves the new rows off screen as before.
    PodArray<ListRow*> rows;
    if (ShownRows(&rows)) SortAndRefillOf(rows.begin(), rows.size(), column, descending);
}

void ListControl::SortAndRefillOf(ListRow** rows, size_t count, int column, int descending) {
    SortRows(rows, count, column, descending);

    SendMessageA(listBox, WM_SETREDRAW, FALSE, 0);
    LRESULT selected = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    const ListRow* selectedRow = RowAt(selected);
    HideEditor();
    LRESULT newSelection = selected;
    // Setting an item's height makes the list box add up the heights from its top item to it.
    // An item that already has the height is left alone, except near the top item, where the
    // setting also marks the shown items as changed, as setting every height would.
    size_t top = static_cast<size_t>(SendMessageA(listBox, LB_GETTOPINDEX, 0, 0));
    for (size_t i = 0; i < count; ++i) {
        SendMessageA(listBox, LB_SETITEMDATA, i, reinterpret_cast<LPARAM>(rows[i]));
        LPARAM height = MAKELPARAM(RowHeight(rows[i]) & 0xFFFF, 0);
        bool nearTop = i >= top && i - top < kShownItemsBound;
        // The list box stores a height of 0 as 1 and refuses heights above 255.
        LRESULT stored = height == 0 ? 1 : height > 255 ? SendMessageA(listBox, LB_GETITEMHEIGHT, i, 0) : height;
        if (nearTop || SendMessageA(listBox, LB_GETITEMHEIGHT, i, 0) != stored)
            SendMessageA(listBox, LB_SETITEMHEIGHT, i, height);
        if (selected != LB_ERR && rows[i] == selectedRow)
            newSelection = static_cast<LRESULT>(i);
    }

    if (IsWindow(headerWindow)) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT | HDI_BITMAP;
        if (SendMessageA(headerWindow, HDM_GETITEMA, sortColumn, reinterpret_cast<LPARAM>(&item))) {
            item.fmt &= ~HDF_BITMAP;
            SendMessageA(headerWindow, HDM_SETITEMA, sortColumn, reinterpret_cast<LPARAM>(&item));
        }
        sortColumn = static_cast<BYTE>(column);
        sortDescending = static_cast<BYTE>(descending);
        item = HDITEMA{};
        item.mask = HDI_FORMAT | HDI_BITMAP;
        // A column without a header item shows the mark nowhere.
        if (SendMessageA(headerWindow, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item))) {
            item.fmt |= HDF_BITMAP;
            item.hbm = descending ? descendingMark : ascendingMark;
            SendMessageA(headerWindow, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageA(listBox, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox, nullptr, TRUE);
    SendMessageA(listBox, LB_SETCURSEL, newSelection, 0);
    accessible::RowsReordered(*this, listBox);
}

namespace {

// Does the band's part for a message; true when that answers it (with 0), false when the
// default procedure answers it too.
bool TakeBandMessage(ListControl& list, HWND window, UINT message, LPARAM lParam) {
    if (message == kHeaderRelayout) list.UpdateHorizontalExtent();
    if (message != WM_NOTIFY || !lParam) return false;
    auto* note = reinterpret_cast<NMHEADERA*>(lParam);
    if (note->hdr.code == static_cast<UINT>(HDN_ITEMCLICKA)) {
        list.HeaderClick(note->iItem);
    } else if (note->hdr.code == static_cast<UINT>(HDN_ENDTRACKA)) {
        if (!note->pitem || !(note->pitem->mask & HDI_WIDTH)) return true;
        if (note->iButton == 0 && note->pitem->cxy < ListControl::kMinimumColumnWidth)
            note->pitem->cxy = ListControl::kMinimumColumnWidth;
        InvalidateRect(list.listBox, nullptr, TRUE);
        PostMessageA(window, kHeaderRelayout, 0, 0);
    }
    return false;
}

}  // namespace

LRESULT CALLBACK HeaderParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Teardown forgets the band, so nothing reaches a freed list; what the band's part could not
    // finish gets the default procedure's answer.
    ListControl* list = ListControl::FromWindow(window, registry::Role::ListHeaderBand);
    if (list && Guarded(false, [&] { return TakeBandMessage(*list, window, message, lParam); })) return 0;
    const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) registry::Remove(window, registry::Role::ListHeaderBand);
    return result;
}

}  // namespace zn
