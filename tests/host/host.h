// A host window for driving the controls as an application would: placeholders, the four
// forwarded tree messages, a dialog font, a record of every posted notification, bounded
// message pumping and pixel read-back.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "ZnTreeCt.h"

namespace host {

// A BSTR owned by the test; may hold embedded NULs.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : value_(text ? SysAllocString(text) : nullptr) {}
    Bstr(const wchar_t* text, UINT length) : value_(SysAllocStringLen(text, length)) {}
    static Bstr Bytes(const void* bytes, UINT count) {
        Bstr b;
        b.value_ = SysAllocStringByteLen(static_cast<const char*>(bytes), count);
        return b;
    }
    // A choice list from its fields: each followed by one NUL, then the final NUL.
    static Bstr Choices(std::initializer_list<const wchar_t*> fields);
    Bstr(Bstr&& other) noexcept : value_(other.value_) { other.value_ = nullptr; }
    Bstr& operator=(Bstr&& other) noexcept {
        std::swap(value_, other.value_);
        return *this;
    }
    ~Bstr() { SysFreeString(value_); }
    operator BSTR() const { return value_; }
private:
    BSTR value_ = nullptr;
};

struct Notification {
    WORD id;
    WORD code;
    HWND window;
};

// Reads a node's or row's text as the host does: slot -> block -> first word.
std::wstring TextOf(const TextField& field);

class HostWindow {
public:
    static constexpr int kPlaceholderId = 100;
    static constexpr int kTreeId = 200;
    static constexpr int kListId = 300;
    static constexpr int kLeft = 40, kTop = 40;

    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND window() const { return window_; }
    HFONT font() const { return font_; }
    // A placeholder control (a static) in client coordinates.
    HWND AddPlaceholder(int id, int x, int y, int width, int height);
    // Creates a tree over a new placeholder and forwards its four messages from then on.
    HWND MakeTree(int x = 10, int y = 10, int width = 400, int height = 300);
    HWND MakeList(int x = 10, int y = 40, int width = 500, int height = 300);

    // Processes pending messages (at most `rounds` passes, so self-invalidating paints end).
    void Pump(int rounds = 50);
    // Repaints a window now: invalidate, then pump.
    void Repaint(HWND window);
    COLORREF Pixel(HWND window, int x, int y) const;
    // The screen position of a client point of `window`.
    static POINT ToScreen(HWND window, int x, int y);

    std::vector<Notification> notifications;
    size_t CountNotifications(WORD code) const;
    LONG checkedCount = 0;
    LONG selectedIndex = 0;
    HWND tree = nullptr;
    std::vector<UINT> treeMessages;  // the forwarded message ids, in order
    std::vector<Notification> commands;  // every WM_COMMAND that reached this window's procedure

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
};

// Inserts a node as a host does, with texts made as BSTRs for the call.
struct NodePlan {
    DWORD id;
    DWORD parentId;
    const wchar_t* text1;
    DWORD checkState = ZN_UNCHECKED;
    WORD flags = 0;
    DWORD groupKey = 0;
    DWORD severity = 0;
    DWORD extraIcon = 0;
    const wchar_t* text2 = nullptr;
    const wchar_t* text3 = nullptr;
};
TreeNode* Insert(HWND tree, const NodePlan& wanted);
// A record for the exports: an id, a parent id (or, for updates, a change mask) and a check state.
NodeInfo Record(DWORD id, DWORD parentOrMask, DWORD state = ZN_UNCHECKED);
// The ids of the chain in order, and of the list box's rows in order.
std::vector<DWORD> ChainIds(HWND tree);
std::vector<DWORD> RowIds(HWND listBox);
TreeNode* NodeById(HWND tree, DWORD id, DWORD groupKey = 0);

// Walks a tree's chain as a host would and checks its invariants; empty when sound.
std::string ChainFault(HWND tree);

// A repetition count or data size of the expensive suites, scaled by ZN_SIZE_PERCENT (default
// 100): the 32-bit run, which goes through an emulator, runs them smaller over the same paths.
long Scaled(long full);

// A 16 x 16 image list of `count` solid-coloured images (image i in colour i).
HIMAGELIST MakeIcons(int count, int size = 16);
COLORREF IconColour(int index);

}  // namespace host
