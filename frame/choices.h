// Choice lists: NUL-separated fields alternating number and label, ended by a double NUL.
// The parser is window-free so that it also builds natively for fuzzing.
#pragma once
#include <cstdint>

namespace zn {

// One parsed entry; the label is text[offset .. offset + length) of the source text.
struct ChoiceEntry {
    int32_t value;
    uint32_t offset;
    uint32_t length;
};

// Parsed form of a choice list, one malloc'ed block released with FreeChoices.
struct ChoiceTable {
    int16_t count;
    ChoiceEntry entries[1];
};

// Parses text[0..len); never reads at or past len (a text without its final double NUL
// ends there). Returns null for texts that are too short or hold no separator.
ChoiceTable* ParseChoiceText(const uint16_t* text, uint32_t len);
void FreeChoices(ChoiceTable* table);

}  // namespace zn
