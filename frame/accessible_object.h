// What the objects handed to accessibility aids have in common: the link to their control,
// reference counting and the rest of IUnknown and IDispatch, and the way they are handed out.
#pragma once
#include "accessible.h"

namespace zn::accessible {

// What an object holds of its control: the window, the record the control is registered under,
// and the control's serial. The control is reached only while that record stands.
class Link {
public:
    Link(HWND window, registry::Role role, void* key, Rows* rows)
        : window_(window), role_(role), key_(key), rows_(rows), serial_(rows->serial) {}
    Rows* Live() const {
        registry::Entry entry;
        if (!registry::Find(window_, role_, &entry) || entry.control != key_) return nullptr;
        return rows_->serial == serial_ ? rows_ : nullptr;
    }
    HWND window() const { return window_; }

private:
    HWND window_;
    registry::Role role_;
    void* key_;
    Rows* rows_;
    unsigned serial_;
};

// Reference counting and the interfaces every object answers to.
class Counted : public IAccessible {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    // IDispatch as the common controls' objects give it: no type information, nothing to invoke.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

protected:
    virtual ~Counted() = default;

private:
    LONG references_ = 1;
};

// The text as a BSTR: S_FALSE and null for an empty one.
HRESULT Give(const Text& text, BSTR* out);
// The LRESULT of WM_GETOBJECT for `object` (whose reference it takes over); 0 when it fails.
LRESULT HandOut(IAccessible* object, WPARAM wParam);

}  // namespace zn::accessible
