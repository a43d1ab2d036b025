// Tree lines: the connector cell of a row and the dotted verticals that carry a sibling's or a
// child's line down through the extra lines of a multi-line row.
#include "tree.h"

namespace zn {
namespace {

constexpr int kVerticalLine = 9;

// Connector image by expandState (collapsed, expanded, no descendants) and lineShape (first,
// sibling follows, last, only); -1 for values a node never holds.
int ConnectorImage(LONG expandState, DWORD lineShape) {
    static const int table[3][4] = {{0, 1, 2, 10}, {3, 4, 5, 11}, {6, 7, 8, 12}};
    int row = expandState == 0 ? 0 : expandState == 1 ? 1 : expandState == -1 ? 2 : -1;
    if (row < 0 || lineShape > 3) return -1;
    return table[row][lineShape];
}

// Full vertical cells for lines first..lines-1, then the top 16 x 8 of one more cell, which
// runs the line through the 4-pixel gap under a row of two or more lines.
void DrawVerticals(HIMAGELIST images, HDC dc, int x, int top, int first, int lines) {
    for (int k = first; k < lines; ++k) ImageList_Draw(images, kVerticalLine, dc, x, top + 18 * k, ILD_NORMAL);
    if (lines >= 2)
        ImageList_DrawEx(images, kVerticalLine, dc, x, top + 18 * lines, 16, 8, CLR_NONE, CLR_NONE, ILD_NORMAL);
}

}  // namespace

void TreeControl::DrawTreeLines(const DRAWITEMSTRUCT* item, const TreeNode* node) {
    if (!imageList) return;
    HDC dc = item->hDC;
    const int ox = item->rcItem.left;  // follows horizontal scrolling, as the texts do
    const int top = item->rcItem.top;
    const int lines = node->textCount;
    const int level = static_cast<int>(node->level);
    const int ancestors = AncestorIconWidth(node);

    // Ancestor columns: a vertical line where an ancestor still has a sibling below it. An
    // ancestor's own icon width is the node's less the icons of the ancestors from the node's
    // parent up to it, so the walk up costs the depth once; a column wholly outside the area being
    // painted is not drawn at all.
    RECT painted;
    if (GetClipBox(dc, &painted) == ERROR) painted = item->rcItem;
    int above = ancestors;
    for (const TreeNode* a = node->parent; a; a = a->parent) {
        above -= 20 * (ShowsSeverity(a) + ShowsAdditional(a));
        if (a->expandState == -1 || a->lineShape == 2 || a->lineShape == 3) continue;
        int x = ox + above + 18 * static_cast<int>(a->level) + 2;
        if (x >= painted.right || x + 18 <= painted.left) continue;
        DrawVerticals(imageList, dc, x, top, 0, lines);
    }

    // Own column.
    const int x = ox + ancestors + 18 * level + 2;
    int image = ConnectorImage(node->expandState, node->lineShape);
    if (image >= 0) ImageList_Draw(imageList, image, dc, x, top, ILD_NORMAL);
    if ((node->lineShape == 0 || node->lineShape == 1) && lines >= 2) DrawVerticals(imageList, dc, x, top, 1, lines);

    // An open node's children hang below it: their column continues through its lower lines.
    const TreeNode* child = node->next;
    if (node->expandState == 1 && lines >= 2 && child) {
        const TreeNode* p = child->parent;
        int parentIcons = p ? 20 * (ShowsSeverity(p) + ShowsAdditional(p)) : 0;
        int cx = ox + ancestors + parentIcons + 18 * static_cast<int>(child->level) + 2;
        DrawVerticals(imageList, dc, cx, top, 1, lines);
    }
}

}  // namespace zn
