// What the list tests share: a host with one list taken down with it, rows made from
// records as a host makes them, and rows read back as the host reads them.
#pragma once
#include <string>
#include <vector>

#include "host.h"

namespace host {

struct ListHost {
    HostWindow host;
    HWND list = host.MakeList(20, 60, 500, 300);
    ~ListHost() { ZNList_Destroy(list); }
    HWND header() const { return GetDlgItem(GetDlgItem(host.window(), HostWindow::kListId + 2), HostWindow::kListId + 1); }
};

inline ListRow* InsertRow(HWND list, DWORD id, DWORD state = ZN_UNCHECKED, const wchar_t* text1 = nullptr,
                          const wchar_t* text2 = nullptr, WORD flags = 0) {
    Bstr t1(text1), t2(text2);
    NodeInfo info = {};
    info.id = id;
    info.checkState = state;
    info.flags = flags;
    info.text1 = t1;
    info.text2 = t2;
    return ZNList_Insert(list, &info);
}

inline const ListRow* RowWithId(HWND list, DWORD id) {
    for (const ListRow* row = ZNList_GetListHead(list); row; row = row->next)
        if (row->id == id) return row;
    return nullptr;
}

inline const ListRow* ShownRow(HWND list, LRESULT index) {
    return reinterpret_cast<const ListRow*>(SendMessageA(list, LB_GETITEMDATA, index, 0));
}
inline DWORD SelectedId(HWND list) { return ShownRow(list, SendMessageA(list, LB_GETCURSEL, 0, 0))->id; }

inline std::vector<DWORD> ShownIds(HWND list) {
    std::vector<DWORD> ids;
    for (LRESULT i = 0, n = SendMessageA(list, LB_GETCOUNT, 0, 0); i < n; ++i) ids.push_back(ShownRow(list, i)->id);
    return ids;
}

inline std::wstring ColumnText(const ListRow* row, size_t column) {
    size_t count = row->columnTexts.begin ? row->columnTexts.end - row->columnTexts.begin : 0;
    return column >= 1 && column <= count ? TextOf(row->columnTexts.begin[column - 1]) : L"<none>";
}

}  // namespace host
