// The widest of a changing set of widths (a width may be in it several times), kept as widths
// come and go: a count per width in an open-addressing table, and a max-heap of the widths
// counted, whose top is dropped lazily once its count has fallen to zero. Running out of memory
// is reported by Add, never thrown.
#pragma once
#include <cstddef>

namespace zn {

class WidestTally {
public:
    WidestTally() = default;
    ~WidestTally() { Clear(); }
    WidestTally(const WidestTally&) = delete;
    WidestTally& operator=(const WidestTally&) = delete;

    bool Add(int width);     // false when out of memory, and nothing changed
    void Remove(int width);  // one of the widths added
    int Widest();            // 0 when empty
    void Clear();            // forgets every width and releases the storage

private:
    struct Slot {
        int width;
        unsigned count;
        bool used, queued;  // queued: the width is in the heap
    };
    Slot* Locate(int width) const;  // the width's slot, or the free slot where it would go
    bool Grow();
    bool Push(int width);
    void PopTop();

    Slot* slots_ = nullptr;
    size_t mask_ = 0, used_ = 0;
    int* heap_ = nullptr;
    size_t heapSize_ = 0, heapCapacity_ = 0;
};

}  // namespace zn
