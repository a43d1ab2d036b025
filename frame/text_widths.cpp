#include "text_widths.h"

namespace zn {
namespace {

bool SingleByteCodePage(UINT codePage) {
    CPINFO info = {};
    return GetCPInfo(codePage, &info) && info.MaxCharSize == 1;
}

LONG Extent(HDC dc, const char* text, int length) {
    SIZE size = {0, 0};
    if (!GetTextExtentPoint32A(dc, text, length, &size)) return -1;
    return size.cx;
}

}  // namespace

bool SingleByteText(HDC dc) {
    if (!SingleByteCodePage(GetACP())) return false;
    CHARSETINFO info = {};
    UINT_PTR charset = static_cast<UINT_PTR>(GetTextCharset(dc));
    if (!TranslateCharsetInfo(reinterpret_cast<DWORD*>(charset), &info, TCI_SRCCHARSET)) return false;
    return SingleByteCodePage(info.ciACP);
}

void TextWidths::Prepare(HDC dc) {
    exact_ = false;
    if (!dc || !SingleByteText(dc)) return;
    char all[256];
    DWORD sum = 0;
    for (int c = 1; c < 256; ++c) {
        char one = static_cast<char>(c);
        LONG width = Extent(dc, &one, 1);
        if (width < 0) return;
        widths_[c] = static_cast<DWORD>(width);
        sum += widths_[c];
        all[c - 1] = one;
    }
    widths_[0] = 0;
    // An overhang would be counted once per character, a kerning pair would change a pair's
    // width: either makes these sums differ from the real extents, and the table unused.
    if (Extent(dc, all, 255) != static_cast<LONG>(sum)) return;
    static const char* const kPairs[] = {"AV", "AW", "AY", "Av", "LT", "LV", "LY", "PA", "TA", "Ta", "Te", "To",
                                         "VA", "Va", "WA", "Wa", "Yo", "ff", "fi", "fl", "r.", "y."};
    for (const char* pair : kPairs) {
        DWORD expected = widths_[static_cast<unsigned char>(pair[0])] + widths_[static_cast<unsigned char>(pair[1])];
        if (Extent(dc, pair, 2) != static_cast<LONG>(expected)) return;
    }
    exact_ = true;
}

DWORD TextWidths::Width(const char* text) const {
    DWORD width = 0;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) width += widths_[*c];
    return width;
}

}  // namespace zn
