// Texts and choice lists: copies keep the stored length, narrow copies follow the ANSI code
// page, and choice lists parse into the entries they hold.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/text.h"

using namespace zn;

namespace {

BSTR Make(const std::wstring& text) { return SysAllocStringLen(text.data(), static_cast<UINT>(text.size())); }
std::wstring WideOf(const TextField& f) {
    const WCHAR* w = text::Wide(f);
    return w ? std::wstring(w, text::Length(f)) : std::wstring();
}
#define T(s) std::wstring(s, sizeof(s) / sizeof(wchar_t) - 1)

class TextTest : public ::testing::Test {
protected:
    void SetUp() override { blocksBefore_ = text::LiveBlocks(); }
    void TearDown() override { EXPECT_EQ(text::LiveBlocks(), blocksBefore_) << "text blocks leaked"; }
    LONG blocksBefore_ = 0;
};

TEST_F(TextTest, CopiesKeepTheStoredLengthAndNarrowStopsAtTheFirstNul) {
    const char odd[] = {'A', 0, 'B', 0, 'C'};
    const struct {
        const char* what;
        BSTR source;
        std::wstring wide;  // as stored
        UINT bytes;
        const char* narrow;  // null: no text at all
        int choices;
    } cases[] = {
        {"embedded NULs", Make(T(L"7\0Seven\0\0")), T(L"7\0Seven\0\0"), 18, "7", 1},
        {"choice list", Make(T(L"1\0Low\0" L"2\0High\0\0")), T(L"1\0Low\0" L"2\0High\0\0"), 28, "1", 2},
        {"odd byte length, never read past", SysAllocStringByteLen(odd, 5), L"AB", 5, "AB", 0},
        {"null: a block without text", nullptr, L"", 0, nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TextField slot = {};
        EXPECT_EQ(text::AssignCopy(slot, c.source), 0u);
        SysFreeString(c.source);
        ASSERT_NE(slot.block, nullptr);
        EXPECT_EQ(WideOf(slot), c.wide);
        EXPECT_EQ(slot.block->wide ? SysStringByteLen(slot.block->wide) : 0u, c.bytes);
        EXPECT_EQ(text::IsEmpty(slot), c.wide.empty());
        if (c.narrow) EXPECT_STREQ(text::Narrow(slot), c.narrow);
        else EXPECT_EQ(text::Narrow(slot), nullptr);
        EXPECT_EQ(text::NarrowLength(slot), c.narrow ? std::strlen(c.narrow) : 0u);
        EXPECT_EQ(text::Narrow(slot), text::Narrow(slot)) << "the narrow copy is made once";
        ChoiceTable* table = text::ParseChoices(slot);
        EXPECT_EQ(table ? table->count : 0, c.choices);
        FreeChoices(table);
        text::Release(slot);
        EXPECT_EQ(slot.block, nullptr);
    }
}

TEST_F(TextTest, NarrowCopiesOfEveryLengthMatchTheCodePageConversion) {
    // In the ANSI code page; short copies come from the pool, long ones from the heap, the
    // longest past the stack buffer.
    for (size_t length : {0u, 7u, 63u, 64u, 127u, 128u, 129u, 300u}) {
        std::wstring wide;
        for (size_t i = 0; i < length; ++i) wide += static_cast<wchar_t>(i % 3 == 0 ? 0x00E9 : L'a' + i % 26);
        TextField slot = {};
        text::MakeFromWide(slot, wide.c_str());
        std::string expected(length * 2 + 1, '\0');
        WideCharToMultiByte(GetACP(), 0, wide.c_str(), static_cast<int>(length), &expected[0],
                            static_cast<int>(expected.size()), nullptr, nullptr);
        EXPECT_STREQ(text::Narrow(slot), expected.c_str()) << length << " characters";
        TextField back = {};  // and back from the narrow copy
        text::MakeFromNarrow(back, text::Narrow(slot));
        EXPECT_TRUE(WideOf(back) == wide) << length << " characters";
        text::Release(back);
        text::Clear(slot);  // drops the narrow copy, whichever way it was made
        EXPECT_STREQ(text::Narrow(slot), "");
        text::Release(slot);
    }
}

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

TEST(ChoiceParseLimits, ManyEntriesAndTooManyForTheCount) {
    std::wstring text;
    for (int i = 0; i < 10000; ++i) text += std::to_wstring(i) + L'\0' + L"e" + std::to_wstring(i) + L'\0';
    std::vector<uint16_t> buffer;
    ChoiceTable* table = Parse(text + L'\0', buffer);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->count, 10000);
    EXPECT_EQ(table->entries[9999].value, 9999);
    FreeChoices(table);
    // 20,000 entries have 39,999 separators: beyond a 16-bit count, so no table at all.
    for (int i = 10000; i < 20000; ++i) text += std::to_wstring(i) + L'\0' + L"e" + L'\0';
    EXPECT_EQ(Parse(text + L'\0', buffer), nullptr);
}

}  // namespace
