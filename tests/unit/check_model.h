// A plain model of how check states travel through a tree: nodes in display order with
// parent indexes, children found by recursion. Both test programs run the library against it.
#pragma once
#include <vector>

namespace checkmodel {

enum { kDisabled = 1, kChecked = 2, kUnchecked = 3, kPartly = 4 };
enum Summary { kNone, kAll, kSome };

struct Node {
    int parent;  // index, -1 at top level
    unsigned state;
};

struct Model {
    std::vector<Node> nodes;  // display order
    long count = 0;
    int notifications = 0;
    int held = -1;  // a just-checked node that the settling walks leave alone

    bool IsBelow(int d, int n) const {
        for (int a = nodes[d].parent; a >= 0; a = nodes[a].parent)
            if (a == n) return true;
        return false;
    }
    std::vector<int> Below(int n) const {
        std::vector<int> out;
        for (int d = 0; d < static_cast<int>(nodes.size()); ++d)
            if (IsBelow(d, n)) out.push_back(d);
        return out;
    }
    Summary Of(int n) const {
        std::vector<int> below = Below(n);
        if (below.empty()) return nodes[n].state != kUnchecked ? kAll : kNone;
        int boxes = 0, ticked = 0;
        for (int d : below) {
            boxes += nodes[d].state != kDisabled;
            ticked += nodes[d].state == kChecked;
        }
        return boxes == ticked ? kAll : ticked > 0 ? kSome : kNone;
    }
    void PushDown(int n, unsigned state, long step) {
        for (int d : Below(n)) {
            Node& node = nodes[d];
            if (node.state == kDisabled || node.state == state) continue;
            if (state == kChecked && nodes[node.parent].state == kDisabled) continue;
            node.state = state;
            count += step;
        }
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
};

}  // namespace checkmodel
