// Path shortening with a fake measure: a path that does not fit keeps its first component
// and as many trailing components as fit, and never shows the component after the first.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "list/path_shortening.h"

using namespace zn;

namespace {

// Widths: a dot is 1 unit, every other character 4, so "..." is narrower than a component.
struct FakeMeasure {
    int limit;
    std::vector<std::u16string> measured;
};

bool Fits(void* context, const uint16_t* text, uint32_t length) {
    auto* m = static_cast<FakeMeasure*>(context);
    m->measured.emplace_back(reinterpret_cast<const char16_t*>(text), length);
    int width = 0;
    for (uint32_t i = 0; i < length; ++i) width += text[i] == '.' ? 1 : 4;
    return width <= m->limit;
}

struct Shortened {
    bool changed;
    std::u16string text;
    std::vector<std::u16string> measured;
};

constexpr uint16_t kGuard = 0xBEEF;
constexpr uint32_t kGuardUnits = 8;

Shortened Shorten(const std::u16string& path, int limit) {
    FakeMeasure measure = {limit, {}};
    auto length = static_cast<uint32_t>(path.size());
    uint32_t units = PathBufferLength(length);
    // Each buffer is followed by guard units that must stay untouched.
    std::vector<uint16_t> store(3 * (units + kGuardUnits), kGuard);
    PathBuffers buffers = {&store[0], &store[units + kGuardUnits], &store[2 * (units + kGuardUnits)]};
    uint32_t resultLength = 0;
    bool changed = ShortenPath(reinterpret_cast<const uint16_t*>(path.data()), length, &Fits, &measure, buffers,
                               &resultLength);
    for (int b = 0; b < 3; ++b)
        for (uint32_t g = 0; g < kGuardUnits; ++g)
            EXPECT_EQ(store[b * (units + kGuardUnits) + units + g], kGuard) << "buffer " << b << " overrun";
    std::u16string text = changed ? std::u16string(reinterpret_cast<const char16_t*>(buffers.result), resultLength)
                                  : path;
    return {changed, text, measure.measured};
}

struct Case {
    const char16_t* path;
    int limit;
    const char16_t* expected;  // null: left unchanged
};

// p0\p1\p2\p3\p4 is 56 wide; p0\...\p2\p3\p4 51, p0\...\p3\p4 39, p0\...\p4 27.
const Case kCases[] = {
    {u"p0\\p1\\p2\\p3\\p4", 56, nullptr},
    {u"p0\\p1\\p2\\p3\\p4", 55, u"p0\\...\\p2\\p3\\p4"},
    {u"p0\\p1\\p2\\p3\\p4", 51, u"p0\\...\\p2\\p3\\p4"},
    {u"p0\\p1\\p2\\p3\\p4", 50, u"p0\\...\\p3\\p4"},
    {u"p0\\p1\\p2\\p3\\p4", 39, u"p0\\...\\p3\\p4"},
    {u"p0\\p1\\p2\\p3\\p4", 38, u"p0\\...\\p4"},
    {u"p0\\p1\\p2\\p3\\p4", 27, u"p0\\...\\p4"},
    {u"p0\\p1\\p2\\p3\\p4", 3, u"p0\\...\\p4"},  // the shortest form even when it does not fit
    {u"no-backslash-at-all", 1, nullptr},
    {u"", 0, nullptr},
    {u"p0\\p1", 19, u"p0\\...\\"},               // no trailing component to keep
    {u"\\a\\b\\c", 23, u"\\...\\b\\c"},          // empty first component
    {u"a\\b\\\\c", 20, u"a\\...\\c"},            // an empty component is not put back
    {u"a\\b\\c\\", 23, u"a\\...\\c\\"},          // trailing backslash
    {u"a\\\\\\", 1, u"a\\...\\"},
};

TEST(PathShortening, KeepsFirstAndLongestFittingTail) {
    for (const Case& c : kCases) {
        Shortened s = Shorten(c.path, c.limit);
        std::u16string expected = c.expected ? c.expected : c.path;
        EXPECT_EQ(s.changed, c.expected != nullptr) << "limit " << c.limit;
        EXPECT_TRUE(s.text == expected) << "limit " << c.limit << ", got length " << s.text.size();
        if (c.expected && std::u16string(c.path).find(u"p1") != std::u16string::npos)
            EXPECT_EQ(s.text.find(u"p1"), std::u16string::npos) << "p1 shown";
    }
}

TEST(PathShortening, MeasuresEveryFormOnce) {
    Shortened s = Shorten(u"p0\\p1\\p2\\p3\\p4", 55);
    std::set<std::u16string> distinct(s.measured.begin(), s.measured.end());
    EXPECT_EQ(distinct.size(), s.measured.size());
    // The whole path, then p0\...\p4, p0\...\p3\p4 and p0\...\p2\p3\p4.
    EXPECT_EQ(s.measured.size(), 4u);
    EXPECT_TRUE(s.measured.front() == u"p0\\p1\\p2\\p3\\p4");
}

TEST(PathShortening, RefusesMissingInputs) {
    uint16_t buffer[8] = {};
    PathBuffers buffers = {buffer, buffer, buffer};
    uint32_t n = 99;
    const uint16_t text[] = {'a', '\\', 'b'};
    EXPECT_FALSE(ShortenPath(nullptr, 3, &Fits, nullptr, buffers, &n));
    EXPECT_FALSE(ShortenPath(text, 3, nullptr, nullptr, buffers, &n));
    EXPECT_EQ(n, 99u);
}

}  // namespace
