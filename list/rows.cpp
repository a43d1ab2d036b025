// Row operations: inserts, updates, clearing, refreshing, selecting and counting.
#include "frame/gdi.h"
#include "frame/insert_run.h"
#include "frame/text.h"
#include "list.h"

namespace zn {
namespace {

constexpr DWORD kTextBits = ZN_CHANGE_TEXT1 | ZN_CHANGE_TEXT2 | ZN_CHANGE_TEXT3;

DWORD InsertedCheckState(DWORD value) {
    WORD state = LOWORD(value);
    return state >= ZN_CHECK_DISABLED && state <= ZN_UNCHECKED ? state : ZN_UNCHECKED;
}

DWORD InsertedSeverity(DWORD value) { return value <= 3 ? value : 1; }

ListRow* NewRow(Arena& arena, DWORD id, DWORD checkState, WORD flags, DWORD severity, DWORD extraIcon) {
    auto* row = static_cast<ListRow*>(arena.Take(sizeof(ListRow)));
    if (!row) return nullptr;
    row->id = id;
    row->checkState = InsertedCheckState(checkState);
    row->flags = flags;
    row->severity = InsertedSeverity(severity);
    row->extraIcon = extraIcon;
    return row;
}

// Gives back what a row holds; its own block goes back with the list's other rows.
void ReleaseRowContents(ListRow* row) {
    for (TextField& slot : row->texts) text::Release(slot);
    columns::Free(row->columnTexts);
}

// A text set by an update: null empties the slot (copying a block shared with a tree node
// first), anything else replaces it; textCount follows whether the slot holds a text.
void UpdateText(ListRow* row, TextField& slot, BSTR text) {
    bool wasEmpty = text::IsEmpty(slot);
    if (!text) {
        text::Clear(slot);
        if (!wasEmpty) --row->textCount;
        return;
    }
    // An empty text given again and again would raise the count past the three texts a row has.
    if (wasEmpty && row->textCount < 3) ++row->textCount;
    text::AssignCopy(slot, text);
}

void UpdateTexts(ListRow* row, const NodeInfo* info, DWORD mask) {
    BSTR texts[3] = {info->text1, info->text2, info->text3};
    for (int i = 0; i < 3; ++i)
        if (mask & (ZN_CHANGE_TEXT1 << i)) UpdateText(row, row->texts[i], texts[i]);
}

}  // namespace

void ListControl::FreeRows() {
    for (ListRow* row = head; row;) {
        ListRow* next = row->next;
        ReleaseRowContents(row);
        row = next;
    }
    rowBlocks_.Release();
    head = nullptr;
    tail = nullptr;
    rowCount = 0;
    firstById.Clear();
}

ListRow* ListControl::FindRow(DWORD id) const { return firstById.Find(id); }

bool ListControl::AppendRow(ListRow* row) {
    if (!firstById.Add(row)) return false;
    if (!head)
        head = row;
    else
        tail->next = row;
    tail = row;
    ++rowCount;
    return true;
}

ListRow* ListControl::Insert(const NodeInfo* info) {
    if (!info) return nullptr;
    ListRow* row = NewRow(rowBlocks_, info->id, info->checkState, info->flags, info->severity, info->extraIcon);
    if (!row) return nullptr;
    BSTR texts[3] = {info->text1, info->text2, info->text3};
    for (int i = 0; i < 3; ++i) {
        if (!texts[i]) continue;
        text::AssignCopy(row->texts[i], texts[i]);
        ++row->textCount;
    }
    if (!AppendRow(row)) {
        ReleaseRowContents(row);
        return nullptr;
    }
    return row;
}

ListRow* ListControl::InsertFromTree(const TreeNode* node) {
    if (!node) return nullptr;
    ListRow* row = NewRow(rowBlocks_, node->id, node->checkState, node->flags, node->severity, node->extraIcon);
    if (!row) return nullptr;
    for (int i = 0; i < 3; ++i) {
        if (text::IsEmpty(node->texts[i])) continue;
        text::Share(node->texts[i], row->texts[i]);
        ++row->textCount;
    }
    if (!AppendRow(row)) {
        ReleaseRowContents(row);
        return nullptr;
    }
    return row;
}

int ListControl::UpdateItem(const NodeInfo* info) {
    if (!info) return 0;
    ListRow* row = FindRow(info->id);
    if (!row) return 0;
    DWORD mask = info->parentId;
    if (mask & ZN_CHANGE_EXTRA_ICON) row->extraIcon = LOWORD(info->extraIcon);
    if (mask & ZN_CHANGE_CHECK) {
        row->checkState = LOWORD(info->checkState);
        PostCheckStateChanged();
    }
    if (mask & ZN_CHANGE_SEVERITY) row->severity = info->severity;
    UpdateTexts(row, info, mask);
    AnnounceRowChange(row, -1, accessible::ChangesOf(mask));
    return 1;
}

int ListControl::ListBoxIndexOf(const ListRow* row) const {
    LRESULT count = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        if (RowAt(i) == row) return static_cast<int>(i);
    return -1;
}

int ListControl::UpdateEntry(NodeInfo* info, LONG* checkedCount) {
    if (!info) return 0;
    DWORD mask = info->parentId;
    if (!(mask & (ZN_CHANGE_CHECK | kTextBits))) return 0;
    ListRow* row = FindRow(info->id);
    if (!row) return 0;
    if (mask & ZN_CHANGE_CHECK) {
        if (info->checkState == ZN_PARTLY_CHECKED) info->checkState = ZN_CHECKED;
        row->checkState = LOWORD(info->checkState);
        PostCheckStateChanged();
    }
    UpdateTexts(row, info, mask);
    int index = ListBoxIndexOf(row);
    AnnounceRowChange(row, index, accessible::ChangesOf(mask & kTextBits));  // the box: PaintCheckBox
    if (!(mask & ZN_CHANGE_CHECK)) {
        RECT item;
        if (index >= 0 && SendMessageA(listBox, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) != LB_ERR) {
            InvalidateRect(listBox, &item, TRUE);
            UpdateWindow(listBox);
        }
        return 1;
    }
    bool checked = info->checkState == ZN_CHECKED;
    // The count is the host's; a host that keeps none passes null and counts nothing.
    if (checkedCount) *checkedCount += checked ? 1 : -1;
    if (index >= 0) PaintCheckBox(row, index, checked ? 14 : 13);
    return 1;
}

// Draws a row's check box at once, where the row drawing puts it, shifted by the scrolling.
void ListControl::PaintCheckBox(const ListRow* row, int index, int image) {
    AnnounceRowChange(row, index, accessible::kStateChange);  // every box changed on show comes here
    RECT item;
    if (SendMessageA(listBox, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) == LB_ERR) return;
    WindowDC dc(listBox);
    if (!dc) return;
    ClipToClient(dc, listBox);
    const LONG shift = ScrollOffset(item);
    int x = 2;
    if (row->severity && severityIconsAttached) x += 20;
    if (row->extraIcon && additionalIconsAttached) x += 20;
    ImageList_DrawEx(imageList, image, dc, x - shift, item.top, 18, 18, CLR_NONE, CLR_NONE, ILD_NORMAL);
}

void ListControl::HideEditor() {
    if (!IsWindow(editorWindow)) return;
    ShowWindow(editorWindow, SW_HIDE);
    SetWindowLongPtrA(editorWindow, GWLP_USERDATA, 0);
}

// Deleting item 0 until none is left ends in the state one reset gives, without moving the
// remaining items down at each step; an empty list box is left alone, as the deleting would.
void ListControl::EmptyListBox() {
    if (SendMessageA(listBox, LB_GETCOUNT, 0, 0) > 0) SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
}

int ListControl::Clear() {
    HideEditor();
    EmptyListBox();
    FreeRows();
    accessible::RowsReordered(*this, listBox);
    return 1;
}

int ListControl::Refresh(int column, int descending) {
    // The rows in chain order, which is the order they are shown in until the sort below; without
    // room for them the list is left as it is.
    PodArray<ListRow*> rows;
    if (head && !rows.Reserve(rowCount)) return 0;
    // Painting while filling costs milliseconds a row; the list box is redrawn once at the end.
    SendMessageA(listBox, WM_SETREDRAW, FALSE, 0);
    EmptyListBox();
    if (!head) {
        SendMessageA(listBox, WM_SETREDRAW, TRUE, 0);
        return 0;
    }
    {
        InsertRun run(listBox, 0, 0);
        int i = 0;
        for (ListRow* row = head; row && rows.Push(row); row = row->next, ++i) {
            if (row->flags & (ZN_CHOICE_TEXT1 | ZN_CHOICE_TEXT2 | ZN_CHOICE_TEXT3)) {
                int n = (row->flags & ZN_CHOICE_TEXT1) ? 0 : (row->flags & ZN_CHOICE_TEXT2) ? 1 : 2;
                row->choiceValue = text::ValueAtStart(row->texts[n]);
                row->choiceValueSet = 1;
            }
            SendMessageA(listBox, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(row));
            run.Inserted(i);
        }
    }
    SendMessageA(listBox, WM_SETREDRAW, TRUE, 0);
    currentIndex = -1;
    SetFocus(listBox);
    SendMessageA(listBox, LB_SETCURSEL, 0, 0);
    AutoSizeColumnsOf(rows.begin(), rows.size());
    SortAndRefillOf(rows.begin(), rows.size(), column, descending);
    return 1;
}

int ListControl::SelectNode(DWORD id) {
    ListRow* row = FindRow(id);
    if (!row) return 0;
    // Without LBS_HASSTRINGS the search compares item data, that is the row pointer.
    LRESULT index = SendMessageA(listBox, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(row));
    if (index == LB_ERR) return 0;
    HideEditor();
    PostMessageA(listBox, LB_SETCURSEL, index, 0);
    return 1;
}

int ListControl::GetListCount() const {
    int count = 0;
    for (ListRow* row = head; row; row = row->next) ++count;
    return count;
}

int ListControl::GetSelectedNodeCount() const {
    int count = 0;
    for (ListRow* row = head; row; row = row->next) count += row->checkState == ZN_CHECKED;
    return count;
}

const char* ListControl::CheckRows() const {
    DWORD length = 0;
    for (ListRow* row = head; row; row = row->next)
        if (++length > rowCount) return "the chain is longer than rowCount";
    if (length != rowCount) return "the chain is shorter than rowCount";
    LRESULT items = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    if (items < 0 || static_cast<DWORD>(items) > rowCount) return "more list-box items than rows";
    for (LRESULT i = 0; i < items; ++i) {
        const ListRow* shown = RowAt(i);
        ListRow* row = head;
        while (row && row != shown) row = row->next;
        if (!row) return "a list-box item holds no row of the chain";
        for (LRESULT j = 0; j < i; ++j)
            if (RowAt(j) == shown)
                return "a row is shown twice";
    }
    return nullptr;
}

}  // namespace zn
