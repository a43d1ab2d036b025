// What both controls tell accessibility aids (Microsoft Active Accessibility, and UI Automation
// through its bridge): the list box answers WM_GETOBJECT for its client area with an object whose
// children are the rows on show, in row order (child id = row index + 1, as a list box's own
// children are numbered). Each control describes its rows and performs their default action;
// everything else a list box has in common — counting, placing, hit-testing, navigating and
// selecting rows, following the selection — is done here. Objects handed out reach their control
// only through the library's record of live windows, so one kept after the control is destroyed
// answers CO_E_OBJNOTCONNECTED and touches nothing.
#pragma once
#include <windows.h>
#include <oleacc.h>

#include "ZnTreeCt.h"
#include "pod_array.h"
#include "registry.h"

namespace zn::accessible {

// A text being put together for an aid; growing it never throws (a failure is remembered).
class Text {
public:
    void Append(const WCHAR* text, size_t length);
    void Append(const WCHAR* text) { Append(text, lstrlenW(text)); }
    void AppendNumber(long value);
    // ", " before `text` unless the text is still empty; nothing for an empty `text`.
    void AppendItem(const WCHAR* text, size_t length);
    bool empty() const { return chars_.size() == 0; }
    bool failed() const { return failed_; }
    const WCHAR* data() const { return chars_.begin(); }
    size_t size() const { return chars_.size(); }

private:
    PodArray<WCHAR> chars_;
    bool failed_ = false;
};

// The fixed words the controls use.
extern const WCHAR kCheck[], kUncheck[], kExpand[], kCollapse[];

// What a control says of one row; DescribeItem fills the parts asked for.
enum Part : unsigned {
    kName = 1,
    kValue = 2,
    kDescription = 4,
    kStatesAndAction = 8,
    kNameWithoutChoices = 16,  // the name with its choice lines left out (for the choice editor)
};
struct RowFacts {
    Text name, value, description;
    const WCHAR* action = nullptr;  // the default action's word, null when the row has none
    LONG states = 0;                // STATE_SYSTEM_CHECKED, _MIXED, _EXPANDED, _COLLAPSED
};

// Adds a text line as the row shows it: a choice line as its chosen entry's label, any other line
// up to its first NUL. Lines that show nothing add nothing.
void AppendLine(Text& name, const TextField& line, bool choice, DWORD choiceIndex);
// The description of the icons a row shows: "Severity 2", "Additional icon 5", or both.
void DescribeIcons(Text& description, bool severityShown, DWORD severity, bool additionalShown, DWORD extraIcon);

// Implemented by both controls; the frame's base of them holds the rest.
class Rows {
public:
    virtual LONG ClientRole() const = 0;  // ROLE_SYSTEM_OUTLINE or ROLE_SYSTEM_LIST
    virtual LONG RowRole() const = 0;
    // False when `item` (a list-box item's data) is not a row of the control.
    virtual bool DescribeItem(LPARAM item, unsigned parts, RowFacts* facts) = 0;
    // The row's default action, as a click on its box (or expand box) does it.
    virtual HRESULT DoRowAction(int row) = 0;
    virtual bool Busy() const = 0;

    // Tells this control from a later one that takes over its window handle and memory.
    const unsigned serial;
    // The selection last announced (row, and the item it showed).
    LRESULT announcedRow = LB_ERR;
    LPARAM announcedItem = 0;
    // Set once an aid has asked for one of the control's objects: until then no rows are looked
    // for to name them in events (an aid that never asked could not read them anyway).
    bool aidAsked = false;

protected:
    Rows();
    virtual ~Rows() = default;
};

// Answers WM_GETOBJECT for the list box's client area with a new object (what LresultFromObject
// gives), or 0 when the object could not be made or handed out; `key` is the control as the
// registry records it under `role`.
LRESULT AnswerClient(HWND listBox, registry::Role role, void* key, Rows* rows, WPARAM wParam);
// The same for the choice editor: the system's combo-box object, named after the row it edits.
LRESULT AnswerEditor(HWND editor, Rows* owner, WPARAM wParam);

// The rows in view: [*first, *end), by the list box's top row and the heights below it.
void RowsInView(HWND listBox, LRESULT* first, LRESULT* end);

// Events. Row numbers are list-box indexes; nothing is sent for LB_ERR.
enum Change : unsigned { kStateChange = 1, kNameChange = 2, kDescriptionChange = 4 };
unsigned ChangesOf(DWORD changeMask);  // what a host's change mask changes
// Whether rows are worth looking for to announce `changes`: an aid has asked for the control's
// object and a hook may hear them.
bool Listening(const Rows& rows, unsigned changes);
void RowChanged(HWND listBox, LRESULT row, unsigned changes);
// The rows on show changed (opened, closed, rebuilt, sorted, emptied); the selection is followed.
void RowsReordered(Rows& rows, HWND listBox);
// After the list box's own procedure has handled `message`: announces a selection that moved.
void FollowSelection(Rows& rows, HWND listBox, UINT message, WNDPROC base);
// A choice made in the editor changed the row showing `item` (looked for at `hint` first).
void EditorChoiceMade(HWND listBox, WNDPROC base, LRESULT hint, LPARAM item);

// Names the choice editor after the row it edits ("Choice for ..."); until the editor is
// destroyed it answers WM_GETOBJECT with the system's own combo-box object under that name.
void AdoptEditor(HWND editor, Rows* owner);

}  // namespace zn::accessible

namespace zn {
// The choice editor's replacement procedure (see AdoptEditor).
LRESULT CALLBACK ChoiceEditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
}  // namespace zn
