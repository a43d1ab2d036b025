// A row's column texts: begin, end and capacity pointers over malloc'ed slots, a layout the
// host can read without knowing our runtime.
#include <cstdlib>

#include "frame/text.h"
#include "list.h"

namespace zn::columns {

size_t Count(const ColumnTextArray& array) {
    return array.begin ? static_cast<size_t>(array.end - array.begin) : 0;
}

bool GrowTo(ColumnTextArray& array, size_t count, const TextField& filler) {
    size_t have = Count(array);
    if (count <= have) return true;
    size_t capacity = array.begin ? static_cast<size_t>(array.capacity - array.begin) : 0;
    if (count > capacity) {
        // Growing by half keeps column-by-column filling linear and wastes little per row.
        size_t wanted = capacity + capacity / 2 > count ? capacity + capacity / 2 : count;
        auto* storage = static_cast<TextField*>(std::realloc(array.begin, wanted * sizeof(TextField)));
        if (!storage) return false;
        array.begin = storage;
        array.end = storage + have;
        array.capacity = storage + wanted;
    }
    for (size_t i = have; i < count; ++i) {
        TextField& slot = array.begin[i];
        slot = TextField{};
        text::Share(filler, slot);
    }
    array.end = array.begin + count;
    return true;
}

void Free(ColumnTextArray& array) {
    for (TextField* slot = array.begin; slot && slot != array.end; ++slot) text::Release(*slot);
    std::free(array.begin);
    array.begin = array.end = array.capacity = nullptr;
    array.spare = 0;
}

}  // namespace zn::columns
