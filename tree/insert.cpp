// Sorted insertion of nodes.
#include "frame/text.h"
#include "frame/wide.h"
#include "tree.h"

namespace zn {
namespace {

int CompareWithText1(BSTR text, const TreeNode* node) {
    const TextField& other = node->texts[0];
    return CompareNoCase(text, text ? SysStringLen(text) : 0, text::Wide(other), text::Length(other));
}

}  // namespace

TreeNode* TreeControl::MakeNode(const NodeInfo* info, TreeNode* prev, DWORD level, TreeNode* parent, DWORD groupKey) {
    auto* block = static_cast<char*>(nodes_.Take(sizeof(NodeExtras) + sizeof(TreeNode)));
    if (!block) return nullptr;
    auto* node = reinterpret_cast<TreeNode*>(block + sizeof(NodeExtras));
    NodeExtras& extras = Extras(node);
    extras.textWidth = NodeExtras::kWidthUnknown;
    extras.shownExtent = NodeExtras::kNotTallied;
    extras.lastInSubtree = node;
    node->id = info->id;
    node->parentId = info->parentId;
    DWORD state = info->checkState & 0xFFFF;
    node->checkState = (state >= ZN_CHECK_DISABLED && state <= ZN_UNCHECKED) ? state : ZN_UNCHECKED;
    node->flags = info->flags;
    node->severity = info->severity <= 3 ? info->severity : 1;
    node->level = level;
    node->parent = parent;
    node->groupKey = groupKey;
    node->extraIcon = info->extraIcon;
    // Indexed before it is linked: a node the index could not take stays out of the chain
    // (its block goes back with the others when the chain is freed).
    bool known = false;
    if (!ids_.Add(node, &known)) return nullptr;
    if (known && !secondIds_.Add(node)) return nullptr;
    const BSTR texts[3] = {info->text1, info->text2, info->text3};
    for (int i = 0; i < 3; ++i) {
        if (!texts[i]) continue;
        text::AssignCopy(node->texts[i], texts[i]);
        ++node->textCount;
    }
    if (nodeCount == 0 || !prev) {
        head = tail_ = node;
    } else {
        node->next = prev->next;
        prev->next = node;
        if (prev == tail_) tail_ = node;
    }
    ++nodeCount;
    return node;
}

TreeNode* TreeControl::SortedInsert(const NodeInfo* info, DWORD groupKey) {
    if (!info) return nullptr;
    if (nodeCount == 0) return MakeNode(info, nullptr, 0, nullptr, groupKey);
    // A top-level node always goes to the very end, whatever group follows.
    if (info->parentId == 0) return MakeNode(info, tail_, 0, nullptr, groupKey);

    TreeNode* parent = FindInGroup(info->parentId, groupKey);
    if (!parent) return nullptr;
    TreeNode* prev = parent;
    if ((parent->flags & ZN_SORT_CHILDREN) && IdIsUnique(parent->id)) {
        // Before the first direct child whose text 1 is greater; equal texts keep their order.
        // Only direct children can stop the walk (no other node names this parent's id as its
        // parent's), so it goes from child to child, over their subtrees.
        const TreeNode* end = Extras(parent).lastInSubtree;
        while (prev != end) {
            TreeNode* child = prev->next;
            if (CompareWithText1(info->text1, child) < 0) break;
            prev = Extras(child).lastInSubtree;
        }
    } else if (parent->flags & ZN_SORT_CHILDREN) {
        // Another node carries the parent's id, so its children could stop the walk as well.
        for (DWORD i = 0; i < parent->descendantCount && prev->next; ++i) {
            TreeNode* candidate = prev->next;
            if (CompareWithText1(info->text1, candidate) < 0 && candidate->parentId == parent->id) break;
            prev = candidate;
        }
    } else {
        prev = Extras(parent).lastInSubtree;
    }
    TreeNode* node = MakeNode(info, prev, parent->level + 1, parent, groupKey);
    if (!node) return nullptr;
    for (TreeNode* ancestor = parent; ancestor; ancestor = ancestor->parent) {
        ++ancestor->descendantCount;
        // Following the last node of a subtree makes the new node the subtree's last.
        NodeExtras& extras = Extras(ancestor);
        if (extras.lastInSubtree == prev) extras.lastInSubtree = node;
    }
    return node;
}

}  // namespace zn
