// One rig for the list tests: a host with a list, rows made and read back as a host does,
// header look-ups, the list's fonts, window captures and the DLL's image strip.
#pragma once
#include <string>
#include <vector>

#include "host.h"

namespace host {

struct RowPlan {
    DWORD id;
    const wchar_t* text1;
    DWORD checkState = ZN_UNCHECKED;
    WORD flags = 0;
    DWORD severity = 0, extraIcon = 0;
    const wchar_t *text2 = nullptr, *text3 = nullptr;
};
ListRow* InsertRow(HWND list, const RowPlan& wanted);
ListRow* InsertChoiceRow(HWND list, DWORD id, int n, const Bstr& choices, DWORD checkState = ZN_UNCHECKED,
                         const wchar_t* text1 = L"row");
void SetColumn(HWND list, DWORD id, DWORD column, const wchar_t* text);
void SetState(HWND list, DWORD id, DWORD checkState);  // by update: the only way to a partly checked row
std::wstring ColumnText(const ListRow* row, size_t column);
inline const ListRow* ShownRow(HWND list, LRESULT i) { return (const ListRow*)SendMessageA(list, LB_GETITEMDATA, i, 0); }
inline DWORD SelectedId(HWND list) { return ShownRow(list, SendMessageA(list, LB_GETCURSEL, 0, 0))->id; }
std::vector<DWORD> ShownIds(HWND list);
int IndexOf(HWND list, const ListRow* row);
RECT ItemRect(HWND list, int index);
inline HWND HeaderParentOf(HWND host) { return GetDlgItem(host, HostWindow::kListId + 2); }
inline HWND HeaderOf(HWND host) { return GetDlgItem(HeaderParentOf(host), HostWindow::kListId + 1); }
int ColumnWidth(HWND header, int column);
void SetColumnWidth(HWND header, int column, int width);
void Notify(HWND header, UINT code, int item, int button = 0, HDITEMA* hd = nullptr);  // as the header tells its parent

struct ListHost {
    HostWindow host;
    HWND list = host.MakeList(10, 40, 520, 420);
    ~ListHost() { ZNList_Destroy(list); }
    HWND header() const { return HeaderOf(host.window()); }
    HWND editor() const { return GetDlgItem(list, ZN_EDITOR_ID); }
    void Show(int column = 0, int descending = 0) {
        ZNList_Refresh(list, column, descending);
        host.Repaint(list);
        host.notifications.clear();
        host.commands.clear();
    }
};

HFONT ListFont(int weight);  // the list's 9-point fonts (400 or 700), shared, never freed
int TextWidth(const std::string& text, int weight = 400);

// A 24-bit picture of a window's client area as the screen shows it (with child windows), or as
// drawn so far into the window's own DC, or a white canvas.
class Capture {
public:
    explicit Capture(HWND window, bool screen = true);
    Capture(int width, int height);
    ~Capture();
    Capture(const Capture&) = delete;
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const;
    void Text(const std::string& text, RECT r, UINT format, HFONT font = ListFont(400));
    bool SaveBmp(const std::string& path) const;
    int width_ = 0, height_ = 0;
private:
    void Make(int width, int height);
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    BYTE* bits_ = nullptr;
};

// The DLL's image strip (bitmap 226, 18 x 18 images); cyan marks transparent pixels.
struct ImageStrip {
    ImageStrip();
    ~ImageStrip();
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ old;
};
// First mismatch against image `image` drawn at (x, y) over `background`, or of a region against
// a reference at (0, 0); empty when equal.
std::string CompareImage(const Capture& shot, const ImageStrip& strip, int image, int x, int y,
                         COLORREF background = RGB(255, 255, 255));
std::string CompareRegion(const Capture& shot, int x, int y, const Capture& reference, int width, int height);

}  // namespace host
