// The header bar: columns, per-row column texts, sorting on a click.
#include <algorithm>
#include <cstdlib>

#include "frame/gdi.h"
#include "frame/module.h"
#include "frame/text.h"
#include "frame/wide.h"
#include "list.h"

namespace zn {
namespace {

const char* const kHeaderParentClass = "Header Parent Window";
constexpr UINT kHeaderRelayout = ZN_HEADER_RELAYOUT;

bool RegisterHeaderParentClass(HINSTANCE instance) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = HeaderParentProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kHeaderParentClass;
    if (RegisterClassExA(&wc)) return true;
    if (GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        WNDCLASSA plain = {};
        plain.lpfnWndProc = wc.lpfnWndProc;
        plain.hInstance = wc.hInstance;
        plain.hbrBackground = wc.hbrBackground;
        plain.lpszClassName = wc.lpszClassName;
        if (!RegisterClassA(&plain)) {
            DWORD error = GetLastError();
            if (error && error != ERROR_CLASS_ALREADY_EXISTS && error != ERROR_CALL_NOT_IMPLEMENTED) return false;
        }
    }
    SetLastError(0);
    return true;
}

// A sort key: a wide text of a given length; absent or empty texts sort first.
struct Key {
    const WCHAR* text;
    UINT length;
};

Key KeyOf(const TextField& field) { return {text::Wide(field), text::Length(field)}; }

int CompareKeys(const Key& a, const Key& b) {
    bool aEmpty = !a.text || a.length == 0, bEmpty = !b.text || b.length == 0;
    if (aEmpty || bEmpty) return aEmpty == bEmpty ? 0 : (aEmpty ? -1 : 1);
    return CompareNoCase(a.text, a.length, b.text, b.length);
}

// The severity as signed decimal text: rows sort by it as text, so 10 comes before 2.
struct SeverityText {
    explicit SeverityText(DWORD severity) {
        LONG value = static_cast<LONG>(severity);
        unsigned long magnitude = value < 0 ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
        WCHAR digits[12];
        UINT n = 0;
        do {
            digits[n++] = static_cast<WCHAR>(L'0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude);
        length = 0;
        if (value < 0) buffer[length++] = L'-';
        while (n) buffer[length++] = digits[--n];
        buffer[length] = 0;
    }
    Key key() const { return {buffer, length}; }
    WCHAR buffer[13];
    UINT length;
};

Key ColumnKey(const ListRow* row, DWORD column) {
    const ColumnTextArray& texts = row->columnTexts;
    if (columns::Count(texts) < column) return {nullptr, 0};
    return KeyOf(texts.begin[column - 1]);
}

}  // namespace

bool ListControl::RowComesBefore(const ListRow* a, const ListRow* b, int column, int descending) {
    SeverityText aSeverity(a->severity), bSeverity(b->severity);
    DWORD k = static_cast<DWORD>(column);
    int r;
    if (k == 0) {
        r = CompareKeys(aSeverity.key(), bSeverity.key());
        if (r == 0) r = CompareKeys(KeyOf(a->texts[0]), KeyOf(b->texts[0]));
    } else {
        r = CompareKeys(ColumnKey(a, k), ColumnKey(b, k));
        if (r == 0) r = CompareKeys(aSeverity.key(), bSeverity.key());
    }
    return descending ? r > 0 : r < 0;
}

bool ListControl::MakeHeader() {
    if (!IsWindow(headerParent)) {
        if (!RegisterHeaderParentClass(instance)) return false;
        RECT rect;
        GetWindowRect(listBox, &rect);
        HWND owner = GetParent(listBox);
        POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
        ScreenToClient(owner, &corners[0]);
        ScreenToClient(owner, &corners[1]);
        headerParent = CreateWindowExA(WS_EX_STATICEDGE, kHeaderParentClass, kHeaderParentClass, 0x52800000,
                                       corners[0].x, corners[0].y - 20, corners[1].x - corners[0].x, 22, parentWindow,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(listBoxId + 2)), instance, nullptr);
        if (!IsWindow(headerParent)) {
            headerParent = nullptr;
            return false;
        }
        SetWindowLongPtrA(headerParent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
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
    if (columns::Count(texts) < column) {
        TextField dot = {};
        text::MakeFromWide(dot, L".");
        bool grown = columns::GrowTo(texts, column, dot);
        text::Release(dot);
        if (!grown) return 0;
    }
    text::AssignCopy(texts.begin[column - 1], text);
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
    LRESULT count = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    if (count < 0) count = 0;
    auto** rows = static_cast<ListRow**>(std::malloc((count ? count : 1) * sizeof(ListRow*)));
    if (!rows) return;
    for (LRESULT i = 0; i < count; ++i)
        rows[i] = reinterpret_cast<ListRow*>(SendMessageA(listBox, LB_GETITEMDATA, i, 0));
    std::sort(rows, rows + count, [column, descending](const ListRow* a, const ListRow* b) {
        return RowComesBefore(a, b, column, descending);
    });

    SendMessageA(listBox, WM_SETREDRAW, FALSE, 0);
    LRESULT selected = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    LRESULT selectedRow = SendMessageA(listBox, LB_GETITEMDATA, selected, 0);
    HideEditor();
    LRESULT newSelection = selected;
    for (LRESULT i = 0; i < count; ++i) {
        SendMessageA(listBox, LB_SETITEMDATA, i, reinterpret_cast<LPARAM>(rows[i]));
        SendMessageA(listBox, LB_SETITEMHEIGHT, i, MAKELPARAM(RowHeight(rows[i]) & 0xFFFF, 0));
        if (selected != LB_ERR && reinterpret_cast<LRESULT>(rows[i]) == selectedRow) newSelection = i;
    }
    std::free(rows);

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
}

LRESULT CALLBACK HeaderParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Teardown clears this slot, so nothing below reaches a freed list.
    auto* list = reinterpret_cast<ListControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NOTIFY && list && lParam) {
        auto* note = reinterpret_cast<NMHEADERA*>(lParam);
        if (note->hdr.code == static_cast<UINT>(HDN_ITEMCLICKA)) {
            list->HeaderClick(note->iItem);
        } else if (note->hdr.code == static_cast<UINT>(HDN_ENDTRACKA)) {
            if (!note->pitem || !(note->pitem->mask & HDI_WIDTH)) return 0;
            if (note->iButton == 0 && note->pitem->cxy < ListControl::kMinimumColumnWidth)
                note->pitem->cxy = ListControl::kMinimumColumnWidth;
            InvalidateRect(list->listBox, nullptr, TRUE);
            PostMessageA(window, kHeaderRelayout, 0, 0);
        }
    } else if (message == kHeaderRelayout && list) {
        list->UpdateHorizontalExtent();
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace zn
