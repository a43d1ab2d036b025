// How check states travel through a tree when a box is flipped or the host sets one: trees
// made without a window, so only the states and the host's count are seen.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "check_model.h"
#include "tree/tree.h"

using zn::TreeControl;

namespace {

struct Spec {
    DWORD id, parent, state;
};

// A tree without a list box; freed at the end of the scope.
struct Tree {
    TreeControl control;
    explicit Tree(const std::vector<Spec>& specs) {
        for (const Spec& s : specs) {
            NodeInfo info = {};
            info.id = s.id;
            info.parentId = s.parent;
            info.checkState = s.state;
            EXPECT_NE(control.SortedInsert(&info, 0), nullptr) << "node " << s.id;
        }
    }
    ~Tree() { control.Clear(); }
    TreeNode* Node(DWORD id) const { return control.FindPair(id, 0); }
    std::string States() const {
        std::string out;
        for (const TreeNode* n = control.Head(); n; n = n->next) out += static_cast<char>('0' + n->checkState);
        return out;
    }
    int Set(DWORD id, DWORD state, LONG* count) {
        NodeInfo info = {};
        info.id = id;
        info.parentId = ZN_CHANGE_CHECK;
        info.checkState = state;
        return control.UpdateTreeEntry(&info, 0, count);
    }
};

void Toggle(Tree& t, DWORD id, LONG* count) { t.control.ToggleCheck(t.Node(id), -1, nullptr, 0, 0, count, false); }

TEST(CheckSummary, CountsEveryDescendantWithABox) {
    // 1 ( 2 [disabled] ( 3 ), 4 [partly] ( 5 ) ), 6 [unchecked leaf], 7 [checked leaf], 8 ( 9 [disabled] )
    Tree t({{1, 0, 3}, {2, 1, 1}, {3, 2, 2}, {4, 1, 3}, {5, 4, 3}, {6, 0, 3}, {7, 0, 2}, {8, 0, 3}, {9, 8, 1}});
    t.Node(4)->checkState = ZN_PARTLY_CHECKED;
    EXPECT_EQ(TreeControl::ChildrenCheckSummary(t.Node(1)), TreeControl::kSummarySome);
    EXPECT_EQ(TreeControl::ChildrenCheckSummary(t.Node(2)), TreeControl::kSummaryAll);
    EXPECT_EQ(TreeControl::ChildrenCheckSummary(t.Node(4)), TreeControl::kSummaryNone);
    EXPECT_EQ(TreeControl::ChildrenCheckSummary(t.Node(6)), TreeControl::kSummaryNone) << "unchecked leaf";
    EXPECT_EQ(TreeControl::ChildrenCheckSummary(t.Node(7)), TreeControl::kSummaryAll) << "checked leaf";
    EXPECT_EQ(TreeControl::ChildrenCheckSummary(t.Node(8)), TreeControl::kSummaryAll) << "only boxless below";
    t.Node(3)->checkState = ZN_UNCHECKED;
    EXPECT_EQ(TreeControl::ChildrenCheckSummary(t.Node(1)), TreeControl::kSummaryNone) << "a partly box is no tick";
}

struct Step {
    char action;  // 't' toggle, 's' set by the host
    DWORD id, state;
    const char* after;  // states in display order
    LONG countDelta;
};
struct HandCase {
    const char* name;
    std::vector<Spec> nodes;
    std::vector<Step> steps;
};

class CheckPropagation : public ::testing::TestWithParam<HandCase> {};

TEST_P(CheckPropagation, StatesAndCountFollowEachStep) {
    Tree t(GetParam().nodes);
    LONG count = 100;
    for (size_t i = 0; i < GetParam().steps.size(); ++i) {
        const Step& s = GetParam().steps[i];
        LONG before = count;
        if (s.action == 't') Toggle(t, s.id, &count);
        else EXPECT_EQ(t.Set(s.id, s.state, &count), 1);
        EXPECT_EQ(t.States(), s.after) << "step " << i;
        EXPECT_EQ(count - before, s.countDelta) << "step " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    HandMade, CheckPropagation,
    ::testing::Values(
        // 1 ( 2 ( 3, 4 ), 5 )
        HandCase{"LeafChecksFillTheBranchThenEmptyIt",
                 {{1, 0, 3}, {2, 1, 3}, {3, 2, 3}, {4, 2, 3}, {5, 1, 3}},
                 {{'t', 3, 0, "44233", +3},
                  {'t', 4, 0, "42223", +1},
                  {'t', 5, 0, "22222", +1},
                  {'t', 3, 0, "44322", -1},
                  {'t', 4, 0, "43332", -2},
                  {'t', 5, 0, "33333", -2}}},
        // 1 ( 2 [boxless] ( 3, 4 ( 5 ) ), 6 )
        HandCase{"BoxlessParentKeepsItsChildrenOutOfAParentsCheck",
                 // Checking 1 reaches 6 and 5 (whose parent 4 has a box) but not 3 and 4; the
                 // node stays checked although its box shows the mix.
                 {{1, 0, 3}, {2, 1, 1}, {3, 2, 3}, {4, 2, 3}, {5, 4, 3}, {6, 1, 3}},
                 {{'t', 1, 0, "213322", +3},
                  {'t', 6, 0, "413323", -1},
                  {'t', 3, 0, "412323", +1},
                  {'t', 4, 0, "412223", +1},
                  {'t', 6, 0, "212222", +1},
                  {'t', 1, 0, "313333", -5}}},
        // 1 ( 2 ( 3 [boxless] ( 4 ) ), 5 ) : boxless two levels down
        HandCase{"CheckingOverADeepBoxlessNodeLeavesItsChildAlone",
                 {{1, 0, 3}, {2, 1, 3}, {3, 2, 1}, {4, 3, 3}, {5, 1, 3}},
                 {{'t', 1, 0, "22132", +3},
                  {'t', 4, 0, "22122", +1},
                  {'t', 2, 0, "43132", -2}}},
        // 1 ( 2, 3 [checked] ) 4 ( 5 ( 6 ) )
        HandCase{"StatesSetByTheHost",
                 {{1, 0, 3}, {2, 1, 3}, {3, 1, 2}, {4, 0, 3}, {5, 4, 3}, {6, 5, 3}},
                 {{'s', 1, ZN_PARTLY_CHECKED, "222333", +2},
                  {'s', 2, ZN_UNCHECKED, "432333", -1},
                  {'s', 6, ZN_CHECKED, "432222", +3},
                  {'s', 6, ZN_CHECKED, "432222", +1},
                  {'s', 5, ZN_CHECK_DISABLED, "432212", -1},
                  {'s', 4, ZN_UNCHECKED, "432313", -2}}},
        // 1 ( 2 ( 3, 4 ), 5 )
        HandCase{"PartlyCheckedParents",
                 {{1, 0, 3}, {2, 1, 3}, {3, 2, 3}, {4, 2, 3}, {5, 1, 3}},
                 // Set checked, a partly branch counts every box it fills, the partly one too;
                 // flipped, a partly node empties.
                 {{'t', 3, 0, "44233", +3},
                  {'s', 1, ZN_CHECKED, "22222", +4},
                  {'t', 1, 0, "33333", -5},
                  {'t', 3, 0, "44233", +3},
                  {'t', 1, 0, "33333", -3}}}),
    [](const ::testing::TestParamInfo<HandCase>& info) { return std::string(info.param.name); });

TEST(CheckPropagationEdges, MissingCountAndUnknownNodes) {
    Tree t({{1, 0, 3}, {2, 1, 3}, {3, 1, 3}});
    Toggle(t, 2, nullptr);
    EXPECT_EQ(t.States(), "423");
    EXPECT_EQ(t.Set(2, ZN_UNCHECKED, nullptr), 1);
    EXPECT_EQ(t.States(), "333");
    LONG count = 7;
    EXPECT_EQ(t.Set(9, ZN_CHECKED, &count), 0) << "unknown id";
    NodeInfo info = {};
    info.id = 1;
    info.parentId = ZN_CHANGE_EXTRA_ICON | ZN_CHANGE_SEVERITY;
    info.checkState = ZN_CHECKED;
    EXPECT_EQ(t.control.UpdateTreeEntry(&info, 0, &count), 0) << "no state or text bit";
    EXPECT_EQ(t.control.UpdateTreeEntry(nullptr, 0, &count), 0);
    info.parentId = ZN_CHANGE_CHECK;
    info.checkState = ZN_PARTLY_CHECKED;
    EXPECT_EQ(t.control.UpdateTreeEntry(&info, 0, &count), 1);
    EXPECT_EQ(info.checkState, static_cast<DWORD>(ZN_CHECKED)) << "the host's record says checked";
    EXPECT_EQ(t.States(), "222");
    EXPECT_EQ(count, 10);
}

// The library against the model: random trees, random flips and host updates.
TEST(CheckPropagationDifferential, AgreesWithTheModelOnRandomTrees) {
    std::mt19937 rng(20240605);
    const int kTrees = 4000, kSteps = 12;
    int stepsRun = 0;
    for (int tree = 0; tree < kTrees; ++tree) {
        const int size = 1 + static_cast<int>(rng() % 14);
        std::vector<Spec> specs;
        for (int i = 1; i <= size; ++i) {
            DWORD parent = (i == 1 || rng() % 4 == 0) ? 0 : 1 + rng() % (i - 1);
            specs.push_back({static_cast<DWORD>(i), parent, 1 + rng() % 3});
        }
        Tree t(specs);
        LONG count = 0;
        if (rng() % 2) {
            LONG selected = 0;
            t.control.Refresh(&selected, &count);
        } else {
            // Unsettled states, partly checked ones included, as UpdateNode can leave them.
            for (TreeNode* n = t.control.Head(); n; n = n->next) n->checkState = 1 + rng() % 4;
            count = static_cast<LONG>(rng() % 5);
        }
        checkmodel::Model model;
        std::map<const TreeNode*, int> index;
        std::vector<TreeNode*> nodes;
        for (TreeNode* n = t.control.Head(); n; n = n->next) {
            index[n] = static_cast<int>(nodes.size());
            nodes.push_back(n);
            model.nodes.push_back({n->parent ? index[n->parent] : -1, n->checkState});
        }
        model.count = count;
        for (int step = 0; step < kSteps; ++step, ++stepsRun) {
            int n = static_cast<int>(rng() % nodes.size());
            std::string what;
            if (rng() % 3 != 0) {
                if (nodes[n]->checkState == ZN_CHECK_DISABLED) continue;
                what = "flip " + std::to_string(nodes[n]->id);
                t.control.ToggleCheck(nodes[n], -1, nullptr, 0, 0, &count, rng() % 2);
                model.Toggle(n);
            } else {
                DWORD state = 1 + rng() % 4;
                what = "set " + std::to_string(nodes[n]->id) + " to " + std::to_string(state);
                ASSERT_EQ(t.Set(nodes[n]->id, state, &count), 1);
                model.Set(n, state);
            }
            for (size_t i = 0; i < nodes.size(); ++i)
                ASSERT_EQ(nodes[i]->checkState, model.nodes[i].state)
                    << "tree " << tree << " after " << what << ", node " << nodes[i]->id;
            ASSERT_EQ(count, model.count) << "tree " << tree << " after " << what;
        }
    }
    EXPECT_GT(stepsRun, kTrees * kSteps / 2);
}

}  // namespace
