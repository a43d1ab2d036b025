#include "choices.h"

#include <cstddef>
#include <cstdlib>

#include "wide.h"

namespace zn {

ChoiceTable* ParseChoiceText(const uint16_t* text, uint32_t len) {
    if (!text || len < 2) return nullptr;
    auto at = [&](uint32_t i) -> uint16_t { return i < len ? text[i] : 0; };

    // Count the single NULs that separate fields, up to the double NUL (or the end).
    uint32_t separators = 0;
    for (uint32_t i = 0; i < len; ++i) {
        if (text[i] != 0) continue;
        if (at(i + 1) == 0) break;
        ++separators;
    }
    // The count is kept as a 16-bit number; a list too long for it parses to nothing.
    int n = (static_cast<int16_t>(separators) + 1) / 2;
    if (n <= 0) return nullptr;

    size_t bytes = offsetof(ChoiceTable, entries) + sizeof(ChoiceEntry) * static_cast<size_t>(n);
    auto* table = static_cast<ChoiceTable*>(std::malloc(bytes));
    if (!table) return nullptr;

    int written = 0;
    uint32_t field = 0;
    while (written < n && field < len) {
        uint32_t end = field;
        while (at(end) != 0) ++end;
        uint32_t label = end + 1;
        uint32_t labelEnd = label;
        while (at(labelEnd) != 0) ++labelEnd;
        ChoiceEntry& e = table->entries[written++];
        e.value = WideToInt(text + field, end - field);
        e.offset = label < len ? label : len;
        e.length = labelEnd > e.offset ? labelEnd - e.offset : 0;
        field = labelEnd + 1;
        if (at(field) == 0) break;
    }
    table->count = static_cast<int16_t>(written);
    return table;
}

void FreeChoices(ChoiceTable* table) { std::free(table); }

}  // namespace zn
