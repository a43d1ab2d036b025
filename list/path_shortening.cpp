#include "path_shortening.h"

namespace zn {
namespace {

constexpr uint16_t kBackslash = '\\';
constexpr uint16_t kMark[5] = {'\\', '.', '.', '.', '\\'};

// head + "\...\" + last into `out`; returns its length.
uint32_t Compose(const uint16_t* text, uint32_t head, const uint16_t* last, uint32_t lastLength, uint16_t* out) {
    uint32_t n = 0;
    for (uint32_t i = 0; i < head; ++i) out[n++] = text[i];
    for (uint16_t c : kMark) out[n++] = c;
    for (uint32_t i = 0; i < lastLength; ++i) out[n++] = last[i];
    return n;
}

}  // namespace

bool ShortenPath(const uint16_t* text, uint32_t length, PathFits fits, void* context, const PathBuffers& buffers,
                 uint32_t* resultLength) {
    if (!text || !fits || length == 0) return false;
    uint32_t head = 0;
    while (head < length && text[head] != kBackslash) ++head;
    // A text without a backslash is no path: shortening would leave only "\...\".
    if (head == length) return false;
    if (fits(context, text, length)) return false;

    // rest = text[restStart..length); middle = text[restStart..middleEnd).
    const uint32_t restStart = head + 1;
    uint32_t middleEnd = length;
    // `last` grows towards the front of its buffer: it occupies last[lastStart..capacity).
    const uint32_t capacity = PathBufferLength(length);
    uint32_t lastStart = capacity;
    for (uint32_t i = length; i > restStart + 1; --i) {
        if (text[i - 1] != kBackslash) continue;
        for (uint32_t j = length; j > i; --j) buffers.last[--lastStart] = text[j - 1];
        middleEnd = i;  // middle keeps the backslash
        break;
    }

    uint32_t best = Compose(text, head, buffers.last + lastStart, capacity - lastStart, buffers.result);
    bool lastChanged = true;
    for (;;) {
        // A candidate equal to the one before is not measured again.
        if (lastChanged) {
            uint32_t n = Compose(text, head, buffers.last + lastStart, capacity - lastStart, buffers.candidate);
            if (!fits(context, buffers.candidate, n)) break;
            for (uint32_t i = 0; i < n; ++i) buffers.result[i] = buffers.candidate[i];
            best = n;
        }
        lastChanged = false;
        if (middleEnd - restStart < 2) break;
        uint32_t cut = middleEnd;
        while (cut > restStart && text[cut - 1] != kBackslash) --cut;
        if (cut == restStart) break;
        uint32_t after = cut;  // the part after the backslash at cut - 1
        if (after < middleEnd) {
            buffers.last[--lastStart] = kBackslash;
            for (uint32_t j = middleEnd; j > after; --j) buffers.last[--lastStart] = text[j - 1];
            lastChanged = true;
        }
        middleEnd = cut - 1;
    }
    *resultLength = best;
    return true;
}

}  // namespace zn
