#include "list_rig.h"

#include <cstdio>

namespace host {

ListRow* InsertRow(HWND list, const RowPlan& s) {
    Bstr t1(s.text1), t2(s.text2), t3(s.text3);
    NodeInfo info = {0, s.id, 0, s.checkState, s.flags, 0, s.extraIcon, s.severity, t1, t2, t3};
    return ZNList_Insert(list, &info);
}

ListRow* InsertChoiceRow(HWND list, DWORD id, int n, const Bstr& choices, DWORD checkState, const wchar_t* text1) {
    Bstr t1(text1);
    NodeInfo info = {0, id, 0, checkState, static_cast<WORD>(ZN_CHOICE_TEXT1 << (n - 1))};
    BSTR* texts[3] = {&info.text1, &info.text2, &info.text3};
    info.text1 = t1;
    *texts[n - 1] = choices;
    return ZNList_Insert(list, &info);
}

void SetColumn(HWND list, DWORD id, DWORD column, const wchar_t* text) { ZNList_SetHeaderColumn(list, id, column, Bstr(text)); }

void SetState(HWND list, DWORD id, DWORD checkState) {
    NodeInfo update = {0, id, ZN_CHANGE_CHECK, checkState};
    ZNList_UpdateItem(list, &update, 0);
}

std::wstring ColumnText(const ListRow* row, size_t column) {
    size_t count = row->columnTexts.begin ? row->columnTexts.end - row->columnTexts.begin : 0;
    return column >= 1 && column <= count ? TextOf(row->columnTexts.begin[column - 1]) : L"<none>";
}

std::vector<DWORD> ShownIds(HWND list) {
    std::vector<DWORD> ids;
    for (LRESULT i = 0, n = SendMessageA(list, LB_GETCOUNT, 0, 0); i < n; ++i) ids.push_back(ShownRow(list, i)->id);
    return ids;
}

int IndexOf(HWND list, const ListRow* row) { return (int)SendMessageA(list, LB_FINDSTRING, -1, (LPARAM)row); }

RECT ItemRect(HWND list, int index) {
    RECT r = {};
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return r;
}

int ColumnWidth(HWND header, int column) {
    HDITEMA item = {HDI_WIDTH};
    return SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item)) ? item.cxy : -1;
}

void SetColumnWidth(HWND header, int column, int width) {
    HDITEMA item = {HDI_WIDTH, width};
    SendMessageA(header, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&item));
}

void Notify(HWND header, UINT code, int item, int button, HDITEMA* hd) {
    NMHEADERA note = {{header, HostWindow::kListId + 1, code}, item, button, hd};
    SendMessageA(GetParent(header), WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
}

HFONT ListFont(int weight) {
    static HFONT fonts[2] = {};
    HFONT& font = fonts[weight == 700];
    if (font) return font;
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTA lf = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
    lf.lfWeight = weight;
    lf.lfQuality = PROOF_QUALITY;
    DeleteDC(dc);
    return font = CreateFontIndirectA(&lf);
}

int TextWidth(const std::string& text, int weight) {
    static HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, ListFont(weight));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

void Capture::Make(int width, int height) {
    width_ = width;
    height_ = height;
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 24}};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<BYTE*>(bits);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
}

Capture::Capture(HWND window, bool screen) {
    RECT client;
    GetClientRect(window, &client);
    Make(client.right, client.bottom);
    POINT origin = screen ? HostWindow::ToScreen(window, 0, 0) : POINT{0, 0};
    HWND from = screen ? nullptr : window;
    HDC source = GetDC(from);
    BitBlt(dc_, 0, 0, width_, height_, source, origin.x, origin.y, SRCCOPY);
    ReleaseDC(from, source);
}

Capture::Capture(int width, int height) {
    Make(width, height);
    RECT all = {0, 0, width, height};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

Capture::~Capture() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

COLORREF Capture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    GdiFlush();
    const BYTE* p = bits_ + static_cast<size_t>(y) * ((width_ * 3 + 3) & ~3) + x * 3;
    return RGB(p[2], p[1], p[0]);
}

void Capture::Text(const std::string& text, RECT r, UINT format, HFONT font) {
    HGDIOBJ old = SelectObject(dc_, font);
    SetTextColor(dc_, GetSysColor(COLOR_WINDOWTEXT));
    std::string copy = text;
    DrawTextExA(dc_, &copy[0], -1, &r, format, nullptr);
    SelectObject(dc_, old);
}

bool Capture::SaveBmp(const std::string& path) const {
    GdiFlush();
    DWORD stride = (width_ * 3 + 3) & ~3, offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPFILEHEADER file = {0x4D42, offset + stride * height_, 0, 0, offset};
    BITMAPINFOHEADER info = {sizeof info, width_, -height_, 1, 24};
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(bits_, stride, height_, out);
    return std::fclose(out) == 0;
}

ImageStrip::ImageStrip()
    : bitmap(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA("ZnTreeCt.dll"), MAKEINTRESOURCEA(226), IMAGE_BITMAP, 0,
                                             0, LR_CREATEDIBSECTION))),
      dc(CreateCompatibleDC(nullptr)), old(SelectObject(dc, bitmap)) {}

ImageStrip::~ImageStrip() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

template <typename Want>
std::string Compare(const Capture& shot, int x, int y, int width, int height, Want want) {
    for (int dy = 0; dy < height; ++dy)
        for (int dx = 0; dx < width; ++dx)
            if (shot.At(x + dx, y + dy) != want(dx, dy)) {
                char text[80];
                std::snprintf(text, sizeof text, "(%d,%d) is %06lx, expected %06lx", x + dx, y + dy,
                              (unsigned long)shot.At(x + dx, y + dy), (unsigned long)want(dx, dy));
                return text;
            }
    return "";
}

std::string CompareImage(const Capture& shot, const ImageStrip& strip, int image, int x, int y, COLORREF background) {
    return Compare(shot, x, y, 18, 18, [&](int dx, int dy) {
        COLORREF c = GetPixel(strip.dc, image * 18 + dx, dy);
        return c == RGB(0, 255, 255) ? background : c;
    });
}

std::string CompareRegion(const Capture& shot, int x, int y, const Capture& reference, int width, int height) {
    return Compare(shot, x, y, width, height, [&](int dx, int dy) { return reference.At(dx, dy); });
}

}  // namespace host
