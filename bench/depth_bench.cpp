// Two ZnTreeCt-only workloads. Checks: a node under a top-level node, holding nearly all the
// other nodes: its children hold nine leaves each, every seventh child has no box and every other
// child is closed. It is checked and unchecked by hand (space key, a click on its box) and by the
// host. Deep: a tree n / 2 levels deep, each level a
// node with a child and a leaf after it, opened all the way and painted at its deepest rows.
#include "ZnTreeCt.h"
#include "bench.h"

namespace bench {
namespace {

void Insert(HWND tree, DWORD id, DWORD parent, DWORD state, BSTR text) {
    NodeInfo info = {};
    info.id = id;
    info.parentId = parent;
    info.checkState = state;
    info.text1 = text;
    Sorted_Insert(tree, &info, 0);
}

void SetCheck(HWND tree, DWORD id, DWORD state, LONG* count) {
    NodeInfo info = {};
    info.id = id;
    info.parentId = ZN_CHANGE_CHECK;
    info.checkState = state;
    UpdateTreeEntry(tree, &info, 0, count);
}

template <class Body>
double Timed(Body body) {
    double t = Seconds();
    body();
    return Seconds() - t;
}

Run Named(const char* workload, int n, std::initializer_list<const char*> phases) {
    Run run;
    run.workload = workload;
    run.n = n;
    for (const char* name : phases) run.phases.push_back({name});
    return run;
}

}  // namespace

Run ChecksWorkload(int n, Side side, double) {
    const int children = (n - 3) / 10;
    Run run = Named("checks", 3 + children * 10,
                    {"insert all", "RefreshTree, open the node and every other child",
                     "space on the node (checks every descendant)", "space again (unchecks them)",
                     "a click on its box (checks them)", "the host unchecks it (UpdateTreeEntry)"});
    if (side == Side::Theirs) return run;
    Host host;
    host.tree = CreateTree(host.window, 100, 200);
    std::vector<std::wstring> words = RandomTexts(run.n, 5u);
    std::vector<BSTR> texts;
    for (const std::wstring& w : words) texts.push_back(SysAllocString(w.c_str()));
    HWND tree = host.tree;
    // Node 1 is the top-level node, node 2 the checked one, the last node a leaf beside it.
    run.phases[0].ours = Timed([&] {
        Insert(tree, 1, 0, ZN_UNCHECKED, texts[0]);
        Insert(tree, 2, 1, ZN_UNCHECKED, texts[1]);
        DWORD id = 3;
        for (int c = 0; c < children; ++c) {
            const DWORD child = id++;
            Insert(tree, child, 2, c % 7 == 3 ? ZN_CHECK_DISABLED : ZN_UNCHECKED, texts[child - 1]);
            for (int g = 0; g < 9; ++g, ++id) Insert(tree, id, child, ZN_UNCHECKED, texts[id - 1]);
        }
        Insert(tree, id, 1, ZN_UNCHECKED, texts[id - 1]);
    });
    run.phases[1].ours = Timed([&] {
        RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
        ExpandNode(tree, 1, 0);
        ExpandNode(tree, 2, 0);
        for (int c = 0; c < children; c += 2) ExpandNode(tree, static_cast<DWORD>(3 + c * 10), 0);
    });
    Pump();
    SendMessageA(tree, LB_SETCURSEL, 1, 0);
    run.phases[2].ours = Timed([&] { On_WMCharToItem(tree, ' ', reinterpret_cast<LPARAM>(tree), &host.checkedCount); });
    run.phases[3].ours = Timed([&] { On_WMCharToItem(tree, ' ', reinterpret_cast<LPARAM>(tree), &host.checkedCount); });
    // The node's box, one level in: 40 to 58 pixels across the first line of the second row.
    POINT box = {48, 18 + 8};
    ClientToScreen(tree, &box);
    SetCursorPos(box.x, box.y);
    run.phases[4].ours = Timed([&] {
        On_WMCommand(tree, MAKEWPARAM(200, LBN_SELCHANGE), reinterpret_cast<LPARAM>(tree), &host.checkedCount);
    });
    run.phases[5].ours = Timed([&] { SetCheck(tree, 2, ZN_UNCHECKED, &host.checkedCount); });
    Pump();
    DestroyTree(tree);
    host.tree = nullptr;
    for (BSTR text : texts) SysFreeString(text);
    return run;
}

Run DeepWorkload(int n, Side side, double) {
    const DWORD depth = static_cast<DWORD>(n / 2);
    Run run = Named("deep", static_cast<int>(2 * depth - 1),
                    {"insert all", "RefreshTree", "open every level, top down", "one full repaint of the deepest rows"});
    if (side == Side::Theirs) return run;
    Host host;
    host.tree = CreateTree(host.window, 100, 200);
    HWND tree = host.tree;
    BSTR text = SysAllocString(L"Folder");
    // Level k is node k; its leaf, node depth + k, follows the deeper levels as k's last child.
    run.phases[0].ours = Timed([&] {
        for (DWORD k = 1; k <= depth; ++k) Insert(tree, k, k - 1, ZN_UNCHECKED, text);
        for (DWORD k = 2; k <= depth; ++k) Insert(tree, depth + k, k - 1, ZN_UNCHECKED, text);
    });
    run.phases[1].ours = Timed([&] { RefreshTree(tree, &host.selectedIndex, &host.checkedCount); });
    run.phases[2].ours = Timed([&] {
        for (DWORD k = 1; k < depth; ++k) ExpandNode(tree, k, 0);
    });
    // The deepest node's row is depth - 1, with the deepest leaves below it.
    SendMessageA(tree, LB_SETTOPINDEX, static_cast<WPARAM>(depth > 16 ? depth - 16 : 0), 0);
    Pump();
    run.phases[3].ours = Timed([&] { RepaintNow(tree); });
    DestroyTree(tree);
    host.tree = nullptr;
    SysFreeString(text);
    return run;
}

}  // namespace bench
