// A scan-results browser: findings in a checkable tree, the checked ones in a sortable list.
// It uses the controls as any Win32 dialog application would.
#include <cstdio>
#include <cwchar>

#include "demo.h"
#include "resource.h"

Demo demo;

namespace {

constexpr UINT_PTR kTourTimer = 1;

// The demo's own 16 x 16 icons: severity dots and file-kind badges. Image 0 is never drawn.
HIMAGELIST MakeIconList(const COLORREF* colours, int count, bool round) {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, count, 0);
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < count; ++i) {
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        RECT all = {0, 0, 16, 16};
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(dc, &all, magenta);
        DeleteObject(magenta);
        HBRUSH brush = CreateSolidBrush(colours[i]);
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(60, 60, 60));
        HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
        if (round)
            Ellipse(dc, 2, 2, 14, 14);
        else
            RoundRect(dc, 3, 1, 13, 15, 3, 3);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(brush);
        DeleteObject(pen);
        SelectObject(dc, oldBitmap);
        DeleteDC(dc);
        ImageList_AddMasked(list, bitmap, RGB(255, 0, 255));
        DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, screen);
    return list;
}

BSTR ChoiceText() {
    static const wchar_t text[] = L"1\0Keep\0" L"2\0Quarantine\0" L"3\0Delete\0";
    return SysAllocStringLen(text, sizeof text / sizeof text[0]);
}

void FillTree() {
    BSTR choices = ChoiceText();
    for (const Finding& f : demo.findings) {
        NodeInfo info = {};
        info.id = f.id;
        info.parentId = f.parentId;
        info.checkState = f.locked ? ZN_CHECK_DISABLED : (f.severity == 3 ? ZN_CHECKED : ZN_UNCHECKED);
        info.severity = static_cast<DWORD>(f.severity);
        info.extraIcon = static_cast<DWORD>(f.kind);
        BSTR name = SysAllocString(f.name.c_str());
        BSTR second = nullptr;
        if (f.folder) {
            info.flags = ZN_BOLD_TEXT1 | (f.sorted ? ZN_SORT_CHILDREN : 0);
            if (f.parentId == 0) second = SysAllocString(L"scanned area");
        } else {
            second = SysAllocString(f.locked ? L"in use by the system - cannot be changed" : f.detail.c_str());
            if (!f.locked) {
                info.flags = ZN_CHOICE_TEXT3;
                info.text3 = choices;
            }
        }
        info.text1 = name;
        info.text2 = second;
        Sorted_Insert(demo.tree, &info, f.group);
        SysFreeString(name);
        SysFreeString(second);
    }
    SysFreeString(choices);
    RefreshTree(demo.tree, &demo.selectedIndex, &demo.checkedCount);
}

const Finding* FindingOf(DWORD id) {
    for (const Finding& f : demo.findings)
        if (f.id == id) return &f;
    return nullptr;
}

void ShowStatus() {
    wchar_t text[128];
    std::swprintf(text, 128, L"%ld checked in the tree, %d in the list", demo.checkedCount,
                  ZNList_GetSelectedNodeCount(demo.list));
    SetDlgItemTextW(demo.dialog, IDC_STATUS, text);
}

// The list shows the checked files, sharing their texts with the tree's nodes.
void FillList() {
    ZNList_Clear(demo.list);
    for (const TreeNode* node = GetListHead(demo.tree); node; node = node->next) {
        if (node->descendantCount != 0 || node->checkState != ZN_CHECKED) continue;
        const Finding* f = FindingOf(node->id);
        if (!f || !ZNList_InsertFromTree(demo.list, node)) continue;
        const std::wstring columns[] = {f->path, SeverityName(f->severity), f->found};
        for (DWORD c = 0; c < 3; ++c) {
            BSTR text = SysAllocString(columns[c].c_str());
            ZNList_SetHeaderColumn(demo.list, node->id, c + 1, text);
            SysFreeString(text);
        }
    }
    ZNList_Refresh(demo.list, 2, 1);
    ShowStatus();
}

void SetAllTopLevel(DWORD state) {
    for (const TreeNode* node = GetListHead(demo.tree); node; node = node->next) {
        if (node->level != 0) continue;
        NodeInfo info = {};
        info.id = node->id;
        info.parentId = ZN_CHANGE_CHECK;
        info.checkState = state;
        UpdateTreeEntry(demo.tree, &info, node->groupKey, &demo.checkedCount);
    }
}

const TreeNode* SelectedTreeNode() {
    LRESULT row = SendMessageA(demo.tree, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR) return nullptr;
    return reinterpret_cast<const TreeNode*>(SendMessageA(demo.tree, LB_GETITEMDATA, row, 0));
}

// The dialog can be resized: the tree grows downwards, the list to the right and downwards, and
// the buttons keep to the bottom (Close to the bottom right). Moving or sizing the list box is
// all the list needs; its header follows.
struct Layout {
    SIZE client = {0, 0};  // the client size the template gives, also the smallest one
    SIZE frame = {0, 0};   // the window size that goes with it
    RECT tree = {}, list = {};
} layout;

RECT ChildRect(HWND dialog, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void RememberLayout(HWND dialog) {
    RECT client, window;
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &window);
    layout.client = {client.right, client.bottom};
    layout.frame = {window.right - window.left, window.bottom - window.top};
    layout.tree = ChildRect(dialog, demo.tree);
    layout.list = ChildRect(dialog, demo.list);
}

void OnSize(HWND dialog, int width, int height) {
    if (!layout.client.cx) return;
    const int dx = width - layout.client.cx, dy = height - layout.client.cy;
    const RECT& t = layout.tree;
    const RECT& l = layout.list;
    MoveWindow(demo.tree, t.left, t.top, t.right - t.left, t.bottom - t.top + dy, TRUE);
    MoveWindow(demo.list, l.left, l.top, l.right - l.left + dx, l.bottom - l.top + dy, TRUE);
    static RECT buttons[5], close;
    static bool placed = false;
    const int ids[5] = {IDC_CHECK_ALL, IDC_UNCHECK_ALL, IDC_FIND_WORST, IDC_SHOW_IN_LIST, IDC_STATUS};
    if (!placed) {
        for (int i = 0; i < 5; ++i) buttons[i] = ChildRect(dialog, GetDlgItem(dialog, ids[i]));
        close = ChildRect(dialog, GetDlgItem(dialog, IDCANCEL));
        placed = true;
    }
    for (int i = 0; i < 5; ++i)
        SetWindowPos(GetDlgItem(dialog, ids[i]), nullptr, buttons[i].left, buttons[i].top + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(GetDlgItem(dialog, IDCANCEL), nullptr, close.left + dx, close.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    InvalidateRect(dialog, nullptr, TRUE);
}

void OnInit(HWND dialog) {
    demo.dialog = dialog;
    demo.findings = MakeFindings();
    const COLORREF severity[] = {RGB(255, 255, 255), RGB(90, 170, 250), RGB(250, 190, 40), RGB(230, 50, 40)};
    const COLORREF kinds[] = {RGB(255, 255, 255), RGB(60, 120, 220), RGB(200, 160, 60), RGB(120, 120, 130)};
    demo.severityIcons = MakeIconList(severity, 4, true);
    demo.kindIcons = MakeIconList(kinds, 4, false);

    demo.tree = CreateTree(dialog, IDC_TREE_PLACE, IDC_TREE);
    AttachSeverityIcons(demo.tree, demo.severityIcons);
    AttachAdditionalIcons(demo.tree, demo.kindIcons);
    demo.list = ZNList_Create(dialog, IDC_LIST_PLACE, IDC_LIST);
    ZNList_AttachSeverityIcons(demo.list, demo.severityIcons);
    ZNList_AttachAdditionalIcons(demo.list, demo.kindIcons);
    ZNList_AddHeaderColumn(demo.list, L"Finding", 0);
    ZNList_AddHeaderColumn(demo.list, L"Path", ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE);
    ZNList_AddHeaderColumn(demo.list, L"Risk", ZN_COLUMN_CENTER | ZN_COLUMN_TITLE_CENTER);
    ZNList_AddHeaderColumn(demo.list, L"Found", ZN_COLUMN_SINGLELINE);
    FillTree();
    FillList();
    RememberLayout(dialog);
    if (!demo.scriptFolder.empty()) StartTour(dialog);
}

void OnDestroy() {
    ZNList_Destroy(demo.list);
    DestroyTree(demo.tree);
    ImageList_Destroy(demo.severityIcons);
    ImageList_Destroy(demo.kindIcons);
}

INT_PTR CALLBACK BrowserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog);
        return TRUE;
    // The four messages of the tree's list box go to the tree.
    case WM_MEASUREITEM:
        if (wParam == IDC_TREE) return On_MeasureItem(demo.tree, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return FALSE;
    case WM_DRAWITEM:
        if (wParam == IDC_TREE)
            return On_DrawItem(demo.tree, reinterpret_cast<DRAWITEMSTRUCT*>(lParam), &demo.selectedIndex);
        return FALSE;
    case WM_CHARTOITEM:
        if (reinterpret_cast<HWND>(lParam) == demo.tree)
            return On_WMCharToItem(demo.tree, wParam, lParam, &demo.checkedCount);
        return -1;
    case WM_TIMER:
        if (wParam == kTourTimer) TourStep(dialog);
        return TRUE;
    case WM_SIZE:
        OnSize(dialog, LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_GETMINMAXINFO:
        if (layout.frame.cx) {
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {layout.frame.cx, layout.frame.cy};
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND:
        switch (HIWORD(wParam)) {
        case ZN_TREE_CHECK_STATE_CHANGED:
            FillList();
            return TRUE;
        case ZN_LIST_CHECK_STATE_CHANGED:
            ShowStatus();
            return TRUE;
        default:
            break;
        }
        switch (LOWORD(wParam)) {
        case IDC_TREE:
            On_WMCommand(demo.tree, wParam, lParam, &demo.checkedCount);
            return TRUE;
        case IDC_CHECK_ALL:
            SetAllTopLevel(ZN_CHECKED);
            return TRUE;
        case IDC_UNCHECK_ALL:
            SetAllTopLevel(ZN_UNCHECKED);
            return TRUE;
        case IDC_FIND_WORST:
            for (const Finding& f : demo.findings)
                if (f.severity == 3 && !f.folder) {
                    ZNTree_SelectNode(demo.tree, f.id, f.group);
                    break;
                }
            return TRUE;
        case IDC_SHOW_IN_LIST:
            if (const TreeNode* node = SelectedTreeNode()) ZNList_SelectNode(demo.list, node->id);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

void StartTourTimer(HWND dialog) { SetTimer(dialog, kTourTimer, 400, nullptr); }

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // --tour <folder>: play the scripted tour and save screenshots there.
    if (const wchar_t* tour = std::wcsstr(GetCommandLineW(), L"--tour ")) {
        demo.scriptFolder = tour + 7;
        while (!demo.scriptFolder.empty() && demo.scriptFolder.back() == L' ') demo.scriptFolder.pop_back();
    }
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_BROWSER), nullptr, BrowserProc, 0);
    return 0;
}
