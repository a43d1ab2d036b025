// Sorted insertion of nodes and the data-only update.
#include <cstdlib>

#include "frame/text.h"
#include "frame/wide.h"
#include "tree.h"

namespace zn {
namespace {

constexpr WORD kCheckStateChanged = 0x2320;

// The last node of a node's subtree (the node itself when it has no descendants).
TreeNode* LastOfSubtree(TreeNode* node) {
    for (DWORD i = node->descendantCount; i > 0 && node->next; --i) node = node->next;
    return node;
}

int CompareWithText1(BSTR text, const TreeNode* node) {
    const TextField& other = node->texts[0];
    return CompareNoCase(text, text ? SysStringLen(text) : 0, text::Wide(other), text::Length(other));
}

}  // namespace

TreeNode* TreeControl::MakeNode(const NodeInfo* info, TreeNode* prev, DWORD level, TreeNode* parent, DWORD groupKey) {
    auto* node = static_cast<TreeNode*>(std::calloc(1, sizeof(TreeNode)));
    if (!node) return nullptr;
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
    if (parent->flags & ZN_SORT_CHILDREN) {
        // Before the first direct child whose text 1 is greater; equal texts keep their order.
        for (DWORD i = 0; i < parent->descendantCount && prev->next; ++i) {
            TreeNode* candidate = prev->next;
            if (CompareWithText1(info->text1, candidate) < 0 && candidate->parentId == parent->id) break;
            prev = candidate;
        }
    } else {
        prev = LastOfSubtree(parent);
    }
    TreeNode* node = MakeNode(info, prev, parent->level + 1, parent, groupKey);
    if (!node) return nullptr;
    for (TreeNode* ancestor = parent; ancestor; ancestor = ancestor->parent) ++ancestor->descendantCount;
    return node;
}

void UpdateTexts(TreeNode& node, const NodeInfo& info, DWORD mask) {
    const BSTR texts[3] = {info.text1, info.text2, info.text3};
    for (int i = 0; i < 3; ++i) {
        if (!(mask & (0x10u << i))) continue;
        TextField& slot = node.texts[i];
        if (texts[i]) {
            // An empty text given again and again must not raise the count past the three
            // texts a node has (painting reads that many slots).
            if (text::Length(slot) == 0 && node.textCount < 3) ++node.textCount;
            text::AssignCopy(slot, texts[i]);
        } else {
            bool had = text::Length(slot) > 0;
            text::Clear(slot);
            if (had) --node.textCount;
        }
    }
}

void TreeControl::PostCheckStateChanged() const {
    if (listBox)
        PostMessageA(GetParent(listBox), WM_COMMAND, MAKEWPARAM(listBoxId, kCheckStateChanged),
                     reinterpret_cast<LPARAM>(listBox));
}

int TreeControl::UpdateNode(const NodeInfo* info, DWORD groupKey) {
    if (!head || !info) return 0;
    TreeNode* node = FindInGroup(info->id, groupKey);
    if (!node) return 0;
    DWORD mask = info->parentId & 0xFF;
    if (mask & ZN_CHANGE_EXTRA_ICON) node->extraIcon = info->extraIcon & 0xFFFF;
    if (mask & ZN_CHANGE_CHECK) {
        node->checkState = info->checkState & 0xFFFF;
        PostCheckStateChanged();
    }
    if (mask & ZN_CHANGE_SEVERITY) node->severity = info->severity;
    UpdateTexts(*node, *info, mask);
    return 1;
}

}  // namespace zn
