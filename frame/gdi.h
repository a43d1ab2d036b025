// Small guards for paired Win32 calls, so that no early return leaks a DC, a brush or a
// selection. Every GDI object the controls make for one paint goes through these.
#pragma once
#include <windows.h>

namespace zn {

// A device context from GetDC, released on scope exit.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() { if (dc_) ReleaseDC(window_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    operator HDC() const { return dc_; }
    HDC get() const { return dc_; }
private:
    HWND window_;
    HDC dc_;
};

// A memory DC compatible with `reference` (the screen when null), deleted on scope exit.
class MemoryDC {
public:
    explicit MemoryDC(HDC reference = nullptr) : dc_(CreateCompatibleDC(reference)) {}
    ~MemoryDC() { if (dc_) DeleteDC(dc_); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    operator HDC() const { return dc_; }
private:
    HDC dc_;
};

// Selects an object into a DC and selects the previous one back on scope exit.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~Selected() { if (previous_) SelectObject(dc_, previous_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;
private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A device context's whole state (selected objects, colours, modes, clipping), saved and put
// back on scope exit: what a control draws into a DC it is lent stays out of the lender's way.
class SavedDC {
public:
    explicit SavedDC(HDC dc) : dc_(dc), level_(dc ? SaveDC(dc) : 0) {}
    ~SavedDC() { if (level_) RestoreDC(dc_, level_); }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;
private:
    HDC dc_;
    int level_;
};

// A solid brush made for one paint and deleted on scope exit.
class SolidBrush {
public:
    explicit SolidBrush(COLORREF colour) : brush_(CreateSolidBrush(colour)) {}
    ~SolidBrush() { if (brush_) DeleteObject(brush_); }
    SolidBrush(const SolidBrush&) = delete;
    SolidBrush& operator=(const SolidBrush&) = delete;
    operator HBRUSH() const { return brush_; }
private:
    HBRUSH brush_;
};

// Limits drawing in `dc` to the client area of `window`: the region is selected and deleted
// at once (the DC keeps its own copy).
inline void ClipToClient(HDC dc, HWND window) {
    RECT client;
    GetClientRect(window, &client);
    HRGN region = CreateRectRgn(client.left, client.top, client.right, client.bottom);
    if (region) {
        SelectClipRgn(dc, region);
        DeleteObject(region);
    }
}

// Fills a rectangle with a solid colour through a brush made and deleted here.
inline void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    SolidBrush brush(colour);
    if (brush) FillRect(dc, &rect, brush);
}

}  // namespace zn
