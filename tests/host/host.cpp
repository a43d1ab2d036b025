#include "host.h"

#include <cstdlib>
#include <cstring>

namespace host {

long Scaled(long full) {
    const char* percent = std::getenv("ZN_SIZE_PERCENT");
    const long scaled = percent ? full * std::strtol(percent, nullptr, 10) / 100 : full;
    return scaled > 0 ? scaled : 1;
}

Bstr Bstr::Choices(std::initializer_list<const wchar_t*> fields) {
    std::wstring text;
    for (const wchar_t* field : fields) {
        text += field;
        text += L'\0';
    }
    text += L'\0';
    return Bstr(text.data(), static_cast<UINT>(text.size()));
}

std::wstring TextOf(const TextField& field) {
    if (!field.block || !field.block->wide) return L"";
    return std::wstring(field.block->wide, SysStringLen(field.block->wide));
}

namespace {
const char* const kClass = "ZnTestHost";

void RegisterOnce() {
    static bool done = false;
    if (done) return;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    RegisterClassExA(&wc);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    done = true;
}
}  // namespace

HostWindow::HostWindow() {
    RegisterOnce();
    window_ = CreateWindowExA(0, kClass, "ZnTreeCt test host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, kLeft, kTop,
                              900, 700, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
    font_ = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, PROOF_QUALITY, 0, "Tahoma");
    SetForegroundWindow(window_);
    Pump();
}

HostWindow::~HostWindow() {
    if (tree && IsWindow(tree)) DestroyTree(tree);
    DestroyWindow(window_);
    DeleteObject(font_);
    Pump();
}

HWND HostWindow::AddPlaceholder(int id, int x, int y, int width, int height) {
    return CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, x, y, width, height, window_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

HWND HostWindow::MakeTree(int x, int y, int width, int height) {
    AddPlaceholder(kPlaceholderId, x, y, width, height);
    tree = CreateTree(window_, kPlaceholderId, kTreeId);
    return tree;
}

HWND HostWindow::MakeList(int x, int y, int width, int height) {
    AddPlaceholder(kPlaceholderId + 1, x, y, width, height);
    return ZNList_Create(window_, kPlaceholderId + 1, kListId);
}

LRESULT CALLBACK HostWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && self->window_ == window) return self->Handle(message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT HostWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    bool fromTree = tree && IsWindow(tree);
    switch (message) {
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_MEASUREITEM:
        if (fromTree && wParam == static_cast<WPARAM>(kTreeId)) {
            treeMessages.push_back(message);
            On_MeasureItem(tree, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_DRAWITEM:
        if (fromTree && wParam == static_cast<WPARAM>(kTreeId)) {
            treeMessages.push_back(message);
            On_DrawItem(tree, reinterpret_cast<DRAWITEMSTRUCT*>(lParam), &selectedIndex);
            return TRUE;
        }
        break;
    case WM_CHARTOITEM:
        if (fromTree && reinterpret_cast<HWND>(lParam) == tree) {
            treeMessages.push_back(message);
            return On_WMCharToItem(tree, wParam, lParam, &checkedCount);
        }
        break;
    case WM_COMMAND: {
        WORD code = HIWORD(wParam);
        commands.push_back({LOWORD(wParam), code, reinterpret_cast<HWND>(lParam)});
        if (code == ZN_TREE_CHECK_STATE_CHANGED || code == ZN_LIST_CHECK_STATE_CHANGED) {
            notifications.push_back({LOWORD(wParam), code, reinterpret_cast<HWND>(lParam)});
            return 0;
        }
        if (fromTree && LOWORD(wParam) == kTreeId) {
            treeMessages.push_back(message);
            On_WMCommand(tree, wParam, lParam, &checkedCount);
            return 0;
        }
        break;
    }
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void HostWindow::Pump(int rounds) {
    MSG msg;
    for (int i = 0; i < rounds; ++i) {
        bool any = false;
        // Bounded, so that a control that keeps repainting itself fails a test instead of hanging it.
        for (int n = 0; n < 2000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
            any = true;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!any) break;
    }
}

void HostWindow::Repaint(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    Pump();
}

COLORREF HostWindow::Pixel(HWND window, int x, int y) const {
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

POINT HostWindow::ToScreen(HWND window, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(window, &p);
    return p;
}

size_t HostWindow::CountNotifications(WORD code) const {
    size_t n = 0;
    for (const Notification& note : notifications) n += note.code == code;
    return n;
}

NodeInfo Record(DWORD id, DWORD parentOrMask, DWORD state) {
    NodeInfo info = {};
    info.id = id;
    info.parentId = parentOrMask;
    info.checkState = state;
    return info;
}

TreeNode* Insert(HWND tree, const NodePlan& wanted) {
    Bstr t1(wanted.text1), t2(wanted.text2), t3(wanted.text3);
    NodeInfo info = {};
    info.id = wanted.id;
    info.parentId = wanted.parentId;
    info.checkState = wanted.checkState;
    info.flags = wanted.flags;
    info.severity = wanted.severity;
    info.extraIcon = wanted.extraIcon;
    info.text1 = t1;
    info.text2 = t2;
    info.text3 = t3;
    return Sorted_Insert(tree, &info, wanted.groupKey);
}

std::vector<DWORD> ChainIds(HWND tree) {
    std::vector<DWORD> ids;
    for (const TreeNode* node = GetListHead(tree); node; node = node->next) ids.push_back(node->id);
    return ids;
}

std::vector<DWORD> RowIds(HWND listBox) {
    std::vector<DWORD> ids;
    int rows = static_cast<int>(SendMessageA(listBox, LB_GETCOUNT, 0, 0));
    for (int r = 0; r < rows; ++r) {
        auto* node = reinterpret_cast<const TreeNode*>(SendMessageA(listBox, LB_GETITEMDATA, r, 0));
        ids.push_back(node ? node->id : 0);
    }
    return ids;
}

TreeNode* NodeById(HWND tree, DWORD id, DWORD groupKey) {
    for (TreeNode* node = GetListHead(tree); node; node = node->next)
        if (node->id == id && node->groupKey == groupKey) return node;
    return nullptr;
}

std::string ChainFault(HWND tree) {
    std::vector<const TreeNode*> nodes;
    for (const TreeNode* node = GetListHead(tree); node; node = node->next) {
        nodes.push_back(node);
        if (nodes.size() > 10000000) return "chain does not end";
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        const TreeNode* node = nodes[i];
        if (node->parent ? node->level != node->parent->level + 1 : node->level != 0)
            return "bad level at node " + std::to_string(node->id);
        if (node->textCount < 0 || node->textCount > 3) return "bad textCount at " + std::to_string(node->id);
        if (node->descendantCount > nodes.size() - i - 1)
            return "descendantCount runs off the chain at " + std::to_string(node->id);
        for (size_t k = 1; k <= node->descendantCount; ++k) {
            const TreeNode* a = nodes[i + k]->parent;
            while (a && a != node) a = a->parent;
            if (!a) return "node inside the subtree of " + std::to_string(node->id) + " is not its descendant";
        }
        size_t after = i + node->descendantCount + 1;
        if (after < nodes.size())
            for (const TreeNode* a = nodes[after]->parent; a; a = a->parent)
                if (a == node) return "descendant past descendantCount of " + std::to_string(node->id);
    }
    return "";
}

COLORREF IconColour(int index) { return RGB(200, 20 * index % 256, 40 + 10 * index); }

HIMAGELIST MakeIcons(int count, int size) {
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24, count, 0);
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < count; ++i) {
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
        HGDIOBJ old = SelectObject(dc, bitmap);
        HBRUSH brush = CreateSolidBrush(IconColour(i));
        RECT r = {0, 0, size, size};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        SelectObject(dc, old);
        DeleteDC(dc);
        ImageList_Add(list, bitmap, nullptr);
        DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, screen);
    return list;
}

}  // namespace host
