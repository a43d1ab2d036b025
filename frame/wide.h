// Window-free helpers on 16-bit wide texts: the decimal value at the start of a text and the
// case-insensitive comparison used for sorting. Built on Windows and natively for the fuzzers.
#pragma once
#include <cstdint>

namespace zn {

// Decimal value at the start of text[0..len): leading blanks, optional sign, digits.
// Stops at the first other character or at len; saturates like the runtime on overflow.
template <class C>
int32_t WideToInt(const C* text, uint32_t len) {
    if (!text) return 0;
    uint32_t i = 0;
    while (i < len && (text[i] == ' ' || (text[i] >= 9 && text[i] <= 13))) ++i;
    bool negative = false;
    if (i < len && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < len && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 0x80000000LL) value = 0x80000000LL;
    }
    if (negative) return static_cast<int32_t>(-value);
    return value > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(value);
}

inline uint32_t FoldAscii(uint32_t c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

// Case-insensitive comparison that folds A..Z onto a..z and then compares UTF-16 code units
// as unsigned numbers; each text ends at its first NUL or at its length, whichever is first.
template <class C>
int CompareNoCase(const C* a, uint32_t alen, const C* b, uint32_t blen) {
    for (uint32_t i = 0;; ++i) {
        uint32_t ca = (a && i < alen) ? FoldAscii(static_cast<uint16_t>(a[i])) : 0;
        uint32_t cb = (b && i < blen) ? FoldAscii(static_cast<uint16_t>(b[i])) : 0;
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

}  // namespace zn
