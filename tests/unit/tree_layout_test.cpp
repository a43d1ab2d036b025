// Row geometry of the tree, worked out from the node chain alone (no window): where each
// picture and the text start, with and without the host's icon lists.
#include <gtest/gtest.h>

#include <tuple>

#include "tree/tree.h"

using zn::RowLayout;
using zn::TreeControl;

namespace {

// 1 (severity 1, additional 2, box) ( 2 (severity 2, no box) ( 4 (additional 1, box) ), 3 (no box) ),
// 5 (no box), 6 (checked) ( 7 (partly checked), 8 (no box, but its sibling has one) )
class TreeLayout : public ::testing::Test {
protected:
    void SetUp() override {
        const DWORD nodes[][5] = {{1, 0, 3, 1, 2}, {2, 1, 1, 2, 0}, {4, 2, 3, 0, 1}, {3, 1, 1, 0, 0},
                                  {5, 0, 1, 0, 0}, {6, 0, 2, 0, 0}, {7, 6, 3, 0, 0}, {8, 6, 1, 0, 0}};
        for (const auto& s : nodes) {
            NodeInfo info = {};
            info.id = s[0], info.parentId = s[1], info.checkState = s[2], info.severity = s[3], info.extraIcon = s[4];
            ASSERT_NE(tree_.SortedInsert(&info, 0), nullptr) << "node " << s[0];
        }
        Node(7)->checkState = ZN_PARTLY_CHECKED;  // an insert never gives this state
    }
    void TearDown() override { tree_.Clear(); }
    TreeNode* Node(DWORD id) const { return tree_.FindPair(id, 0); }
    TreeControl tree_;
};

TEST_F(TreeLayout, SlotsFollowShownIconsAncestorsAndCheckColumn) {
    struct {
        bool severity, additional;
        DWORD id;
        int ancestors;
        RowLayout slots;  // connector, severity, additional, check, check image, text
    } const cases[] = {
        {true, true, 1, 0, {2, 22, 42, 62, 13, 82}},      {true, true, 2, 40, {60, 80, -1, -1, 13, 100}},
        {true, true, 4, 60, {98, -1, 118, 138, 13, 158}}, {true, true, 3, 40, {60, -1, -1, -1, 13, 80}},
        {true, true, 5, 0, {2, -1, -1, -1, 13, 22}},      {true, true, 6, 0, {2, -1, -1, 22, 14, 42}},
        {true, true, 7, 0, {20, -1, -1, 40, 15, 60}},     {true, true, 8, 0, {20, -1, -1, 40, 16, 60}},
        {false, false, 1, 0, {2, -1, -1, 22, 13, 42}},    {false, false, 2, 0, {20, -1, -1, -1, 13, 40}},
        {false, false, 4, 0, {38, -1, -1, 58, 13, 78}},   {true, false, 1, 0, {2, 22, -1, 42, 13, 62}},
        {true, false, 2, 20, {40, 60, -1, -1, 13, 80}},   {true, false, 4, 40, {78, -1, -1, 98, 13, 118}},
        {false, true, 1, 0, {2, -1, 22, 42, 13, 62}},     {false, true, 2, 20, {40, -1, -1, -1, 13, 60}},
        {false, true, 4, 20, {58, -1, 78, 98, 13, 118}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "node " << c.id << " lists " << c.severity << c.additional);
        tree_.severityIconsAttached = c.severity;
        tree_.additionalIconsAttached = c.additional;
        const TreeNode* node = Node(c.id);
        EXPECT_EQ(tree_.AncestorIconWidth(node), c.ancestors);
        EXPECT_EQ(tree_.ShowsCheckColumn(node), c.slots.checkX >= 0);
        RowLayout s = tree_.RowSlots(node);
        EXPECT_EQ(std::make_tuple(s.connectorX, s.severityX, s.additionalX, s.checkX, s.textX),
                  std::make_tuple(c.slots.connectorX, c.slots.severityX, c.slots.additionalX, c.slots.checkX,
                                  c.slots.textX));
        if (c.slots.checkX >= 0) {
            EXPECT_EQ(s.checkImage, c.slots.checkImage);
        }
    }
}

TEST_F(TreeLayout, CheckColumnIsSharedBySiblingGroup) {
    EXPECT_FALSE(tree_.ShowsCheckColumn(Node(2)));
    Node(3)->checkState = ZN_UNCHECKED;  // a box in the group reserves the slot for node 2 too
    EXPECT_TRUE(tree_.ShowsCheckColumn(Node(2)));
    EXPECT_EQ(tree_.RowSlots(Node(2)).checkImage, 16);
    EXPECT_EQ(tree_.RowSlots(Node(2)).textX, tree_.RowSlots(Node(3)).textX);
    Node(3)->checkState = ZN_CHECK_DISABLED;
    EXPECT_FALSE(tree_.ShowsCheckColumn(Node(3))) << "a grandchild's box gives its uncle's group none";
    EXPECT_EQ(TreeControl::RowHeight(nullptr), 18) << "a row without a node";
}

}  // namespace
