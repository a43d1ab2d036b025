// The shortcuts the list takes on large lists, each against a plain version kept here: finding
// the first row with an id, ordering rows for display, and summing character widths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

#include "frame/text.h"
#include "list/list.h"
#include "list/row_index.h"
#include "frame/text_widths.h"

using namespace zn;

namespace {

ListRow* FirstInChain(ListRow* head, DWORD id) {
    for (ListRow* row = head; row; row = row->next)
        if (row->id == id) return row;
    return nullptr;
}

TEST(ListRowIndex, FindsTheFirstRowOfEachIdAsTheChainWalkDoes) {
    std::mt19937 random(7);
    for (int size : {0, 1, 5, 47, 48, 49, 1000, 20000}) {
        std::vector<ListRow> rows(static_cast<size_t>(size));
        RowIndex index;
        DWORD spread = size % 2 ? 7u : 0xFFFFFFFFu;  // many duplicates, or sparse 32-bit ids
        for (size_t i = 0; i < rows.size(); ++i) {
            rows[i] = ListRow{};
            rows[i].id = std::uniform_int_distribution<DWORD>(0, spread)(random);
            if (i) rows[i - 1].next = &rows[i];
            ASSERT_TRUE(index.Add(&rows[i]));
        }
        ListRow* head = rows.empty() ? nullptr : &rows[0];
        for (int probe = 0; probe < 2000 + size; ++probe) {
            DWORD id = probe < size ? rows[probe].id : std::uniform_int_distribution<DWORD>(0, spread)(random);
            ASSERT_EQ(index.Find(id), FirstInChain(head, id)) << "id " << id << " of " << size << " rows";
        }
        index.Clear();
        EXPECT_EQ(index.Find(head ? head->id : 0), nullptr) << "a cleared index knows no row";
    }
}

// RowComparer written out plainly: severities as decimal text, texts folded A-Z only, empty
// texts first, the second key on a tie.
std::wstring Folded(const TextField& f) {
    std::wstring text = text::Wide(f) ? std::wstring(text::Wide(f), text::Length(f)) : std::wstring();
    text = text.substr(0, text.find(L'\0'));
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
    return text;
}
int CompareTexts(const TextField& a, const TextField& b) {
    bool aEmpty = text::IsEmpty(a), bEmpty = text::IsEmpty(b);
    if (aEmpty || bEmpty) return aEmpty == bEmpty ? 0 : aEmpty ? -1 : 1;
    std::wstring x = Folded(a), y = Folded(b);
    return x == y ? 0 : x < y ? -1 : 1;
}
int CompareSeverities(DWORD a, DWORD b) {
    std::wstring x = std::to_wstring(static_cast<LONG>(a)), y = std::to_wstring(static_cast<LONG>(b));
    return x == y ? 0 : x < y ? -1 : 1;
}
bool PlainComesBefore(const ListRow* a, const ListRow* b, int column, int descending) {
    static const TextField none = {};
    auto columnText = [column](const ListRow* row) -> const TextField& {
        return columns::Count(row->columnTexts) >= static_cast<size_t>(column) ? row->columnTexts.begin[column - 1] : none;
    };
    int r = column == 0 ? CompareSeverities(a->severity, b->severity) : CompareTexts(columnText(a), columnText(b));
    if (r == 0) r = column == 0 ? CompareTexts(a->texts[0], b->texts[0]) : CompareSeverities(a->severity, b->severity);
    return descending ? r > 0 : r < 0;
}

TEST(ListRowOrder, SortingGivesTheOrderOfThePlainComparerTiesIncluded) {
    LONG blocks = text::LiveBlocks();
    std::mt19937 random(11);
    // Texts that differ only past their fourth character, end with or hold a NUL early, or carry
    // code units above 0x7FFF, besides plain, empty and case-different ones.
    const std::wstring words[] = {L"",       L"a",        L"A",     L"b",      L"ab",
                                  L"AB",     L"Zeta",     L"zeta",  L"_x",     L"[y",
                                  L"\u00e9t\u00e9", L"10",  L"2",     L"abcd",   L"ABCDe",
                                  L"abcdf",  L"abcdE",    std::wstring(L"\0b", 2), std::wstring(L"ab\0z", 4),
                                  std::wstring(L"abcd\0", 5), L"\uffff",  L"\u8000a", L"a\u7fff"};
    const int kinds = static_cast<int>(sizeof words / sizeof words[0]);
    auto make = [](TextField& slot, const std::wstring& word) {
        BSTR copy = SysAllocStringLen(word.data(), static_cast<UINT>(word.size()));
        text::AssignCopy(slot, copy);
        SysFreeString(copy);
    };
    const DWORD severities[] = {0, 1, 2, 3, 9, 10, 12, 100, 0xFFFFFFFF, 0x80000000, 0x7FFFFFFF, 0xFFFFFFF6};
    // Then the same with a long beginning every text shares but for its case, as paths do.
    const std::wstring beginnings[] = {L"", L"C:\\Users\\Shared\\", L"c:\\USERS\\shared\\"};
    std::vector<ListRow> rows(3000);
    for (int pass = 0; pass < 2; ++pass) {
        for (ListRow& row : rows) {
            for (TextField& slot : row.texts) text::Release(slot);
            columns::Free(row.columnTexts);
            row = ListRow{};
            row.severity = severities[random() % 12];
            auto word = [&] { return (pass ? beginnings[1 + random() % 2] : beginnings[0]) + words[random() % kinds]; };
            for (int n = 0; n < 3; ++n) {
                int pick = static_cast<int>(random() % (kinds + 2));  // the last two: no block, or no text
                if (pick < kinds) make(row.texts[n], word());
                else if (pick == kinds) text::MakeFromWide(row.texts[n], nullptr);
            }
            TextField column = {};
            make(column, word());
            ASSERT_TRUE(columns::GrowTo(row.columnTexts, random() % 4, column));
            text::Release(column);
        }
        for (int column = 0; column <= 4; ++column)
            for (int descending = 0; descending <= 1; ++descending)
                for (size_t count : {size_t{0}, size_t{1}, size_t{17}, rows.size()}) {
                    std::vector<ListRow*> expected, sorted;
                    for (size_t i = 0; i < count; ++i) expected.push_back(&rows[i]);
                    sorted = expected;
                    std::sort(expected.begin(), expected.end(),
                              [=](const ListRow* a, const ListRow* b) { return PlainComesBefore(a, b, column, descending); });
                    SortRows(sorted.data(), sorted.size(), column, descending);
                    ASSERT_EQ(sorted, expected) << "column " << column << ", descending " << descending << ", " << count
                                                << " rows, pass " << pass;
                }
    }
    for (ListRow& row : rows) {
        for (TextField& slot : row.texts) text::Release(slot);
        columns::Free(row.columnTexts);
    }
    EXPECT_EQ(text::LiveBlocks(), blocks);
}

TEST(ListTextWidths, SumsEqualTheMeasuredExtentWheneverTheTableIsUsed) {
    std::mt19937 random(3);
    struct Case { int points, weight; BYTE italic; const char* face; bool listFont; };
    const Case cases[] = {{9, 400, 0, nullptr, true}, {9, 700, 0, nullptr, true}, {12, 400, 1, nullptr, false},
                          {8, 700, 1, "Courier New", false}, {20, 400, 0, "Times New Roman", false}};
    HDC dc = CreateCompatibleDC(nullptr);
    for (const Case& c : cases) {  // the list's fonts, and others a table must match or refuse
        LOGFONTA lf = {};
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
        lf.lfHeight = -MulDiv(c.points, GetDeviceCaps(dc, LOGPIXELSY), 72);
        lf.lfWeight = c.weight;
        lf.lfItalic = c.italic;
        lf.lfQuality = PROOF_QUALITY;
        if (c.face) lstrcpynA(lf.lfFaceName, c.face, LF_FACESIZE);
        HFONT font = CreateFontIndirectA(&lf);
        HGDIOBJ old = SelectObject(dc, font);
        TextWidths table;
        table.Prepare(dc);
        if (c.listFont) EXPECT_TRUE(table.Exact()) << "the list's own fonts are summed on this machine";
        if (table.Exact()) {
            for (int n = 0; n < 3000; ++n) {
                std::string text(random() % 80, ' ');
                for (char& ch : text) ch = static_cast<char>(n % 3 ? 32 + random() % 95 : 1 + random() % 255);
                if (n % 50 == 0) text = std::string(static_cast<size_t>(random() % 400), static_cast<char>('A' + n % 26));
                SIZE size = {};
                GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
                ASSERT_EQ(table.Width(text.c_str()), static_cast<DWORD>(size.cx)) << "\"" << text << "\" in case " << (&c - cases);
            }
        }
        SelectObject(dc, old);
        DeleteObject(font);
    }
    DeleteDC(dc);
}

}  // namespace
