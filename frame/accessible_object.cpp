// The list box's client object, whose children are the rows. Every call first finds its control
// through the record of live windows; a control gone (or a window handle taken over by another
// control) answers CO_E_OBJNOTCONNECTED. Nothing thrown inside a call leaves it: it answers E_FAIL.
#include <new>

#include "accessible_object.h"
#include "boundary.h"

namespace zn::accessible {
namespace {

void SetChild(VARIANT* variant, LONG child) {
    VariantInit(variant);
    variant->vt = VT_I4;
    variant->lVal = child;
}

LRESULT Count(HWND listBox) { return SendMessageA(listBox, LB_GETCOUNT, 0, 0); }
LRESULT Selection(HWND listBox) { return SendMessageA(listBox, LB_GETCURSEL, 0, 0); }

// The child a VARIANT names: 0 for the object itself, 1..count for a row, -1 for anything else.
LONG ChildOf(const VARIANT& child, HWND listBox) {
    LONG id;
    if (child.vt == VT_I4) id = child.lVal;
    else if (child.vt == VT_INT) id = child.intVal;
    else return -1;
    if (id == CHILDID_SELF) return 0;
    return id > 0 && id <= Count(listBox) ? id : -1;
}

// Asked of every row when an aid walks them all: rows above the top row, or a client height or
// more below it (no row is under a pixel high), are answered without asking where they are.
bool RowInView(HWND listBox, LRESULT row) {
    RECT client, item;
    GetClientRect(listBox, &client);
    const LRESULT top = SendMessageA(listBox, LB_GETTOPINDEX, 0, 0);
    if (row < top || row - top >= client.bottom) return false;
    return SendMessageA(listBox, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != LB_ERR &&
           item.top < client.bottom;
}

LONG RowStates(HWND listBox, LRESULT row) {
    LONG states = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
    if (row == Selection(listBox)) {
        states |= STATE_SYSTEM_SELECTED;
        if (GetFocus() == listBox) states |= STATE_SYSTEM_FOCUSED;
    }
    if (!IsWindowVisible(listBox)) states |= STATE_SYSTEM_INVISIBLE;
    else if (!RowInView(listBox, row)) states |= STATE_SYSTEM_OFFSCREEN;
    return states;
}

LONG ClientStates(HWND listBox) {
    LONG states = STATE_SYSTEM_FOCUSABLE;
    if (GetFocus() == listBox) states |= STATE_SYSTEM_FOCUSED;
    if (!IsWindowVisible(listBox)) states |= STATE_SYSTEM_INVISIBLE;
    if (!IsWindowEnabled(listBox)) states |= STATE_SYSTEM_UNAVAILABLE;
    return states;
}

// The row under a client point: walked down from the top row by the rows' heights.
LRESULT RowAtPoint(HWND listBox, POINT point) {
    LRESULT first = 0, end = 0;
    RowsInView(listBox, &first, &end);
    LONG y = 0;
    for (LRESULT row = first; row < end; ++row) {
        y += static_cast<LONG>(SendMessageA(listBox, LB_GETITEMHEIGHT, static_cast<WPARAM>(row), 0));
        if (point.y < y) return row;
    }
    return LB_ERR;
}

void ScreenRect(HWND window, RECT rect, long* left, long* top, long* width, long* height) {
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
}

class ClientObject final : public Counted {
public:
    explicit ClientObject(const Link& link) : link_(link) {}

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        return Connected([&](Rows&) {
            return AccessibleObjectFromWindow(window(), static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                                              reinterpret_cast<void**>(parent));
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return Connected([&](Rows&) {
            *count = static_cast<long>(Count(window()));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        // Rows are simple children: they have no object of their own.
        return ForChild(child, [&](Rows&, LONG id) { return id == 0 ? E_INVALIDARG : S_FALSE; });
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!name) return E_POINTER;
        *name = nullptr;
        return ForChild(child, [&](Rows& rows, LONG id) {
            RowFacts facts;
            if (id == 0) {
                // The control itself is called by its list box's window text, which the host may set.
                WCHAR own[256];
                facts.name.Append(own, static_cast<size_t>(GetWindowTextW(window(), own, 256)));
            } else if (!Facts(rows, id, kName, &facts)) {
                return E_INVALIDARG;
            }
            return Give(facts.name, name);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return RowText(child, value, kValue, &RowFacts::value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return RowText(child, description, kDescription, &RowFacts::description);
    }
    // A text only rows have: the client object answers S_FALSE with none.
    HRESULT RowText(VARIANT child, BSTR* out, unsigned part, Text RowFacts::*text) {
        if (!out) return E_POINTER;
        *out = nullptr;
        return ForChild(child, [&](Rows& rows, LONG id) {
            RowFacts facts;
            if (id == 0) return S_FALSE;
            return Facts(rows, id, part, &facts) ? Give(facts.*text, out) : E_INVALIDARG;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        VariantInit(role);
        return ForChild(child, [&](Rows& rows, LONG id) {
            SetChild(role, id == 0 ? rows.ClientRole() : rows.RowRole());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!state) return E_POINTER;
        VariantInit(state);
        return ForChild(child, [&](Rows& rows, LONG id) {
            if (id == 0) {
                SetChild(state, ClientStates(window()));
                return S_OK;
            }
            RowFacts facts;
            if (!Facts(rows, id, kStatesAndAction, &facts)) return E_INVALIDARG;
            SetChild(state, RowStates(window(), id - 1) | facts.states);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        if (!help) return E_POINTER;
        *help = nullptr;
        return ForChild(child, [](Rows&, LONG) { return S_FALSE; });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        if (!file || !topic) return E_POINTER;
        *file = nullptr;
        *topic = 0;
        return ForChild(child, [](Rows&, LONG) { return DISP_E_MEMBERNOTFOUND; });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        if (!shortcut) return E_POINTER;
        *shortcut = nullptr;
        return ForChild(child, [](Rows&, LONG) { return S_FALSE; });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!focus) return E_POINTER;
        VariantInit(focus);
        return Connected([&](Rows&) {
            if (GetFocus() != window()) return S_FALSE;
            const LRESULT selected = Selection(window());
            SetChild(focus, selected == LB_ERR ? CHILDID_SELF : static_cast<LONG>(selected + 1));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!selection) return E_POINTER;
        VariantInit(selection);
        return Connected([&](Rows&) {
            const LRESULT selected = Selection(window());
            if (selected == LB_ERR) return S_FALSE;
            SetChild(selection, static_cast<LONG>(selected + 1));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!action) return E_POINTER;
        *action = nullptr;
        return ForChild(child, [&](Rows& rows, LONG id) -> HRESULT {
            RowFacts facts;
            if (id == 0) return S_FALSE;
            if (!Facts(rows, id, kStatesAndAction, &facts)) return E_INVALIDARG;
            if (!facts.action) return S_FALSE;
            *action = SysAllocString(facts.action);
            return *action ? S_OK : E_OUTOFMEMORY;
        });
    }
    // A row takes the selection (a list box's focus is its selected row); SELFLAG_TAKEFOCUS
    // also gives the list box the keyboard focus. The host is not notified, as with
    // ZNTree_SelectNode and ZNList_SelectNode.
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return ForChild(child, [&](Rows& rows, LONG id) {
            const long known = SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION;
            if (flags == 0 || (flags & ~known) || (id == 0 && flags != SELFLAG_TAKEFOCUS)) return E_INVALIDARG;
            if (rows.Busy()) return E_FAIL;
            if (flags & SELFLAG_TAKEFOCUS) SetFocus(window());
            if (id > 0) SendMessageA(window(), LB_SETCURSEL, static_cast<WPARAM>(id - 1), 0);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        *left = *top = *width = *height = 0;
        return ForChild(child, [&](Rows&, LONG id) {
            RECT rect;
            if (id == 0) GetClientRect(window(), &rect);
            else if (SendMessageA(window(), LB_GETITEMRECT, static_cast<WPARAM>(id - 1),
                                  reinterpret_cast<LPARAM>(&rect)) == LB_ERR)
                return E_INVALIDARG;
            ScreenRect(window(), rect, left, top, width, height);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!end) return E_POINTER;
        VariantInit(end);
        return ForChild(start, [&](Rows&, LONG id) {
            const LONG count = static_cast<LONG>(Count(window()));
            LONG target = 0;
            switch (direction) {
            case NAVDIR_FIRSTCHILD: target = id == 0 ? 1 : 0; break;
            case NAVDIR_LASTCHILD: target = id == 0 ? count : 0; break;
            case NAVDIR_NEXT: case NAVDIR_DOWN: target = id == 0 ? 0 : id + 1; break;
            case NAVDIR_PREVIOUS: case NAVDIR_UP: target = id == 0 ? 0 : id - 1; break;
            case NAVDIR_LEFT: case NAVDIR_RIGHT: break;
            default: return E_INVALIDARG;
            }
            if (target < 1 || target > count) return S_FALSE;
            SetChild(end, target);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        if (!child) return E_POINTER;
        VariantInit(child);
        return Connected([&](Rows&) {
            POINT point = {x, y};
            ScreenToClient(window(), &point);
            RECT client;
            GetClientRect(window(), &client);
            if (!PtInRect(&client, point)) return S_FALSE;
            const LRESULT row = RowAtPoint(window(), point);
            SetChild(child, row == LB_ERR ? CHILDID_SELF : static_cast<LONG>(row + 1));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return ForChild(child, [&](Rows& rows, LONG id) {
            if (id == 0) return DISP_E_MEMBERNOTFOUND;
            // Refused while the control changes its rows (an aid called from an event of that work).
            if (rows.Busy()) return E_FAIL;
            return rows.DoRowAction(static_cast<int>(id - 1));
        });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR) override {
        return ForChild(child, [](Rows&, LONG) { return DISP_E_MEMBERNOTFOUND; });
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR) override {
        return ForChild(child, [](Rows&, LONG) { return DISP_E_MEMBERNOTFOUND; });
    }

private:
    HWND window() const { return link_.window(); }

    template <class Work>
    HRESULT Connected(Work&& work) {
        return Guarded<HRESULT>(E_FAIL, [&]() -> HRESULT {
            Rows* rows = link_.Live();
            return rows ? work(*rows) : CO_E_OBJNOTCONNECTED;
        });
    }
    template <class Work>
    HRESULT ForChild(const VARIANT& child, Work&& work) {
        return Connected([&](Rows& rows) -> HRESULT {
            const LONG id = ChildOf(child, window());
            return id < 0 ? E_INVALIDARG : work(rows, id);
        });
    }
    bool Facts(Rows& rows, LONG id, unsigned parts, RowFacts* facts) {
        const LRESULT item = SendMessageA(window(), LB_GETITEMDATA, static_cast<WPARAM>(id - 1), 0);
        return item != LB_ERR && rows.DescribeItem(item, parts, facts);
    }

    Link link_;
};

}  // namespace

HRESULT Give(const Text& text, BSTR* out) {
    *out = nullptr;
    if (text.failed()) return E_OUTOFMEMORY;
    if (text.empty()) return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

LRESULT HandOut(IAccessible* object, WPARAM wParam) {
    const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, object);
    object->Release();
    // Where the object cannot be handed out, the window's own procedure answers instead.
    return result > 0 ? result : 0;
}

LRESULT AnswerClient(HWND listBox, registry::Role role, void* key, Rows* rows, WPARAM wParam) {
    auto* object = new (std::nothrow) ClientObject(Link(listBox, role, key, rows));
    if (!object) return 0;
    rows->aidAsked = true;
    return HandOut(object, wParam);
}

}  // namespace zn::accessible
