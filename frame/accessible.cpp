// Texts and events for accessibility aids. Events are sent with
// NotifyWinEvent, which costs next to nothing while no hook listens; rows are looked for (to give
// an event its child id) only once an aid has asked for the control's object.
#include "accessible.h"

#include "choice_label.h"
#include "text.h"

namespace zn::accessible {

const WCHAR kCheck[] = L"Check";
const WCHAR kUncheck[] = L"Uncheck";
const WCHAR kExpand[] = L"Expand";
const WCHAR kCollapse[] = L"Collapse";

namespace {

LONG lastSerial = 0;

}  // namespace

void Text::Append(const WCHAR* text, size_t length) {
    if (failed_ || !chars_.Reserve(chars_.size() + length)) {
        failed_ = true;
        return;
    }
    for (size_t i = 0; i < length; ++i) chars_.Push(text[i]);
}

void Text::AppendNumber(long value) {
    WCHAR digits[12];
    size_t n = 0;
    unsigned long magnitude = value < 0 ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
        digits[n++] = static_cast<WCHAR>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0) Append(L"-", 1);
    while (n) Append(&digits[--n], 1);
}

void Text::AppendItem(const WCHAR* text, size_t length) {
    if (length == 0) return;
    if (!empty()) Append(L", ", 2);
    Append(text, length);
}

void AppendLine(Text& name, const TextField& line, bool choice, DWORD choiceIndex) {
    const WCHAR* wide = text::Wide(line);
    const UINT stored = text::Length(line);
    if (!wide) return;
    if (!choice) {
        UINT shown = 0;
        while (shown < stored && wide[shown]) ++shown;
        name.AppendItem(wide, shown);
        return;
    }
    ChoicesOf table(line);
    if (!table || choiceIndex >= static_cast<DWORD>(table.count())) return;
    const ChoiceEntry& entry = table->entries[choiceIndex];
    if (entry.offset >= stored) return;
    name.AppendItem(wide + entry.offset, entry.length < stored - entry.offset ? entry.length : stored - entry.offset);
}

void DescribeIcons(Text& description, bool severityShown, DWORD severity, bool additionalShown, DWORD extraIcon) {
    if (severityShown) {
        description.Append(L"Severity ");
        description.AppendNumber(static_cast<long>(severity));
    }
    if (additionalShown) {
        description.Append(description.empty() ? L"Additional icon " : L", additional icon ");
        description.AppendNumber(static_cast<long>(extraIcon));
    }
}

Rows::Rows() : serial(static_cast<unsigned>(InterlockedIncrement(&lastSerial))) {}

void RowsInView(HWND listBox, LRESULT* first, LRESULT* end) {
    RECT client;
    GetClientRect(listBox, &client);
    const LRESULT count = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    *first = *end = SendMessageA(listBox, LB_GETTOPINDEX, 0, 0);
    for (LONG y = 0; *end < count && y < client.bottom; ++*end)
        y += static_cast<LONG>(SendMessageA(listBox, LB_GETITEMHEIGHT, static_cast<WPARAM>(*end), 0));
}

unsigned ChangesOf(DWORD changeMask) {
    unsigned changes = 0;
    if (changeMask & ZN_CHANGE_CHECK) changes |= kStateChange;
    if (changeMask & (ZN_CHANGE_TEXT1 | ZN_CHANGE_TEXT2 | ZN_CHANGE_TEXT3)) changes |= kNameChange;
    if (changeMask & (ZN_CHANGE_EXTRA_ICON | ZN_CHANGE_SEVERITY)) changes |= kDescriptionChange;
    return changes;
}

bool Listening(const Rows& rows, unsigned changes) {
    if (!rows.aidAsked) return false;
    return ((changes & kStateChange) && IsWinEventHookInstalled(EVENT_OBJECT_STATECHANGE)) ||
           ((changes & kNameChange) && IsWinEventHookInstalled(EVENT_OBJECT_NAMECHANGE)) ||
           ((changes & kDescriptionChange) && IsWinEventHookInstalled(EVENT_OBJECT_DESCRIPTIONCHANGE));
}

void RowChanged(HWND listBox, LRESULT row, unsigned changes) {
    if (!listBox || row < 0) return;
    const LONG child = static_cast<LONG>(row + 1);
    if (changes & kStateChange) NotifyWinEvent(EVENT_OBJECT_STATECHANGE, listBox, OBJID_CLIENT, child);
    if (changes & kNameChange) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, listBox, OBJID_CLIENT, child);
    if (changes & kDescriptionChange) NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, listBox, OBJID_CLIENT, child);
}

namespace {

// Announces the selected row when it is another one (or the same row at another place) than
// last announced, and its focus too while the list box has the keyboard focus.
void AnnounceSelection(Rows& rows, HWND listBox, WNDPROC base, bool focusAnyway) {
    auto ask = [&](UINT message, WPARAM wParam) {
        return base ? CallWindowProcA(base, listBox, message, wParam, 0) : SendMessageA(listBox, message, wParam, 0);
    };
    const LRESULT row = ask(LB_GETCURSEL, 0);
    const LPARAM item = row == LB_ERR ? 0 : ask(LB_GETITEMDATA, static_cast<WPARAM>(row));
    const bool moved = row != rows.announcedRow || item != rows.announcedItem;
    rows.announcedRow = row;
    rows.announcedItem = item;
    if (row == LB_ERR) return;
    const LONG child = static_cast<LONG>(row + 1);
    if (moved) NotifyWinEvent(EVENT_OBJECT_SELECTION, listBox, OBJID_CLIENT, child);
    if ((moved || focusAnyway) && GetFocus() == listBox)
        NotifyWinEvent(EVENT_OBJECT_FOCUS, listBox, OBJID_CLIENT, child);
}

}  // namespace

void RowsReordered(Rows& rows, HWND listBox) {
    if (!listBox) return;
    NotifyWinEvent(EVENT_OBJECT_REORDER, listBox, OBJID_CLIENT, CHILDID_SELF);
    // The selected row may stand at another place now; only an aid holding child ids cares.
    if (rows.aidAsked) AnnounceSelection(rows, listBox, nullptr, false);
}

void FollowSelection(Rows& rows, HWND listBox, UINT message, WNDPROC base) {
    switch (message) {
    case WM_KEYDOWN: case WM_CHAR: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case WM_MOUSEMOVE:
    case WM_SETFOCUS: case LB_SETCURSEL: case LB_SETCARETINDEX: case LB_SETSEL: case LB_SELECTSTRING:
    case LB_RESETCONTENT:
        AnnounceSelection(rows, listBox, base, message == WM_SETFOCUS);
        break;
    default:
        break;
    }
}

void EditorChoiceMade(HWND listBox, WNDPROC base, LRESULT hint, LPARAM item) {
    // The editor serves the selected row; a search is the rare way out.
    LRESULT row = CallWindowProcA(base, listBox, LB_GETITEMDATA, static_cast<WPARAM>(hint), 0) == item ? hint : LB_ERR;
    if (row == LB_ERR) row = CallWindowProcA(base, listBox, LB_FINDSTRING, static_cast<WPARAM>(-1), item);
    RowChanged(listBox, row, kStateChange | kNameChange);
}

}  // namespace zn::accessible
