// Small blocks (text blocks, narrow copies of short texts) carved from 64 KB slabs of the
// process heap. A heap block costs 48 bytes here whatever is asked for up to 40, and touching
// fresh memory is the larger part of filling a big tree or list, so each block takes only its
// size class (a multiple of 8). A slab is given back to the heap as soon as its last block is.
#pragma once
#include <cstddef>

namespace zn::pool {

constexpr size_t kLargest = 64;  // larger requests are not taken here

// A zeroed block of `size` bytes (1 to kLargest), aligned to 8; null when out of memory.
void* Take(size_t size);
// Gives back a block from Take. Returns false, and does nothing, for a pointer the pool did not
// hand out (so a caller may hold blocks of either origin).
bool Give(void* block);
#ifndef ZN_SHIPPED
// Slabs currently held and blocks handed out; lets tests prove slabs are given back (not in the
// shipped DLL).
size_t Slabs();
size_t Blocks();
#endif

}  // namespace zn::pool
