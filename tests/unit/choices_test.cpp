// Choice lists parse into the entries they hold, read only within the text's stored length.
// (Texts of every shape are the hostile suite's part, their memory safety the fuzzers'.)
#include <gtest/gtest.h>

#include <string>

#include "frame/choices.h"

using namespace zn;

namespace {

#define T(s) std::wstring(s, sizeof(s) / sizeof(wchar_t) - 1)

// The text is copied to exactly its length, so a read past it lands outside the block.
ChoiceTable* Parse(const std::wstring& text, std::vector<uint16_t>& buffer) {
    buffer.assign(text.begin(), text.end());
    return ParseChoiceText(buffer.data(), static_cast<uint32_t>(buffer.size()));
}

TEST(ChoiceParse, GivesTheEntriesEachTextHolds) {
    const struct {
        const char* name;
        std::wstring text;
        std::vector<std::pair<int, std::wstring>> entries;  // empty: no table
    } cases[] = {
        {"two entries", T(L"1\0Low\0" L"2\0High\0\0"), {{1, L"Low"}, {2, L"High"}}},
        {"trailing number ignored", T(L"1\0A\0" L"2\0\0"), {{1, L"A"}}},
        {"only two NULs", T(L"\0\0"), {}},
        {"one character", T(L"7"), {}},
        {"no separator", T(L"12345"), {}},
        {"only NULs", std::wstring(40, L'\0'), {}},
        {"no final double NUL", T(L"1\0A\0" L"2\0B"), {{1, L"A"}, {2, L"B"}}},
        {"no final NUL at all", T(L"3\0Xyz"), {{3, L"Xyz"}}},
        {"blanks, signs and junk", T(L"  -4x\0Neg\0+9\0Pos\0abc\0Text\0\0"), {{-4, L"Neg"}, {9, L"Pos"}, {0, L"Text"}}},
        {"empty number field", T(L"\0A\0\0"), {{0, L"A"}}},
        {"empty labels", T(L"1\0\0"), {}},
        {"huge number saturates", T(L"99999999999\0Big\0\0"), {{2147483647, L"Big"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint16_t> buffer;
        ChoiceTable* table = Parse(c.text, buffer);
        ASSERT_EQ(table != nullptr, !c.entries.empty());
        if (!table) continue;
        ASSERT_EQ(table->count, static_cast<int16_t>(c.entries.size()));
        for (size_t i = 0; i < c.entries.size(); ++i) {
            const ChoiceEntry& e = table->entries[i];
            EXPECT_EQ(e.value, c.entries[i].first) << "entry " << i;
            ASSERT_LE(e.offset + e.length, buffer.size());
            EXPECT_EQ(std::wstring(buffer.begin() + e.offset, buffer.begin() + e.offset + e.length), c.entries[i].second);
        }
        FreeChoices(table);
    }
}

}  // namespace
