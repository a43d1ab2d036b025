// The shortcuts the controls take on large data, each against the plain reference: the tree's
// lookups and sorted places, a list's first row with an id and its display order, against the
// reference models; and the tree's ways through its list box against the plain step-by-step
// path. (Summed character widths meet real measurement in the extent and sizing tests.)
#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <random>

#include "frame/insert_run.h"
#include "frame/shortcuts.h"
#include "frame/text.h"
#include "list/list.h"
#include "list/row_index.h"
#include "tests/host/harness.h"
#include "tree/tree.h"

using namespace zn;

namespace {

// Random trees with duplicate ids, several group keys, and empty or equal texts.
TEST(TreeIndex, LookupsAndPlacesMatchThePlainWalk) {
    std::mt19937 random(2026);
    const wchar_t* words[] = {L"", L"a", L"A", L"b", L"B", L"ab", L"Ab", L"abc", L"z", L"[", L"0"};
    for (int round = 0; round < 300; ++round) {
        TreeControl tree;
        model::Shape shape;
        const DWORD idRange = 2 + random() % 30, keys = 1 + random() % 3;
        for (int i = 0, count = 1 + static_cast<int>(random() % 60); i < count; ++i) {
            NodeInfo info = {0, 1 + random() % idRange, random() % 4 == 0 ? 0 : 1 + random() % idRange, ZN_UNCHECKED,
                             WORD(random() % 2 ? ZN_SORT_CHILDREN : 0)};
            const wchar_t* word = words[random() % 11];
            const zt::Bstr text(random() % 8 == 0 ? nullptr : word);
            const DWORD key = random() % keys;
            info.text1 = text;
            ASSERT_EQ(tree.SortedInsert(&info, key) != nullptr,
                      shape.Insert(info.id, info.parentId, key, text ? word : L"", info.flags))
                << "round " << round << " insert " << i;
        }
        ASSERT_EQ(tree.CheckChain(), nullptr);
        std::vector<const TreeNode*> nodes;
        for (const TreeNode* n = tree.head; n && nodes.size() <= shape.chain.size(); n = n->next) nodes.push_back(n);
        ASSERT_EQ(nodes.size(), shape.chain.size());
        for (size_t at = 0; at < nodes.size(); ++at) {
            const TreeNode* n = nodes[at];
            const model::Shaped& r = shape.chain[at];
            ASSERT_TRUE(n->id == r.id && n->level == r.level && n->descendantCount == r.descendants)
                << "round " << round << " position " << at;
            ASSERT_EQ(Extras(n).lastInSubtree, nodes[at + n->descendantCount]);
        }
        for (DWORD id = 0; id <= idRange + 1; ++id)
            for (DWORD key = 0; key <= keys; ++key) {
                const int group = shape.Find(id, key, true), pair = shape.Find(id, key, false);
                EXPECT_EQ(tree.FindInGroup(id, key), group < 0 ? nullptr : nodes[group]);
                EXPECT_EQ(tree.FindPair(id, key), pair < 0 ? nullptr : nodes[pair]);
            }
        tree.Clear();
    }
}

TEST(ListRowIndex, FindsTheFirstRowOfEachIdAsTheChainWalkDoes) {
    std::mt19937 random(7);
    for (int size : {0, 1, 5, 47, 48, 49, 1000, 20000}) {
        std::vector<ListRow> rows(static_cast<size_t>(size));
        RowIndex index;
        std::uniform_int_distribution<DWORD> ids(0, size % 2 ? 7u : 0xFFFFFFFFu);  // many duplicates, or sparse ids
        for (size_t i = 0; i < rows.size(); ++i) {
            rows[i].id = ids(random);
            if (i) rows[i - 1].next = &rows[i];
            ASSERT_TRUE(index.Add(&rows[i]));
        }
        for (int probe = 0; probe < 2000 + size; ++probe) {
            const DWORD id = probe < size ? rows[probe].id : ids(random);
            auto first = std::find_if(rows.begin(), rows.end(), [id](const ListRow& r) { return r.id == id; });
            ASSERT_EQ(index.Find(id), first == rows.end() ? nullptr : &*first) << "id " << id << " of " << size << " rows";
        }
        index.Clear();
        EXPECT_EQ(index.Find(size ? rows[0].id : 0), nullptr) << "a cleared index knows no row";
    }
}

// Short texts are kept in the library's own blocks laid out as BSTRs, long ones by the BSTR
// functions: either way a host reads the same length, bytes and terminating NUL, copies keep odd
// lengths and embedded NULs, and an emptied text reads as an empty BSTR.
TEST(TextBlocks, EveryLengthReadsAsTheBstrItCameFrom) {
    const LONG blocks = text::LiveBlocks();
    for (UINT bytes = 0; bytes <= 72; ++bytes) {
        std::string source(bytes, '\0');
        for (UINT i = 0; i < bytes; ++i) source[i] = static_cast<char>(i % 5 == 3 ? 0 : 'a' + i % 26);
        BSTR host = SysAllocStringByteLen(source.data(), bytes);
        TextField slot = {}, copy = {};
        ASSERT_EQ(text::AssignCopy(slot, host), 0u);
        SysFreeString(host);
        text::Clear(copy), text::Share(slot, copy), text::Clear(copy);  // a private, emptied copy
        const BSTR kept = const_cast<BSTR>(text::Wide(slot));
        ASSERT_EQ(SysStringByteLen(kept), bytes);
        EXPECT_EQ(std::memcmp(kept, source.data(), bytes), 0) << bytes << " bytes";
        EXPECT_EQ(reinterpret_cast<const char*>(kept)[bytes] | reinterpret_cast<const char*>(kept)[bytes + 1], 0);
        EXPECT_TRUE(SysStringLen(const_cast<BSTR>(text::Wide(copy))) == 0 && text::Wide(copy)[0] == 0);
        EXPECT_EQ(SysStringByteLen(kept), bytes) << "emptying the copy left the first alone";
        text::Release(slot), text::Release(copy);
    }
    EXPECT_EQ(text::LiveBlocks(), blocks);
}

TEST(ListRowOrder, SortingFollowsTheRowOrderOnEveryColumnAndDirection) {
    const LONG blocks = text::LiveBlocks();
    std::mt19937 random(11);
    // Texts that differ only past their fourth character, end with or hold a NUL early, or carry
    // code units above 0x7FFF, besides plain, empty and case-different ones.
    const std::wstring words[] = {L"", L"a", L"A", L"b", L"ab", L"AB", L"Zeta", L"zeta", L"_x", L"[y", L"\u00e9t\u00e9",
                                  L"10", L"2", L"abcd", L"ABCDe", L"abcdf", L"abcdE", std::wstring(L"\0b", 2),
                                  std::wstring(L"ab\0z", 4), std::wstring(L"abcd\0", 5), L"\uffff", L"\u8000a", L"a\u7fff"};
    const int kinds = static_cast<int>(std::size(words));
    const DWORD severities[] = {0, 1, 2, 3, 9, 10, 12, 100, 0xFFFFFFFF, 0x80000000, 0x7FFFFFFF, 0xFFFFFFF6};
    // The second pass puts a long beginning before every text, the same but for its case, as
    // paths have.
    const std::wstring beginnings[] = {L"", L"C:\\Users\\Shared\\", L"c:\\USERS\\shared\\"};
    std::vector<ListRow> rows(3000);
    auto release = [&rows] {
        for (ListRow& row : rows) {
            for (TextField& slot : row.texts) text::Release(slot);
            columns::Free(row.columnTexts);
        }
    };
    for (int pass = 0; pass < 2; ++pass) {
        release();
        for (ListRow& row : rows) {
            row = ListRow{};
            row.severity = severities[random() % 12];
            auto word = [&] { return zt::Bstr(beginnings[pass ? 1 + random() % 2 : 0] + words[random() % kinds]); };
            for (int n = 0; n < 3; ++n) {
                const int pick = static_cast<int>(random() % (kinds + 2));  // the last two: no block, or no text
                if (pick < kinds) text::AssignCopy(row.texts[n], word());
                else if (pick == kinds) text::MakeFromWide(row.texts[n], nullptr);
            }
            TextField column = {};
            text::AssignCopy(column, word());
            ASSERT_TRUE(columns::GrowTo(row.columnTexts, random() % 4, column));
            text::Release(column);
        }
        for (int column = 0; column <= 4; ++column)
            for (int descending = 0; descending <= 1; ++descending)
                for (size_t count : {size_t{0}, size_t{1}, size_t{17}, rows.size()}) {
                    std::vector<ListRow*> sorted(count);
                    std::iota(sorted.begin(), sorted.end(), rows.data());
                    SortRows(sorted.data(), sorted.size(), column, descending);
                    std::vector<model::RowKey> keys;
                    for (const ListRow* row : sorted) keys.push_back(model::KeyOf(row));
                    ASSERT_EQ(model::OutOfOrder(keys, column, descending), -1)
                        << "column " << column << ", descending " << descending << ", " << count << " rows, pass " << pass;
                    std::sort(sorted.begin(), sorted.end());  // still every row once
                    ASSERT_TRUE(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end() && sorted.size() == count);
                }
    }
    release();
    EXPECT_EQ(text::LiveBlocks(), blocks);
}

// The tree's shortcuts through its list box (top-row moves, bottom-up closing, insertion runs, a
// top row left by a host's loop, check states settled in one walk) against the plain path: two
// trees built alike stand side by side, each in a host of its own; every step is made in both,
// and they must end with the same rows, top row, selection, states, count, extent and pixels.

// One tree in a host window of its own; `plain` makes every call of it take the plain path.
struct Side {
    Side(int x, bool plainPath) : plain(plainPath) {
        SetWindowPos(host.window(), nullptr, x, 0, 330, 420, SWP_NOZORDER);
        With([&] { box = host.MakeTree(5, 5, 320, 410); });
        tree = TreeControl::FromWindow(box);
    }
    template <class Work> void With(Work work) { plainPathsOnly = plain, work(), plainPathsOnly = false; }
    zt::Host host;
    bool plain;
    HWND box = nullptr;
    TreeControl* tree = nullptr;
};

// Everything the two sides must agree on, as text: rows, then top row, selection and extent.
std::string State(Side& s) {
    std::string out = "rows";
    for (DWORD id : zt::Rows(s.box)) out += ' ' + std::to_string(id);
    for (UINT query : {LB_GETTOPINDEX, LB_GETCURSEL, LB_GETHORIZONTALEXTENT})
        out += ' ' + std::to_string(SendMessageA(s.box, query, 0, 0));
    out += " count " + std::to_string(s.host.checkedCount) + "\nstates ";
    for (const TreeNode* n = s.tree->Head(); n; n = n->next) out += static_cast<char>('0' + n->checkState);
    return out;
}

// The list box's whole window, borders and scroll bars included, as painted once it is updated.
std::vector<DWORD> Pixels(Side& s) {
    UpdateWindow(s.box), s.host.Pump();
    RECT r;
    GetWindowRect(s.box, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB}};
    std::vector<DWORD> pixels(static_cast<size_t>(w) * h);
    HDC window = GetWindowDC(s.box), memory = CreateCompatibleDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(window, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, window, 0, 0, SRCCOPY), SelectObject(memory, old);
    GetDIBits(memory, bitmap, 0, h, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap), DeleteDC(memory), ReleaseDC(s.box, window);
    return pixels;
}

// Top-level nodes in long runs, branches of a few rows up to several hundred, nested up to seven
// levels; `big` is a parent of more than 300 rows, `deep` a top-level node whose branches nest
// six levels under boxless parents.
struct Plan { std::vector<zt::Item> nodes; DWORD big = 0, deep = 0; };

Plan RandomTree(std::mt19937& rng) {
    Plan plan;
    std::vector<DWORD> levels;  // level of each node
    auto add = [&](DWORD parent, DWORD level) {
        const DWORD id = static_cast<DWORD>(plan.nodes.size() + 1), state = rng() % 5 == 0 ? ZN_CHECK_DISABLED
                                                                           : rng() % 3 == 0 ? ZN_CHECKED : ZN_UNCHECKED;
        const WORD flags = static_cast<WORD>(rng() % 4 == 0 ? ZN_SORT_CHILDREN : 0);
        const DWORD lines = 1 + rng() % 3;
        plan.nodes.push_back({id, parent, L"Folder with a name", state, flags, 0, 0, lines > 1 ? L"second line" : nullptr,
                              lines > 2 ? L"a third, longer line of text" : nullptr});
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

void Build(Side& s, const Plan& plan) {
    for (const zt::Item& item : plan.nodes) ASSERT_NE(zt::AddNode(s.box, item), nullptr);
    s.With([&] { s.tree->Refresh(&s.host.selectedIndex, &s.host.checkedCount); });
}

TEST(RowPaths, ShortcutsEndWhereThePlainPathEnds) {
    std::mt19937 rng(20261206);
    // A move of the top row is made to look cheap, so that the runs move it whenever they may.
    list_box_costs::moveInRowsForTests = 300;
    for (int t = 0; t < 10; ++t) {
        Side fast(0, false), plain(340, true);
        const Plan plan = RandomTree(rng);
        const DWORD size = static_cast<DWORD>(plan.nodes.size());
        Build(fast, plan), Build(plain, plan);
        bool drawing = true;
        for (int step = 0; step < 40; ++step) {
            const DWORD id = 1 + rng() % size;
            // Every tree opens its large branch, and closes it later from the first row on view,
            // besides the random steps.
            const int drawn = static_cast<int>(rng() % 20);
            const int action = step == 10 ? 6 : step == 24 ? 16 : step == 25 ? 11 : drawn;
            const LRESULT rows = zt::RowCount(fast.box);
            const int row = static_cast<int>(rng() % (rows > 0 ? rows : 1));
            const DWORD state = 1 + rng() % 4;
            const wchar_t key = L"  *-"[rng() % 4];
            for (Side* s : {&fast, &plain}) {
                s->With([&] {
                    TreeControl& tree = *s->tree;
                    auto at = [&](int r) { return static_cast<TreeNode*>(zt::RowItem(s->box, r)); };
                    auto press = [&](WPARAM k) { tree.OnCharToItem(k, LPARAM(s->box), &s->host.checkedCount); };
                    if (action < 4) {  // parents far below the top row, opened one after another as a host does
                        for (DWORD k = id; k < id + 30 && k <= size; ++k) tree.ExpandNode(k, 0);
                    } else if (action < 6) {
                        tree.ExpandNode(at(row)->id, 0);
                    } else if (action < 8) {  // opens the branches down to a node of the large or the deep branch
                        tree.SelectNode((action == 6 ? plan.big : plan.deep) + 1 + id % 40, 0);
                    } else if (action < 11) {  // the node at a row, or its top-level ancestor with all open below
                        const TreeNode* n = at(row);
                        while (action == 10 && n->parent) n = n->parent;
                        tree.CollapseNode(n->id, 0);
                    } else if (action < 12) {
                        tree.CollapseNode(plan.big, 0);
                    } else if (action < 14) {
                        SendMessageA(s->box, LB_SETCURSEL, row, 0), press(key);
                    } else if (action < 15) {  // the deep branch checked by hand: boxless parents keep unchecked boxes
                        const int deepRow = tree.RowOf(tree.FindPair(plan.deep, 0));
                        if (deepRow >= 0) SendMessageA(s->box, LB_SETCURSEL, deepRow, 0), press(L' ');
                    } else if (action < 16) {
                        NodeInfo info = zt::Change(id, ZN_CHANGE_CHECK, state);
                        tree.UpdateTreeEntry(&info, 0, &s->host.checkedCount);
                    } else if (action < 17) {
                        SendMessageA(s->box, LB_SETTOPINDEX, id % 2 && step != 24 ? row : 0, 0);
                    } else if (action < 18) {
                        SendMessageA(s->box, LB_SETCURSEL, row, 0);
                    } else if (action < 19) {
                        tree.SelectNode(id, 0);
                    } else {
                        SendMessageA(s->box, WM_SETREDRAW, drawing ? FALSE : TRUE, 0);
                    }
                });
            }
            if (action == 19) drawing = !drawing;
            const std::string what = "tree " + std::to_string(t) + " step " + std::to_string(step) + ": action " +
                                     std::to_string(action) + " on " + std::to_string(id) + ", row " + std::to_string(row);
            ASSERT_EQ(State(fast), State(plain)) << what;
            // While the host keeps drawing off the list boxes show what they showed before.
            if (drawing) ASSERT_TRUE(Pixels(fast) == Pixels(plain)) << what;
        }
    }
    list_box_costs::moveInRowsForTests = 0;
}

// A host that switches drawing off around a loop of calls: the tree leaves drawing off (it sends
// no switch and no extent of its own meanwhile) and, once the host switches drawing on, shows
// what a tree kept drawing throughout shows.
WNDPROC listBoxProc = nullptr;
int switches = 0, extents = 0, rowsDrawn = 0;  // rowsDrawn: rows put in or taken out with drawing on
bool drawingOn = true;
LRESULT CALLBACK Counting(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switches += message == WM_SETREDRAW;
    extents += message == LB_SETHORIZONTALEXTENT;
    if (message == WM_SETREDRAW) drawingOn = wParam != 0;
    rowsDrawn += drawingOn && (message == LB_INSERTSTRING || message == LB_DELETESTRING);
    return CallWindowProcA(listBoxProc, window, message, wParam, lParam);
}

TEST(RowPaths, AHostsOwnDrawingSwitchIsKeptAndCaughtUpOnce) {
    std::mt19937 rng(7);
    const Plan plan = RandomTree(rng);
    Side off(0, false), on(340, false);
    Build(off, plan), Build(on, plan);
    listBoxProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(off.box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Counting)));
    SendMessageA(off.box, WM_SETREDRAW, FALSE, 0);
    switches = extents = 0;
    const zt::Bstr wide(L"A text wider than any other line of the tree");
    for (Side* s : {&off, &on}) {
        for (DWORD id = 1; id <= plan.nodes.size(); id += 3) s->tree->ExpandNode(id, 0);
        NodeInfo info = zt::Change(plan.deep, ZN_CHANGE_CHECK | ZN_CHANGE_TEXT1, ZN_CHECKED, wide);
        s->tree->UpdateTreeEntry(&info, 0, &s->host.checkedCount);
        s->tree->CollapseNode(plan.big, 0);
    }
    EXPECT_EQ(switches, 0) << "the tree switched drawing itself";
    EXPECT_EQ(extents, 0) << "the extent was set while the host kept drawing off";
    SendMessageA(off.box, WM_SETREDRAW, TRUE, 0);
    EXPECT_GT(extents, 0) << "the extent is set when drawing comes back";
    EXPECT_EQ(State(off), State(on));
    EXPECT_TRUE(Pixels(off) == Pixels(on));
    SetWindowLongPtrA(off.box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listBoxProc));
}

// A host that leaves drawing on and opens parent after parent far below the top row: drawing is
// switched off once and on once, and once the host's message loop runs (no message to the list
// box), the picture is the plain tree's. Reads that do not need the top row come meanwhile; a
// large branch closed and a refresh made before the catch-up change rows with drawing off.
TEST(RowPaths, AnOpeningLoopWithDrawingOnSwitchesOnce) {
    std::mt19937 rng(11);
    const Plan plan = RandomTree(rng);
    list_box_costs::moveInRowsForTests = 300;
    Side held(0, false), plain(340, true);
    Build(held, plan), Build(plain, plan);
    held.host.Pump(), plain.host.Pump();
    listBoxProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(held.box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Counting)));
    switches = 0;
    for (Side* s : {&held, &plain})
        s->With([&] {
            for (DWORD id = 1; id <= plan.nodes.size(); ++id) {
                s->tree->ExpandNode(id, 0);
                zt::RowCount(s->box);
            }
        });
    EXPECT_EQ(switches, 1) << "drawing was switched for every opening";
    EXPECT_TRUE(Pixels(held) == Pixels(plain));
    EXPECT_EQ(switches, 2);
    EXPECT_EQ(State(held), State(plain));
    for (Side* s : {&held, &plain})
        s->With([&] {
            s->tree->CollapseNode(plan.big, 0);
            zt::RowCount(s->box);
            rowsDrawn = 0;
            s->tree->ExpandNode(plan.big, 0);
            s->tree->CollapseNode(plan.big, 0);
            s->tree->Refresh(&s->host.selectedIndex, &s->host.checkedCount);
            if (s == &held) EXPECT_EQ(rowsDrawn, 0);
        });
    EXPECT_EQ(State(held), State(plain));
    SetWindowLongPtrA(held.box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listBoxProc));
    list_box_costs::moveInRowsForTests = 0;
}

}  // namespace
