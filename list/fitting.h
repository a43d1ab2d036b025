// Fitting the texts of multi-line and path cells to their rectangles.
#pragma once
#include <windows.h>

#include "ZnTreeCt.h"

namespace zn {

// Lowers the rectangle's bottom so that its height is a whole number of text lines.
void FitRectToLines(HDC dc, RECT& rect, const TextField& text);
// Replaces `text` (a reference of the caller's own) by a shortened path when the whole path
// does not fit the rectangle's height drawn with `flags`; 1 when replaced, 0 when kept.
int CompactPathText(HDC dc, const RECT& rect, TextField& text, UINT flags);

}  // namespace zn
