// The shortcuts the controls take on large data, each against the plain reference: finding
// parents and placing sorted children in the tree (the tree's own chain checker agreeing),
// finding a list's first row with an id, ordering rows for display. (Summed character widths
// meet real measurement in the extent and sizing tests.)
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "frame/text.h"
#include "list/list.h"
#include "list/row_index.h"
#include "models.h"
#include "tree/tree.h"

using namespace zn;

namespace {

// Random trees with duplicate ids, several group keys, and empty or equal texts.
TEST(TreeIndex, LookupsAndPlacesMatchThePlainWalk) {
    std::mt19937 random(2026);
    const wchar_t* words[] = {L"", L"a", L"A", L"b", L"B", L"ab", L"Ab", L"abc", L"z", L"[", L"0"};
    for (int round = 0; round < 300; ++round) {
        TreeControl tree;
        model::Shape shape;
        const DWORD idRange = 2 + random() % 30, keys = 1 + random() % 3;
        const int count = 1 + static_cast<int>(random() % 60);
        for (int i = 0; i < count; ++i) {
            NodeInfo info = {0, 1 + random() % idRange, random() % 4 == 0 ? 0 : 1 + random() % idRange, ZN_UNCHECKED,
                             WORD(random() % 2 ? ZN_SORT_CHILDREN : 0)};
            const wchar_t* word = words[random() % 11];
            info.text1 = random() % 8 == 0 ? nullptr : SysAllocString(word);
            DWORD key = random() % keys;
            ASSERT_EQ(tree.SortedInsert(&info, key) != nullptr,
                      shape.Insert(info.id, info.parentId, key, info.text1 ? word : L"", info.flags))
                << "round " << round << " insert " << i;
            SysFreeString(info.text1);
        }
        ASSERT_EQ(tree.CheckChain(), nullptr);
        std::vector<const TreeNode*> nodes;
        for (const TreeNode* n = tree.head; n; n = n->next) {
            const size_t at = nodes.size();
            nodes.push_back(n);
            ASSERT_LT(at, shape.chain.size());
            const model::Shaped& r = shape.chain[at];
            ASSERT_TRUE(n->id == r.id && n->level == r.level && n->descendantCount == r.descendants)
                << "round " << round << " position " << at;
            const TreeNode* last = n;
            for (DWORD k = 0; k < n->descendantCount; ++k) last = last->next;
            ASSERT_EQ(Extras(n).lastInSubtree, last);
        }
        ASSERT_EQ(nodes.size(), shape.chain.size());
        for (DWORD id = 0; id <= idRange + 1; ++id)
            for (DWORD key = 0; key <= keys; ++key) {
                int group = shape.Find(id, key, true), pair = shape.Find(id, key, false);
                EXPECT_EQ(tree.FindInGroup(id, key), group < 0 ? nullptr : nodes[group]);
                EXPECT_EQ(tree.FindPair(id, key), pair < 0 ? nullptr : nodes[pair]);
            }
        tree.Clear();
    }
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
        for (int probe = 0; probe < 2000 + size; ++probe) {
            DWORD id = probe < size ? rows[probe].id : std::uniform_int_distribution<DWORD>(0, spread)(random);
            auto first = std::find_if(rows.begin(), rows.end(), [id](const ListRow& r) { return r.id == id; });
            ASSERT_EQ(index.Find(id), first == rows.end() ? nullptr : &*first) << "id " << id << " of " << size << " rows";
        }
        index.Clear();
        EXPECT_EQ(index.Find(size ? rows[0].id : 0), nullptr) << "a cleared index knows no row";
    }
}

TEST(ListRowOrder, SortingFollowsTheRowOrderOnEveryColumnAndDirection) {
    LONG blocks = text::LiveBlocks();
    std::mt19937 random(11);
    // Texts that differ only past their fourth character, end with or hold a NUL early, or carry
    // code units above 0x7FFF, besides plain, empty and case-different ones.
    const std::wstring words[] = {L"", L"a", L"A", L"b", L"ab", L"AB", L"Zeta", L"zeta", L"_x", L"[y", L"\u00e9t\u00e9",
                                  L"10", L"2", L"abcd", L"ABCDe", L"abcdf", L"abcdE", std::wstring(L"\0b", 2),
                                  std::wstring(L"ab\0z", 4), std::wstring(L"abcd\0", 5), L"\uffff", L"\u8000a", L"a\u7fff"};
    const int kinds = static_cast<int>(std::size(words));
    auto make = [](TextField& slot, const std::wstring& word) {
        BSTR copy = SysAllocStringLen(word.data(), static_cast<UINT>(word.size()));
        text::AssignCopy(slot, copy);
        SysFreeString(copy);
    };
    const DWORD severities[] = {0, 1, 2, 3, 9, 10, 12, 100, 0xFFFFFFFF, 0x80000000, 0x7FFFFFFF, 0xFFFFFFF6};
    // The second pass puts a long beginning before every text, the same but for its case, as
    // paths have.
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
                    std::vector<ListRow*> sorted;
                    for (size_t i = 0; i < count; ++i) sorted.push_back(&rows[i]);
                    SortRows(sorted.data(), sorted.size(), column, descending);
                    std::vector<ListRow*> same = sorted;
                    std::sort(same.begin(), same.end());
                    ASSERT_TRUE(std::adjacent_find(same.begin(), same.end()) == same.end() && same.size() == count);
                    std::vector<model::RowKey> keys;
                    for (const ListRow* row : sorted) keys.push_back(model::KeyOf(row));
                    ASSERT_EQ(model::OutOfOrder(keys, column, descending), -1)
                        << "column " << column << ", descending " << descending << ", " << count << " rows, pass " << pass;
                }
    }
    for (ListRow& row : rows) {
        for (TextField& slot : row.texts) text::Release(slot);
        columns::Free(row.columnTexts);
    }
    EXPECT_EQ(text::LiveBlocks(), blocks);
}

}  // namespace
