// Zeroed blocks for records that are freed all together (a tree's nodes, a list's rows): taken
// from chunks that double in size, so a record costs no heap header and no allocation call of
// its own, and a small control does not hold a large chunk.
#pragma once
#include <cstddef>
#include <cstdlib>

namespace zn {

class Arena {
public:
    Arena() = default;
    ~Arena() { Release(); }
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;

    // A zeroed block of `size` bytes (rounded up to 16), or null when out of memory.
    void* Take(size_t size) {
        size = (size + 15) & ~size_t{15};
        if (!chunk_ || used_ + size > capacity_) {
            size_t capacity = capacity_ ? capacity_ * 2 : kFirstChunk;
            if (capacity > kLargestChunk) capacity = kLargestChunk;
            if (capacity < size) capacity = size;
            auto* chunk = static_cast<Chunk*>(std::calloc(1, sizeof(Chunk) + capacity));
            if (!chunk) return nullptr;
            chunk->previous = chunk_;
            chunk_ = chunk;
            capacity_ = capacity;
            used_ = 0;
        }
        void* block = reinterpret_cast<char*>(chunk_ + 1) + used_;
        used_ += size;
        return block;
    }
    void Release() {  // frees every block taken
        while (chunk_) {
            Chunk* previous = chunk_->previous;
            std::free(chunk_);
            chunk_ = previous;
        }
        capacity_ = used_ = 0;
    }

private:
    static constexpr size_t kFirstChunk = 4096, kLargestChunk = 1 << 16;
    // Two pointers, so blocks keep the heap's own alignment (16 bytes on x64, 8 on x86).
    struct Chunk {
        Chunk* previous;
        void* spare;
    };
    Chunk* chunk_ = nullptr;
    size_t capacity_ = 0, used_ = 0;
};

}  // namespace zn
