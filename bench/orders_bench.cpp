// The orders workload: the tree workload's tree with every parent opened in the orders a host
// may use — as it builds the tree (depth first, each parent right before its children), the
// reverse of that, level by level, and at random — and once more in build order with the host's
// own drawing switched off around the loop, as hosts of the common tree control do. Between two
// orders the tree is closed again (RefreshTree; the common control collapses every parent),
// untimed. A parent whose row is not shown yet (its parent still closed) cannot be opened, so
// the reverse and random orders leave some branches closed in ZnTreeCt.
#include <algorithm>
#include <random>

#include "ZnTreeCt.h"
#include "bench.h"

namespace bench {
namespace {

enum Phase { kInsert, kBuild, kReverse, kBreadth, kRandom, kHostOff, kFloor, kFloorPlaces, kFloorMessages, kPhases };

// The parents' ids (1-based insertion positions) in each order.
std::vector<std::vector<DWORD>> Orders(const Shape& s) {
    std::vector<DWORD> build, level0, level1;
    for (size_t i = 0; i < s.parent.size(); ++i) {
        if (!s.hasChildren[i]) continue;
        build.push_back(static_cast<DWORD>(i + 1));
        (s.parent[i] == 0 ? level0 : level1).push_back(static_cast<DWORD>(i + 1));
    }
    std::vector<DWORD> reverse(build.rbegin(), build.rend());
    std::vector<DWORD> breadth = level0;
    breadth.insert(breadth.end(), level1.begin(), level1.end());
    std::vector<DWORD> random = build;
    std::shuffle(random.begin(), random.end(), std::mt19937(99));
    return {build, reverse, breadth, random};
}

// The rows the build order puts its branches' rows in, one after another: a node's row is the
// number of rows shown before it in the chain, which is the ids' order (siblings a parent sorts
// stand in another order among themselves, in the same rows).
std::vector<int> BuildOrderPlaces(const Shape& s, const std::vector<DWORD>& build, size_t rows) {
    const size_t n = s.parent.size();
    std::vector<int> counts(n + 1, 0);  // a Fenwick tree of the shown nodes, by id
    auto add = [&](size_t id) {
        for (; id <= n; id += id & (~id + 1)) ++counts[id];
    };
    auto before = [&](size_t id) {
        int sum = 0;
        for (--id; id > 0; id -= id & (~id + 1)) sum += counts[id];
        return sum;
    };
    std::vector<std::vector<DWORD>> children(n + 1);
    for (size_t i = 0; i < n; ++i) {
        if (s.parent[i]) children[s.parent[i]].push_back(static_cast<DWORD>(i + 1));
        else add(i + 1);
    }
    std::vector<int> places;
    for (DWORD p : build)
        for (DWORD c : children[p]) {
            if (places.size() + static_cast<size_t>(s.tops) >= rows) return places;
            places.push_back(before(c));
            add(c);
        }
    return places;
}

// Opens the nodes in order until the budget is used up; the seconds it took.
double ExpandInOrder(HWND tree, const std::vector<DWORD>& ids, double budget, bool* capped) {
    double t = Seconds();
    for (size_t i = 0; i < ids.size(); ++i) {
        ExpandNode(tree, ids[i], 0);
        if ((i & 255) == 0 && Seconds() - t > budget) {
            *capped = true;
            break;
        }
    }
    Settle(tree);
    return Seconds() - t;
}

void RunOurs(const Shape& s, Run& run) {
    Host host;
    host.tree = CreateTree(host.window, 100, 200);
    double t = Seconds();
    InsertShape(host.tree, s);
    run.phases[kInsert].ours = Seconds() - t;
    std::vector<std::vector<DWORD>> orders = Orders(s);
    for (int o = 0; o < 4; ++o) {
        RefreshTree(host.tree, &host.selectedIndex, &host.checkedCount);
        Pump();
        run.phases[kBuild + o].ours = ExpandInOrder(host.tree, orders[o], run.budget, &run.phases[kBuild + o].oursCapped);
        Pump();
    }
    RefreshTree(host.tree, &host.selectedIndex, &host.checkedCount);
    Pump();
    t = Seconds();
    SendMessageA(host.tree, WM_SETREDRAW, FALSE, 0);
    ExpandInOrder(host.tree, orders[0], run.budget, &run.phases[kHostOff].oursCapped);
    SendMessageA(host.tree, WM_SETREDRAW, TRUE, 0);
    Settle(host.tree);
    run.phases[kHostOff].ours = Seconds() - t;
    // The rows every parent opened shows, as the build order puts them in when it is not stopped.
    const int buildRows = static_cast<int>(SendMessageA(host.tree, LB_GETCOUNT, 0, 0));
    Pump();
    DestroyTree(host.tree);
    host.tree = nullptr;
    run.phases[kFloor].ours = FloorFill(host.window, buildRows);
    run.phases[kFloorPlaces].ours = FloorPlaces(host.window, s.tops, BuildOrderPlaces(s, orders[0], buildRows));
    run.phases[kFloorMessages].ours = FloorMessages(host.window, buildRows, static_cast<int>(orders[0].size()));
}

void ExpandTheirs(HWND view, const std::vector<DWORD>& ids, const std::vector<HTREEITEM>& items, Capped& expand) {
    for (size_t i = 0; i < ids.size() && !expand.Over(i); ++i)
        if (HTREEITEM item = items[ids[i] - 1]) SendMessageW(view, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

// Each order starts from a tree view just filled, as the collapsed tree view of an earlier order
// opens its items at a different cost.
void RunTheirs(const Shape& s, Run& run, double budget) {
    Host host;
    std::vector<std::vector<DWORD>> orders = Orders(s);
    for (int phase = kInsert; phase <= kHostOff; ++phase) {
        std::vector<HTREEITEM> items(s.parent.size());
        HWND view = NewTreeView(host.window);
        Capped insert(budget);
        InsertTheirs(view, s, items, insert);
        if (phase == kInsert) insert.Into(run.phases[kInsert]);
        if (phase == kInsert) {
            DestroyWindow(view);
            continue;
        }
        Capped expand(budget);
        if (phase == kHostOff) SendMessageW(view, WM_SETREDRAW, FALSE, 0);
        ExpandTheirs(view, orders[phase == kHostOff ? 0 : phase - kBuild], items, expand);
        if (phase == kHostOff) SendMessageW(view, WM_SETREDRAW, TRUE, 0);
        Settle(view);
        expand.Into(run.phases[phase]);
        DestroyWindow(view);
        Pump();
    }
}

}  // namespace

Run OrdersWorkload(int n, Side side, double budget) {
    Shape s = MakeShape(n);
    Run run;
    run.workload = "orders";
    run.n = static_cast<int>(s.parent.size());
    for (const char* name : {"insert all", "expand every parent: build order (depth first)",
                             "expand every parent: reverse build order", "expand every parent: breadth first",
                             "expand every parent: random order", "build order, the host's drawing off",
                             "floor: bare list box filled with the build order's rows",
                             "floor: bare list box given the build order's insertions",
                             "floor: the drawing switch and invalidation, once for each parent"})
        run.phases.push_back({name});
    run.budget = budget;
    if (side == Side::Ours)
        RunOurs(s, run);
    else
        RunTheirs(s, run, budget);
    for (BSTR text : s.texts) SysFreeString(text);
    return run;
}

}  // namespace bench
