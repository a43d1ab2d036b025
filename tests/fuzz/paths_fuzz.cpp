// Feeds arbitrary wide texts to the path shortening with a fitting test driven by the input:
// the first two bytes give a width limit, each character a width. The text and the three work
// buffers are allocated at exactly their stated sizes, so any write or read past them trips
// AddressSanitizer; the result is checked against what shortening may produce.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "list/path_shortening.h"

namespace {

struct Measure {
    uint32_t limit;
    uint32_t calls;
};

bool Fits(void* context, const uint16_t* text, uint32_t length) {
    auto* m = static_cast<Measure*>(context);
    ++m->calls;
    uint32_t width = 0;
    for (uint32_t i = 0; i < length; ++i) width += 1 + (text[i] & 7);
    return width <= m->limit;
}

uint16_t* Alloc(uint32_t units) { return static_cast<uint16_t*>(std::malloc(units ? units * 2 : 1)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    Measure measure = {static_cast<uint32_t>(data[0] | data[1] << 8), 0};
    const uint32_t length = static_cast<uint32_t>((size - 2) / 2);
    uint16_t* text = Alloc(length);
    if (length) std::memcpy(text, data + 2, length * 2);
    const uint32_t capacity = zn::PathBufferLength(length);
    zn::PathBuffers buffers = {Alloc(capacity), Alloc(capacity), Alloc(capacity)};
    uint32_t resultLength = 0xFFFFFFFF;
    bool shortened = zn::ShortenPath(text, length, Fits, &measure, buffers, &resultLength);
    if (shortened) {
        if (resultLength > capacity) std::abort();
        // head, then "\...\", then a tail of the text; the head is the text before its first backslash.
        uint32_t head = 0;
        while (head < length && text[head] != '\\') ++head;
        if (head == length || resultLength < head + 5) std::abort();
        if (std::memcmp(buffers.result, text, head * 2) != 0) std::abort();
        static const uint16_t mark[5] = {'\\', '.', '.', '.', '\\'};
        if (std::memcmp(buffers.result + head, mark, sizeof mark) != 0) std::abort();
        // The tail's components are the text's last ones (empty components between doubled
        // backslashes are dropped by the shortening, so compare without them).
        const uint32_t tail = resultLength - head - 5;
        if (tail >= length - head) std::abort();
        uint32_t t = tail, s = length;
        for (;;) {
            while (t > 0 && buffers.result[head + 5 + t - 1] == '\\') --t;
            while (s > head + 1 && text[s - 1] == '\\') --s;
            if (t == 0) break;
            while (t > 0 && buffers.result[head + 5 + t - 1] != '\\') {
                if (s <= head + 1 || text[s - 1] != buffers.result[head + 5 + t - 1]) std::abort();
                --t, --s;
            }
            if (s > head + 1 && text[s - 1] != '\\') std::abort();  // a component cut short
        }
        // Every candidate is measured once: no more measurements than backslashes, plus the whole text.
        uint32_t backslashes = 0;
        for (uint32_t i = 0; i < length; ++i) backslashes += text[i] == '\\';
        if (measure.calls > backslashes + 2) std::abort();
    } else if (resultLength != 0xFFFFFFFF) {
        std::abort();
    }
    std::free(buffers.last);
    std::free(buffers.candidate);
    std::free(buffers.result);
    std::free(text);
    return 0;
}
