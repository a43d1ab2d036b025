// How check states travel through a tree built without a window, in hand-made cases: the one
// oracle independent of the reference model, which the random sessions hold the tree to.
#include <gtest/gtest.h>

#include <string>

#include "tree/tree.h"

using zn::TreeControl;

namespace {

struct Planned { DWORD id, parent, state; };

struct Tree {
    TreeControl control;
    explicit Tree(const std::vector<Planned>& planned) {
        for (const Planned& p : planned) {
            NodeInfo info = {0, p.id, p.parent, p.state};
            EXPECT_NE(control.SortedInsert(&info, 0), nullptr) << "node " << p.id;
        }
        EXPECT_EQ(control.CheckChain(), nullptr);
    }
    ~Tree() { control.Clear(); }
    TreeNode* Node(DWORD id) const { return control.FindPair(id, 0); }
    std::string States() const {
        std::string out;
        for (const TreeNode* n = control.Head(); n; n = n->next) out += static_cast<char>('0' + n->checkState);
        return out;
    }
    int Set(DWORD id, DWORD state, LONG* count) {
        NodeInfo info = {0, id, ZN_CHANGE_CHECK, state};
        return control.UpdateTreeEntry(&info, 0, count);
    }
    void Toggle(DWORD id, LONG* count) { control.ToggleCheck(Node(id), -1, nullptr, 0, 0, count, false); }
};

// Hand-made steps: 't' flips a box, 's' sets a state as the host; states in display order after it.
struct Step { char action; DWORD id, state; const char* after; LONG countDelta; };

TEST(CheckPropagation, StatesAndCountFollowEachStep) {
    const std::vector<Planned> branch = {{1, 0, 3}, {2, 1, 3}, {3, 2, 3}, {4, 2, 3}, {5, 1, 3}};  // 1 ( 2 ( 3, 4 ), 5 )
    const struct {
        std::vector<Planned> nodes;
        std::vector<Step> steps;
    } cases[] = {
        {branch,
         {{'t', 3, 0, "44233", +3}, {'t', 4, 0, "42223", +1}, {'t', 5, 0, "22222", +1},
          {'t', 3, 0, "44322", -1}, {'t', 4, 0, "43332", -2}, {'t', 5, 0, "33333", -2}}},
        // A partly branch set checked counts every box it fills; flipped, a partly node empties.
        {branch,
         {{'t', 3, 0, "44233", +3}, {'s', 1, ZN_CHECKED, "22222", +4}, {'t', 1, 0, "33333", -5},
          {'t', 3, 0, "44233", +3}, {'t', 1, 0, "33333", -3}}},
        // 1 ( 2 [boxless] ( 3, 4 ( 5 ) ), 6 ): checking 1 reaches 6 and 5 but not 3 and 4.
        {{{1, 0, 3}, {2, 1, 1}, {3, 2, 3}, {4, 2, 3}, {5, 4, 3}, {6, 1, 3}},
         {{'t', 1, 0, "213322", +3}, {'t', 6, 0, "413323", -1}, {'t', 3, 0, "412323", +1},
          {'t', 4, 0, "412223", +1}, {'t', 6, 0, "212222", +1}, {'t', 1, 0, "313333", -5}}},
        // 1 ( 2 ( 3 [boxless] ( 4 ) ), 5 )
        {{{1, 0, 3}, {2, 1, 3}, {3, 2, 1}, {4, 3, 3}, {5, 1, 3}},
         {{'t', 1, 0, "22132", +3}, {'t', 4, 0, "22122", +1}, {'t', 2, 0, "43132", -2}}},
        // 1 ( 2, 3 [checked] ) 4 ( 5 ( 6 ) ), states set by the host
        {{{1, 0, 3}, {2, 1, 3}, {3, 1, 2}, {4, 0, 3}, {5, 4, 3}, {6, 5, 3}},
         {{'s', 1, ZN_PARTLY_CHECKED, "222333", +2}, {'s', 2, ZN_UNCHECKED, "432333", -1},
          {'s', 6, ZN_CHECKED, "432222", +3}, {'s', 6, ZN_CHECKED, "432222", +1},
          {'s', 5, ZN_CHECK_DISABLED, "432212", -1}, {'s', 4, ZN_UNCHECKED, "432313", -2}}},
    };
    for (size_t c = 0; c < std::size(cases); ++c) {
        Tree t(cases[c].nodes);
        LONG count = 100;
        for (size_t i = 0; i < cases[c].steps.size(); ++i) {
            const Step& s = cases[c].steps[i];
            LONG before = count;
            if (s.action == 't') t.Toggle(s.id, &count);
            else EXPECT_EQ(t.Set(s.id, s.state, &count), 1);
            EXPECT_EQ(t.States(), s.after) << "case " << c << " step " << i;
            EXPECT_EQ(count - before, s.countDelta) << "case " << c << " step " << i;
        }
    }
}

}  // namespace
