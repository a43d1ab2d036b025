// Shared texts and choice lists: what nodes and rows rely on when they copy, share and clear.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/small_pool.h"
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

TEST_F(TextTest, NarrowCopyUsesTheAnsiCodePage) {
    TextField slot = {}, back = {};
    text::MakeFromWide(slot, L"Gr\u00fc\u00dfe");
    char expected[16] = {};
    WideCharToMultiByte(GetACP(), 0, L"Gr\u00fc\u00dfe", -1, expected, sizeof expected, nullptr, nullptr);
    EXPECT_STREQ(text::Narrow(slot), expected);
    text::MakeFromNarrow(back, text::Narrow(slot));
    EXPECT_EQ(WideOf(back), L"Gr\u00fc\u00dfe");
    text::Release(slot);
    text::Release(back);
}

TEST_F(TextTest, ClearingASharedTextLeavesTheOtherHolderIntact) {
    TextField node = {}, row = {}, empty = {};
    text::MakeFromWide(node, L"shared");
    text::Narrow(node);
    text::Share(node, row);
    ASSERT_EQ(node.block, row.block);
    EXPECT_EQ(node.block->references, 2);
    text::Clear(row);
    text::Clear(empty);
    EXPECT_NE(row.block, node.block);
    EXPECT_EQ(node.block->references, 1);
    EXPECT_EQ(WideOf(node), L"shared");
    EXPECT_STREQ(text::Narrow(node), "shared");
    for (TextField* cleared : {&row, &empty}) {  // a cleared text is empty, not absent
        ASSERT_NE(cleared->block, nullptr);
        EXPECT_EQ(text::Length(*cleared), 0u);
        ASSERT_NE(text::Wide(*cleared), nullptr);
        EXPECT_STREQ(text::Narrow(*cleared), "");
        text::Release(*cleared);
    }
    text::Release(node);
}

TEST_F(TextTest, NarrowCopiesOfEveryLengthMatchTheCodePageConversion) {
    // Short copies come from the pool, long ones from the heap, the longest past the stack buffer.
    for (size_t length : {0u, 7u, 63u, 64u, 127u, 128u, 129u, 300u}) {
        std::wstring wide;
        for (size_t i = 0; i < length; ++i) wide += static_cast<wchar_t>(i % 3 == 0 ? 0x00E9 : L'a' + i % 26);
        TextField slot = {};
        text::MakeFromWide(slot, wide.c_str());
        std::string expected(length * 2 + 1, '\0');
        WideCharToMultiByte(GetACP(), 0, wide.c_str(), static_cast<int>(length), &expected[0],
                            static_cast<int>(expected.size()), nullptr, nullptr);
        EXPECT_STREQ(text::Narrow(slot), expected.c_str()) << length << " characters";
        text::Clear(slot);  // drops the narrow copy, whichever way it was made
        EXPECT_STREQ(text::Narrow(slot), "");
        text::Release(slot);
    }
}

TEST(SmallPool, BlocksAreZeroedReusedAndEmptySlabsGoBackToTheHeap) {
    const size_t slabsBefore = pool::Slabs(), blocksBefore = pool::Blocks();
    std::vector<void*> taken;
    for (size_t i = 0; i < 20000; ++i) {  // several slabs of every size class
        size_t size = 1 + i % pool::kLargest;
        auto* block = static_cast<unsigned char*>(pool::Take(size));
        ASSERT_NE(block, nullptr);
        ASSERT_EQ(reinterpret_cast<uintptr_t>(block) % 8, 0u);
        for (size_t b = 0; b < size; ++b) ASSERT_EQ(block[b], 0) << "byte " << b << " of a block of " << size;
        std::memset(block, 0xA5, size);
        taken.push_back(block);
    }
    EXPECT_EQ(pool::Take(0), nullptr);
    EXPECT_EQ(pool::Take(pool::kLargest + 1), nullptr);
    EXPECT_GT(pool::Slabs(), slabsBefore + pool::kLargest / 8);
    EXPECT_EQ(pool::Blocks(), blocksBefore + taken.size());

    // A block given back is the next one of its size handed out, zeroed again.
    void* again = taken[pool::kLargest - 1];  // a block of the largest size
    ASSERT_TRUE(pool::Give(again));
    auto* reused = static_cast<unsigned char*>(pool::Take(pool::kLargest));
    EXPECT_EQ(static_cast<void*>(reused), again);
    EXPECT_EQ(reused[0], 0);

    int onStack = 0;
    void* fromHeap = std::malloc(16);
    EXPECT_FALSE(pool::Give(fromHeap)) << "a heap block is not the pool's";
    EXPECT_FALSE(pool::Give(&onStack));
    EXPECT_FALSE(pool::Give(static_cast<char*>(taken[0]) + 1)) << "not the start of a block";
    EXPECT_FALSE(pool::Give(nullptr));
    std::free(fromHeap);

    for (void* block : taken) EXPECT_TRUE(pool::Give(block));
    EXPECT_EQ(pool::Slabs(), slabsBefore) << "slabs whose blocks all came back are freed";
    EXPECT_EQ(pool::Blocks(), blocksBefore);
}

TEST(TextCompare, OrdersEmptyFirstAndIgnoresCase) {
    const struct {
        const wchar_t* a;
        const wchar_t* b;
        int sign;
    } cases[] = {
        {nullptr, L"abc", -1}, {L"", L"abc", -1}, {L"abc", L"", 1}, {L"", nullptr, 0},
        {L"ABC", L"abc", 0},   {L"a", L"B", -1},  {L"Z", L"a", 1},  {L"[", L"a", -1},  // '[' sorts before letters
        {L"abc", L"abcd", -1},
    };
    for (const auto& c : cases) {
        TextField a = {}, b = {};
        if (c.a) text::MakeFromWide(a, c.a);
        if (c.b) text::MakeFromWide(b, c.b);
        int r = text::Compare(a, b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << (c.a ? "a" : "null") << " vs " << (c.b ? "b" : "null");
        text::Release(a);
        text::Release(b);
    }
}

struct ParseCase {
    const char* name;
    std::wstring text;
    std::vector<std::pair<int, std::wstring>> entries;  // empty: no table
};
class ChoiceParse : public ::testing::TestWithParam<ParseCase> {};

// The text is copied to exactly its length, so a read past it lands outside the block.
ChoiceTable* Parse(const std::wstring& text, std::vector<uint16_t>& buffer) {
    buffer.assign(text.begin(), text.end());
    return ParseChoiceText(buffer.data(), static_cast<uint32_t>(buffer.size()));
}

TEST_P(ChoiceParse, GivesTheExpectedEntries) {
    const ParseCase& c = GetParam();
    std::vector<uint16_t> buffer;
    ChoiceTable* table = Parse(c.text, buffer);
    ASSERT_EQ(table != nullptr, !c.entries.empty());
    if (!table) return;
    ASSERT_EQ(table->count, static_cast<int16_t>(c.entries.size()));
    for (size_t i = 0; i < c.entries.size(); ++i) {
        const ChoiceEntry& e = table->entries[i];
        EXPECT_EQ(e.value, c.entries[i].first) << "entry " << i;
        ASSERT_LE(e.offset + e.length, buffer.size());
        EXPECT_EQ(std::wstring(buffer.begin() + e.offset, buffer.begin() + e.offset + e.length), c.entries[i].second);
    }
    FreeChoices(table);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ChoiceParse,
    ::testing::Values(
        ParseCase{"TwoEntries", T(L"1\0Low\0" L"2\0High\0\0"), {{1, L"Low"}, {2, L"High"}}},
        ParseCase{"OneEntry", T(L"5\0Five\0\0"), {{5, L"Five"}}},
        ParseCase{"TrailingNumberIgnored", T(L"1\0A\0" L"2\0\0"), {{1, L"A"}}},
        ParseCase{"OnlyTwoNuls", T(L"\0\0"), {}},
        ParseCase{"OneCharacter", T(L"7"), {}},
        ParseCase{"NoSeparator", T(L"12345"), {}},
        ParseCase{"OnlyNuls", std::wstring(40, L'\0'), {}},
        ParseCase{"NoFinalDoubleNul", T(L"1\0A\0" L"2\0B"), {{1, L"A"}, {2, L"B"}}},
        ParseCase{"NoFinalNulAtAll", T(L"3\0Xyz"), {{3, L"Xyz"}}},
        ParseCase{"BlanksSignsAndJunk", T(L"  -4x\0Neg\0+9\0Pos\0abc\0Text\0\0"),
                  {{-4, L"Neg"}, {9, L"Pos"}, {0, L"Text"}}},
        ParseCase{"EmptyNumberField", T(L"\0A\0\0"), {{0, L"A"}}},
        ParseCase{"EmptyLabels", T(L"1\0\0"), {}},
        ParseCase{"HugeNumberSaturates", T(L"99999999999\0Big\0\0"), {{2147483647, L"Big"}}}),
    [](const ::testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

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
