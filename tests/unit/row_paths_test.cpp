// The tree's shortcuts through its list box (top-row moves, bottom-up closing, insertion runs,
// a top row left by the rows of a host's loop, check states settled in one walk) against the
// plain step-by-step path. Two trees, built alike, stand side by side in real windows over real
// list boxes; every step is made in both, the left one with the shortcuts, the right one
// without, and they must end with the same rows, top row, selection, states, count, extent and
// pixels. The trees have long runs of rows (hundreds of top-level nodes, branches of several
// hundred rows, seven levels deep), boxless parents, and a host that scrolls, selects, checks
// and switches drawing off and on around its calls.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "frame/insert_run.h"
#include "frame/shortcuts.h"
#include "tree/tree.h"

using zn::TreeControl;

namespace {

constexpr int kListBoxId = 200;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* tree = reinterpret_cast<TreeControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (tree && wParam == kListBoxId && message == WM_MEASUREITEM)
        return tree->MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    if (tree && wParam == kListBoxId && message == WM_DRAWITEM) {
        LONG selected = 0;
        tree->DrawRow(reinterpret_cast<DRAWITEMSTRUCT*>(lParam), &selected);
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// One tree in a host window of its own; `plain` makes every call of it take the plain path.
struct Side {
    Side(int x, bool plainPath) : plain(plainPath) {
        static const bool registered = [] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = HostProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            wc.lpszClassName = "ZnRowPathsHost";
            return RegisterClassA(&wc) != 0;
        }();
        EXPECT_TRUE(registered);
        host = CreateWindowExA(0, "ZnRowPathsHost", "", WS_POPUP | WS_VISIBLE, x, 0, 330, 420, nullptr, nullptr,
                               nullptr, nullptr);
        CreateWindowExA(0, "STATIC", "", WS_CHILD, 5, 5, 320, 410, host, reinterpret_cast<HMENU>(100), nullptr,
                        nullptr);
        With([&] { tree = TreeControl::Create(host, 100, kListBoxId); });
        SetWindowLongPtrA(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(tree));
    }
    ~Side() {
        SetWindowLongPtrA(host, GWLP_USERDATA, 0);
        if (tree) tree->Destroy();
        DestroyWindow(host);
    }
    template <class Work>
    void With(Work work) {
        zn::plainPathsOnly = plain;
        work();
        zn::plainPathsOnly = false;
    }
    LRESULT Send(UINT message, WPARAM wParam = 0) {
        LRESULT result = 0;
        With([&] { result = SendMessageA(tree->listBox, message, wParam, 0); });
        return result;
    }
    bool plain;
    HWND host = nullptr;
    TreeControl* tree = nullptr;
    LONG count = 0;
};

// Everything the two sides must agree on, as text, and the pixels of the list box's window.
std::string State(Side& s) {
    std::string out = "rows";  // then the top row, the selection and the extent
    const LRESULT rows = s.Send(LB_GETCOUNT);
    for (LRESULT r = 0; r < rows; ++r)
        out += ' ' + std::to_string(reinterpret_cast<TreeNode*>(s.Send(LB_GETITEMDATA, r))->id);
    for (UINT query : {LB_GETTOPINDEX, LB_GETCURSEL, LB_GETHORIZONTALEXTENT})
        out += ' ' + std::to_string(s.Send(query));
    out += " count " + std::to_string(s.count) + "\nstates ";
    for (const TreeNode* n = s.tree->Head(); n; n = n->next) out += static_cast<char>('0' + n->checkState);
    return out;
}

// The list box's whole window, borders and scroll bars included, as painted once it is updated.
std::vector<DWORD> Pixels(Side& s) {
    HWND box = s.tree->listBox;
    UpdateWindow(box);
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
    RECT r;
    GetWindowRect(box, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB}};
    std::vector<DWORD> pixels(static_cast<size_t>(w) * h);
    HDC window = GetWindowDC(box), memory = CreateCompatibleDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(window, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, window, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    GetDIBits(memory, bitmap, 0, h, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap), DeleteDC(memory), ReleaseDC(box, window);
    return pixels;
}

struct Planned {
    DWORD id, parent, state, lines;
    WORD flags;
};

// Top-level nodes in long runs, branches of a few rows up to several hundred, nested up to seven
// levels; `big` is a parent of more than 300 rows, `deep` a top-level node whose branches nest
// six levels under boxless parents.
struct Plan {
    std::vector<Planned> nodes;
    DWORD big = 0, deep = 0;
};

Plan RandomTree(std::mt19937& rng) {
    Plan plan;
    std::vector<DWORD> levels;  // level of each node
    auto add = [&](DWORD parent, DWORD level) {
        DWORD id = static_cast<DWORD>(plan.nodes.size() + 1);
        DWORD state = rng() % 5 == 0 ? ZN_CHECK_DISABLED : rng() % 3 == 0 ? ZN_CHECKED : ZN_UNCHECKED;
        WORD flags = static_cast<WORD>(rng() % 4 == 0 ? ZN_SORT_CHILDREN : 0);
        plan.nodes.push_back({id, parent, state, 1 + rng() % 3, flags});
        levels.push_back(level);
        return id;
    };
    auto grow = [&](auto& self, DWORD parent, int children, int nest) -> void {
        const DWORD level = levels[parent - 1] + 1;
        for (int c = 0; c < children; ++c) {
            DWORD child = add(parent, level);
            if (static_cast<int>(level) < 1 + nest && static_cast<int>(rng() % 6) < nest)
                self(self, child, 1 + static_cast<int>(rng() % 3), nest);
        }
    };
    const int tops = 1 + static_cast<int>(rng() % 2 ? 400 + rng() % 800 : rng() % 40);
    for (int t = 0; t < tops; ++t) add(0, 0);
    plan.big = 1 + rng() % tops;
    grow(grow, plan.big, 300 + static_cast<int>(rng() % 900), 0);
    plan.deep = 1 + rng() % tops;
    grow(grow, plan.deep, 2 + static_cast<int>(rng() % 3), 5);
    for (int b = static_cast<int>(rng() % 10); b > 0; --b) {
        DWORD parent = 1 + rng() % plan.nodes.size();
        if (levels[parent - 1] < 4) grow(grow, parent, 1 + static_cast<int>(rng() % 12), 2);
    }
    return plan;
}

void Build(Side& s, const std::vector<Planned>& nodes) {
    static BSTR words[3] = {SysAllocString(L"Folder with a name"), SysAllocString(L"second line"),
                            SysAllocString(L"a third, longer line of text")};
    for (const Planned& p : nodes) {
        NodeInfo info = {};
        info.id = p.id, info.parentId = p.parent, info.checkState = p.state, info.flags = p.flags;
        info.text1 = words[0];
        if (p.lines > 1) info.text2 = words[1];
        if (p.lines > 2) info.text3 = words[2];
        ASSERT_NE(s.tree->SortedInsert(&info, 0), nullptr);
    }
    LONG selected = 0;
    s.With([&] { s.tree->Refresh(&selected, &s.count); });
}

TEST(RowPaths, ShortcutsEndWhereThePlainPathEnds) {
    std::mt19937 rng(20261206);
    const int kTrees = 10, kSteps = 40;
    int compared = 0;
    // A move of the top row is made to look cheap, so that the runs move it whenever they may.
    zn::list_box_costs::moveInRowsForTests = 300;
    for (int t = 0; t < kTrees; ++t) {
        Side fast(0, false), plain(340, true);
        const Plan plan = RandomTree(rng);
        const std::vector<Planned>& nodes = plan.nodes;
        Build(fast, nodes);
        Build(plain, nodes);
        bool drawing = true;
        for (int step = 0; step < kSteps; ++step) {
            const DWORD id = 1 + rng() % nodes.size();
            // Every tree opens its large branch, and closes it later from the first row on view,
            // besides the random steps.
            const int drawn = static_cast<int>(rng() % 20);
            const int action = step == 10 ? 6 : step == 24 ? 16 : step == 25 ? 11 : drawn;
            const LRESULT rows = fast.Send(LB_GETCOUNT);
            const WPARAM row = static_cast<WPARAM>(rng() % (rows > 0 ? rows : 1));
            const DWORD state = 1 + rng() % 4;
            const WPARAM key = "  *-"[rng() % 4];
            char what[64];
            std::snprintf(what, sizeof what, "tree %d step %d: action %d on %lu, row %lu", t, step, action,
                          static_cast<unsigned long>(id), static_cast<unsigned long>(row));
            for (Side* s : {&fast, &plain}) {
                s->With([&] {
                    TreeControl& tree = *s->tree;
                    auto at = [&](WPARAM r) {
                        return reinterpret_cast<TreeNode*>(SendMessageA(tree.listBox, LB_GETITEMDATA, r, 0));
                    };
                    auto press = [&](WPARAM k) {
                        tree.OnCharToItem(k, reinterpret_cast<LPARAM>(tree.listBox), &s->count);
                    };
                    if (action < 4) {
                        // Parents far below the top row, opened one after another as a host does.
                        for (DWORD k = id; k < id + 30 && k <= nodes.size(); ++k) tree.ExpandNode(k, 0);
                    } else if (action < 6) {
                        tree.ExpandNode(at(row)->id, 0);
                    } else if (action < 8) {
                        // Opens the branches down to a node of the large or the deep branch.
                        tree.SelectNode((action == 6 ? plan.big : plan.deep) + 1 + id % 40, 0);
                    } else if (action < 11) {
                        // The node at a row, or its top-level ancestor with everything open below it.
                        const TreeNode* n = at(row);
                        while (action == 10 && n->parent) n = n->parent;
                        tree.CollapseNode(n->id, 0);
                    } else if (action < 12) {
                        tree.CollapseNode(plan.big, 0);
                    } else if (action < 14) {
                        SendMessageA(tree.listBox, LB_SETCURSEL, row, 0);
                        press(key);
                    } else if (action < 15) {
                        // The deep branch checked by hand: boxless parents keep unchecked boxes.
                        const int deepRow = tree.RowOf(tree.FindPair(plan.deep, 0));
                        if (deepRow >= 0) SendMessageA(tree.listBox, LB_SETCURSEL, deepRow, 0), press(' ');
                    } else if (action < 16) {
                        NodeInfo info = {};
                        info.id = id, info.parentId = ZN_CHANGE_CHECK, info.checkState = state;
                        tree.UpdateTreeEntry(&info, 0, &s->count);
                    } else if (action < 17) {
                        SendMessageA(tree.listBox, LB_SETTOPINDEX, id % 2 && step != 24 ? row : 0, 0);
                    } else if (action < 18) {
                        SendMessageA(tree.listBox, LB_SETCURSEL, row, 0);
                    } else if (action < 19) {
                        tree.SelectNode(id, 0);
                    } else {
                        SendMessageA(tree.listBox, WM_SETREDRAW, drawing ? FALSE : TRUE, 0);
                    }
                });
            }
            if (action == 19) drawing = !drawing;
            ASSERT_EQ(State(fast), State(plain)) << what;
            // While the host keeps drawing off the list boxes show what they showed before.
            if (drawing) ASSERT_TRUE(Pixels(fast) == Pixels(plain)) << what;
            ++compared;
        }
    }
    zn::list_box_costs::moveInRowsForTests = 0;
    EXPECT_EQ(compared, kTrees * kSteps);
}

// A host that switches drawing off around a loop of calls: the tree leaves drawing off (it sends
// no switch and no extent of its own meanwhile) and, once the host switches drawing on, shows
// what a tree kept drawing throughout shows.
WNDPROC listBoxProc = nullptr;
int switches = 0, extents = 0;
LRESULT CALLBACK Counting(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switches += message == WM_SETREDRAW;
    extents += message == LB_SETHORIZONTALEXTENT;
    return CallWindowProcA(listBoxProc, window, message, wParam, lParam);
}

TEST(RowPaths, AHostsOwnDrawingSwitchIsKeptAndCaughtUpOnce) {
    std::mt19937 rng(7);
    Plan plan = RandomTree(rng);
    Side off(0, false), on(340, false);
    Build(off, plan.nodes);
    Build(on, plan.nodes);
    listBoxProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(off.tree->listBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Counting)));
    SendMessageA(off.tree->listBox, WM_SETREDRAW, FALSE, 0);
    switches = extents = 0;
    for (Side* s : {&off, &on}) {
        for (DWORD id = 1; id <= plan.nodes.size(); id += 3) s->tree->ExpandNode(id, 0);
        NodeInfo info = {};
        info.id = plan.deep, info.parentId = ZN_CHANGE_CHECK | ZN_CHANGE_TEXT1, info.checkState = ZN_CHECKED;
        info.text1 = SysAllocString(L"A text wider than any other line of the tree");
        s->tree->UpdateTreeEntry(&info, 0, &s->count);
        SysFreeString(info.text1);
        s->tree->CollapseNode(plan.big, 0);
    }
    EXPECT_EQ(switches, 0) << "the tree switched drawing itself";
    EXPECT_EQ(extents, 0) << "the extent was set while the host kept drawing off";
    SendMessageA(off.tree->listBox, WM_SETREDRAW, TRUE, 0);
    EXPECT_GT(extents, 0) << "the extent is set when drawing comes back";
    EXPECT_EQ(State(off), State(on));
    EXPECT_TRUE(Pixels(off) == Pixels(on));
    SetWindowLongPtrA(off.tree->listBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listBoxProc));
}

}  // namespace
