// The choice editor as aids see it: the system's own combo-box object, called after the row it
// edits. The editor's procedure is replaced to answer WM_GETOBJECT; everything else goes on to
// the combo box's own.
#include <new>

#include "accessible_object.h"
#include "boundary.h"

namespace zn::accessible {
namespace {

// The combo box class's own procedure, taken from the first editor.
WNDPROC comboProcedure = nullptr;

bool IsSelf(const VARIANT& child) {
    return (child.vt == VT_I4 && child.lVal == CHILDID_SELF) || (child.vt == VT_INT && child.intVal == CHILDID_SELF);
}

// The choice editor as the system presents a combo box, called after the row it edits.
class EditorObject final : public Counted {
public:
    EditorObject(IAccessible* system, const Link& link) : system_(system), link_(link) {}

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!name) return E_POINTER;
        *name = nullptr;
        if (!IsSelf(child)) return system_->get_accName(child, name);
        return Guarded<HRESULT>(E_FAIL, [&]() -> HRESULT {
            Rows* rows = link_.Live();
            if (!rows) return CO_E_OBJNOTCONNECTED;
            Text text;
            text.Append(L"Choice");
            RowFacts facts;
            const LPARAM item = GetWindowLongPtrA(link_.window(), GWLP_USERDATA);
            if (item && rows->DescribeItem(item, kNameWithoutChoices, &facts) && !facts.name.empty()) {
                text.Append(L" for ");
                text.Append(facts.name.data(), facts.name.size());
            }
            return Give(text, name);
        });
    }
    // Everything else is the system's own answer, while the editor lives.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override {
        return Pass([&] { return system_->get_accParent(p); });
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* c) override {
        return Pass([&] { return system_->get_accChildCount(c); });
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT v, IDispatch** d) override {
        return Pass([&] { return system_->get_accChild(v, d); });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT v, BSTR* s) override {
        return Pass([&] { return system_->get_accValue(v, s); });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT v, BSTR* s) override {
        return Pass([&] { return system_->get_accDescription(v, s); });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT v, VARIANT* r) override {
        return Pass([&] { return system_->get_accRole(v, r); });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT v, VARIANT* r) override {
        return Pass([&] { return system_->get_accState(v, r); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT v, BSTR* s) override {
        return Pass([&] { return system_->get_accHelp(v, s); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT v, long* t) override {
        return Pass([&] { return system_->get_accHelpTopic(f, v, t); });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT v, BSTR* s) override {
        return Pass([&] { return system_->get_accKeyboardShortcut(v, s); });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* r) override {
        return Pass([&] { return system_->get_accFocus(r); });
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* r) override {
        return Pass([&] { return system_->get_accSelection(r); });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT v, BSTR* s) override {
        return Pass([&] { return system_->get_accDefaultAction(v, s); });
    }
    HRESULT STDMETHODCALLTYPE accSelect(long f, VARIANT v) override {
        return Pass([&] { return system_->accSelect(f, v); });
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* l, long* t, long* w, long* h, VARIANT v) override {
        return Pass([&] { return system_->accLocation(l, t, w, h, v); });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long d, VARIANT v, VARIANT* r) override {
        return Pass([&] { return system_->accNavigate(d, v, r); });
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* r) override {
        return Pass([&] { return system_->accHitTest(x, y, r); });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT v) override {
        return Pass([&] { return system_->accDoDefaultAction(v); });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT v, BSTR s) override {
        return Pass([&] { return system_->put_accName(v, s); });
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT v, BSTR s) override {
        return Pass([&] { return system_->put_accValue(v, s); });
    }

private:
    ~EditorObject() override { system_->Release(); }
    template <class Call>
    HRESULT Pass(Call&& call) {
        return Guarded<HRESULT>(E_FAIL, [&]() -> HRESULT { return link_.Live() ? call() : CO_E_OBJNOTCONNECTED; });
    }
    IAccessible* system_;
    Link link_;
};

}  // namespace

LRESULT AnswerEditor(HWND editor, Rows* owner, WPARAM wParam) {
    IAccessible* system = nullptr;
    if (FAILED(CreateStdAccessibleObject(editor, static_cast<LONG>(OBJID_CLIENT), __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&system))) ||
        !system)
        return 0;
    auto* object = new (std::nothrow) EditorObject(system, Link(editor, registry::Role::ChoiceEditor, owner, owner));
    if (!object) {
        system->Release();
        return 0;
    }
    owner->aidAsked = true;
    return HandOut(object, wParam);
}

void AdoptEditor(HWND editor, Rows* owner) {
    if (!editor || !owner) return;
    auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(editor, GWLP_WNDPROC));
    if (!comboProcedure) comboProcedure = own;
    if (!registry::Add({editor, registry::Role::ChoiceEditor, owner, own})) return;
    SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ChoiceEditorProc));
}

}  // namespace zn::accessible

namespace zn {

LRESULT CALLBACK ChoiceEditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    registry::Entry editor = {};
    const bool known = registry::Find(window, registry::Role::ChoiceEditor, &editor);
    if (known && message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        auto* owner = static_cast<accessible::Rows*>(editor.control);
        const LRESULT object = Guarded<LRESULT>(0, [&] { return accessible::AnswerEditor(window, owner, wParam); });
        if (object) return object;
    }
    WNDPROC base = known ? editor.replaced : accessible::comboProcedure;
    const LRESULT result = base ? CallWindowProcA(base, window, message, wParam, lParam)
                                : DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) registry::Remove(window, registry::Role::ChoiceEditor);
    return result;
}

}  // namespace zn
