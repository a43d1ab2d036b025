// Feeds arbitrary bytes to the choice-list parser as a wide text of exactly that length, held in
// a buffer of exactly that size, so a read past the stored length trips AddressSanitizer.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "frame/choices.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t length = size / 2;
    auto* text = static_cast<uint16_t*>(std::malloc(length ? length * 2 : 1));
    if (length) std::memcpy(text, data, length * 2);
    zn::ChoiceTable* table = zn::ParseChoiceText(text, static_cast<uint32_t>(length));
    if (table) {
        // Every entry's label lies inside the text.
        for (int i = 0; i < table->count; ++i) {
            const zn::ChoiceEntry& e = table->entries[i];
            if (e.offset > length || e.length > length - e.offset) std::abort();
            for (uint32_t k = 0; k < e.length; ++k)
                if (text[e.offset + k] == 0) std::abort();
        }
        if (table->count <= 0) std::abort();
        zn::FreeChoices(table);
    }
    std::free(text);
    return 0;
}
