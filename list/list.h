// The list control: an owner-drawn list box under a header bar. Rows live in a chain in
// insertion order; the list box shows them in the order of the sorted column.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "ZnTreeCt.h"
#include "row_index.h"
#include "frame/arena.h"
#include "frame/control.h"
#include "frame/pod_array.h"
#include "frame/registry.h"
#include "frame/text_widths.h"

namespace zn {

class ListControl : public ListBoxControl {
public:
    using Item = ListRow;
    static constexpr registry::Role kListBoxRole = registry::Role::ListListBox;
    static constexpr const char* kPropertyName = "ZNListCt";
    // Highest column number a row text can be set for: columnCount is 8 bits, so no header
    // item can ever show a higher one, and a 32-bit number must not size an allocation.
    static constexpr DWORD kMaxColumnNumber = 255;
    static constexpr int kMinimumColumnWidth = 80;

    // Creation and teardown.
    static ListControl* Create(HWND parent, int placeholderId, int listBoxId);
    // The list that `window` serves in `role` (its list box, parent or header band), null when
    // none does; *entry gets the record (for a parent, the procedure its hook replaced).
    static ListControl* FromWindow(HWND window, registry::Role role = kListBoxRole, registry::Entry* entry = nullptr);
    void Destroy();

    // Rows.
    ListRow* Head() const { return head; }
    ListRow* Insert(const NodeInfo* info);
    ListRow* InsertFromTree(const TreeNode* node);
    int UpdateItem(const NodeInfo* info);
    int UpdateEntry(NodeInfo* info, LONG* checkedCount);
    int Clear();
    int Refresh(int column, int descending);
    int SelectNode(DWORD id);
    int GetListCount() const;
    int GetSelectedNodeCount() const;
    ListRow* FindRow(DWORD id) const;

    // Header and columns.
    int AddHeaderColumn(const WCHAR* title, DWORD flags);
    int SetHeaderColumn(DWORD rowId, DWORD column, BSTR text);
    void SortAndRefill(int column, int descending);
    void HeaderClick(int column);
    static bool RowComesBefore(const ListRow* a, const ListRow* b, int column, int descending);

    // Sizing.
    static int RowHeight(const ListRow* row);
    DWORD TotalColumnsWidth();
    void UpdateHorizontalExtent();

    // Drawing.
    void DrawRow(const DRAWITEMSTRUCT* item);

    // Input.
    LRESULT DispatchParentMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* handled);
    void OnListCommand(WPARAM wParam, HWND listWindow);
    void ToggleCurrentRowCheck();
    LRESULT OnCharToItem(WPARAM wParam, LPARAM lParam);
    void NoteForeignRowChange(UINT) {}
    void ListBoxResized() { RelayoutList(); }
    void ListBoxMoved() { RelayoutList(); }  // the header band stays on top of the list box
    void RelayoutList();
    RECT ListBoxPlace() const;  // the list box's rectangle in its parent's client coordinates

    // Editor.
    HWND BuildEditor(ListRow* row);
    SIZE MeasureChoices(const TextField& text) { return ListBoxControl::MeasureChoices(text, kEditorMargin); }
    void PlaceEditorOverCell(ListRow* row, int textNumber, const DRAWITEMSTRUCT* cell, int textX);
    void MoveEditor(const RECT& rect);

    // Checks the row chain: the count and, after a refresh, one list-box item per row.
    const char* CheckRows() const;

    // Accessibility (accessible.cpp): what aids are told of a row, its default action, and the
    // events for rows whose states, texts or icons changed (`index` -1: looked for in view).
    LONG ClientRole() const override { return ROLE_SYSTEM_LIST; }
    LONG RowRole() const override { return ROLE_SYSTEM_LISTITEM; }
    bool DescribeItem(LPARAM item, unsigned parts, accessible::RowFacts* facts) override;
    HRESULT DoRowAction(int index) override;
    void AnnounceRowChange(const ListRow* row, int index, unsigned changes);

    HWND parentWindow = nullptr;
    WNDPROC savedParentProc = nullptr;
    HWND headerWindow = nullptr;
    HWND headerParent = nullptr;
    HBITMAP ascendingMark = nullptr;
    HBITMAP descendingMark = nullptr;
    BYTE sortColumn = 0;
    BYTE sortDescending = 0;
    BYTE columnCount = 0;
    LONG headerOffset = 0;
    RECT editorRect = {0, 0, 0, 0};
    ListRow* head = nullptr;
    DWORD rowCount = 0;
    ListRow* tail = nullptr;   // last row of the chain, where inserts append
    RowIndex firstById;        // the first row with each id, in chain order
    Arena rowBlocks_;          // the rows' own blocks, freed together with the chain
    TextWidths normalWidths, boldWidths;  // character widths of normalFont and boldFont

    ListControl() : ListBoxControl(ZN_LIST_CHECK_STATE_CHANGED) {}

private:
    bool HookParent();
    void UnhookParent();
    ListRow* RowAt(LRESULT index) const { return ItemAt<ListRow>(index); }
    void FreeRows();
    bool AppendRow(ListRow* row);          // after the last row; false when out of memory
    void EmptyListBox();
    int ListBoxIndexOf(const ListRow* row) const;  // -1 when the row is not shown
    void PaintCheckBox(const ListRow* row, int index, int image);
    void HideEditor();                     // and unlinks it from its row
    bool MakeHeader();
    HBITMAP MakeSortMark(int iconId);
    DWORD TextWidth(HDC dc, HFONT font, const TextField& text);
    DWORD MeasuredWidth(HDC dc, HFONT font, const TextField& text);  // through the width table when exact
    void PrepareWidths(HDC dc);
    bool ShownRows(PodArray<ListRow*>* rows) const;  // the rows of the list box's items, in order
    // Column sizing over given rows (the rows shown), without asking the list box for them.
    DWORD MainColumnWidthOf(HDC dc, ListRow* const* rows, size_t count, DWORD limit);
    DWORD ColumnNaturalWidthOf(HDC dc, ListRow* const* rows, size_t count, int column, DWORD limit);
    DWORD AutoSizeColumnsOf(ListRow* const* rows, size_t count);
    void SortAndRefillOf(ListRow** rows, size_t count, int column, int descending);
    void DrawMainCell(DRAWITEMSTRUCT* cell);
    void DrawColumnCell(DRAWITEMSTRUCT* cell, int column, DWORD flags);
    void DrawSelectionBox(const DRAWITEMSTRUCT* cell, ListRow* row, int textX);
    void DrawChoiceLookAlike(DRAWITEMSTRUCT* cell, ListRow* row, int textNumber, int textX, int top);
    void NameRow(const ListRow& row, bool withChoices, accessible::Text* name);
};

LRESULT CALLBACK ListParentWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ListBoxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK HeaderParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Sorts rows into the order RowComparer gives (column, direction), as std::sort with
// ListControl::RowComesBefore would.
void SortRows(ListRow** rows, size_t count, int column, int descending);

// The list box class's own procedure, taken from the first list's list box.
extern WNDPROC baseListProc;

// Column texts of a row: a growable array of text slots whose layout the host can read.
namespace columns {
size_t Count(const ColumnTextArray& array);
// Grows the array to at least `count` entries, each new one sharing `filler`; false when out of memory.
bool GrowTo(ColumnTextArray& array, size_t count, const TextField& filler);
void Free(ColumnTextArray& array);  // releases every entry and the storage
}  // namespace columns

}  // namespace zn
