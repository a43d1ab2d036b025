// The exported interface. Every export but the two create calls finds its control behind the
// window handle it is given and answers 0 (or null) when the window is not a live control of
// that kind. An export that would change a control is refused the same way while another one is
// changing it: that can only be a host's handler of a message the control's own work sent (a
// row measured, a row deleted), and the work in progress must not find its rows changed or
// freed. Nothing thrown inside crosses into the host: the export answers as refused.
#include "ZnTreeCt.h"
#include "frame/boundary.h"
#include "list/list.h"
#include "tree/tree.h"

using zn::ListControl;
using zn::TreeControl;

namespace {

enum class Use {
    Reads,    // reads or paints; allowed while the control is busy
    Changes,  // refused while the control is busy, and makes it busy meanwhile
    Ends,     // as Changes, for the call that frees the control
};

template <class Control, class Result, class Work>
Result Call(HWND window, Use use, Result refused, Work&& work) noexcept {
    return zn::Guarded(refused, [&]() -> Result {
        Control* control = Control::FromWindow(window);
        if (!control || (use != Use::Reads && control->busy)) return refused;
        if (use != Use::Changes) {
            if (use == Use::Ends) ++control->busy;  // for good: the object is gone afterwards
            return work(*control);
        }
        struct Busy {
            Control* control;
            ~Busy() { --control->busy; }
        } busy{control};
        ++control->busy;
        return work(*control);
    });
}

template <class Result, class Work>
Result Tree(HWND window, Use use, Result refused, Work&& work) noexcept {
    return Call<TreeControl>(window, use, refused, work);
}
template <class Result, class Work>
Result List(HWND window, Use use, Result refused, Work&& work) noexcept {
    return Call<ListControl>(window, use, refused, work);
}

constexpr int kNo = 0;
constexpr TreeNode* kNoNode = nullptr;
constexpr ListRow* kNoRow = nullptr;

}  // namespace

extern "C" {

HWND __cdecl CreateTree(HWND parent, int placeholderId, int listBoxId) {
    return zn::Guarded<HWND>(nullptr, [&]() -> HWND {
        TreeControl* tree = TreeControl::Create(parent, placeholderId, listBoxId);
        return tree ? tree->listBox : nullptr;
    });
}

int __cdecl DestroyTree(HWND window) {
    return Tree(window, Use::Ends, kNo, [](TreeControl& tree) { return tree.Destroy(), 1; });
}

int __cdecl ClearTree(HWND window) {
    return Tree(window, Use::Changes, kNo, [](TreeControl& tree) { return tree.Clear(); });
}

int __cdecl AttachSeverityIcons(HWND window, HIMAGELIST icons) {
    return Tree(window, Use::Changes, kNo, [&](TreeControl& tree) { return tree.AttachIcons(tree.kSeverityIcons, icons); });
}

int __cdecl AttachAdditionalIcons(HWND window, HIMAGELIST icons) {
    return Tree(window, Use::Changes, kNo,
                [&](TreeControl& tree) { return tree.AttachIcons(tree.kAdditionalIcons, icons); });
}

TreeNode* __cdecl GetListHead(HWND window) {
    return Tree(window, Use::Reads, kNoNode, [](TreeControl& tree) { return tree.Head(); });
}

TreeNode* __cdecl Sorted_Insert(HWND window, const NodeInfo* info, DWORD groupKey) {
    return Tree(window, Use::Changes, kNoNode, [&](TreeControl& tree) { return tree.SortedInsert(info, groupKey); });
}

int __cdecl UpdateNode(HWND window, const NodeInfo* info, DWORD groupKey) {
    return Tree(window, Use::Changes, kNo, [&](TreeControl& tree) { return tree.UpdateNode(info, groupKey); });
}

int __cdecl UpdateTreeEntry(HWND window, NodeInfo* info, DWORD groupKey, LONG* checkedCount) {
    return Tree(window, Use::Changes, kNo,
                [&](TreeControl& tree) { return tree.UpdateTreeEntry(info, groupKey, checkedCount); });
}

int __cdecl RefreshTree(HWND window, LONG* selectedIndex, LONG* checkedCount) {
    return Tree(window, Use::Changes, kNo, [&](TreeControl& tree) { return tree.Refresh(selectedIndex, checkedCount); });
}

int __cdecl ExpandNode(HWND window, DWORD id, DWORD groupKey) {
    return Tree(window, Use::Changes, kNo, [&](TreeControl& tree) { return tree.ExpandNode(id, groupKey); });
}

int __cdecl CollapseNode(HWND window, DWORD id, DWORD groupKey) {
    return Tree(window, Use::Changes, kNo, [&](TreeControl& tree) { return tree.CollapseNode(id, groupKey); });
}

int __cdecl ZNTree_SelectNode(HWND window, DWORD id, DWORD groupKey) {
    return Tree(window, Use::Changes, kNo, [&](TreeControl& tree) { return tree.SelectNode(id, groupKey); });
}

int __cdecl On_DrawItem(HWND window, DRAWITEMSTRUCT* item, LONG* selectedIndex) {
    return Tree(window, Use::Reads, kNo, [&](TreeControl& tree) {
        if (item) tree.DrawRow(item, selectedIndex);
        return 1;
    });
}

int __cdecl On_MeasureItem(HWND window, MEASUREITEMSTRUCT* item) {
    return Tree(window, Use::Reads, kNo, [&](TreeControl& tree) {
        if (item) tree.MeasureItem(item);
        return 1;
    });
}

int __cdecl On_WMCharToItem(HWND window, WPARAM wParam, LPARAM lParam, LONG* checkedCount) {
    return Tree(window, Use::Changes, kNo,
                [&](TreeControl& tree) { return tree.OnCharToItem(wParam, lParam, checkedCount); });
}

int __cdecl On_WMCommand(HWND window, WPARAM wParam, LPARAM lParam, LONG* checkedCount) {
    return Tree(window, Use::Changes, kNo, [&](TreeControl& tree) {
        tree.OnCommand(wParam, lParam, checkedCount);
        return 1;
    });
}

HWND __cdecl ZNList_Create(HWND parent, int placeholderId, int listBoxId) {
    return zn::Guarded<HWND>(nullptr, [&]() -> HWND {
        ListControl* list = ListControl::Create(parent, placeholderId, listBoxId);
        return list ? list->listBox : nullptr;
    });
}

int __cdecl ZNList_Destroy(HWND window) {
    return List(window, Use::Ends, kNo, [](ListControl& list) { return list.Destroy(), 1; });
}

int __cdecl ZNList_Clear(HWND window) {
    return List(window, Use::Changes, kNo, [](ListControl& list) { return list.Clear(); });
}

int __cdecl ZNList_AttachSeverityIcons(HWND window, HIMAGELIST icons) {
    return List(window, Use::Changes, kNo, [&](ListControl& list) { return list.AttachIcons(list.kSeverityIcons, icons); });
}

int __cdecl ZNList_AttachAdditionalIcons(HWND window, HIMAGELIST icons) {
    return List(window, Use::Changes, kNo,
                [&](ListControl& list) { return list.AttachIcons(list.kAdditionalIcons, icons); });
}

ListRow* __cdecl ZNList_GetListHead(HWND window) {
    return List(window, Use::Reads, kNoRow, [](ListControl& list) { return list.Head(); });
}

ListRow* __cdecl ZNList_Insert(HWND window, const NodeInfo* info) {
    return List(window, Use::Changes, kNoRow, [&](ListControl& list) { return list.Insert(info); });
}

ListRow* __cdecl ZNList_InsertFromTree(HWND window, const TreeNode* node) {
    return List(window, Use::Changes, kNoRow, [&](ListControl& list) { return list.InsertFromTree(node); });
}

int __cdecl ZNList_UpdateItem(HWND window, const NodeInfo* info, DWORD) {
    return List(window, Use::Changes, kNo, [&](ListControl& list) { return list.UpdateItem(info); });
}

int __cdecl ZNList_UpdateEntry(HWND window, NodeInfo* info, DWORD, LONG* checkedCount) {
    return List(window, Use::Changes, kNo, [&](ListControl& list) { return list.UpdateEntry(info, checkedCount); });
}

int __cdecl ZNList_Refresh(HWND window, int sortColumn, int descending) {
    return List(window, Use::Changes, kNo, [&](ListControl& list) { return list.Refresh(sortColumn, descending); });
}

int __cdecl ZNList_AddHeaderColumn(HWND window, const WCHAR* title, DWORD flags) {
    return List(window, Use::Changes, kNo, [&](ListControl& list) { return list.AddHeaderColumn(title, flags); });
}

int __cdecl ZNList_SetHeaderColumn(HWND window, DWORD rowId, DWORD column, BSTR text) {
    return List(window, Use::Changes, kNo, [&](ListControl& list) { return list.SetHeaderColumn(rowId, column, text); });
}

int __cdecl ZNList_SelectNode(HWND window, DWORD rowId) {
    return List(window, Use::Changes, kNo, [&](ListControl& list) { return list.SelectNode(rowId); });
}

int __cdecl ZNList_GetListCount(HWND window) {
    return List(window, Use::Reads, kNo, [](ListControl& list) { return list.GetListCount(); });
}

int __cdecl ZNList_GetSelectedNodeCount(HWND window) {
    return List(window, Use::Reads, kNo, [](ListControl& list) { return list.GetSelectedNodeCount(); });
}

}  // extern "C"
