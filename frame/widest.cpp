#include "widest.h"

#include <cstdlib>

namespace zn {

WidestTally::Slot* WidestTally::Locate(int width) const {
    size_t i = (static_cast<size_t>(static_cast<unsigned>(width)) * 0x9E3779B1u) & mask_;
    while (slots_[i].used && slots_[i].width != width) i = (i + 1) & mask_;
    return &slots_[i];
}

bool WidestTally::Grow() {
    size_t capacity = slots_ ? (mask_ + 1) * 2 : 64;
    auto* grown = static_cast<Slot*>(std::calloc(capacity, sizeof(Slot)));
    if (!grown) return false;
    Slot* old = slots_;
    size_t oldCapacity = slots_ ? mask_ + 1 : 0;
    slots_ = grown;
    mask_ = capacity - 1;
    for (size_t i = 0; i < oldCapacity; ++i)
        if (old[i].used) *Locate(old[i].width) = old[i];
    std::free(old);
    return true;
}

bool WidestTally::Push(int width) {
    if (heapSize_ == heapCapacity_) {
        size_t capacity = heapCapacity_ ? heapCapacity_ * 2 : 64;
        auto* grown = static_cast<int*>(std::realloc(heap_, capacity * sizeof(int)));
        if (!grown) return false;
        heap_ = grown;
        heapCapacity_ = capacity;
    }
    size_t i = heapSize_++;
    for (; i > 0 && heap_[(i - 1) / 2] < width; i = (i - 1) / 2) heap_[i] = heap_[(i - 1) / 2];
    heap_[i] = width;
    return true;
}

void WidestTally::PopTop() {
    int last = heap_[--heapSize_];
    size_t i = 0;
    for (size_t child; (child = 2 * i + 1) < heapSize_; i = child) {
        if (child + 1 < heapSize_ && heap_[child + 1] > heap_[child]) ++child;
        if (heap_[child] <= last) break;
        heap_[i] = heap_[child];
    }
    if (heapSize_) heap_[i] = last;
}

bool WidestTally::Add(int width) {
    // At most three quarters full, so probes stay short; slots are kept until Clear.
    if ((used_ + 1) * 4 > (slots_ ? (mask_ + 1) * 3 : 0) && !Grow()) return false;
    Slot* slot = Locate(width);
    if (!slot->queued) {
        if (!Push(width)) return false;
        slot->queued = true;
    }
    if (!slot->used) {
        slot->used = true;
        slot->width = width;
        ++used_;
    }
    ++slot->count;
    return true;
}

void WidestTally::Remove(int width) {
    if (!slots_) return;
    Slot* slot = Locate(width);
    if (slot->used && slot->count > 0) --slot->count;
}

int WidestTally::Widest() {
    while (heapSize_ > 0) {
        Slot* top = Locate(heap_[0]);
        if (top->count > 0) return heap_[0];
        top->queued = false;
        PopTop();
    }
    return 0;
}

void WidestTally::Clear() {
    std::free(slots_);
    std::free(heap_);
    slots_ = nullptr;
    heap_ = nullptr;
    mask_ = used_ = heapSize_ = heapCapacity_ = 0;
}

}  // namespace zn
