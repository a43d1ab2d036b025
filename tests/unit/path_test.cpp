// Path shortening with a fake measure (a dot 1 unit, any other character 4): a path that does
// not fit keeps its first component and as many trailing ones as fit, each form measured once.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "list/path_shortening.h"

using namespace zn;

namespace {

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

// p0\p1\p2\p3\p4 is 56 wide; p0\...\p2\p3\p4 51, p0\...\p3\p4 39, p0\...\p4 27.
const struct { const char16_t* path; int limit; const char16_t* expected; size_t measures; } kCases[] = {
    {u"p0\\p1\\p2\\p3\\p4", 56, nullptr, 1},
    {u"p0\\p1\\p2\\p3\\p4", 55, u"p0\\...\\p2\\p3\\p4", 4},
    {u"p0\\p1\\p2\\p3\\p4", 51, u"p0\\...\\p2\\p3\\p4", 0},
    {u"p0\\p1\\p2\\p3\\p4", 50, u"p0\\...\\p3\\p4", 0},
    {u"p0\\p1\\p2\\p3\\p4", 39, u"p0\\...\\p3\\p4", 0},
    {u"p0\\p1\\p2\\p3\\p4", 38, u"p0\\...\\p4", 0},
    {u"p0\\p1\\p2\\p3\\p4", 27, u"p0\\...\\p4", 0},
    {u"p0\\p1\\p2\\p3\\p4", 3, u"p0\\...\\p4", 0},  // the shortest form even when it does not fit
    {u"no-backslash-at-all", 1, nullptr, 0},
    {u"", 0, nullptr, 0},
    {u"p0\\p1", 19, u"p0\\...\\", 0},       // no trailing component to keep
    {u"\\a\\b\\c", 23, u"\\...\\b\\c", 0},  // empty first component
    {u"a\\b\\\\c", 20, u"a\\...\\c", 0},    // an empty component is not put back
    {u"a\\b\\c\\", 23, u"a\\...\\c\\", 0},  // trailing backslash
    {u"a\\\\\\", 1, u"a\\...\\", 0},
};

TEST(PathShortening, KeepsFirstAndLongestFittingTailWithinItsBuffers) {
    constexpr uint16_t kGuard = 0xBEEF;
    constexpr uint32_t kGuardUnits = 8;
    for (const auto& c : kCases) {
        std::u16string path = c.path, expected = c.expected ? c.expected : c.path;
        SCOPED_TRACE(std::string(path.begin(), path.end()) + " within " + std::to_string(c.limit));
        FakeMeasure measure = {c.limit, {}};
        auto length = static_cast<uint32_t>(path.size());
        uint32_t units = PathBufferLength(length), stride = units + kGuardUnits, resultLength = 0;
        std::vector<uint16_t> store(3 * stride, kGuard);  // each buffer followed by untouched guard units
        PathBuffers buffers = {&store[0], &store[stride], &store[2 * stride]};
        bool changed = ShortenPath(reinterpret_cast<const uint16_t*>(path.data()), length, &Fits, &measure, buffers,
                                   &resultLength);
        for (uint32_t i = 0; i < store.size(); ++i)
            if (i % stride >= units) ASSERT_EQ(store[i], kGuard) << "buffer " << i / stride << " overrun";
        std::u16string text = changed ? std::u16string(reinterpret_cast<const char16_t*>(buffers.result), resultLength) : path;
        EXPECT_EQ(changed, c.expected != nullptr);
        EXPECT_TRUE(text == expected) << "got length " << text.size();
        if (changed && path.find(u"p1") != std::u16string::npos) EXPECT_EQ(text.find(u"p1"), std::u16string::npos);
        std::set<std::u16string> distinct(measure.measured.begin(), measure.measured.end());
        EXPECT_EQ(distinct.size(), measure.measured.size()) << "a form measured twice";
        if (c.measures) EXPECT_EQ(measure.measured.size(), c.measures);
        if (c.measures) EXPECT_TRUE(measure.measured.front() == path) << "the whole path first";
    }
    uint16_t buffer[8] = {};
    PathBuffers buffers = {buffer, buffer, buffer};
    uint32_t n = 99;
    const uint16_t text[] = {'a', '\\', 'b'};
    EXPECT_FALSE(ShortenPath(nullptr, 3, &Fits, nullptr, buffers, &n));
    EXPECT_FALSE(ShortenPath(text, 3, nullptr, nullptr, buffers, &n));
    EXPECT_EQ(n, 99u);
}

}  // namespace
