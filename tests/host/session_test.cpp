// Long random sessions: a seeded driver plays host calls and user actions against a tree and a
// list in one host, and after every step checks the chains, the list box's rows, the editors'
// links, and, against reference models, check states, counts and the sorted row order.
// ZN_SEED replays a seed, ZN_STEPS sets the length (else 600 steps scaled by ZN_SIZE_PERCENT),
// ZN_TRACE=1 prints every action, ZN_SECONDS keeps starting seeds until that many seconds have
// passed (make soak).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <random>

#include "../unit/check_model.h"
#include "host.h"
#include "list_rig.h"
#include "list_support.h"

using namespace host;

namespace {

long EnvNumber(const char* name, long fallback) {
    const char* v = std::getenv(name);
    return v ? std::strtol(v, nullptr, 10) : fallback;
}

// The list's sort order: empty texts (no stored characters) first, then case-insensitive as
// _wcsicmp, which reads up to the first NUL (a choice list compares by its first value);
// severity breaks ties of a column, the first text ties of severity (column 0).
int CompareText(const std::wstring& a, const std::wstring& b) {
    if (a.empty() || b.empty()) return a.empty() ? (b.empty() ? 0 : -1) : 1;
    auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c + 32 : c; };
    const std::wstring x = a.c_str(), y = b.c_str();
    for (size_t i = 0;; ++i) {
        if (i == x.size() || i == y.size()) return (i < x.size()) - (i < y.size());
        if (fold(x[i]) != fold(y[i])) return fold(x[i]) < fold(y[i]) ? -1 : 1;
    }
}
int CompareRows(const ListRow* a, const ListRow* b, int column) {
    auto severity = [](const ListRow* r) { return std::to_wstring(static_cast<LONG>(r->severity)); };
    auto cell = [column](const ListRow* r) { return ColumnText(r, column) == L"<none>" ? L"" : ColumnText(r, column); };
    int r = column ? CompareText(cell(a), cell(b)) : CompareText(severity(a), severity(b));
    return r ? r : column ? CompareText(severity(a), severity(b)) : CompareText(TextOf(a->texts[0]), TextOf(b->texts[0]));
}

class Session {
public:
    explicit Session(unsigned seed) : random_(seed) {
        AttachSeverityIcons(tree_, icons_);
        AttachAdditionalIcons(tree_, icons_);
        ZNList_AttachSeverityIcons(list_, icons_);
        for (const wchar_t* title : {L"Name", L"Path", L"Note"})
            ZNList_AddHeaderColumn(list_, title, title[0] == L'P' ? ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE : 0);
    }
    ~Session() {
        DestroyTree(tree_);
        ZNList_Destroy(list_);
        ImageList_Destroy(icons_);
    }

    // Plays one step; returns a description of the first fault found after it, or "".
    std::string Step() {
        action_ = "";
        switch (Pick(16)) {
        case 0: case 1: InsertNode(); break;
        case 2: InsertRow(); break;
        case 3: Refresh(); break;
        case 4: Key(tree_, L" +-*a"[Pick(5)]); break;
        case 5: Key(list_, L" x"[Pick(2)]); break;
        case 6: Click(Pick(2) ? tree_ : list_); break;
        case 7:
            Note("scroll");
            if (HWND w = Pick(2) ? tree_ : list_; Pick(2)) SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, Pick(2) ? 120 : -120), 0);
            else SendMessageA(w, Pick(2) ? WM_VSCROLL : WM_HSCROLL, Pick(8), 0);
            break;
        case 8: Choose(tree_); Choose(list_); break;
        case 9: SetState(); break;
        case 10: HeaderClick(); break;
        case 11:
            if (TreeNode* n = Any(Nodes())) {
                Note("expand or collapse " + std::to_string(n->id));
                (Pick(2) ? ExpandNode : CollapseNode)(tree_, n->id, 0);
            }
            break;
        case 12: UpdateText(); break;
        case 13:
            if (Pick(8)) break;
            Note("clear");
            if (Pick(2)) ZNList_Clear(list_);
            else ClearTree(tree_), expected_.clear();
            break;
        case 14: host_.Repaint(Pick(2) ? tree_ : list_); break;
        default:
            Note("select");
            if (TreeNode* n = Any(Nodes())) ZNTree_SelectNode(tree_, n->id, 0);
            if (ListRow* r = Any(Rows())) ZNList_SelectNode(list_, r->id);
        }
        host_.Pump(10);
        return Check();
    }
    const std::string& action() const { return action_; }

private:
    int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    template <class T> T* Any(const std::vector<T*>& v) { return v.empty() ? nullptr : v[Pick(static_cast<int>(v.size()))]; }
    // ZN_TRACE=1 prints each action as it starts, so a step that never returns is named.
    void Note(const std::string& s) {
        action_ += s + "; ";
        if (trace_) std::fprintf(stderr, "%s\n", s.c_str()), std::fflush(stderr);
    }
    const char* Name(HWND w) const { return w == tree_ ? "tree" : "list"; }

    std::vector<TreeNode*> Nodes() const {
        std::vector<TreeNode*> out;
        for (TreeNode* n = GetListHead(tree_); n; n = n->next) out.push_back(n);
        return out;
    }
    std::vector<ListRow*> Rows() const {
        std::vector<ListRow*> out;
        for (ListRow* r = ZNList_GetListHead(list_); r; r = r->next) out.push_back(r);
        return out;
    }
    TreeNode* SelectedNode() const {
        LRESULT i = SendMessageA(tree_, LB_GETCURSEL, 0, 0);
        return i == LB_ERR ? nullptr : reinterpret_cast<TreeNode*>(SendMessageA(tree_, LB_GETITEMDATA, i, 0));
    }
    int IndexOf(const TreeNode* node) const {
        std::vector<TreeNode*> nodes = Nodes();
        auto at = std::find(nodes.begin(), nodes.end(), node);
        return at == nodes.end() ? -1 : static_cast<int>(at - nodes.begin());
    }
    // The model of the tree's states, its structure taken from the chain (checked separately).
    checkmodel::Model TreeModel() const {
        checkmodel::Model m;
        std::map<const TreeNode*, int> index;
        for (TreeNode* n : Nodes()) {
            index[n] = static_cast<int>(m.nodes.size());
            m.nodes.push_back({n->parent ? index[n->parent] : -1, expected_.at(n->id)});
        }
        m.count = host_.checkedCount;
        return m;
    }
    void Adopt(const checkmodel::Model& m) {
        std::vector<TreeNode*> nodes = Nodes();
        for (size_t i = 0; i < nodes.size(); ++i) expected_[nodes[i]->id] = m.nodes[i].state;
        expectedCount_ = m.count;
    }
    // Whether a key or click reached the toggle is read from the node (a missed one is reported
    // separately); the propagation from it must follow the model taken before.
    void Follow(const TreeNode* node, checkmodel::Model m) {
        int n = IndexOf(node);
        if (n < 0 || node->checkState == m.nodes[n].state) return;
        m.Toggle(n);
        Adopt(m);
    }

    void InsertNode() {
        std::vector<TreeNode*> nodes = Nodes();
        TreeNode* parent = nodes.empty() || Pick(4) == 0 ? nullptr : Any(nodes);
        NodeInfo info = Record(++nextId_, parent ? parent->id : 0, 1 + Pick(3));
        info.flags = static_cast<WORD>(Pick(2) ? ZN_SORT_CHILDREN : 0) | (Pick(4) == 0 ? ZN_CHOICE_TEXT2 : 0);
        info.severity = Pick(4);
        info.extraIcon = Pick(3);
        Bstr t1(std::to_wstring(random_() % 1000).c_str());
        Bstr choices = Bstr::Choices({L"1", L"Low", L"2", L"High", L"-3", L"Odd"});
        info.text1 = t1;
        if (info.flags & ZN_CHOICE_TEXT2) info.text2 = choices;
        Note("insert node " + std::to_string(info.id) + " under " + std::to_string(info.parentId));
        if (Sorted_Insert(tree_, &info, 0)) expected_[info.id] = info.checkState;
    }
    void InsertRow() {
        std::vector<TreeNode*> nodes = Nodes();
        TreeNode* node = !nodes.empty() && Pick(2) ? Any(nodes) : nullptr;
        ListRow* row;
        if (node) {
            row = ZNList_InsertFromTree(list_, node);
        } else {
            NodeInfo info = Record(++nextId_, 0, 1 + Pick(3));
            info.severity = Pick(12);
            info.flags = Pick(3) == 0 ? ZN_CHOICE_TEXT1 : 0;
            Bstr choices(L"1\0A\0" L"2\0B\0\0", 9);
            Bstr plain((std::wstring(L"row") + L"aBc"[Pick(3)]).c_str());
            info.text1 = info.flags ? static_cast<BSTR>(choices) : static_cast<BSTR>(plain);
            row = ZNList_Insert(list_, &info);
        }
        if (!row) return;
        Note("insert row " + std::to_string(row->id));
        SetColumn(list_, row->id, 1 + Pick(3), Pick(2) ? L"c:\\dir\\sub\\file" : L"Zed");
    }
    void Refresh() {
        if (Pick(2)) {
            Note("refresh tree");
            RefreshTree(tree_, &host_.selectedIndex, &host_.checkedCount);
            // Refresh counts the checked nodes as they stand, then settles parents from their
            // descendants; an empty tree leaves the count alone.
            checkmodel::Model m = TreeModel();
            m.count = 0;
            for (auto& n : m.nodes) m.count += n.state == checkmodel::kChecked;
            for (int i = static_cast<int>(m.nodes.size()); i-- > 0;) {
                if (m.Below(i).empty() || m.nodes[i].state == checkmodel::kDisabled) continue;
                checkmodel::Summary s = m.Of(i);
                m.nodes[i].state = s == checkmodel::kAll ? checkmodel::kChecked
                                   : s == checkmodel::kSome ? checkmodel::kPartly : checkmodel::kUnchecked;
            }
            if (m.nodes.empty()) m.count = host_.checkedCount;
            Adopt(m);
        } else {
            sortColumn_ = Pick(4);
            descending_ = Pick(2);
            Note("refresh list by " + std::to_string(sortColumn_) + (descending_ ? " down" : " up"));
            ZNList_Refresh(list_, sortColumn_, descending_);
            checkOrder_ = true;
        }
    }
    void Key(HWND window, wchar_t key) {
        Note(std::string("key ") + static_cast<char>(key) + " in " + Name(window));
        // The tree toggles the row it last painted as selected: paint first, so that it is the
        // list box's selection.
        host_.Repaint(window);
        TreeNode* node = window == tree_ ? SelectedNode() : nullptr;
        checkmodel::Model m = node ? TreeModel() : checkmodel::Model();
        SendMessageA(window, WM_CHAR, key, 0);
        if (node) Follow(node, m);
    }
    void Click(HWND window) {
        RECT r;
        GetClientRect(window, &r);
        POINT p = HostWindow::ToScreen(window, Pick(r.right + 1), Pick(r.bottom + 1));
        SetCursorPos(p.x, p.y);
        TreeNode* before = window == tree_ ? SelectedNode() : nullptr;
        checkmodel::Model m = TreeModel();
        Note(std::string("click in ") + Name(window));
        SendMessageA(host_.window(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(window));
        // A click on the selected node's box toggles it.
        if (before && before == SelectedNode()) Follow(before, m);
    }
    void Choose(HWND window) {
        HWND editor = GetDlgItem(window, ZN_EDITOR_ID);
        if (!editor || !IsWindowVisible(editor)) return;
        LRESULT count = SendMessageA(editor, CB_GETCOUNT, 0, 0);
        Note(std::string("choose in ") + Name(window));
        SendMessageA(editor, CB_SETCURSEL, count > 0 ? Pick(static_cast<int>(count) + 1) - 1 : -1, 0);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(ZN_EDITOR_ID, CBN_SELCHANGE), reinterpret_cast<LPARAM>(editor));
        // A choice checks the node it serves, without passing the state on (the count is the host's).
        auto* linked = reinterpret_cast<TreeNode*>(GetWindowLongPtrA(editor, GWLP_USERDATA));
        if (window == tree_ && linked && SendMessageA(editor, CB_GETCURSEL, 0, 0) != CB_ERR)
            expected_[linked->id] = ZN_CHECKED;
    }
    void SetState() {
        std::vector<TreeNode*> nodes = Nodes();
        if (TreeNode* node = !nodes.empty() && Pick(2) ? Any(nodes) : nullptr) {
            NodeInfo info = Record(node->id, ZN_CHANGE_CHECK, 2 + Pick(3));
            checkmodel::Model m = TreeModel();
            Note("set node " + std::to_string(info.id) + " to " + std::to_string(info.checkState));
            // Ids are unique, so the node found is this one.
            if (UpdateTreeEntry(tree_, &info, 0, &host_.checkedCount) == 1) {
                m.Set(IndexOf(node), info.checkState);
                Adopt(m);
            }
        } else if (ListRow* row = Any(Rows())) {
            NodeInfo info = Record(row->id, ZN_CHANGE_CHECK, 2 + Pick(2));
            Note("set row " + std::to_string(row->id));
            LONG ignored = 0;
            ZNList_UpdateEntry(list_, &info, 0, &ignored);
        }
    }
    void HeaderClick() {
        HWND header = HeaderOf(host_.window());
        if (!header) return;
        NMHEADERA note = {{header, HostWindow::kListId + 1, HDN_ITEMCLICKA}, Pick(5), 0, nullptr};
        HDITEMA item = {HDI_WIDTH, Pick(300)};
        const bool click = Pick(2);
        Note((click ? "header click " : "header drag ") + std::to_string(note.iItem));
        if (!click) note.hdr.code = HDN_ENDTRACKA, note.pitem = &item;
        if (click && note.iItem < 3) {
            descending_ = note.iItem == sortColumn_ ? !descending_ : descending_;
            sortColumn_ = note.iItem;
            checkOrder_ = true;
        }
        SendMessageA(GetParent(header), WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
    }
    void UpdateText() {
        Bstr text(Pick(2) ? L"Changed" : L"aaa");
        NodeInfo info = Record(0, ZN_CHANGE_TEXT1 << Pick(3), 0);
        info.text1 = info.text2 = info.text3 = Pick(4) ? static_cast<BSTR>(text) : nullptr;
        if (TreeNode* node = Any(Nodes())) {
            info.id = node->id;
            Note("text of node " + std::to_string(info.id));
            (Pick(2) ? UpdateNode(tree_, &info, 0) : UpdateTreeEntry(tree_, &info, 0, &host_.checkedCount));
        }
        if (ListRow* row = Any(Rows())) {
            info.id = row->id;
            Note("text of row " + std::to_string(info.id));
            ZNList_UpdateItem(list_, &info, 0);
        }
    }

    std::string Check() {
        std::string fault = ChainFault(tree_);
        if (!fault.empty()) return fault;
        for (HWND w : {tree_, list_})
            if (GetUpdateRect(w, nullptr, FALSE)) return std::string(Name(w)) + " keeps asking to be repainted";
        std::vector<TreeNode*> nodes = Nodes();
        std::vector<ListRow*> rows = Rows();
        auto has = [](const auto& v, const void* p) { return std::find(v.begin(), v.end(), p) != v.end(); };
        for (LRESULT i = 0, n = SendMessageA(tree_, LB_GETCOUNT, 0, 0); i < n; ++i)
            if (!has(nodes, reinterpret_cast<void*>(SendMessageA(tree_, LB_GETITEMDATA, i, 0))))
                return "tree row " + std::to_string(i) + " is no node of the chain";
        if (static_cast<int>(rows.size()) != ZNList_GetListCount(list_)) return "list count differs from its chain";
        LRESULT shownRows = SendMessageA(list_, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < shownRows; ++i)
            if (!has(rows, ShownRow(list_, i))) return "list row " + std::to_string(i) + " is no row of the chain";
        for (HWND w : {tree_, list_}) {
            HWND editor = GetDlgItem(w, ZN_EDITOR_ID);
            auto* link = editor ? reinterpret_cast<void*>(GetWindowLongPtrA(editor, GWLP_USERDATA)) : nullptr;
            if (link && !has(nodes, link) && !has(rows, link)) return "an editor is linked to a freed node or row";
        }
        for (TreeNode* n : nodes)
            if (expected_.count(n->id) && n->checkState != expected_[n->id])
                return "node " + std::to_string(n->id) + " is in state " + std::to_string(n->checkState) +
                       ", the model says " + std::to_string(expected_[n->id]);
        if (!nodes.empty() && host_.checkedCount != expectedCount_ && expectedCount_ != kUnknown)
            return "checked count " + std::to_string(host_.checkedCount) + ", the model says " +
                   std::to_string(expectedCount_);
        if (std::count_if(rows.begin(), rows.end(), [](ListRow* r) { return r->checkState == ZN_CHECKED; }) !=
            ZNList_GetSelectedNodeCount(list_))
            return "list's checked count differs from its rows";
        for (LRESULT i = 1; checkOrder_ && i < shownRows; ++i) {
            int r = CompareRows(ShownRow(list_, i - 1), ShownRow(list_, i), sortColumn_);
            if (descending_ ? r < 0 : r > 0) return "list rows " + std::to_string(i - 1) + " and " + std::to_string(i) +
                                                     " are out of order";
        }
        checkOrder_ = false;
        return "";
    }

    static constexpr long kUnknown = -0x7FFFFFFF;
    std::mt19937 random_;
    HostWindow host_;
    HWND tree_ = host_.MakeTree(5, 5, 300, 220);
    HWND list_ = host_.MakeList(320, 30, 420, 200);
    HIMAGELIST icons_ = MakeIcons(3);
    std::map<DWORD, DWORD> expected_;
    long expectedCount_ = kUnknown;
    DWORD nextId_ = 0;
    int sortColumn_ = 0, descending_ = 0;
    bool checkOrder_ = false;
    std::string action_;
    const bool trace_ = EnvNumber("ZN_TRACE", 0) != 0;
};

}  // namespace

TEST(Session, RandomHostAndUserActionsKeepBothControlsSound) {
    const long steps = EnvNumber("ZN_STEPS", Scaled(600)), seconds = EnvNumber("ZN_SECONDS", 0);
    const bool replay = std::getenv("ZN_SEED") != nullptr;
    unsigned seed = static_cast<unsigned>(EnvNumber("ZN_SEED", 20240601));
    const auto start = std::chrono::steady_clock::now();
    long played = 0, sessions = 0;
    do {
        Session session(seed);
        for (long i = 0; i < steps; ++i, ++played)
            ASSERT_EQ(session.Step(), "") << "seed " << seed << " (replay with ZN_SEED=" << seed
                                          << " ZN_STEPS=" << i + 1 << "), step " << i << ": " << session.action();
        ++sessions;
        if (seconds > 0)  // a long run reports each seed as it ends, so a stall names its seed
            std::printf("seed %u: %ld steps, %.0f s so far\n", seed, steps,
                        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()),
                std::fflush(stdout);
        ++seed;
    } while (!replay && std::chrono::steady_clock::now() - start < std::chrono::seconds(seconds));
    std::printf("%ld sessions, %ld steps in %.0f s\n", sessions, played,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

// Found by a long session: clearing the tree left its editor serving a freed node.
TEST(Session, ClearingTheTreeUnlinksItsEditor) {
    HostWindow host;
    HWND tree = host.MakeTree();
    Bstr choices = Bstr::Choices({L"1", L"Low", L"2", L"High"});
    NodeInfo info = Record(1, 0, ZN_UNCHECKED);
    info.flags = ZN_CHOICE_TEXT1;
    info.text1 = choices;
    ASSERT_NE(Sorted_Insert(tree, &info, 0), nullptr);
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    host.Repaint(tree);
    HWND editor = GetDlgItem(tree, ZN_EDITOR_ID);
    ASSERT_TRUE(editor && GetWindowLongPtrA(editor, GWLP_USERDATA) != 0);
    ClearTree(tree);
    EXPECT_EQ(GetWindowLongPtrA(editor, GWLP_USERDATA), 0);
    EXPECT_FALSE(IsWindowVisible(editor));
    // A choice after the clear reaches nothing.
    SendMessageA(editor, CB_SETCURSEL, 1, 0);
    SendMessageA(tree, WM_COMMAND, MAKEWPARAM(ZN_EDITOR_ID, CBN_SELCHANGE), reinterpret_cast<LPARAM>(editor));
    DestroyTree(tree);
}

// Found by a long session: a selected choice line whose text holds no choice list left the
// editor shown there while still serving the row it came from, which hid it again on every
// paint, so the tree repainted for ever.
TEST(Session, AChoiceLineWithoutChoicesLeavesTheEditorHiddenAndThePaintDone) {
    HostWindow host;
    HWND tree = host.MakeTree();
    Bstr choices = Bstr::Choices({L"1", L"Low", L"2", L"High"});
    for (DWORD id : {1u, 2u}) {
        NodeInfo info = Record(id, 0, ZN_UNCHECKED);
        info.flags = ZN_CHOICE_TEXT1;
        info.text1 = choices;
        ASSERT_NE(Sorted_Insert(tree, &info, 0), nullptr);
    }
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    ZNTree_SelectNode(tree, 1, 0);
    host.Repaint(tree);
    HWND editor = GetDlgItem(tree, ZN_EDITOR_ID);
    ASSERT_TRUE(editor && IsWindowVisible(editor));

    Bstr plain(L"Changed");
    NodeInfo change = Record(2, ZN_CHANGE_TEXT1, 0);
    change.text1 = plain;
    ASSERT_EQ(UpdateNode(tree, &change, 0), 1);
    ZNTree_SelectNode(tree, 2, 0);
    host.Repaint(tree);
    EXPECT_FALSE(GetUpdateRect(tree, nullptr, FALSE)) << "the tree keeps asking to be repainted";
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_EQ(GetWindowLongPtrA(editor, GWLP_USERDATA), 0);
    DestroyTree(tree);
}
