// The node chain: lookups, freeing and the invariant checker used by tests.
#include "frame/text.h"
#include "tree.h"

namespace zn {

TreeNode* TreeControl::FindInGroup(DWORD id, DWORD groupKey) const {
    TreeNode* first = ids_.Find(id);
    if (!first) return nullptr;
    // The only node with the id, in the key's group: the key's first node lies at or before it,
    // so the walk below would end there too.
    if (first->groupKey == groupKey && IdIsUnique(id)) return first;
    TreeNode* node = head;
    while (node && node->groupKey != groupKey) node = node->next;
    while (node && node->id != id) node = node->next;
    return node;
}

TreeNode* TreeControl::FindPair(DWORD id, DWORD groupKey) const {
    TreeNode* first = ids_.Find(id);
    if (!first) return nullptr;
    if (IdIsUnique(id)) return first->groupKey == groupKey ? first : nullptr;
    for (TreeNode* node = head; node; node = node->next)
        if (node->id == id && node->groupKey == groupKey) return node;
    return nullptr;
}

bool TreeControl::IdIsUnique(DWORD id) const {
    return ids_.Find(id) && !secondIds_.Find(id);
}

void TreeControl::FreeChain() {
    TreeNode* node = head;
    while (node) {
        TreeNode* next = node->next;
        for (TextField& text : node->texts) text::Release(text);
        node = next;
    }
    nodes_.Release();
    head = tail_ = nullptr;
    nodeCount = 0;
    ids_.Clear();
    secondIds_.Clear();
    untallied_.Clear();
}

const char* TreeControl::CheckChain() const {
    DWORD count = 0;
    for (const TreeNode* node = head; node; node = node->next) {
        if (++count > nodeCount) return "more nodes reachable than nodeCount";
        if (node->parent) {
            if (node->level != node->parent->level + 1) return "level is not the parent's level + 1";
        } else if (node->level != 0) {
            return "a top-level node has a level other than 0";
        }
        if (node->textCount < 0 || node->textCount > 3) return "textCount outside 0..3";
        // The descendantCount nodes that follow are exactly the node's descendants.
        const TreeNode* d = node->next;
        for (DWORD i = 0; i < node->descendantCount; ++i, d = d->next) {
            if (!d) return "descendantCount runs past the end of the chain";
            const TreeNode* a = d->parent;
            while (a && a != node) a = a->parent;
            if (!a) return "a node inside a subtree is not a descendant";
        }
        if (d) {
            for (const TreeNode* a = d->parent; a; a = a->parent)
                if (a == node) return "a descendant lies past descendantCount";
        }
    }
    if (count != nodeCount) return "nodeCount differs from the chain";
    return nullptr;
}

}  // namespace zn
