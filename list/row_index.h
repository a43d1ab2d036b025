// Finds the first row of the chain with a given id without walking the chain. Rows are only
// appended and the chain is emptied as a whole, so the first row added for an id stays the
// first in chain order: later rows with the same id are not recorded.
#pragma once
#include <cstddef>

#include "ZnTreeCt.h"

namespace zn {

class RowIndex {
public:
    RowIndex() = default;
    ~RowIndex();
    RowIndex(const RowIndex&) = delete;
    RowIndex& operator=(const RowIndex&) = delete;

    ListRow* Find(DWORD id) const;
    // Records the row unless its id is already known; false when out of memory.
    bool Add(ListRow* row);
    void Clear();  // forgets every row and releases the table
    size_t Size() const { return used_; }
    size_t Bytes() const { return slots_ ? (mask_ + 1) * sizeof(ListRow*) : 0; }

private:
    size_t Slot(DWORD id) const;
    bool Grow();

    // Open addressing with linear probing; an empty slot is null. Row pointers only, since
    // the id is read from the row: the table costs 8 bytes a slot.
    ListRow** slots_ = nullptr;
    size_t mask_ = 0;
    size_t used_ = 0;
    unsigned shift_ = 0;
};

}  // namespace zn
