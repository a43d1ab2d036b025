// The list workload: N rows with three extra columns, filled, refreshed (rebuilt, sized and
// sorted), re-sorted by a header click, painted and torn down, through ZnTreeCt and through
// SysListView32 in report view with check boxes.
#include <algorithm>

#include "ZnTreeCt.h"
#include "bench.h"

namespace bench {
namespace {

struct Rows {
    std::vector<BSTR> name, a, b, c;
    size_t chars = 0;
};

Rows MakeRows(int n) {
    Rows r;
    std::vector<std::wstring> names = RandomTexts(n, 11u), as = RandomTexts(n, 12u), bs = RandomTexts(n, 13u),
                              cs = RandomTexts(n, 14u);
    for (int i = 0; i < n; ++i) {
        r.name.push_back(SysAllocString(names[i].c_str()));
        r.a.push_back(SysAllocString(as[i].c_str()));
        r.b.push_back(SysAllocString(bs[i].c_str()));
        r.c.push_back(SysAllocString(cs[i].c_str()));
        r.chars += names[i].size() + as[i].size() + bs[i].size() + cs[i].size();
    }
    return r;
}


HWND NewList(HWND parent) {
    HWND list = ZNList_Create(parent, 100, 300);
    ZNList_AddHeaderColumn(list, L"Name", 0);
    ZNList_AddHeaderColumn(list, L"First", 0);
    ZNList_AddHeaderColumn(list, L"Second", 0);
    ZNList_AddHeaderColumn(list, L"Third", 0);
    return list;
}

void InsertOurs(HWND list, const Rows& r) {
    for (size_t i = 0; i < r.name.size(); ++i) {
        NodeInfo info = {};
        info.id = static_cast<DWORD>(i + 1);
        info.checkState = ZN_UNCHECKED;
        info.text1 = r.name[i];
        ZNList_Insert(list, &info);
    }
}

void SetTextsOurs(HWND list, const Rows& r) {
    for (size_t i = 0; i < r.name.size(); ++i) {
        ZNList_SetHeaderColumn(list, static_cast<DWORD>(i + 1), 1, r.a[i]);
        ZNList_SetHeaderColumn(list, static_cast<DWORD>(i + 1), 2, r.b[i]);
        ZNList_SetHeaderColumn(list, static_cast<DWORD>(i + 1), 3, r.c[i]);
    }
}

void RunOurs(const Rows& r, Run& run) {
    Host host;
    double t = Seconds();
    HWND list = NewList(host.window);
    run.phases[0].ours = Seconds() - t;

    SIZE_T before = Measured(r.name.size()) ? PrivateBytes() : 0;
    t = Seconds();
    InsertOurs(list, r);
    run.phases[1].ours = Seconds() - t;

    t = Seconds();
    SetTextsOurs(list, r);
    run.phases[2].ours = Seconds() - t;

    t = Seconds();
    ZNList_Refresh(list, 0, 0);
    run.phases[3].ours = Seconds() - t;
    if (Measured(r.name.size()))
        run.oursBytesPerItem = static_cast<double>(PrivateBytes() - before) / static_cast<double>(r.name.size());

    // A click on the second column's header, as the header reports it to its parent.
    HWND band = GetDlgItem(host.window, 302);
    HWND header = band ? GetDlgItem(band, 301) : nullptr;
    NMHEADERA click = {};
    click.hdr.hwndFrom = header;
    click.hdr.idFrom = 301;
    click.hdr.code = HDN_ITEMCLICKA;
    click.iItem = 2;
    t = Seconds();
    if (band) SendMessageA(band, WM_NOTIFY, 301, reinterpret_cast<LPARAM>(&click));
    run.phases[4].ours = Seconds() - t;

    t = Seconds();
    RepaintNow(list);
    run.phases[5].ours = Seconds() - t;

    t = Seconds();
    ZNList_Destroy(list);
    run.phases[6].ours = Seconds() - t;
    Pump();
    run.phases[7].ours = FloorFill(host.window, static_cast<int>(r.name.size()), &run.floorBytesPerItem);
}

const Rows* sortRows = nullptr;
int sortColumn = 0;

int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM) {
    const std::vector<BSTR>& texts = sortColumn == 0 ? sortRows->name : sortColumn == 2 ? sortRows->b : sortRows->a;
    return _wcsicmp(texts[static_cast<size_t>(a)], texts[static_cast<size_t>(b)]);
}

HWND NewListView(HWND parent) {
    HWND view = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS,
                                10, 30, 760, 580, parent, nullptr, nullptr, nullptr);
    SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    const wchar_t* titles[] = {L"Name", L"First", L"Second", L"Third"};
    for (int c = 0; c < 4; ++c) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 100;
        column.pszText = const_cast<wchar_t*>(titles[c]);
        SendMessageW(view, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    return view;
}

// Inserts the rows with redraw off, as far as the budget allows; returns how many.
size_t InsertTheirs(HWND view, const Rows& r, Capped& insert) {
    SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    size_t inserted = 0;
    for (size_t i = 0; i < r.name.size() && !insert.Over(i); ++i, ++inserted) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        item.pszText = r.name[i];
        item.lParam = static_cast<LPARAM>(i);
        SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    return inserted;
}

void SetTextsTheirs(HWND view, const Rows& r, size_t inserted, Capped& texts) {
    for (size_t i = 0; i < inserted && !texts.Over(i); ++i) {
        BSTR columns[] = {r.a[i], r.b[i], r.c[i]};
        for (int c = 0; c < 3; ++c) {
            LVITEMW item = {};
            item.iSubItem = c + 1;
            item.pszText = columns[c];
            SendMessageW(view, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
        }
    }
}

void RunTheirs(const Rows& r, Run& run, double budget) {
    Host host;
    double t = Seconds();
    HWND view = NewListView(host.window);
    run.phases[0].theirs = Seconds() - t;

    SIZE_T before = Measured(r.name.size()) ? PrivateBytes() : 0;
    Capped insert(budget);
    size_t inserted = InsertTheirs(view, r, insert);
    insert.Into(run.phases[1]);

    Capped texts(budget);
    SetTextsTheirs(view, r, inserted, texts);
    texts.Into(run.phases[2]);

    sortRows = &r;
    t = Seconds();
    sortColumn = 0;
    SendMessageW(view, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&CompareRows));
    for (int c = 0; c < 4; ++c) SendMessageW(view, LVM_SETCOLUMNWIDTH, c, LVSCW_AUTOSIZE);
    run.phases[3].theirs = Seconds() - t;
    if (Measured(r.name.size()))
        run.theirsBytesPerItem = static_cast<double>(PrivateBytes() - before) / static_cast<double>(r.name.size());

    t = Seconds();
    sortColumn = 2;
    SendMessageW(view, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&CompareRows));
    run.phases[4].theirs = Seconds() - t;

    t = Seconds();
    SendMessageW(view, WM_SETREDRAW, TRUE, 0);
    RepaintNow(view);
    run.phases[5].theirs = Seconds() - t;

    t = Seconds();
    DestroyWindow(view);
    run.phases[6].theirs = Seconds() - t;
}

}  // namespace

Run ListWorkload(int n, Side side, double budget) {
    Rows r = MakeRows(n);
    Run run;
    run.workload = "list";
    run.n = n;
    for (const char* name : {"create and declare columns", "insert all", "set the column texts",
                             "ZNList_Refresh (rebuild, size, sort)", "header-click sort", "one full repaint",
                             "destroy", "floor: bare list box filled with N rows"})
        run.phases.push_back({name});
    double chars = static_cast<double>(r.chars) / static_cast<double>(n);
    // A row, four text slots' blocks, BSTRs and narrow copies (column slots live in the row's array).
    run.recordBytesPerItem = sizeof(ListRow) + 3 * sizeof(TextField) + 4 * sizeof(TextBlock) + (4 * 6 + 2 * chars) +
                             (chars + 4);
    if (side == Side::Ours)
        RunOurs(r, run);
    else
        RunTheirs(r, run, budget);
    for (auto* v : {&r.name, &r.a, &r.b, &r.c})
        for (BSTR text : *v) SysFreeString(text);
    return run;
}

}  // namespace bench
