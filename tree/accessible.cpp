// The tree as accessibility aids see it: each row an outline item named by its text lines, its
// level as its value, its boxes and branches as states, and a default action that does what a
// click on the row's box does. Events name the rows whose nodes changed.
#include "tree.h"

namespace zn {
namespace {

bool IsDescendant(const TreeNode* node, const TreeNode* of) {
    for (const TreeNode* a = node->parent; a; a = a->parent)
        if (a == of) return true;
    return false;
}

}  // namespace

bool TreeControl::DescribeItem(LPARAM item, unsigned parts, accessible::RowFacts* facts) {
    const auto* node = reinterpret_cast<const TreeNode*>(item);
    if (!node) return false;
    if (parts & (accessible::kName | accessible::kNameWithoutChoices)) {
        for (int i = 0; i < node->textCount && i < 3; ++i) {
            // A line is a choice as it is drawn: a bold line shows its text even with the choice bit.
            const bool choice = (node->flags & (ZN_CHOICE_TEXT1 << i)) && !(node->flags & (ZN_BOLD_TEXT1 << i));
            if (choice && !(parts & accessible::kName)) continue;
            accessible::AppendLine(facts->name, node->texts[i], choice, node->choiceIndex);
        }
    }
    if (parts & accessible::kValue) facts->value.AppendNumber(static_cast<long>(node->level));
    if (parts & accessible::kDescription)
        accessible::DescribeIcons(facts->description, ShowsSeverity(node) && node->severity < severityIconCount,
                                  node->severity, ShowsAdditional(node) && node->extraIcon < additionalIconCount,
                                  node->extraIcon);
    if (parts & accessible::kStatesAndAction) {
        if (node->checkState == ZN_CHECKED) facts->states |= STATE_SYSTEM_CHECKED;
        if (node->checkState == ZN_PARTLY_CHECKED) facts->states |= STATE_SYSTEM_MIXED;
        if (node->expandState == 1) facts->states |= STATE_SYSTEM_EXPANDED;
        if (node->expandState == 0) facts->states |= STATE_SYSTEM_COLLAPSED;
        // The word says what the toggle will do: a parent partly checked is unchecked.
        const bool unchecks = node->checkState == ZN_CHECKED ||
                              (node->descendantCount > 0 && node->checkState == ZN_PARTLY_CHECKED);
        if (node->checkState != ZN_CHECK_DISABLED) facts->action = unchecks ? accessible::kUncheck : accessible::kCheck;
        else if (node->expandState == 0) facts->action = accessible::kExpand;
        else if (node->expandState == 1) facts->action = accessible::kCollapse;
    }
    return true;
}

// What a click on the row's box does: the row is selected, then its box toggled — through the
// host, as the space key does, so that the host's count of checked nodes follows — or, on a parent
// without a box, its branch opened or closed.
HRESULT TreeControl::DoRowAction(int row) {
    TreeNode* node = NodeAt(row);
    if (!node) return E_INVALIDARG;
    const bool box = node->checkState != ZN_CHECK_DISABLED;
    if (!box && node->expandState == -1) return DISP_E_MEMBERNOTFOUND;
    const HWND list = listBox, owner = GetParent(listBox);
    {
        // While rows repaint, the host's handlers may not clear or destroy the tree.
        Held hold(busy);
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        if (!box) return ToggleOpen(node, row), S_OK;
    }
    // The host forwards the key with its count; the tree is not touched after it has seen it.
    SendMessageA(owner, WM_CHARTOITEM, MAKEWPARAM(' ', row), reinterpret_cast<LPARAM>(list));
    return S_OK;
}

void TreeControl::AnnounceNodeChange(const TreeNode* node, unsigned changes) {
    if (listBox && changes && accessible::Listening(*this, changes))
        accessible::RowChanged(listBox, RowOf(node), changes);
}

// A toggled box changes the node's ancestors and descendants too. Those far out of view are not
// named: an aid reads a row afresh when it gets there.
void TreeControl::AnnounceChecks(const TreeNode* node) {
    if (!listBox || !accessible::Listening(*this, accessible::kStateChange)) return;
    accessible::RowChanged(listBox, RowOf(node), accessible::kStateChange);
    for (const TreeNode* a = node->parent; a; a = a->parent)
        accessible::RowChanged(listBox, RowOf(a), accessible::kStateChange);
    if (node->descendantCount == 0) return;
    LRESULT first = 0, end = 0;
    accessible::RowsInView(listBox, &first, &end);
    for (LRESULT r = first; r < end; ++r) {
        const TreeNode* shown = NodeAt(static_cast<int>(r));
        if (shown && IsDescendant(shown, node)) accessible::RowChanged(listBox, r, accessible::kStateChange);
    }
}

void TreeControl::AnnounceBranch(int row) {
    accessible::RowChanged(listBox, row, accessible::kStateChange);
    accessible::RowsReordered(*this, listBox);
}

}  // namespace zn
