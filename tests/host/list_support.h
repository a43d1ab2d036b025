// What the list tests share: a host with one list that is taken down with it, rows made
// from records as a host makes them, and the rows read back as the host reads them.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "host.h"

namespace host {

struct ListHost {
    HostWindow host;
    HWND list = host.MakeList(20, 60, 500, 300);
    ~ListHost() {
        if (IsWindow(list)) ZNList_Destroy(list);
    }
    HWND headerParent() const { return GetDlgItem(host.window(), HostWindow::kListId + 2); }
    HWND header() const { return GetDlgItem(headerParent(), HostWindow::kListId + 1); }
};

struct RowSpec {
    DWORD id;
    DWORD checkState = ZN_UNCHECKED;
    DWORD severity = 0;
    const wchar_t* texts[3] = {nullptr, nullptr, nullptr};
    WORD flags = 0;
};

inline ListRow* InsertRow(HWND list, const RowSpec& spec) {
    Bstr t1(spec.texts[0]), t2(spec.texts[1]), t3(spec.texts[2]);
    NodeInfo info = {};
    info.id = spec.id;
    info.checkState = spec.checkState;
    info.severity = spec.severity;
    info.flags = spec.flags;
    info.text1 = t1;
    info.text2 = t2;
    info.text3 = t3;
    return ZNList_Insert(list, &info);
}

inline std::vector<const ListRow*> ChainOf(HWND list) {
    std::vector<const ListRow*> rows;
    for (const ListRow* row = ZNList_GetListHead(list); row && rows.size() < 100000; row = row->next)
        rows.push_back(row);
    return rows;
}

inline const ListRow* RowWithId(HWND list, DWORD id) {
    for (const ListRow* row : ChainOf(list))
        if (row->id == id) return row;
    return nullptr;
}

inline const ListRow* ShownRow(HWND list, LRESULT index) {
    return reinterpret_cast<const ListRow*>(SendMessageA(list, LB_GETITEMDATA, index, 0));
}

// The ids of the rows in list-box order.
inline std::vector<DWORD> ShownIds(HWND list) {
    std::vector<DWORD> ids;
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) ids.push_back(ShownRow(list, i)->id);
    return ids;
}

inline std::wstring ColumnText(const ListRow* row, size_t column) {
    const ColumnTextArray& texts = row->columnTexts;
    size_t count = texts.begin ? static_cast<size_t>(texts.end - texts.begin) : 0;
    return column >= 1 && column <= count ? TextOf(texts.begin[column - 1]) : L"<none>";
}

}  // namespace host
