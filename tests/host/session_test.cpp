// Long random sessions: a seeded driver plays host calls and user actions against a tree and a
// list in one host, and after every step checks the chains, the list box's rows, the editors'
// links, and — against reference models — check states, counts and the sorted row order.
// ZN_SEED replays a seed, ZN_STEPS sets the length, ZN_SECONDS keeps starting seeds until
// that many seconds have passed (make soak).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cwctype>
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

// Text order of the list's sorting: empty texts first, then case-insensitive as _wcsicmp.
int CompareText(const std::wstring& a, const std::wstring& b) {
    if (a.empty() || b.empty()) return a.empty() ? (b.empty() ? 0 : -1) : 1;
    for (size_t i = 0;; ++i) {
        if (i == a.size() || i == b.size()) return (i < a.size()) - (i < b.size());
        auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c + 32 : c; };
        if (fold(a[i]) != fold(b[i])) return fold(a[i]) < fold(b[i]) ? -1 : 1;
    }
}
int CompareRows(const ListRow* a, const ListRow* b, int column) {
    auto severity = [](const ListRow* r) { return std::to_wstring(static_cast<LONG>(r->severity)); };
    if (column == 0) {
        int r = CompareText(severity(a), severity(b));
        return r ? r : CompareText(TextOf(a->texts[0]), TextOf(b->texts[0]));
    }
    auto cell = [column](const ListRow* r) { return ColumnText(r, column) == L"<none>" ? L"" : ColumnText(r, column); };
    int r = CompareText(cell(a), cell(b));
    return r ? r : CompareText(severity(a), severity(b));
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
        int kind = Pick(16);
        switch (kind) {
        case 0: case 1: InsertNode(); break;
        case 2: InsertRow(); break;
        case 3: Refresh(); break;
        case 4: Key(tree_, L" +-*a"[Pick(5)]); break;
        case 5: Key(list_, L" x"[Pick(2)]); break;
        case 6: Click(Pick(2) ? tree_ : list_); break;
        case 7: Scroll(Pick(2) ? tree_ : list_); break;
        case 8: Choose(tree_); Choose(list_); break;
        case 9: SetState(); break;
        case 10: HeaderClick(); break;
        case 11: ExpandOrCollapse(); break;
        case 12: UpdateText(); break;
        case 13: if (Pick(8) == 0) Clear(); break;
        case 14: host_.Repaint(Pick(2) ? tree_ : list_); break;
        default: Select(); break;
        }
        host_.Pump(10);
        return Check();
    }
    const std::string& action() const { return action_; }

private:
    int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    void Note(const std::string& s) { action_ += s + "; "; }

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
    // The model of the tree's states, its structure taken from the chain (checked separately).
    checkmodel::Model TreeModel() const {
        checkmodel::Model m;
        std::vector<TreeNode*> nodes = Nodes();
        std::map<const TreeNode*, int> index;
        for (TreeNode* n : nodes) {
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
    int IndexOf(const TreeNode* node) const {
        int i = 0;
        for (TreeNode* n = GetListHead(tree_); n; n = n->next, ++i)
            if (n == node) return i;
        return -1;
    }

    void InsertNode() {
        std::vector<TreeNode*> nodes = Nodes();
        NodeInfo info = {};
        info.id = ++nextId_;
        info.parentId = nodes.empty() || Pick(4) == 0 ? 0 : nodes[Pick(static_cast<int>(nodes.size()))]->id;
        info.checkState = 1 + Pick(3);
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
        ListRow* row;
        if (!nodes.empty() && Pick(2)) {
            row = ZNList_InsertFromTree(list_, nodes[Pick(static_cast<int>(nodes.size()))]);
        } else {
            NodeInfo info = {};
            info.id = ++nextId_;
            info.checkState = 1 + Pick(3);
            info.severity = Pick(12);
            info.flags = Pick(3) == 0 ? ZN_CHOICE_TEXT1 : 0;
            Bstr text(info.flags ? std::wstring(L"1\0A\0" L"2\0B\0", 8).c_str() : L"Row");
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
            // Refresh settles parents from their descendants and counts the checked nodes.
            checkmodel::Model m = TreeModel();
            // The count is taken from the states as they stand before parents are settled.
            m.count = 0;
            for (auto& n : m.nodes) m.count += n.state == checkmodel::kChecked;
            for (int i = static_cast<int>(m.nodes.size()); i-- > 0;) {
                std::vector<int> below = m.Below(i);
                if (below.empty() || m.nodes[i].state == checkmodel::kDisabled) continue;
                checkmodel::Summary s = m.Of(i);
                m.nodes[i].state = s == checkmodel::kAll ? checkmodel::kChecked
                                   : s == checkmodel::kSome ? checkmodel::kPartly : checkmodel::kUnchecked;
            }
            if (m.nodes.empty()) m.count = host_.checkedCount;  // an empty tree leaves the count alone
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
        Note(std::string("key ") + static_cast<char>(key) + (window == tree_ ? " in tree" : " in list"));
        // The tree toggles the row it last painted as selected: paint first, so that it is the
        // list box's selection.
        host_.Repaint(window);
        TreeNode* node = window == tree_ ? SelectedNode() : nullptr;
        checkmodel::Model m;
        int n = -1;
        if (node) {
            m = TreeModel();
            n = IndexOf(node);
        }
        SendMessageA(window, WM_CHAR, key, 0);
        // Whether the key reached the toggle is read from the node (a missed key is reported
        // separately); the propagation from it must follow the model.
        if (node && node->checkState != m.nodes[n].state) {
            m.Toggle(n);
            Adopt(m);
        }
    }
    void Click(HWND window) {
        RECT r;
        GetClientRect(window, &r);
        POINT p = HostWindow::ToScreen(window, Pick(r.right + 1), Pick(r.bottom + 1));
        SetCursorPos(p.x, p.y);
        TreeNode* before = window == tree_ ? SelectedNode() : nullptr;
        checkmodel::Model m = TreeModel();
        Note("click in " + std::string(window == tree_ ? "tree" : "list"));
        SendMessageA(host_.window(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(window));
        // A click on the selected node's box toggles it; whatever else the click did, the
        // propagation from it must follow the model.
        if (before && before == SelectedNode()) {
            int n = IndexOf(before);
            if (n >= 0 && before->checkState != m.nodes[n].state) {
                m.Toggle(n);
                Adopt(m);
            }
        }
    }
    void Scroll(HWND window) {
        Note("scroll");
        if (Pick(2)) SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, Pick(2) ? 120 : -120), 0);
        else SendMessageA(window, Pick(2) ? WM_VSCROLL : WM_HSCROLL, Pick(8), 0);
    }
    void Choose(HWND window) {
        HWND editor = GetDlgItem(window, ZN_EDITOR_ID);
        if (!editor || !IsWindowVisible(editor)) return;
        LRESULT count = SendMessageA(editor, CB_GETCOUNT, 0, 0);
        Note("choose in " + std::string(window == tree_ ? "tree" : "list"));
        SendMessageA(editor, CB_SETCURSEL, count > 0 ? Pick(static_cast<int>(count) + 1) - 1 : -1, 0);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(ZN_EDITOR_ID, CBN_SELCHANGE), reinterpret_cast<LPARAM>(editor));
        // A choice checks the node it serves, without passing the state on (the count is the host's).
        auto* linked = reinterpret_cast<TreeNode*>(GetWindowLongPtrA(editor, GWLP_USERDATA));
        if (window == tree_ && linked && SendMessageA(editor, CB_GETCURSEL, 0, 0) != CB_ERR)
            expected_[linked->id] = ZN_CHECKED;
    }
    void SetState() {
        std::vector<TreeNode*> nodes = Nodes();
        if (!nodes.empty() && Pick(2)) {
            int n = Pick(static_cast<int>(nodes.size()));
            DWORD state = 2 + Pick(3);
            NodeInfo info = {};
            info.id = nodes[n]->id;
            info.parentId = ZN_CHANGE_CHECK;
            info.checkState = state;
            checkmodel::Model m = TreeModel();
            Note("set node " + std::to_string(info.id) + " to " + std::to_string(state));
            // Ids are unique, so the node found is this one.
            if (UpdateTreeEntry(tree_, &info, 0, &host_.checkedCount) == 1) {
                m.Set(n, state);
                Adopt(m);
            }
        } else {
            std::vector<ListRow*> rows = Rows();
            if (rows.empty()) return;
            ListRow* row = rows[Pick(static_cast<int>(rows.size()))];
            NodeInfo info = {};
            info.id = row->id;
            info.parentId = ZN_CHANGE_CHECK;
            info.checkState = 2 + Pick(2);
            Note("set row " + std::to_string(row->id));
            LONG ignored = 0;
            ZNList_UpdateEntry(list_, &info, 0, &ignored);
        }
    }
    void HeaderClick() {
        HWND header = HeaderOf(host_.window());
        if (!header) return;
        NMHEADERA note = {};
        note.hdr.hwndFrom = header;
        note.hdr.idFrom = HostWindow::kListId + 1;
        note.iItem = Pick(5);
        note.iButton = 0;
        HDITEMA item = {};
        item.mask = HDI_WIDTH;
        item.cxy = Pick(300);
        if (Pick(2)) {
            note.hdr.code = HDN_ITEMCLICKA;
            Note("header click " + std::to_string(note.iItem));
            if (note.iItem < 3) {
                descending_ = note.iItem == sortColumn_ ? !descending_ : descending_;
                sortColumn_ = note.iItem;
                checkOrder_ = true;
            }
        } else {
            note.hdr.code = HDN_ENDTRACKA;
            note.pitem = &item;
            Note("header drag " + std::to_string(note.iItem));
        }
        SendMessageA(GetParent(header), WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
    }
    void ExpandOrCollapse() {
        std::vector<TreeNode*> nodes = Nodes();
        if (nodes.empty()) return;
        TreeNode* n = nodes[Pick(static_cast<int>(nodes.size()))];
        Note("expand or collapse " + std::to_string(n->id));
        (Pick(2) ? ExpandNode : CollapseNode)(tree_, n->id, 0);
    }
    void UpdateText() {
        Bstr text(Pick(2) ? L"Changed" : L"aaa");
        NodeInfo info = {};
        info.parentId = ZN_CHANGE_TEXT1 << Pick(3);
        info.text1 = info.text2 = info.text3 = Pick(4) ? static_cast<BSTR>(text) : nullptr;
        std::vector<TreeNode*> nodes = Nodes();
        if (!nodes.empty()) {
            info.id = nodes[Pick(static_cast<int>(nodes.size()))]->id;
            Note("text of node " + std::to_string(info.id));
            (Pick(2) ? UpdateNode(tree_, &info, 0) : UpdateTreeEntry(tree_, &info, 0, &host_.checkedCount));
        }
        std::vector<ListRow*> rows = Rows();
        if (!rows.empty()) {
            info.id = rows[Pick(static_cast<int>(rows.size()))]->id;
            Note("text of row " + std::to_string(info.id));
            ZNList_UpdateItem(list_, &info, 0);
        }
    }
    void Clear() {
        Note("clear");
        if (Pick(2)) {
            ZNList_Clear(list_);
        } else {
            ClearTree(tree_);
            expected_.clear();
        }
    }
    void Select() {
        std::vector<TreeNode*> nodes = Nodes();
        if (!nodes.empty()) ZNTree_SelectNode(tree_, nodes[Pick(static_cast<int>(nodes.size()))]->id, 0);
        std::vector<ListRow*> rows = Rows();
        if (!rows.empty()) ZNList_SelectNode(list_, rows[Pick(static_cast<int>(rows.size()))]->id);
        Note("select");
    }

    // id(parent)=state/expected of every node, for the failure message.
    std::string Dump() {
        std::string out;
        TreeNode* selected = SelectedNode();
        for (TreeNode* n : Nodes())
            out += (n == selected ? "*" : "") + std::to_string(n->id) + "(" + std::to_string(n->parentId) + ")=" +
                   std::to_string(n->checkState) + "/" + std::to_string(expected_[n->id]) + " ";
        return out;
    }

    std::string Check() {
        std::string fault = ChainFault(tree_);
        if (!fault.empty()) return fault;
        std::vector<TreeNode*> nodes = Nodes();
        for (LRESULT i = 0, n = SendMessageA(tree_, LB_GETCOUNT, 0, 0); i < n; ++i) {
            auto* shown = reinterpret_cast<TreeNode*>(SendMessageA(tree_, LB_GETITEMDATA, i, 0));
            if (std::find(nodes.begin(), nodes.end(), shown) == nodes.end())
                return "tree row " + std::to_string(i) + " is no node of the chain";
        }
        std::vector<ListRow*> rows = Rows();
        if (static_cast<int>(rows.size()) != ZNList_GetListCount(list_)) return "list count differs from its chain";
        LRESULT shownRows = SendMessageA(list_, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < shownRows; ++i)
            if (std::find(rows.begin(), rows.end(), ShownRow(list_, i)) == rows.end())
                return "list row " + std::to_string(i) + " is no row of the chain";
        for (HWND w : {tree_, list_}) {
            HWND editor = GetDlgItem(w, ZN_EDITOR_ID);
            LONG_PTR link = editor ? GetWindowLongPtrA(editor, GWLP_USERDATA) : 0;
            bool live = link == 0 || std::find(nodes.begin(), nodes.end(), reinterpret_cast<TreeNode*>(link)) != nodes.end() ||
                        std::find(rows.begin(), rows.end(), reinterpret_cast<ListRow*>(link)) != rows.end();
            if (!live) return "an editor is linked to a freed node or row";
        }
        for (TreeNode* n : nodes)
            if (expected_.count(n->id) && n->checkState != expected_[n->id])
                return "node " + std::to_string(n->id) + " is in state " + std::to_string(n->checkState) +
                       ", the model says " + std::to_string(expected_[n->id]) + "; chain " + Dump();
        if (!nodes.empty() && host_.checkedCount != expectedCount_ && expectedCount_ != kUnknown)
            return "checked count " + std::to_string(host_.checkedCount) + ", the model says " +
                   std::to_string(expectedCount_);
        int checkedRows = 0;
        for (ListRow* r : rows) checkedRows += r->checkState == ZN_CHECKED;
        if (checkedRows != ZNList_GetSelectedNodeCount(list_)) return "list's checked count differs from its rows";
        if (checkOrder_) {
            checkOrder_ = false;
            for (LRESULT i = 1; i < shownRows; ++i) {
                int r = CompareRows(ShownRow(list_, i - 1), ShownRow(list_, i), sortColumn_);
                if (descending_ ? r < 0 : r > 0) return "list rows " + std::to_string(i - 1) + " and " +
                                                         std::to_string(i) + " are out of order";
            }
        }
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
};

}  // namespace

TEST(Session, RandomHostAndUserActionsKeepBothControlsSound) {
    const long steps = EnvNumber("ZN_STEPS", 600);
    const long seconds = EnvNumber("ZN_SECONDS", 0);
    const bool replay = std::getenv("ZN_SEED") != nullptr;
    unsigned seed = static_cast<unsigned>(EnvNumber("ZN_SEED", 20240601));
    const auto start = std::chrono::steady_clock::now();
    long played = 0, sessions = 0;
    do {
        Session session(seed);
        for (long i = 0; i < steps; ++i, ++played) {
            std::string fault = session.Step();
            ASSERT_EQ(fault, "") << "seed " << seed << " (replay with ZN_SEED=" << seed << " ZN_STEPS=" << i + 1
                                 << "), step " << i << ": " << session.action();
        }
        ++sessions;
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
    NodeInfo info = {};
    info.id = 1;
    info.checkState = ZN_UNCHECKED;
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
