// The host harness: a host window that owns a tree and a list as an application does (the
// tree's four messages forwarded, every notification recorded), nodes and rows made and read
// back as a host does, user input (cursor and list-box notification, typed keys), and pictures
// read back from the screen and compared with the DLL's image strip or with drawings made here.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ZnTreeCt.h"
#include "models.h"

namespace zt {

using model::TextOf;
using Ids = std::vector<DWORD>;

// A repetition count or data size of the expensive suites, scaled by ZN_SIZE_PERCENT (the 32-bit
// run goes through an emulator and runs them smaller); never below 1.
inline long Scaled(long full) {
    const char* percent = std::getenv("ZN_SIZE_PERCENT");
    const long scaled = percent ? full * std::strtol(percent, nullptr, 10) / 100 : full;
    return scaled > 0 ? scaled : 1;
}

// A BSTR owned by the test; may hold embedded NULs.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : value_(text ? SysAllocString(text) : nullptr) {}
    explicit Bstr(const std::wstring& text) : value_(SysAllocStringLen(text.data(), UINT(text.size()))) {}
    static Bstr Choices(std::initializer_list<const wchar_t*> fields) {  // each field and a NUL, then a NUL
        std::wstring text;
        for (const wchar_t* field : fields) text += field + std::wstring(1, L'\0');
        return Bstr(text + L'\0');
    }
    static Bstr Bytes(const char* bytes, UINT count) {
        Bstr b;
        b.value_ = SysAllocStringByteLen(bytes, count);
        return b;
    }
    Bstr(Bstr&& other) noexcept : value_(other.value_) { other.value_ = nullptr; }
    Bstr& operator=(Bstr&& other) noexcept { return std::swap(value_, other.value_), *this; }
    ~Bstr() { SysFreeString(value_); }
    operator BSTR() const { return value_; }
private:
    BSTR value_ = nullptr;
};

// A node or row as a host plans it; `choices`, when given, fills the text slot of the first
// choice flag. Rows ignore `parent`.
struct Item {
    DWORD id, parent = 0;
    const wchar_t* text1 = L"n";
    DWORD state = ZN_UNCHECKED;
    WORD flags = 0;
    DWORD severity = 0, extra = 0;
    const wchar_t *text2 = nullptr, *text3 = nullptr;
    BSTR choices = nullptr;
};
// Calls `insert` with the record of `item`, its texts made as BSTRs for the call.
template <class Insert> auto WithRecord(const Item& item, Insert insert) {
    Bstr texts[3] = {Bstr(item.text1), Bstr(item.text2), Bstr(item.text3)};
    NodeInfo info = {0, item.id, item.parent, item.state, item.flags, 0, item.extra, item.severity, texts[0], texts[1], texts[2]};
    for (int n = 0; n < 3 && item.choices; ++n)
        if (item.flags & (ZN_CHOICE_TEXT1 << n)) {
            (&info.text1)[n] = item.choices;
            break;
        }
    return insert(info);
}
inline TreeNode* AddNode(HWND tree, const Item& item, DWORD group = 0) {
    return WithRecord(item, [&](NodeInfo& info) { return Sorted_Insert(tree, &info, group); });
}
inline ListRow* AddRow(HWND list, const Item& item) {
    return WithRecord(item, [&](NodeInfo& info) { return info.parentId = 0, ZNList_Insert(list, &info); });
}
// An update record; the one text goes to every slot its mask names.
inline NodeInfo Change(DWORD id, DWORD mask, DWORD state = 0, BSTR text = nullptr) {
    return NodeInfo{0, id, mask, state, 0, 0, 0, 0, text, text, text};
}
inline void SetCell(HWND list, DWORD id, DWORD column, const wchar_t* text) {
    ZNList_SetHeaderColumn(list, id, column, Bstr(text));
}

// Reading back: the list box's items (tree nodes or list rows, both start with reserved, id).
inline int RowCount(HWND control) { return static_cast<int>(SendMessageA(control, LB_GETCOUNT, 0, 0)); }
inline void* RowItem(HWND control, int row) { return reinterpret_cast<void*>(SendMessageA(control, LB_GETITEMDATA, row, 0)); }
inline Ids Rows(HWND control) {
    Ids ids;
    for (int r = 0, n = RowCount(control); r < n; ++r) ids.push_back(static_cast<const DWORD*>(RowItem(control, r))[1]);
    return ids;
}
inline int RowOf(HWND control, const void* item) {  // -1 when it has no row
    return static_cast<int>(SendMessageA(control, LB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(item)));
}
inline RECT ItemRect(HWND control, int row) {
    RECT r = {};
    SendMessageA(control, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    return r;
}
inline TreeNode* Node(HWND tree, DWORD id) {
    TreeNode* node = GetListHead(tree);
    while (node && node->id != id) node = node->next;
    return node;
}
inline std::wstring Cell(const ListRow* row, size_t column) {  // "" past the row's column texts
    return column >= 1 && column <= size_t(row->columnTexts.end - row->columnTexts.begin)
               ? TextOf(row->columnTexts.begin[column - 1]) : L"";
}
// The chain as a host can check it: levels, text counts, and exactly the descendantCount nodes
// after each node are its descendants; "" when sound. (The library's own checker also reads
// the control's private count, which a host cannot reach.)
inline std::string ChainFault(HWND tree) {
    std::vector<const TreeNode*> nodes;
    for (const TreeNode* node = GetListHead(tree); node; node = node->next)
        if (nodes.push_back(node), nodes.size() > 10000000) return "the chain does not end";
    for (size_t i = 0; i < nodes.size(); ++i) {
        const TreeNode* node = nodes[i];
        const std::string at = " at node " + std::to_string(node->id);
        if (node->parent ? node->level != node->parent->level + 1 : node->level != 0) return "bad level" + at;
        if (node->textCount < 0 || node->textCount > 3) return "bad textCount" + at;
        if (node->descendantCount > nodes.size() - i - 1) return "descendantCount runs off the chain" + at;
        for (size_t k = i + 1; k < nodes.size() && k <= i + 1 + node->descendantCount; ++k) {
            const TreeNode* a = nodes[k]->parent;
            while (a && a != node) a = a->parent;
            if ((a == node) != (k <= i + node->descendantCount)) return "descendants out of place" + at;
        }
    }
    return "";
}

struct Notification { WORD id, code; HWND window; };

class Host {
public:
    static constexpr int kTreeId = 200, kListId = 300;
    // `dialog`: the host is a modeless dialog made from a template that holds both placeholders and
    // an OK button in tab order, and its loop runs every message through IsDialogMessage.
    explicit Host(bool dialog = false) : dialog_(dialog) {
        static const bool registered = [] {
            WNDCLASSEXA wc = {sizeof wc, 0, DefWindowProcA, 0, 0, GetModuleHandleA(nullptr)};
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            wc.lpszClassName = "ZnTestHost";
            INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
            return RegisterClassExA(&wc) && InitCommonControlsEx(&icc);
        }();
        (void)registered;
        const std::vector<WORD> layout = DialogTemplate();
        window_ = dialog ? CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<const DLGTEMPLATE*>(layout.data()),
                                                      nullptr, NoDialogProc, 0)
                         : CreateWindowExA(0, "ZnTestHost", "ZnTreeCt test host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40,
                                           900, 700, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        base_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
        font_ = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, PROOF_QUALITY, 0, "Tahoma");
        SetForegroundWindow(window_);
        Pump();
    }
    ~Host() {
        if (list && IsWindow(list)) ZNList_Destroy(list);
        if (tree && IsWindow(tree)) DestroyTree(tree);
        DestroyWindow(window_), DeleteObject(font_), Pump();
    }
    HWND window() const { return window_; }
    HFONT font() const { return font_; }
    HWND AddPlaceholder(int id, int x, int y, int width, int height) {
        return CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, x, y, width, height, window_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    // A control over a new placeholder (client coordinates) or the template's; the tree's messages are forwarded.
    HWND MakeTree(int x = 10, int y = 10, int width = 400, int height = 300) {
        if (!dialog_) AddPlaceholder(kTreeId - 1, x, y, width, height);
        return tree = CreateTree(window_, kTreeId - 1, kTreeId);
    }
    HWND MakeList(int x = 10, int y = 40, int width = 520, int height = 420) {
        if (!dialog_) AddPlaceholder(kListId - 1, x, y, width, height);
        return list = ZNList_Create(window_, kListId - 1, kListId);
    }
    // Bounded, so that a control that keeps repainting itself fails a test instead of hanging it.
    void Pump(int rounds = 50) {
        MSG msg;
        for (int i = 0, n = 1; i < rounds && n > 0; ++i)
            for (n = 0; n < 2000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++n)
                if (!dialog_ || !IsDialogMessageA(window_, &msg)) TranslateMessage(&msg), DispatchMessageA(&msg);
    }
    void Repaint(HWND window) { InvalidateRect(window, nullptr, TRUE), Pump(); }
    // The cursor put at a client point of `control`.
    void Hover(HWND control, int x, int y) {
        POINT p = {x, y};
        ClientToScreen(control, &p), SetCursorPos(p.x, p.y);
    }
    // The user clicks: the cursor at a client point of `control`, then the list box's notification.
    void Click(HWND control, int x, int y, WORD code = LBN_SELCHANGE) {
        Hover(control, x, y);
        SendMessageA(window_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control)), Pump();
    }
    // The user types a character that the list box reports to its parent (for the tree, forwarded).
    LRESULT Key(HWND control, wchar_t key) {
        WPARAM w = MAKEWPARAM(key, SendMessageA(control, LB_GETCARETINDEX, 0, 0));
        LRESULT answer = control == tree ? On_WMCharToItem(tree, w, reinterpret_cast<LPARAM>(tree), &checkedCount)
                                         : SendMessageA(window_, WM_CHARTOITEM, w, reinterpret_cast<LPARAM>(control));
        Pump();
        return answer;
    }
    // A real key pressed and released (VK_LBUTTON: the left button where the cursor is), then the loop.
    void Press(WORD key) {
        INPUT in[2] = {};
        for (int i = 0; i < 2; ++i)
            if ((in[i].type = key == VK_LBUTTON ? INPUT_MOUSE : INPUT_KEYBOARD) == INPUT_MOUSE)
                in[i].mi.dwFlags = i ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
            else
                in[i].ki.wVk = key, in[i].ki.dwFlags = i ? KEYEVENTF_KEYUP : 0;
        SendInput(2, in, sizeof(INPUT)), Pump();
    }
    size_t Posted(WORD code) {  // check-state notifications received so far
        Pump();
        return std::count_if(notifications.begin(), notifications.end(), [code](const Notification& n) { return n.code == code; });
    }
    // The list's header, and a notification as the header sends it to its band.
    HWND Header() const { return GetDlgItem(GetDlgItem(window_, kListId + 2), kListId + 1); }
    void Notify(UINT code, int item, int button = 0, HDITEMA* hd = nullptr) {
        NMHEADERA note = {{Header(), kListId + 1, code}, item, button, hd};
        SendMessageA(GetParent(Header()), WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
    }

    HWND tree = nullptr, list = nullptr;
    LONG checkedCount = 0, selectedIndex = 0;
    std::vector<Notification> notifications;  // the controls' check-state notifications
    std::vector<Notification> commands;       // every WM_COMMAND that reached the host's procedure
    std::vector<UINT> treeMessages;           // the messages forwarded to the tree, in order

private:
    static INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
    static std::vector<WORD> DialogTemplate() {  // 420 x 230 units: tree, list, OK
        std::vector<WORD> w;
        auto dword = [&](DWORD v) { w.push_back(LOWORD(v)), w.push_back(HIWORD(v)); };
        auto item = [&](DWORD style, WORD x, WORD y, WORD cx, WORD cy, WORD id, WORD atom, const wchar_t* text) {
            if (w.size() % 2) w.push_back(0);  // items start on a DWORD boundary
            dword(WS_CHILD | WS_VISIBLE | WS_TABSTOP | style), dword(0);
            for (WORD v : {x, y, cx, cy, id, WORD(0xFFFF), atom}) w.push_back(v);
            do w.push_back(*text); while (*text++);
            w.push_back(0);  // no creation data
        };
        dword(WS_POPUP | WS_VISIBLE | WS_THICKFRAME | DS_SETFONT | DS_3DLOOK), dword(0);
        for (WORD v : L"\3\0\0\x1a4\xe6\0\0\0\x8MS Shell Dlg") w.push_back(v);  // items, place, size, font
        item(WS_GROUP, 5, 5, 200, 200, kTreeId - 1, 0x82, L"");
        item(0, 215, 20, 200, 185, kListId - 1, 0x82, L"");
        item(WS_GROUP, 365, 210, 50, 14, IDOK, 0x80, L"OK");
        return w;
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Host*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        return self && self->window_ == window ? self->Handle(message, wParam, lParam)
                                               : DefWindowProcA(window, message, wParam, lParam);
    }
    // The host's dialog procedure: forwards the tree's four messages, records notifications.
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
        const bool fromTree = tree && IsWindow(tree) && (message == WM_CHARTOITEM ? HWND(lParam) == tree : LOWORD(wParam) == kTreeId);
        if (message == WM_GETFONT) return reinterpret_cast<LRESULT>(font_);
        if (message == WM_COMMAND) {
            const Notification note = {LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)};
            commands.push_back(note);
            if (note.code == ZN_TREE_CHECK_STATE_CHANGED || note.code == ZN_LIST_CHECK_STATE_CHANGED)
                return notifications.push_back(note), 0;
        }
        if (!fromTree || (message != WM_MEASUREITEM && message != WM_DRAWITEM && message != WM_CHARTOITEM && message != WM_COMMAND))
            return CallWindowProcA(base_, window_, message, wParam, lParam);
        treeMessages.push_back(message);
        if (message == WM_MEASUREITEM) return On_MeasureItem(tree, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        if (message == WM_DRAWITEM) return On_DrawItem(tree, reinterpret_cast<DRAWITEMSTRUCT*>(lParam), &selectedIndex);
        if (message == WM_CHARTOITEM) return On_WMCharToItem(tree, wParam, lParam, &checkedCount);
        return On_WMCommand(tree, wParam, lParam, &checkedCount), 0;
    }
    const bool dialog_;
    WNDPROC base_ = nullptr;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
};

inline int ColumnWidth(HWND header, int column) {  // -1 without that column
    HDITEMA item = {HDI_WIDTH};
    return SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item)) ? item.cxy : -1;
}
inline void SetColumnWidth(HWND header, int column, int width) {
    HDITEMA item = {HDI_WIDTH, width};
    SendMessageA(header, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&item));
}

// 16 x 16 solid icons, image i in IconColour(i).
inline COLORREF IconColour(int index) { return RGB(200, 20 * index % 256, 40 + 10 * index); }
inline HIMAGELIST MakeIcons(int count, int size = 16) {
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24, count, 0);
    for (int i = 0; i < count; ++i) {
        const COLORREF c = IconColour(i);
        std::vector<DWORD> pixels(size * size, GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
        HBITMAP bitmap = CreateBitmap(size, size, 1, 32, pixels.data());
        ImageList_Add(list, bitmap, nullptr);
        DeleteObject(bitmap);
    }
    return list;
}

// The controls' 9-point fonts (weights 400 and 700), made here; text widths in them or in `font`.
inline HFONT ControlFont(int weight) {
    static HFONT fonts[2] = {};
    if (fonts[weight == 700]) return fonts[weight == 700];
    LOGFONTA lf = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    HDC dc = GetDC(nullptr);
    lf.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72), lf.lfWeight = weight, lf.lfQuality = PROOF_QUALITY;
    ReleaseDC(nullptr, dc);
    return fonts[weight == 700] = CreateFontIndirectA(&lf);
}
inline int TextWidth(const std::string& text, int weight = 400, HFONT font = nullptr) {
    static HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, font ? font : ControlFont(weight));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// A 24-bit picture: a window's client area as drawn into it so far (what the next screen update
// shows), or a white canvas to draw references on.
class Capture {
public:
    Capture(int w, int h) : width(w), height(h) {
        BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), w, -h, 1, 24}};
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_ = CreateCompatibleDC(nullptr), bitmap_);
        RECT all = {0, 0, w, h};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    explicit Capture(HWND window) : Capture(Client(window).right, Client(window).bottom) {
        HDC source = GetDC(window);
        BitBlt(dc_, 0, 0, width, height, source, 0, 0, SRCCOPY), ReleaseDC(window, source);
    }
    ~Capture() { SelectObject(dc_, old_), DeleteDC(dc_), DeleteObject(bitmap_); }
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const {  // CLR_INVALID outside
        if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
        GdiFlush();
        const BYTE* p = bits_ + static_cast<size_t>(y) * ((width * 3 + 3) & ~3) + x * 3;
        return RGB(p[2], p[1], p[0]);
    }
    void Text(std::string text, RECT r, UINT format, HFONT font = ControlFont(400)) {
        HGDIOBJ old = SelectObject(dc_, font);
        SetTextColor(dc_, GetSysColor(COLOR_WINDOWTEXT));
        DrawTextExA(dc_, &text[0], -1, &r, format, nullptr);
        SelectObject(dc_, old);
    }
    static RECT Client(HWND window) {
        RECT r = {};
        return GetClientRect(window, &r), r;
    }
    const int width, height;
private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    BYTE* bits_ = nullptr;
};

// The first pixel of `shot` at (x, y) that differs over w x h from `want`(dx, dy); "" when none.
template <class Want> std::string FirstDifference(const Capture& shot, int x, int y, int w, int h, Want want) {
    for (int dy = 0; dy < h; ++dy)
        for (int dx = 0; dx < w; ++dx)
            if (shot.At(x + dx, y + dy) != want(dx, dy)) {
                char text[80];
                std::snprintf(text, sizeof text, "(%d,%d) is %06lx, expected %06lx", x + dx, y + dy,
                              (unsigned long)shot.At(x + dx, y + dy), (unsigned long)want(dx, dy));
                return text;
            }
    return "";
}
// Against image `image` of the DLL's strip (bitmap 226: 18 x 18 images, cyan see-through) on
// `ground`, or with CLR_NONE on whatever lies under its see-through pixels.
inline std::string DiffersFromImage(const Capture& shot, int image, int x, int y, COLORREF ground = RGB(255, 255, 255),
                                    int w = 18, int h = 18) {
    static Capture* strip = [] {
        auto* copy = new Capture(360, 18);
        HDC dc = CreateCompatibleDC(nullptr);
        HANDLE bitmap = LoadImageA(GetModuleHandleA("ZnTreeCt.dll"), MAKEINTRESOURCEA(226), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        HGDIOBJ old = SelectObject(dc, bitmap);
        BitBlt(copy->dc(), 0, 0, 360, 18, dc, 0, 0, SRCCOPY);
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
        return copy;
    }();
    return FirstDifference(shot, x, y, w, h, [&](int dx, int dy) {
        COLORREF c = strip->At(image * 18 + dx, dy);
        return c != RGB(0, 255, 255) ? c : ground == CLR_NONE ? shot.At(x + dx, y + dy) : ground;
    });
}
// Against `reference` at (0, 0).
inline std::string DiffersFromRegion(const Capture& shot, int x, int y, const Capture& reference, int w, int h) {
    return FirstDifference(shot, x, y, w, h, [&](int dx, int dy) { return reference.At(dx, dy); });
}

// A text in the ANSI code page, as the controls measure it.
inline std::string Narrow(const std::wstring& wide) {
    char buffer[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}
// Where `window` stands in `in`'s client coordinates.
inline RECT PlaceIn(HWND window, HWND in) {
    RECT r = {};
    GetWindowRect(window, &r), MapWindowPoints(nullptr, in, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace zt
