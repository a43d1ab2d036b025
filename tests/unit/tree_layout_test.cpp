// Row geometry of the tree: where each picture and text of a row starts, worked out from the
// node chain alone (no window).
#include <gtest/gtest.h>

#include "tree/tree.h"

using zn::RowLayout;
using zn::TreeControl;

namespace {

// 1 (severity 1, additional 2, box)
//   2 (severity 2, no box)
//     4 (additional 1, box)
//   3 (no box)
// 5 (no box)
// 6 (checked)
//   7 (partly checked)
//   8 (no box, but its sibling has one)
struct Spec {
    DWORD id, parentId, checkState, severity, extraIcon;
};
const Spec kNodes[] = {{1, 0, 3, 1, 2}, {2, 1, 1, 2, 0}, {4, 2, 3, 0, 1}, {3, 1, 1, 0, 0},
                       {5, 0, 1, 0, 0}, {6, 0, 2, 0, 0}, {7, 6, 3, 0, 0}, {8, 6, 1, 0, 0}};

class TreeLayout : public ::testing::Test {
protected:
    void SetUp() override {
        tree_ = new TreeControl;
        for (const Spec& s : kNodes) {
            NodeInfo info = {};
            info.id = s.id;
            info.parentId = s.parentId;
            info.checkState = s.checkState;
            info.severity = s.severity;
            info.extraIcon = s.extraIcon;
            ASSERT_NE(tree_->SortedInsert(&info, 0), nullptr) << "node " << s.id;
        }
        Node(7)->checkState = ZN_PARTLY_CHECKED;  // an insert never gives this state
    }
    void TearDown() override { tree_->Destroy(); }
    TreeNode* Node(DWORD id) const {
        for (TreeNode* n = tree_->Head(); n; n = n->next)
            if (n->id == id) return n;
        return nullptr;
    }
    TreeControl* tree_ = nullptr;
};

struct SlotCase {
    bool severityAttached, additionalAttached;
    DWORD id;
    int ancestors;
    RowLayout slots;  // connector, severity, additional, check, check image, text
};

// Expected values worked out by hand: connector at A + 18 L + 2, then 20-pixel slots.
const SlotCase kSlots[] = {
    // Both lists attached.
    {true, true, 1, 0, {2, 22, 42, 62, 13, 82}},
    {true, true, 2, 40, {60, 80, -1, -1, 13, 100}},
    {true, true, 4, 60, {98, -1, 118, 138, 13, 158}},
    {true, true, 3, 40, {60, -1, -1, -1, 13, 80}},
    {true, true, 5, 0, {2, -1, -1, -1, 13, 22}},
    {true, true, 6, 0, {2, -1, -1, 22, 14, 42}},
    {true, true, 7, 0, {20, -1, -1, 40, 15, 60}},
    {true, true, 8, 0, {20, -1, -1, 40, 16, 60}},
    // No list attached: indices alone show nothing.
    {false, false, 1, 0, {2, -1, -1, 22, 13, 42}},
    {false, false, 2, 0, {20, -1, -1, -1, 13, 40}},
    {false, false, 4, 0, {38, -1, -1, 58, 13, 78}},
    // Severity icons only.
    {true, false, 1, 0, {2, 22, -1, 42, 13, 62}},
    {true, false, 2, 20, {40, 60, -1, -1, 13, 80}},
    {true, false, 4, 40, {78, -1, -1, 98, 13, 118}},
    // Additional icons only.
    {false, true, 1, 0, {2, -1, 22, 42, 13, 62}},
    {false, true, 2, 20, {40, -1, -1, -1, 13, 60}},
    {false, true, 4, 20, {58, -1, 78, 98, 13, 118}},
};

TEST_F(TreeLayout, SlotsFollowShownIconsAncestorsAndCheckColumn) {
    for (const SlotCase& c : kSlots) {
        SCOPED_TRACE(::testing::Message() << "node " << c.id << " severity list " << c.severityAttached
                                          << " additional list " << c.additionalAttached);
        tree_->severityIconsAttached = c.severityAttached;
        tree_->additionalIconsAttached = c.additionalAttached;
        const TreeNode* node = Node(c.id);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(tree_->AncestorIconWidth(node), c.ancestors);
        EXPECT_EQ(tree_->ShowsCheckColumn(node), c.slots.checkX >= 0);
        RowLayout s = tree_->RowSlots(node);
        EXPECT_EQ(s.connectorX, c.slots.connectorX);
        EXPECT_EQ(s.severityX, c.slots.severityX);
        EXPECT_EQ(s.additionalX, c.slots.additionalX);
        EXPECT_EQ(s.checkX, c.slots.checkX);
        if (c.slots.checkX >= 0) EXPECT_EQ(s.checkImage, c.slots.checkImage);
        EXPECT_EQ(s.textX, c.slots.textX);
    }
}

TEST_F(TreeLayout, CheckColumnIsSharedBySiblingGroup) {
    // Giving node 3 a box makes its group reserve the slot, node 2 included.
    EXPECT_FALSE(tree_->ShowsCheckColumn(Node(2)));
    Node(3)->checkState = ZN_UNCHECKED;
    EXPECT_TRUE(tree_->ShowsCheckColumn(Node(2)));
    EXPECT_EQ(tree_->RowSlots(Node(2)).checkImage, 16);
    EXPECT_EQ(tree_->RowSlots(Node(2)).textX, tree_->RowSlots(Node(3)).textX);
    // A grandchild with a box does not give its uncle's group one.
    Node(3)->checkState = ZN_CHECK_DISABLED;
    EXPECT_FALSE(tree_->ShowsCheckColumn(Node(3)));
}

TEST_F(TreeLayout, RowHeightGrowsPerLineWithGapFromTwoLines) {
    TreeNode* node = Node(1);
    const int expected[] = {0, 18, 40, 58};
    for (int lines = 0; lines <= 3; ++lines) {
        node->textCount = lines;
        EXPECT_EQ(TreeControl::RowHeight(node), expected[lines]) << lines << " lines";
    }
    EXPECT_EQ(TreeControl::RowHeight(nullptr), 18);
}

}  // namespace
