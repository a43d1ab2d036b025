// Widths of the 255 non-NUL byte characters of one font, so that a narrow text's width is a
// sum of table entries instead of a GetTextExtentPoint32A call. The table is only used where
// that sum is exact: a single-byte code page, and a font whose extents add up (no overhang,
// no kerning), which is checked against the real measurement when the table is made.
#pragma once
#include <windows.h>

namespace zn {

class TextWidths {
public:
    // Measures the font currently selected in `dc`; Exact() tells whether the sums hold.
    void Prepare(HDC dc);
    bool Exact() const { return exact_; }
    // Width of the text up to its first NUL; only meaningful when Exact().
    DWORD Width(const char* text) const;

private:
    bool exact_ = false;
    DWORD widths_[256] = {};
};

// Whether a DC's text is converted byte by byte: the ANSI code page and the code page of the
// selected font's character set both have one byte a character.
bool SingleByteText(HDC dc);

}  // namespace zn
