// The tree workload: a 3-level tree (10 children per parent) built, shown, opened, painted,
// checked and torn down, through ZnTreeCt and through SysTreeView32 with check boxes.
#include <algorithm>

#include "ZnTreeCt.h"
#include "bench.h"

namespace bench {

Shape MakeShape(int n) {
    Shape s;
    s.tops = std::max(1, n / 111);
    std::vector<std::wstring> words = RandomTexts(s.tops * 111, 7u);
    for (int t = 0; t < s.tops; ++t) {
        DWORD top = static_cast<DWORD>(s.parent.size());
        s.parent.push_back(0);
        for (int c = 0; c < 10; ++c) {
            DWORD child = static_cast<DWORD>(s.parent.size());
            s.parent.push_back(top + 1);
            for (int g = 0; g < 10; ++g) s.parent.push_back(child + 1);
        }
    }
    s.hasChildren.assign(s.parent.size(), false);
    for (DWORD p : s.parent)
        if (p) s.hasChildren[p - 1] = true;
    for (size_t i = 0; i < s.parent.size(); ++i) {
        s.texts.push_back(SysAllocString(words[i].c_str()));
        s.textChars += words[i].size();
    }
    return s;
}

void InsertShape(HWND tree, const Shape& s) {
    for (size_t i = 0; i < s.parent.size(); ++i) {
        NodeInfo info = {};
        info.id = static_cast<DWORD>(i + 1);
        info.parentId = s.parent[i];
        info.checkState = ZN_UNCHECKED;
        info.flags = (i % 2 == 0) ? ZN_SORT_CHILDREN : 0;  // half of the parents sort their children
        info.text1 = s.texts[i];
        Sorted_Insert(tree, &info, 0);
    }
}

HWND NewTreeView(HWND parent) {
    HWND view = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_CHECKBOXES,
                                10, 30, 760, 580, parent, nullptr, nullptr, nullptr);
    SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    return view;
}

void InsertTheirs(HWND view, const Shape& s, std::vector<HTREEITEM>& items, Capped& insert) {
    for (size_t i = 0; i < s.parent.size() && !insert.Over(i); ++i) {
        TVINSERTSTRUCTW tv = {};
        DWORD p = s.parent[i];
        tv.hParent = p ? items[p - 1] : TVI_ROOT;
        bool sorted = p && ((p - 1) % 2 == 0);
        tv.hInsertAfter = sorted ? TVI_SORT : TVI_LAST;
        tv.item.mask = TVIF_TEXT;
        tv.item.pszText = s.texts[i];
        items[i] = reinterpret_cast<HTREEITEM>(SendMessageW(view, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tv)));
    }
}

namespace {

void RunOurs(const Shape& s, Run& run) {
    Host host;
    host.tree = CreateTree(host.window, 100, 200);
    SIZE_T before = Measured(s.parent.size()) ? PrivateBytes() : 0;
    double t = Seconds();
    InsertShape(host.tree, s);
    run.phases[0].ours = Seconds() - t;

    t = Seconds();
    RefreshTree(host.tree, &host.selectedIndex, &host.checkedCount);
    run.phases[1].ours = Seconds() - t;

    t = Seconds();
    for (size_t i = 0; i < s.parent.size(); ++i) {
        if (s.hasChildren[i]) ExpandNode(host.tree, static_cast<DWORD>(i + 1), 0);
        if ((i & 1023) == 0 && Seconds() - t > run.budget) {
            run.phases[2].oursCapped = true;
            break;
        }
    }
    Settle(host.tree);
    run.phases[2].ours = Seconds() - t;
    if (run.phases[2].oursCapped) {
        // Memory is measured with every row shown: the parents the budget left closed are opened
        // with drawing switched off, untimed.
        SendMessageA(host.tree, WM_SETREDRAW, FALSE, 0);
        for (size_t i = 0; i < s.parent.size(); ++i)
            if (s.hasChildren[i]) ExpandNode(host.tree, static_cast<DWORD>(i + 1), 0);
        SendMessageA(host.tree, WM_SETREDRAW, TRUE, 0);
    }
    if (Measured(s.parent.size()))
        run.oursBytesPerItem = static_cast<double>(PrivateBytes() - before) / static_cast<double>(s.parent.size());

    t = Seconds();
    RepaintNow(host.tree);
    run.phases[3].ours = Seconds() - t;

    t = Seconds();
    for (size_t i = 0; i < s.parent.size(); ++i) {
        if (s.parent[i] != 0) continue;
        NodeInfo info = {};
        info.id = static_cast<DWORD>(i + 1);
        info.parentId = ZN_CHANGE_CHECK;
        info.checkState = ZN_CHECKED;
        UpdateTreeEntry(host.tree, &info, 0, &host.checkedCount);
    }
    run.phases[4].ours = Seconds() - t;

    t = Seconds();
    NodeInfo info = {};
    info.id = 1;
    info.parentId = ZN_CHANGE_CHECK;
    info.checkState = ZN_UNCHECKED;
    UpdateTreeEntry(host.tree, &info, 0, &host.checkedCount);
    run.phases[5].ours = Seconds() - t;

    t = Seconds();
    DestroyTree(host.tree);
    host.tree = nullptr;
    run.phases[6].ours = Seconds() - t;
    Pump();
    FloorFill(host.window, static_cast<int>(s.parent.size()), &run.floorBytesPerItem);
}

void RunTheirs(const Shape& s, Run& run, double budget) {
    Host host;
    std::vector<HTREEITEM> items(s.parent.size());
    HWND view = NewTreeView(host.window);
    SIZE_T before = Measured(s.parent.size()) ? PrivateBytes() : 0;
    Capped insert(budget);
    InsertTheirs(view, s, items, insert);
    insert.Into(run.phases[0]);
    run.phases[1].theirs = 0;  // the view shows its items as they are inserted

    Capped expand(budget);
    for (size_t i = 0; i < s.parent.size() && !expand.Over(i); ++i)
        if (s.hasChildren[i] && items[i])
            SendMessageW(view, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(items[i]));
    Settle(view);
    expand.Into(run.phases[2]);
    if (Measured(s.parent.size()))
        run.theirsBytesPerItem = static_cast<double>(PrivateBytes() - before) / static_cast<double>(s.parent.size());

    double t = Seconds();
    SendMessageW(view, WM_SETREDRAW, TRUE, 0);
    RepaintNow(view);
    run.phases[3].theirs = Seconds() - t;

    Capped check(budget);
    for (size_t i = 0; i < s.parent.size() && !check.Over(i); ++i) {
        if (s.parent[i] != 0 || !items[i]) continue;
        TVITEMW item = {};
        item.mask = TVIF_STATE;
        item.hItem = items[i];
        item.stateMask = TVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(2);
        SendMessageW(view, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    check.Into(run.phases[4]);

    t = Seconds();
    TVITEMW item = {};
    item.mask = TVIF_STATE;
    item.hItem = items[0];
    item.stateMask = TVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(1);
    SendMessageW(view, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    run.phases[5].theirs = Seconds() - t;

    t = Seconds();
    DestroyWindow(view);
    run.phases[6].theirs = Seconds() - t;
}

// One top-level node holding every other node: each of its children followed by `per` children
// of its own (none: a folder of many files, one branch of all the rows). Opening every parent
// inserts the rows of each branch in one call; closing the top node removes them all in one.
DWORD ParentOf(size_t i, size_t per) {
    if (i == 0) return 0;
    size_t position = (i - 1) % (per + 1);
    return position == 0 ? 1 : static_cast<DWORD>(i - position + 1);
}

void RunTopOurs(const Shape& s, Run& run, size_t per) {
    Host host;
    host.tree = CreateTree(host.window, 100, 200);
    double t = Seconds();
    for (size_t i = 0; i < s.texts.size(); ++i) {
        NodeInfo info = {};
        info.id = static_cast<DWORD>(i + 1);
        info.parentId = ParentOf(i, per);
        info.checkState = ZN_UNCHECKED;
        info.text1 = s.texts[i];
        Sorted_Insert(host.tree, &info, 0);
    }
    run.phases[0].ours = Seconds() - t;
    t = Seconds();
    RefreshTree(host.tree, &host.selectedIndex, &host.checkedCount);
    run.phases[1].ours = Seconds() - t;
    t = Seconds();
    for (size_t i = 0; i < s.texts.size(); i += i == 0 ? 1 : per + 1) ExpandNode(host.tree, static_cast<DWORD>(i + 1), 0);
    Settle(host.tree);
    run.phases[2].ours = Seconds() - t;
    t = Seconds();
    CollapseNode(host.tree, 1, 0);
    run.phases[3].ours = Seconds() - t;
    t = Seconds();
    DestroyTree(host.tree);
    host.tree = nullptr;
    run.phases[4].ours = Seconds() - t;
}

void RunTopTheirs(const Shape& s, Run& run, double budget, size_t per) {
    Host host;
    HWND view = NewTreeView(host.window);
    std::vector<HTREEITEM> items(s.texts.size());
    Capped insert(budget);
    for (size_t i = 0; i < s.texts.size() && !insert.Over(i); ++i) {
        TVINSERTSTRUCTW tv = {};
        DWORD parent = ParentOf(i, per);
        tv.hParent = parent ? items[parent - 1] : TVI_ROOT;
        tv.hInsertAfter = TVI_LAST;
        tv.item.mask = TVIF_TEXT;
        tv.item.pszText = s.texts[i];
        items[i] = reinterpret_cast<HTREEITEM>(SendMessageW(view, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tv)));
    }
    insert.Into(run.phases[0]);
    run.phases[1].theirs = 0;  // the view shows its items as they are inserted
    Capped expand(budget);
    for (size_t i = 0; i < s.texts.size() && !expand.Over(i); i += i == 0 ? 1 : per + 1)
        if (items[i]) SendMessageW(view, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(items[i]));
    Settle(view);
    expand.Into(run.phases[2]);
    double t = Seconds();
    SendMessageW(view, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(items[0]));
    run.phases[3].theirs = Seconds() - t;
    t = Seconds();
    DestroyWindow(view);
    run.phases[4].theirs = Seconds() - t;
}

// One side of a workload on the shape of n nodes; memory is measured when `records` is set.
template <class Ours, class Theirs>
Run RunOnShape(int n, Side side, double budget, const char* workload, std::initializer_list<const char*> phases,
               bool records, Ours ours, Theirs theirs) {
    Shape s = MakeShape(n);
    Run run;
    run.workload = workload;
    run.n = static_cast<int>(s.parent.size());
    for (const char* name : phases) run.phases.push_back({name});
    double chars = static_cast<double>(s.textChars) / static_cast<double>(s.parent.size());
    // A node, its text block, its BSTR (length prefix, text, NUL) and its narrow copy.
    if (records) run.recordBytesPerItem = sizeof(TreeNode) + sizeof(TextBlock) + (4 + 2 * chars + 2) + (chars + 1);
    run.budget = budget;
    if (side == Side::Ours)
        ours(s, run);
    else
        theirs(s, run, budget);
    for (BSTR text : s.texts) SysFreeString(text);
    return run;
}

}  // namespace

Run TreeWorkload(int n, Side side, double budget) {
    return RunOnShape(n, side, budget, "tree",
                      {"insert all", "RefreshTree", "expand every parent", "one full repaint",
                       "check every top-level node", "uncheck the largest subtree", "destroy"},
                      true, RunOurs, RunTheirs);
}

Run WideWorkload(int n, Side side, double budget) {
    return RunOnShape(n, side, budget, "wide",
                      {"insert all (one parent)", "RefreshTree", "expand the parent", "collapse the parent", "destroy"},
                      false, [](const Shape& s, Run& run) { RunTopOurs(s, run, 0); },
                      [](const Shape& s, Run& run, double budget) { RunTopTheirs(s, run, budget, 0); });
}

Run BranchesWorkload(int n, Side side, double budget) {
    return RunOnShape(n, side, budget, "branches",
                      {"insert all (branches of 99)", "RefreshTree", "expand every parent", "collapse the top node",
                       "destroy"},
                      false, [](const Shape& s, Run& run) { RunTopOurs(s, run, 99); },
                      [](const Shape& s, Run& run, double budget) { RunTopTheirs(s, run, budget, 99); });
}

}  // namespace bench
