// The tree finds parents through an index and places sorted children by skipping subtrees; a
// plain walk over a vector must give the same answers on random trees with duplicate ids,
// several group keys, and empty or equal texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "frame/arena.h"
#include "frame/wide.h"
#include "tree/tree.h"

namespace {

struct RefNode {
    DWORD id, parentId, key, level, descendants;
    int parent;  // index, kept up to date on inserts
    std::wstring text;
    WORD flags;
};

struct Reference {
    std::vector<RefNode> chain;  // display order

    int Find(DWORD id, DWORD key, bool inGroup) const {
        size_t i = 0;
        if (inGroup) {  // the group's run starts at its first node; the id may be in a later group
            while (i < chain.size() && chain[i].key != key) ++i;
            while (i < chain.size() && chain[i].id != id) ++i;
        } else {
            while (i < chain.size() && (chain[i].id != id || chain[i].key != key)) ++i;
        }
        return i < chain.size() ? static_cast<int>(i) : -1;
    }
    void Place(size_t at, const RefNode& node) {
        for (RefNode& n : chain) n.parent += n.parent >= static_cast<int>(at);
        chain.insert(chain.begin() + static_cast<long>(at), node);
    }
    bool Insert(const NodeInfo& info, DWORD key) {
        RefNode node{info.id, info.parentId, key, 0, 0, -1,
                     info.text1 ? std::wstring(info.text1, SysStringLen(info.text1)) : L"", info.flags};
        if (chain.empty() || info.parentId == 0) {
            Place(chain.size(), node);
            return true;
        }
        int p = Find(info.parentId, key, true);
        if (p < 0) return false;
        const RefNode& parent = chain[static_cast<size_t>(p)];
        size_t prev = static_cast<size_t>(p);
        if (parent.flags & ZN_SORT_CHILDREN) {
            for (DWORD k = 0; k < parent.descendants && prev + 1 < chain.size(); ++k, ++prev) {
                const RefNode& nx = chain[prev + 1];
                if (nx.parentId == parent.id &&
                    zn::CompareNoCase(node.text.c_str(), static_cast<uint32_t>(node.text.size()), nx.text.c_str(),
                                      static_cast<uint32_t>(nx.text.size())) < 0)
                    break;
            }
        } else {
            prev += parent.descendants;
        }
        node.level = parent.level + 1;
        node.parent = p;
        Place(prev + 1, node);
        for (int a = p; a >= 0; a = chain[static_cast<size_t>(a)].parent) ++chain[static_cast<size_t>(a)].descendants;
        return true;
    }
};

TEST(TreeIndex, LookupsAndPlacesMatchAPlainWalk) {
    std::mt19937 random(2026);
    const wchar_t* words[] = {L"", L"a", L"A", L"b", L"B", L"ab", L"Ab", L"abc", L"z", L"[", L"0"};
    for (int round = 0; round < 300; ++round) {
        zn::TreeControl tree;
        Reference ref;
        const DWORD idRange = 2 + random() % 30, keys = 1 + random() % 3;
        const int count = 1 + static_cast<int>(random() % 60);
        for (int i = 0; i < count; ++i) {
            NodeInfo info = {};
            info.id = 1 + random() % idRange;
            info.parentId = (random() % 4 == 0) ? 0 : 1 + random() % idRange;
            info.checkState = ZN_UNCHECKED;
            info.flags = (random() % 2) ? ZN_SORT_CHILDREN : 0;
            const wchar_t* word = words[random() % 11];
            info.text1 = random() % 8 == 0 ? nullptr : SysAllocString(word);
            DWORD key = random() % keys;
            ASSERT_EQ(tree.SortedInsert(&info, key) != nullptr, ref.Insert(info, key)) << "round " << round << " insert " << i;
            SysFreeString(info.text1);
        }
        ASSERT_EQ(tree.CheckChain(), nullptr);
        std::vector<const TreeNode*> nodes;
        for (const TreeNode* n = tree.head; n; n = n->next) {
            const size_t at = nodes.size();
            nodes.push_back(n);
            ASSERT_LT(at, ref.chain.size());
            const RefNode& r = ref.chain[at];
            ASSERT_EQ(n->id, r.id) << "round " << round << " position " << at;
            ASSERT_EQ(n->level, r.level);
            ASSERT_EQ(n->descendantCount, r.descendants);
            const TreeNode* last = n;
            for (DWORD k = 0; k < n->descendantCount; ++k) last = last->next;
            ASSERT_EQ(zn::Extras(n).lastInSubtree, last);
        }
        ASSERT_EQ(nodes.size(), ref.chain.size());
        for (DWORD id = 0; id <= idRange + 1; ++id)
            for (DWORD key = 0; key <= keys; ++key) {
                int group = ref.Find(id, key, true), pair = ref.Find(id, key, false);
                EXPECT_EQ(tree.FindInGroup(id, key), group < 0 ? nullptr : nodes[static_cast<size_t>(group)]);
                EXPECT_EQ(tree.FindPair(id, key), pair < 0 ? nullptr : nodes[static_cast<size_t>(pair)]);
            }
    }
}

}  // namespace

// Nodes and rows come from an arena: every block zeroed, aligned as the heap aligns,
// apart from every other, including blocks larger than a chunk.
TEST(Arena, BlocksAreZeroedAlignedAndApart) {
    zn::Arena arena;
    std::vector<std::pair<char*, size_t>> blocks;
    std::mt19937 random(3);
    for (int i = 0; i < 3000; ++i) {
        size_t size = i % 500 == 0 ? 300000 : 1 + random() % 300;
        auto* block = static_cast<char*>(arena.Take(size));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % alignof(std::max_align_t), 0u);
        EXPECT_EQ(std::count(block, block + size, 0), static_cast<long>(size)) << "block " << i << " not zeroed";
        std::fill(block, block + size, static_cast<char>(i));
        blocks.emplace_back(block, size);
    }
    for (size_t i = 0; i < blocks.size(); ++i)
        EXPECT_EQ(std::count(blocks[i].first, blocks[i].first + blocks[i].second, static_cast<char>(i)),
                  static_cast<long>(blocks[i].second))
            << "block " << i << " was overwritten";
    arena.Release();
    EXPECT_NE(arena.Take(8), nullptr);
}
