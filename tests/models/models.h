// Reference models the tests hold the library to: plain and slow, written from the rules the
// controls follow, not from the library's code. Both test programs use them.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "ZnTreeCt.h"

namespace model {

// A node's or row's text as the host reads it: slot, block, then the stored wide text.
inline std::wstring TextOf(const TextField& field) {
    if (!field.block || !field.block->wide) return L"";
    return std::wstring(field.block->wide, SysStringLen(field.block->wide));
}

// _wcsicmp as the controls use it: up to the first NUL, A-Z folded onto a-z, then code units.
inline int Wcsicmp(const std::wstring& a, const std::wstring& b) {
    auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c + 32 : c; };
    for (const wchar_t *x = a.c_str(), *y = b.c_str();; ++x, ++y)
        if (fold(*x) != fold(*y) || !*x) return fold(*x) < fold(*y) ? -1 : fold(*x) > fold(*y);
}

// ---- List sorting: by severity (as decimal text), ties by text 1; or by a column's text, ties
// by severity. A text with no stored characters sorts before every other.
struct RowKey { LONG severity; std::wstring text1; std::vector<std::wstring> columns; };  // columns[k - 1]: column k
inline RowKey KeyOf(const ListRow* row) {
    RowKey key{static_cast<LONG>(row->severity), TextOf(row->texts[0]), {}};
    for (const TextField* f = row->columnTexts.begin; f && f != row->columnTexts.end; ++f) key.columns.push_back(TextOf(*f));
    return key;
}
inline int CompareTexts(const std::wstring& a, const std::wstring& b) {
    return a.empty() || b.empty() ? int(b.empty()) - int(a.empty()) : Wcsicmp(a, b);
}
inline int CompareRows(const RowKey& a, const RowKey& b, int column) {
    auto cell = [column](const RowKey& k) { return size_t(column) <= k.columns.size() ? k.columns[column - 1] : L""; };
    int bySeverity = CompareTexts(std::to_wstring(a.severity), std::to_wstring(b.severity));
    int first = column ? CompareTexts(cell(a), cell(b)) : bySeverity;
    return first ? first : column ? bySeverity : CompareTexts(a.text1, b.text1);
}
// The first place where `rows` (in shown order) breaks the order, or -1.
inline int OutOfOrder(const std::vector<RowKey>& rows, int column, bool descending) {
    for (size_t i = 1; i < rows.size(); ++i) {
        int r = CompareRows(rows[i - 1], rows[i], column);
        if (descending ? r < 0 : r > 0) return static_cast<int>(i);
    }
    return -1;
}

// ---- Tree shape: where sorted insertion puts each node, and the (id, group) lookups.
struct Shaped {
    DWORD id, parentId, group, level, descendants;
    int parent;  // index, -1 at the top level
    std::wstring text;  // text 1
    WORD flags;
};
struct Shape {
    std::vector<Shaped> chain;  // display order

    // In-group lookup: the group's first node, then the id from there on; pair lookup: both match.
    int Find(DWORD id, DWORD group, bool inGroup) const {
        size_t i = 0;
        if (inGroup)
            while (i < chain.size() && chain[i].group != group) ++i;
        while (i < chain.size() && (chain[i].id != id || (!inGroup && chain[i].group != group))) ++i;
        return i < chain.size() ? static_cast<int>(i) : -1;
    }
    // Mirrors Sorted_Insert; false where the parent is not found.
    bool Insert(DWORD id, DWORD parentId, DWORD group, const std::wstring& text, WORD flags) {
        Shaped node{id, parentId, group, 0, 0, -1, text, flags};
        size_t at = chain.size();
        if (!chain.empty() && parentId != 0) {
            int p = Find(parentId, group, true);
            if (p < 0) return false;
            Shaped& parent = chain[p];
            at = p + 1 + parent.descendants;  // the end of the parent's subtree
            // Sorted: before the first direct child (by parent id) whose text is greater.
            if (parent.flags & ZN_SORT_CHILDREN)
                for (size_t k = p + 1; k < at; ++k)
                    if (chain[k].parentId == parent.id && Wcsicmp(text, chain[k].text) < 0) {
                        at = k;
                        break;
                    }
            node.level = parent.level + 1;
            node.parent = p;
            for (int a = p; a >= 0; a = chain[a].parent) ++chain[a].descendants;
        }
        for (Shaped& n : chain) n.parent += n.parent >= static_cast<int>(at);
        chain.insert(chain.begin() + at, node);
        return true;
    }
};

// ---- Check states: how a flip or a host's setting travels down and up a tree (nodes in
// display order, parents by index), with the host's count and the notifications.
enum { kDisabled = 1, kChecked = 2, kUnchecked = 3, kPartly = 4 };
enum Summary { kNone, kAll, kSome };

struct Checks {
    struct Node { int parent; unsigned state; };  // parent by index, -1 at the top level
    std::vector<Node> nodes;
    long count = 0;
    int notifications = 0;
    int held = -1;  // a just-checked node that the settling walks leave alone

    std::vector<int> Below(int n) const {
        std::vector<int> out;
        for (int d = 0; d < static_cast<int>(nodes.size()); ++d)
            for (int a = nodes[d].parent; a >= 0; a = nodes[a].parent)
                if (a == n) out.push_back(d);
        return out;
    }
    Summary Of(int n) const {
        std::vector<int> below = Below(n);
        if (below.empty()) return nodes[n].state != kUnchecked ? kAll : kNone;
        int boxes = 0, ticked = 0;
        for (int d : below) boxes += nodes[d].state != kDisabled, ticked += nodes[d].state == kChecked;
        return boxes == ticked ? kAll : ticked > 0 ? kSome : kNone;
    }
    void PushDown(int n, unsigned state, long step) {
        for (int d : Below(n))  // a box under a parent without one is never checked from above
            if (nodes[d].state != kDisabled && nodes[d].state != state && !(state == kChecked && nodes[nodes[d].parent].state == kDisabled))
                nodes[d].state = state, count += step;
    }
    void SettleUp(int n) {
        const bool unchecked = nodes[n].state == kUnchecked;
        for (int p = nodes[n].parent; p >= 0; p = nodes[p].parent) {
            if (p == held || nodes[p].state == kDisabled) continue;
            Summary s = Of(p);
            unsigned& st = nodes[p].state;
            if (unchecked && s == kNone) {
                count -= st != kUnchecked;
                st = kUnchecked;
            } else if (s != kNone) {
                count += st == kUnchecked;
                st = (!unchecked && s == kAll) ? kChecked : kPartly;
            }
        }
    }
    void Toggle(int n) {
        unsigned& st = nodes[n].state;
        bool hasBelow = !Below(n).empty();
        bool uncheck = st == kChecked || (hasBelow && st == kPartly);
        st = uncheck ? kUnchecked : kChecked;
        count += uncheck ? -1 : 1;
        if (hasBelow) PushDown(n, st, uncheck ? -1 : 1);
        ++notifications;
        if (hasBelow && st == kChecked && Of(n) == kSome) {
            held = n;
            for (int d : Below(n))
                if (!Below(d).empty()) SettleUp(d);
            held = -1;
        }
        SettleUp(n);
    }
    // The host sets a state; a partly checked request is taken as checked.
    void Set(int n, unsigned requested) {
        if (requested == kPartly) requested = kChecked;
        nodes[n].state = requested;
        ++notifications;
        count += requested == kChecked ? 1 : -1;
        const bool down = requested == kUnchecked;  // a disabled request pushes checked
        if (!Below(n).empty()) PushDown(n, down ? kUnchecked : kChecked, down ? -1 : 1);
        SettleUp(n);
    }
    // RefreshTree: the count of checked nodes as they stand, then parents settled from their
    // descendants, deepest first.
    void Refresh() {
        count = 0;
        for (const Node& n : nodes) count += n.state == kChecked;
        for (int i = static_cast<int>(nodes.size()); i-- > 0;) {
            if (Below(i).empty() || nodes[i].state == kDisabled) continue;
            Summary s = Of(i);
            nodes[i].state = s == kAll ? kChecked : s == kSome ? kPartly : kUnchecked;
        }
    }
};

}  // namespace model
