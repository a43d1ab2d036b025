// Finds the first record recorded for an id without walking a chain: open addressing with
// linear probing over record pointers only (the id is read from the record), 8 bytes a slot
// on x64. Later records with a known id are not recorded, so where records are only appended
// the one found is the first in chain order.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdlib>

namespace zn {

template <class Record>
class IdIndex {
public:
    IdIndex() = default;
    ~IdIndex() { Clear(); }
    IdIndex(const IdIndex&) = delete;
    IdIndex& operator=(const IdIndex&) = delete;

    Record* Find(DWORD id) const {
        if (!slots_) return nullptr;
        for (size_t i = Slot(id);; i = (i + 1) & mask_) {
            Record* record = slots_[i];
            if (!record || record->id == id) return record;
        }
    }
    // Records `record` unless its id is known already (then *known is set); false when out of memory.
    bool Add(Record* record, bool* known = nullptr) {
        if (known) *known = false;
        // At most three quarters full, so probes stay short.
        if ((used_ + 1) * 4 > (slots_ ? (mask_ + 1) * 3 : 0) && !Grow()) return false;
        size_t i = Slot(record->id);
        for (; slots_[i]; i = (i + 1) & mask_) {
            if (slots_[i]->id == record->id) {
                if (known) *known = true;
                return true;
            }
        }
        slots_[i] = record;
        ++used_;
        return true;
    }
    void Clear() {  // forgets every record and releases the table
        std::free(slots_);
        slots_ = nullptr;
        mask_ = 0;
        used_ = 0;
        shift_ = 0;
    }
    size_t Size() const { return used_; }
    size_t Bytes() const { return slots_ ? (mask_ + 1) * sizeof(Record*) : 0; }

private:
    // Fibonacci hashing: consecutive ids spread over the whole table.
    size_t Slot(DWORD id) const {
        return static_cast<size_t>((static_cast<unsigned long long>(id) * 0x9E3779B97F4A7C15ull) >> shift_) & mask_;
    }
    bool Grow() {
        size_t capacity = slots_ ? (mask_ + 1) * 2 : 64;
        auto** grown = static_cast<Record**>(std::calloc(capacity, sizeof(Record*)));
        if (!grown) return false;
        Record** old = slots_;
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

    Record** slots_ = nullptr;
    size_t mask_ = 0;
    size_t used_ = 0;
    unsigned shift_ = 0;
};

}  // namespace zn
