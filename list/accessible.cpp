// The list as accessibility aids see it: each row a list item named by its cells in column order,
// each after its column's title ("Finding: codec.zip, Path: C:\..."), its box as a state, and a
// default action that does what a click on the box does. The header stays the system's own.
#include "frame/scoped.h"
#include "frame/text.h"
#include "list.h"

namespace zn {

void ListControl::NameRow(const ListRow& row, bool withChoices, accessible::Text* name) {
    auto lines = [&](accessible::Text& cell) {
        for (int n = 0; n < row.textCount && n < 3; ++n) {
            // A line is a choice as it is drawn: a bold line shows its text even with the choice bit.
            const bool choice = (row.flags & (ZN_CHOICE_TEXT1 << n)) && !(row.flags & (ZN_BOLD_TEXT1 << n));
            if (!choice || withChoices) accessible::AppendLine(cell, row.texts[n], choice, row.choiceIndex);
        }
    };
    if (!IsWindow(headerWindow)) {
        lines(*name);
        return;
    }
    for (int k = 0; k < columnCount; ++k) {
        WCHAR title[256] = {};
        HDITEMW item = {};
        item.mask = HDI_TEXT;
        item.pszText = title;
        item.cchTextMax = 256;
        if (!SendMessageW(headerWindow, HDM_GETITEMW, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(&item))) break;
        title[255] = 0;
        accessible::Text cell;
        if (k == 0) lines(cell);
        else if (columns::Count(row.columnTexts) >= static_cast<size_t>(k))
            accessible::AppendLine(cell, row.columnTexts.begin[k - 1], false, 0);
        if (cell.empty()) continue;  // an empty cell shows nothing, its title included
        accessible::Text labelled;
        if (title[0]) {
            labelled.Append(title);
            labelled.Append(L": ", 2);
        }
        labelled.Append(cell.data(), cell.size());
        name->AppendItem(labelled.data(), labelled.size());
    }
}

bool ListControl::DescribeItem(LPARAM item, unsigned parts, accessible::RowFacts* facts) {
    const auto* row = reinterpret_cast<const ListRow*>(item);
    if (!row) return false;
    if (parts & (accessible::kName | accessible::kNameWithoutChoices))
        NameRow(*row, (parts & accessible::kName) != 0, &facts->name);
    if (parts & accessible::kDescription)
        accessible::DescribeIcons(facts->description,
                                  row->severity && severityIconsAttached && row->severity < severityIconCount,
                                  row->severity,
                                  row->extraIcon && additionalIconsAttached && row->extraIcon < additionalIconCount,
                                  row->extraIcon);
    if (parts & accessible::kStatesAndAction) {
        if (row->checkState == ZN_CHECKED) facts->states |= STATE_SYSTEM_CHECKED;
        if (row->checkState == ZN_PARTLY_CHECKED) facts->states |= STATE_SYSTEM_MIXED;
        if (row->checkState != ZN_CHECK_DISABLED)
            facts->action = row->checkState == ZN_CHECKED ? accessible::kUncheck : accessible::kCheck;
    }
    return true;
}

// What a click on the row's box does: the row is selected, its box toggled, the host notified.
HRESULT ListControl::DoRowAction(int index) {
    const ListRow* row = RowAt(index);
    if (!row) return E_INVALIDARG;
    if (row->checkState == ZN_CHECK_DISABLED) return DISP_E_MEMBERNOTFOUND;
    Held hold(busy);
    SendMessageA(listBox, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ToggleCurrentRowCheck();
    return S_OK;
}

// A row whose place is not known is looked for among the selected row and the rows in view
// (an aid reads any other row afresh when it gets there), and only while an aid may listen.
void ListControl::AnnounceRowChange(const ListRow* row, int index, unsigned changes) {
    if (!listBox || !changes) return;
    if (index < 0) {
        if (!accessible::Listening(*this, changes)) return;
        const LRESULT selected = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
        if (selected != LB_ERR && RowAt(selected) == row) index = static_cast<int>(selected);
        LRESULT first = 0, end = 0;
        if (index < 0) accessible::RowsInView(listBox, &first, &end);
        for (LRESULT i = first; i < end && index < 0; ++i)
            if (RowAt(i) == row) index = static_cast<int>(i);
    }
    accessible::RowChanged(listBox, index, changes);
}

}  // namespace zn
