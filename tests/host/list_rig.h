// Helpers for driving and reading back list controls: rows, header lookups, the DLL's image
// strip, the list's fonts rebuilt as a host would see them, and window captures.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "host.h"

namespace host {

struct RowSpec {
    DWORD id;
    const wchar_t* text1;
    DWORD checkState = ZN_UNCHECKED;
    WORD flags = 0;
    DWORD severity = 0;
    DWORD extraIcon = 0;
    const wchar_t* text2 = nullptr;
    const wchar_t* text3 = nullptr;
};
ListRow* InsertRow(HWND list, const RowSpec& spec);
// Inserts a row whose text `n` (1..3) is the given choice list.
ListRow* InsertChoiceRow(HWND list, DWORD id, const wchar_t* text1, int n, const Bstr& choices, DWORD checkState);
void SetColumn(HWND list, DWORD id, DWORD column, const wchar_t* text);
ListRow* RowAt(HWND list, int index);
RECT ItemRect(HWND list, int index);
int IndexOf(HWND list, const ListRow* row);

HWND HeaderParentOf(HWND host);
HWND HeaderOf(HWND host);
int ColumnWidth(HWND header, int column);
void SetColumnWidth(HWND header, int column, int width);
HWND EditorOf(HWND list) ;

// The list's 9-point fonts (weight 400 or 700), made as the library makes them.
HFONT ListFont(int weight);

// A 24-bit picture of a window's client area (or of any DC), read pixel by pixel.
class Capture {
public:
    Capture(HWND window);              // the window's client area as the screen shows it
    Capture(int width, int height);    // a white canvas to draw references on
    ~Capture();
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const;
    int width() const { return width_; }
    int height() const { return height_; }
    bool SaveBmp(const std::string& path) const;
private:
    void Make(int width, int height);
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    BYTE* bits_ = nullptr;
    int width_ = 0, height_ = 0;
};

// The DLL's image strip (bitmap 226, 18 x 18 images); cyan marks transparent pixels.
class ImageStrip {
public:
    ImageStrip();
    ~ImageStrip();
    COLORREF At(int image, int x, int y) const;
    static constexpr COLORREF kTransparent = RGB(0, 255, 255);
private:
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ old_;
};

// First mismatch of image `image` drawn at (x, y) of the capture over `background`; empty when equal.
std::string CompareImage(const Capture& shot, const ImageStrip& strip, int image, int x, int y, COLORREF background);
// First mismatch between a region of the capture at (x, y) and the reference at (0, 0).
std::string CompareRegion(const Capture& shot, int x, int y, const Capture& reference, int width, int height);

}  // namespace host
