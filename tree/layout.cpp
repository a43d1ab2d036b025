// Row geometry: heights, and where a row's icons, check box and texts start.
#include "tree.h"

namespace zn {

bool TreeControl::ShowsSeverity(const TreeNode* node) const { return node->severity != 0 && severityIconsAttached; }

bool TreeControl::ShowsAdditional(const TreeNode* node) const {
    return node->extraIcon != 0 && additionalIconsAttached;
}

int TreeControl::AncestorIconWidth(const TreeNode* node) const {
    int width = 0;
    for (const TreeNode* a = node->parent; a; a = a->parent)
        width += 20 * (ShowsSeverity(a) + ShowsAdditional(a));
    return width;
}

// Within a sibling group either every row reserves the check-box slot or none does.
bool TreeControl::ShowsCheckColumn(const TreeNode* node) const {
    const TreeNode* parent = node->parent;
    if (!parent) return node->checkState != ZN_CHECK_DISABLED;
    if (parent->descendantCount == 0) return parent->checkState != ZN_CHECK_DISABLED;
    const TreeNode* d = parent->next;
    for (DWORD i = 0; i < parent->descendantCount && d; ++i, d = d->next)
        if (d->parent == parent && d->checkState != ZN_CHECK_DISABLED) return true;
    return false;
}

RowLayout TreeControl::RowSlots(const TreeNode* node) const {
    int ancestors = AncestorIconWidth(node);
    int base = 18 * static_cast<int>(node->level) + 20;
    int s = ancestors + 2;
    RowLayout layout = {ancestors + 18 * static_cast<int>(node->level) + 2, -1, -1, -1, 13, 0};
    if (ShowsSeverity(node)) {
        layout.severityX = s + base;
        s += 20;
    }
    if (ShowsAdditional(node)) {
        layout.additionalX = s + base;
        s += 20;
    }
    if (ShowsCheckColumn(node)) {
        layout.checkX = s + base;
        s += 20;
        switch (node->checkState) {
        case ZN_CHECK_DISABLED: layout.checkImage = 16; break;
        case ZN_PARTLY_CHECKED: layout.checkImage = 15; break;
        case ZN_CHECKED: layout.checkImage = 14; break;
        default: layout.checkImage = 13; break;
        }
    }
    layout.textX = s + base;
    return layout;
}

int TreeControl::CheckBoxX(const TreeNode* node) const {
    return 18 * static_cast<int>(node->level) + 22 + 20 * (ShowsSeverity(node) + ShowsAdditional(node)) +
           AncestorIconWidth(node);
}

int TreeControl::RowHeight(const TreeNode* node) {
    if (!node) return 18;
    int lines = node->textCount;
    return 18 * lines + (lines >= 2 ? 4 : 0);
}

int TreeControl::MeasureItem(MEASUREITEMSTRUCT* item) {
    item->itemHeight = static_cast<UINT>(RowHeight(reinterpret_cast<const TreeNode*>(item->itemData)));
    return 1;
}

}  // namespace zn
