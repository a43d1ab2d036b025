// The host-list workload: the list as a host dialog uses it after each click in its tree. A
// shown dialog holds the list over a placeholder, with four columns, one of them a multi-line
// path column, and two-line rows. The host fills it (rows and column texts), refreshes it,
// refreshes it again while it is filled, clears it and fills and refreshes it anew, returning to
// its message loop (untimed) after each call. The common control beside it: SysListView32 in
// the same dialog, sorted and sized to its contents where ZnTreeCt refreshes.
#include <cstring>
#include <cwchar>

#include "ZnTreeCt.h"
#include "bench.h"

namespace bench {
namespace {

enum { kFill, kRefreshFresh, kRefreshFilled, kClear, kRefill, kRefreshAgain, kPhases };

struct Texts {
    std::vector<BSTR> name, detail, path, size, date;
    ~Texts() {
        for (auto* v : {&name, &detail, &path, &size, &date})
            for (BSTR t : *v) SysFreeString(t);
    }
};

void MakeTexts(int n, Texts& t) {
    std::vector<std::wstring> names = RandomTexts(n, 21u);
    for (int i = 0; i < n; ++i) {
        wchar_t buffer[160];
        t.name.push_back(SysAllocString(names[i].c_str()));
        std::swprintf(buffer, 160, L"found by rule %d", i % 97);
        t.detail.push_back(SysAllocString(buffer));
        std::swprintf(buffer, 160, L"C:\\Users\\someone\\Documents\\Projects %03d\\sources and notes\\part %d\\%ls.txt",
                      i % 251, i % 13, names[i].c_str());
        t.path.push_back(SysAllocString(buffer));
        std::swprintf(buffer, 160, L"%d KB", (i * 7919) % 100000);
        t.size.push_back(SysAllocString(buffer));
        std::swprintf(buffer, 160, L"2024-%02d-%02d", 1 + i % 12, 1 + i % 28);
        t.date.push_back(SysAllocString(buffer));
    }
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A shown dialog with one static placeholder (id 100) where the list goes.
HWND NewDialog() {
    alignas(4) static WORD buffer[128];
    std::memset(buffer, 0, sizeof buffer);
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(buffer);
    dialog->style = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_NOIDLEMSG;
    dialog->cdit = 1;
    dialog->cx = 500;
    dialog->cy = 360;
    WORD* p = reinterpret_cast<WORD*>(dialog + 1);
    *p++ = 0;  // no menu
    *p++ = 0;  // the dialog class
    for (const wchar_t* c = L"Scan results"; (*p++ = *c) != 0; ++c) {
    }
    p = reinterpret_cast<WORD*>((reinterpret_cast<ULONG_PTR>(p) + 3) & ~static_cast<ULONG_PTR>(3));
    auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(p);
    item->style = WS_CHILD | WS_VISIBLE;
    item->x = 5;
    item->y = 20;
    item->cx = 490;
    item->cy = 330;
    item->id = 100;
    p = reinterpret_cast<WORD*>(item + 1);
    *p++ = 0xFFFF;
    *p++ = 0x0082;  // static
    *p++ = 0;       // no text
    *p++ = 0;       // no creation data
    HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog, nullptr, NoDialogProc, 0);
    Pump();
    return window;
}

void FillOurs(HWND list, const Texts& t) {
    for (size_t i = 0; i < t.name.size(); ++i) {
        NodeInfo info = {};
        info.id = static_cast<DWORD>(i + 1);
        info.checkState = ZN_UNCHECKED;
        info.severity = static_cast<DWORD>(i % 4);
        info.text1 = t.name[i];
        info.text2 = t.detail[i];
        ZNList_Insert(list, &info);
        ZNList_SetHeaderColumn(list, info.id, 1, t.path[i]);
        ZNList_SetHeaderColumn(list, info.id, 2, t.size[i]);
        ZNList_SetHeaderColumn(list, info.id, 3, t.date[i]);
    }
}

template <class Body>
double Timed(Body body) {
    double t = Seconds();
    body();
    double spent = Seconds() - t;
    Pump();
    return spent;
}

void RunOurs(const Texts& t, Run& run) {
    HWND dialog = NewDialog();
    HWND list = ZNList_Create(dialog, 100, 300);
    ZNList_AddHeaderColumn(list, L"Name", 0);
    ZNList_AddHeaderColumn(list, L"Path", ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE);
    ZNList_AddHeaderColumn(list, L"Size", 0);
    ZNList_AddHeaderColumn(list, L"Date", 0);
    Pump();
    run.phases[kFill].ours = Timed([&] { FillOurs(list, t); });
    run.phases[kRefreshFresh].ours = Timed([&] { ZNList_Refresh(list, 1, 0); });
    run.phases[kRefreshFilled].ours = Timed([&] { ZNList_Refresh(list, 1, 0); });
    run.phases[kClear].ours = Timed([&] { ZNList_Clear(list); });
    run.phases[kRefill].ours = Timed([&] { FillOurs(list, t); });
    run.phases[kRefreshAgain].ours = Timed([&] { ZNList_Refresh(list, 1, 0); });
    ZNList_Destroy(list);
    DestroyWindow(dialog);
    Pump();
}

const Texts* sortTexts = nullptr;

int CALLBACK ComparePaths(LPARAM a, LPARAM b, LPARAM) {
    return _wcsicmp(sortTexts->path[static_cast<size_t>(a)], sortTexts->path[static_cast<size_t>(b)]);
}

void FillTheirs(HWND view, const Texts& t) {
    SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    for (size_t i = 0; i < t.name.size(); ++i) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        item.pszText = t.name[i];
        item.lParam = static_cast<LPARAM>(i);
        SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        BSTR columns[] = {t.path[i], t.size[i], t.date[i]};
        for (int c = 0; c < 3; ++c) {
            LVITEMW sub = {};
            sub.iSubItem = c + 1;
            sub.pszText = columns[c];
            SendMessageW(view, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&sub));
        }
    }
    SendMessageW(view, WM_SETREDRAW, TRUE, 0);
}

void SortAndSize(HWND view) {
    SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    SendMessageW(view, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&ComparePaths));
    for (int c = 0; c < 4; ++c) SendMessageW(view, LVM_SETCOLUMNWIDTH, c, LVSCW_AUTOSIZE);
    SendMessageW(view, WM_SETREDRAW, TRUE, 0);
}

void RunTheirs(const Texts& t, Run& run) {
    HWND dialog = NewDialog();
    RECT place;
    GetWindowRect(GetDlgItem(dialog, 100), &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    HWND view = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS,
                                place.left, place.top, place.right - place.left, place.bottom - place.top, dialog,
                                nullptr, nullptr, nullptr);
    SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    const wchar_t* titles[] = {L"Name", L"Path", L"Size", L"Date"};
    for (int c = 0; c < 4; ++c) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 100;
        column.pszText = const_cast<wchar_t*>(titles[c]);
        SendMessageW(view, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    sortTexts = &t;
    Pump();
    run.phases[kFill].theirs = Timed([&] { FillTheirs(view, t); });
    run.phases[kRefreshFresh].theirs = Timed([&] { SortAndSize(view); });
    run.phases[kRefreshFilled].theirs = Timed([&] { SortAndSize(view); });
    run.phases[kClear].theirs = Timed([&] { SendMessageW(view, LVM_DELETEALLITEMS, 0, 0); });
    run.phases[kRefill].theirs = Timed([&] { FillTheirs(view, t); });
    run.phases[kRefreshAgain].theirs = Timed([&] { SortAndSize(view); });
    DestroyWindow(dialog);
    Pump();
}

}  // namespace

Run HostListWorkload(int n, Side side, double) {
    Texts t;
    MakeTexts(n, t);
    Run run;
    run.workload = "hostlist";
    run.n = n;
    for (const char* name : {"fill (rows and column texts)", "ZNList_Refresh of the fresh list",
                             "ZNList_Refresh of the filled list", "ZNList_Clear", "fill again",
                             "ZNList_Refresh after the refill"})
        run.phases.push_back({name});
    if (side == Side::Ours)
        RunOurs(t, run);
    else
        RunTheirs(t, run);
    return run;
}

}  // namespace bench
