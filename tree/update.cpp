// Updates of a node's data. UpdateNode changes the data only; UpdateTreeEntry changes a node's
// check state or texts and shows the change at once, carrying a new check state through the
// node's branch.
#include <optional>

#include "frame/gdi.h"
#include "frame/shortcuts.h"
#include "frame/text.h"
#include "tree.h"

namespace zn {

void TreeControl::UpdateTexts(TreeNode& node, const NodeInfo& info, DWORD mask) {
    if (mask & (ZN_CHANGE_TEXT1 | ZN_CHANGE_TEXT2 | ZN_CHANGE_TEXT3)) TextsChanged(&node);
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
    // Icons move the texts of the node and of its descendants.
    if (mask & (ZN_CHANGE_SEVERITY | ZN_CHANGE_EXTRA_ICON)) extentsStale_ = true;
    UpdateTexts(*node, *info, mask);
    AnnounceNodeChange(node, accessible::ChangesOf(mask));
    return 1;
}

int TreeControl::UpdateTreeEntry(NodeInfo* info, DWORD groupKey, LONG* checkedCount) {
    if (!head || !info) return 0;
    const DWORD mask = info->parentId & 0xFF;
    if (!(mask & (ZN_CHANGE_CHECK | ZN_CHANGE_TEXT1 | ZN_CHANGE_TEXT2 | ZN_CHANGE_TEXT3))) return 0;
    TreeNode* node = FindInGroup(info->id, groupKey);
    if (!node) return 0;

    const bool checkChange = (mask & ZN_CHANGE_CHECK) != 0;
    if (checkChange) {
        // A partly checked box is not something a host can set: it becomes checked, and the
        // host's record says so.
        if (info->checkState == ZN_PARTLY_CHECKED) info->checkState = ZN_CHECKED;
        node->checkState = info->checkState & 0xFFFF;
        PostCheckStateChanged();
    }
    UpdateTexts(*node, *info, mask);
    AnnounceNodeChange(node, accessible::ChangesOf(mask & (ZN_CHANGE_TEXT1 | ZN_CHANGE_TEXT2 | ZN_CHANGE_TEXT3)));

    const int row = listBox ? RowOf(node) : -1;
    // While drawing is kept off nothing is painted: the rows are painted afresh once drawing
    // comes back on.
    if (drawingOff_) catchUp_ = true;
    if (!checkChange) {
        RECT item;
        if (row < 0 || drawingOff_ ||
            SendMessageA(listBox, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
            return 1;
        InvalidateRect(listBox, &item, TRUE);
        UpdateWindow(listBox);
        return 1;
    }

    // The count follows the host's word, whatever the node held before.
    const bool checked = info->checkState == ZN_CHECKED;
    if (checkedCount) *checkedCount += checked ? 1 : -1;
    const int image = checked ? 14 : 13;

    std::optional<WindowDC> dc;
    int shift = 0, top = 0;
    bool shown = false;
    if (row >= 0 && !drawingOff_) {
        dc.emplace(listBox);
        // Every row's rectangle is as wide as the top row's: the scrolled width is read there.
        shift = ScrollOffsetAt(static_cast<int>(SendMessageA(listBox, LB_GETTOPINDEX, 0, 0)));
        ClipToClient(*dc, listBox);
        shown = RowTopIfShown(row, &top);
    }
    BoxCount below;  // the node's descendants, counted as the new state goes down to them
    if (node->descendantCount > 0) {
        const bool unchecking = node->checkState == ZN_UNCHECKED;
        const DWORD target = unchecking ? ZN_UNCHECKED : ZN_CHECKED;
        const bool drawn = node->expandState != 0 && dc;
        SetDescendantsCheck(node, row, target, unchecking ? 13 : 14, unchecking ? -1 : +1, checkedCount,
                            drawn ? dc->get() : nullptr, shift, &below);
    }
    UpdateAncestorsCheck(node, checkedCount, nullptr, ShortcutsTaken() ? &below : nullptr);
    AnnounceChecks(node);
    if (dc && shown && imageList)
        ImageList_DrawEx(imageList, image, *dc, CheckBoxX(node) - shift, top, 18, 18, CLR_NONE, CLR_NONE,
                         ILD_NORMAL);
    return 1;
}

}  // namespace zn
