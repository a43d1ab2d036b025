#include "list_rig.h"

#include <cstdio>

namespace host {

ListRow* InsertRow(HWND list, const RowSpec& spec) {
    Bstr t1(spec.text1), t2(spec.text2), t3(spec.text3);
    NodeInfo info = {};
    info.id = spec.id;
    info.checkState = spec.checkState;
    info.flags = spec.flags;
    info.severity = spec.severity;
    info.extraIcon = spec.extraIcon;
    info.text1 = t1;
    info.text2 = t2;
    info.text3 = t3;
    return ZNList_Insert(list, &info);
}

ListRow* InsertChoiceRow(HWND list, DWORD id, const wchar_t* text1, int n, const Bstr& choices, DWORD checkState) {
    Bstr t1(text1);
    NodeInfo info = {};
    info.id = id;
    info.checkState = checkState;
    info.flags = static_cast<WORD>(ZN_CHOICE_TEXT1 << (n - 1));
    BSTR* texts[3] = {&info.text1, &info.text2, &info.text3};
    if (n != 1) info.text1 = t1;
    *texts[n - 1] = choices;
    return ZNList_Insert(list, &info);
}

void SetColumn(HWND list, DWORD id, DWORD column, const wchar_t* text) {
    Bstr b(text);
    ZNList_SetHeaderColumn(list, id, column, b);
}

ListRow* RowAt(HWND list, int index) {
    return reinterpret_cast<ListRow*>(SendMessageA(list, LB_GETITEMDATA, index, 0));
}

RECT ItemRect(HWND list, int index) {
    RECT r = {};
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return r;
}

int IndexOf(HWND list, const ListRow* row) {
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (RowAt(list, i) == row) return i;
    return -1;
}

HWND HeaderParentOf(HWND host) { return GetDlgItem(host, HostWindow::kListId + 2); }
HWND HeaderOf(HWND host) { return GetDlgItem(HeaderParentOf(host), HostWindow::kListId + 1); }
HWND EditorOf(HWND list) { return GetDlgItem(list, ZN_EDITOR_ID); }

int ColumnWidth(HWND header, int column) {
    HDITEMA item = {};
    item.mask = HDI_WIDTH;
    return SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item)) ? item.cxy : -1;
}

void SetColumnWidth(HWND header, int column, int width) {
    HDITEMA item = {};
    item.mask = HDI_WIDTH;
    item.cxy = width;
    SendMessageA(header, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&item));
}

HFONT ListFont(int weight) {
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTA font = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
    font.lfWeight = weight;
    font.lfQuality = PROOF_QUALITY;
    DeleteDC(dc);
    return CreateFontIndirectA(&font);
}

void Capture::Make(int width, int height) {
    width_ = width;
    height_ = height;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<BYTE*>(bits);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
}

Capture::Capture(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    Make(client.right, client.bottom);
    // From the screen, so that child windows (the editor) show as the user sees them.
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr);
    BitBlt(dc_, 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
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

bool Capture::SaveBmp(const std::string& path) const {
    GdiFlush();
    int stride = (width_ * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width_;
    info.biHeight = -height_;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * height_;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(bits_, stride, height_, out);
    return std::fclose(out) == 0;
}

ImageStrip::ImageStrip() {
    bitmap_ = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA("ZnTreeCt.dll"), MAKEINTRESOURCEA(226), IMAGE_BITMAP,
                                              0, 0, LR_CREATEDIBSECTION));
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
}

ImageStrip::~ImageStrip() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

COLORREF ImageStrip::At(int image, int x, int y) const { return GetPixel(dc_, image * 18 + x, y); }

namespace {
std::string Where(int x, int y, COLORREF got, COLORREF want) {
    char text[96];
    std::snprintf(text, sizeof text, "(%d,%d) is %06lx, expected %06lx", x, y, static_cast<unsigned long>(got),
                  static_cast<unsigned long>(want));
    return text;
}
}  // namespace

std::string CompareImage(const Capture& shot, const ImageStrip& strip, int image, int x, int y, COLORREF background) {
    for (int dy = 0; dy < 18; ++dy)
        for (int dx = 0; dx < 18; ++dx) {
            COLORREF want = strip.At(image, dx, dy);
            if (want == ImageStrip::kTransparent) want = background;
            COLORREF got = shot.At(x + dx, y + dy);
            if (got != want) return Where(x + dx, y + dy, got, want);
        }
    return "";
}

std::string CompareRegion(const Capture& shot, int x, int y, const Capture& reference, int width, int height) {
    for (int dy = 0; dy < height; ++dy)
        for (int dx = 0; dx < width; ++dx) {
            COLORREF got = shot.At(x + dx, y + dy), want = reference.At(dx, dy);
            if (got != want) return Where(x + dx, y + dy, got, want);
        }
    return "";
}

}  // namespace host
