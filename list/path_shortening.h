// Shortening of a backslash-separated path by dropping components from its middle, so that
// it fits a cell. Window-free: the "does it fit" test is passed in, so this also builds
// natively for fuzzing.
#pragma once
#include <cstdint>

namespace zn {

// Whether text[0..length) fits; `context` is the caller's.
using PathFits = bool (*)(void* context, const uint16_t* text, uint32_t length);

// Work space for ShortenPath: three buffers of PathBufferLength(length) units each.
struct PathBuffers {
    uint16_t* last;       // the trailing components kept, built from its end
    uint16_t* candidate;  // the form being measured
    uint16_t* result;     // the longest form that fitted so far
};
inline uint32_t PathBufferLength(uint32_t length) { return length + 4; }

// Keeps the first component and as many trailing components as fit, with "\...\" between
// them; the component after the first is never kept. When the whole text fits, or it holds
// no backslash, nothing is changed and the result is false. Otherwise buffers.result holds
// the shortened text (the shortest form even when that does not fit either), its length in
// *resultLength, and the result is true.
bool ShortenPath(const uint16_t* text, uint32_t length, PathFits fits, void* context, const PathBuffers& buffers,
                 uint32_t* resultLength);

}  // namespace zn
