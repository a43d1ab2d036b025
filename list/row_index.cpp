#include "row_index.h"

#include <cstdlib>

namespace zn {

RowIndex::~RowIndex() { Clear(); }

// Fibonacci hashing: consecutive ids spread over the whole table.
size_t RowIndex::Slot(DWORD id) const {
    return static_cast<size_t>((static_cast<unsigned long long>(id) * 0x9E3779B97F4A7C15ull) >> shift_) & mask_;
}

ListRow* RowIndex::Find(DWORD id) const {
    if (!slots_) return nullptr;
    for (size_t i = Slot(id);; i = (i + 1) & mask_) {
        ListRow* row = slots_[i];
        if (!row || row->id == id) return row;
    }
}

bool RowIndex::Grow() {
    size_t capacity = slots_ ? (mask_ + 1) * 2 : 64;
    auto** grown = static_cast<ListRow**>(std::calloc(capacity, sizeof(ListRow*)));
    if (!grown) return false;
    ListRow** old = slots_;
    size_t oldCapacity = slots_ ? mask_ + 1 : 0;
    unsigned bits = 0;
    while ((size_t{1} << bits) < capacity) ++bits;
    slots_ = grown;
    mask_ = capacity - 1;
    shift_ = 64 - bits;
    for (size_t i = 0; i < oldCapacity; ++i) {
        if (!old[i]) continue;
        size_t j = Slot(old[i]->id);
        while (slots_[j]) j = (j + 1) & mask_;
        slots_[j] = old[i];
    }
    std::free(old);
    return true;
}

bool RowIndex::Add(ListRow* row) {
    // At most three quarters full, so probes stay short.
    if ((used_ + 1) * 4 > (slots_ ? (mask_ + 1) * 3 : 0) && !Grow()) return false;
    size_t i = Slot(row->id);
    for (; slots_[i]; i = (i + 1) & mask_)
        if (slots_[i]->id == row->id) return true;
    slots_[i] = row;
    ++used_;
    return true;
}

void RowIndex::Clear() {
    std::free(slots_);
    slots_ = nullptr;
    mask_ = 0;
    used_ = 0;
    shift_ = 0;
}

}  // namespace zn
