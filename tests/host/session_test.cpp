// Long random sessions: a seeded driver plays host calls and user actions on a tree and a list
// in one host, and after every step holds both controls to the reference models: the chain's
// shape, check states with the host's count and the notifications, where clicks and keys land,
// which rows an opened branch shows, the sorted list order with its mark and row heights, the
// editors' links and choices, and the check boxes on screen. ZN_SEED replays a seed, ZN_STEPS
// sets the length (else 600 steps scaled by ZN_SIZE_PERCENT), ZN_TRACE=1 prints every action as
// it starts, ZN_SECONDS keeps starting seeds until that many seconds have passed (make soak).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <map>
#include <random>

#include "harness.h"

using namespace zt;

namespace {

long EnvNumber(const char* name, long fallback) { return std::getenv(name) ? std::strtol(std::getenv(name), nullptr, 10) : fallback; }
template <class T> std::vector<T*> Chain(T* head) {
    std::vector<T*> out;
    for (T* n = head; n; n = n->next) out.push_back(n);
    return out;
}

class Session {
public:
    explicit Session(unsigned seed) : random_(seed) {
        AttachSeverityIcons(tree_, icons_), AttachAdditionalIcons(tree_, icons_), ZNList_AttachSeverityIcons(list_, icons_);
        for (const wchar_t* title : {L"Name", L"Path", L"Note"})
            ZNList_AddHeaderColumn(list_, title, title[0] == L'P' ? ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE : 0);
    }
    ~Session() { DestroyTree(tree_), ZNList_Destroy(list_), ImageList_Destroy(icons_); }

    // Plays one step; returns a description of the first fault found after it, or "".
    std::string Step() {
        action_ = "";
        painted_ = nullptr;
        std::string fault;
        switch (Pick(18)) {
        case 0: case 1: fault = InsertNode(); break;
        case 2: fault = InsertRow(); break;
        case 3: Refresh(); break;
        case 4: fault = TreeKey(L" +-*af"[Pick(6)]); break;
        case 5: case 15: fault = ListInput(Pick(3) != 0); break;
        case 6: case 16: fault = TreeClick(); break;
        case 7: {
            HWND w = Pick(2) ? tree_ : list_;
            const UINT message = Pick(3) ? WM_VSCROLL - Pick(2) : WM_MOUSEWHEEL;  // or WM_HSCROLL
            Note("scroll");
            SendMessageA(w, message, message == WM_MOUSEWHEEL ? MAKEWPARAM(0, Pick(2) ? 120 : -120) : Pick(8), 0);
            break;
        }
        case 8: fault = Choose(tree_), fault += Choose(list_); break;
        case 9: fault = SetState(); break;
        case 10: fault = HeaderClick(); break;
        case 11:
            if (TreeNode* n = Any(Chain(GetListHead(tree_)))) {
                Note("open or close " + std::to_string(n->id));
                const LONG open = n->expandState;
                const bool shown = RowOf(tree_, n) >= 0;
                fault = (Pick(2) ? ExpandNode : CollapseNode)(tree_, n->id, 0) != shown ? "wrong answer" : BranchFault(n, open);
            }
            break;
        case 12: fault = UpdateText(); break;
        case 13:
            if (Pick(8)) break;
            Note("clear");
            if (Pick(2)) ZNList_Clear(list_);
            else ClearTree(tree_), shape_ = {}, states_.clear();
            break;
        case 14: Fresh(Pick(2) ? tree_ : list_); break;
        default: fault = Select();
        }
        host_.Pump(10);
        return fault.empty() ? Check() : fault;
    }
    const std::string& action() const { return action_; }

private:
    int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    template <class T> T* Any(const std::vector<T*>& v) { return v.empty() ? nullptr : v[Pick(static_cast<int>(v.size()))]; }
    void Note(const std::string& s) {
        action_ += s + "; ";
        if (trace_) std::fprintf(stderr, "%s\n", s.c_str()), std::fflush(stderr);
    }
    // Boxes on screen are compared after a step that draws them at once, which starts from a
    // freshly painted control, and after a full repaint.
    void Fresh(HWND w) { host_.Repaint(w), painted_ = w; }
    int Selected(HWND w) const { return static_cast<int>(SendMessageA(w, LB_GETCURSEL, 0, 0)); }
    ListRow* FirstRow(DWORD id) const {  // what the list's updates act on
        for (ListRow* r : Chain(ZNList_GetListHead(list_)))
            if (r->id == id) return r;
        return nullptr;
    }
    int Index(DWORD id) const { return shape_.Find(id, 0, false); }
    // The check model over the modelled shape, and taking its outcome back.
    model::Checks Checks() const {
        model::Checks m;
        for (const model::Shaped& n : shape_.chain) m.nodes.push_back({n.parent, states_.at(n.id)});
        m.count = count_;
        return m;
    }
    void Adopt(const model::Checks& m) {
        for (size_t i = 0; i < m.nodes.size(); ++i) states_[shape_.chain[i].id] = m.nodes[i].state;
        count_ = m.count;
        treeNotes_ += m.notifications;
    }
    // Where the tree puts a node's expand and check boxes: past its level, its ancestors' icons
    // and (for the check box) its own, less the horizontal scrolling; the list's box is past
    // the severity icon.
    static int Icons(const TreeNode* n) { return (n->severity ? 20 : 0) + (n->extraIcon ? 20 : 0); }
    int ExpandX(const TreeNode* n) const {
        int x = 18 * static_cast<int>(n->level) + 4 - Shift(tree_);
        for (const TreeNode* a = n->parent; a; a = a->parent) x += Icons(a);
        return x;
    }
    int CheckX(const TreeNode* n) const { return ExpandX(n) + 18 + Icons(n); }
    int TextX(const TreeNode* n) const {  // past the check column, which a box of the node or a sibling brings
        bool column = false;
        for (const TreeNode* s = n->parent ? n->parent->next : n; s && (n->parent ? s->level > n->parent->level : s == n); s = s->next)
            column = column || (s->parent == n->parent && s->checkState != ZN_CHECK_DISABLED);
        return CheckX(n) + (column ? 20 : 0);
    }
    int CheckX(const ListRow* r) const { return (r->severity ? 22 : 2) - Shift(list_); }
    static int Shift(HWND w) { return std::max(0L, ItemRect(w, 0).right - Capture::Client(w).right); }
    Bstr ChoiceText() { return Bstr::Choices({std::vector<const wchar_t*>{L"1", L" -12 days", L"+7", L"x"}[Pick(4)], L"Low", L"2", L"High", L"-3", L"Odd"}); }
    // Opening a node shows, right after its row, each descendant whose parent and grandparent
    // (when it has one) are open; closing it leaves none of them a row.
    std::string BranchFault(const TreeNode* n, LONG before) const {
        int r = RowOf(tree_, n);
        if (r < 0 || n->expandState == before) return "";
        const TreeNode* d = n->next;
        for (DWORD k = 0; k < n->descendantCount; ++k, d = d->next) {
            const TreeNode* p = d->parent;
            const bool shown = n->expandState == 1 && p->expandState == 1 && (!p->parent || p->parent->expandState == 1);
            if (shown ? RowItem(tree_, ++r) != d : RowOf(tree_, d) >= 0)
                return "node " + std::to_string(d->id) + (shown ? " lacks its row" : " keeps a row") + " in its branch";
        }
        return "";
    }

    // Inserts bring a state outside 1 to 3 (of its low 16 bits) to 3 and a severity above 3 to 1,
    // and keep the additional icon's index whole.
    DWORD AnyState() { return Pick(4) ? 1u + Pick(3) : std::vector<DWORD>{0, 4, 5, 0x10002, 0xFFFFFFFF}[Pick(5)]; }
    static DWORD Inserted(DWORD state) { return LOWORD(state) >= 1 && LOWORD(state) <= 3 ? LOWORD(state) : ZN_UNCHECKED; }
    template <class T> static std::string RangeFault(const T* made, const NodeInfo& info) {
        return made->checkState == Inserted(info.checkState) && made->severity == (info.severity > 3 ? 1 : info.severity) &&
               made->extraIcon == info.extraIcon ? "" : "a record's fields stored out of range";
    }
    std::string InsertNode() {
        TreeNode* parent = Pick(4) ? Any(Chain(GetListHead(tree_))) : nullptr;
        NodeInfo info = {0, ++nextId_, parent ? parent->id : 0, AnyState(), WORD(Pick(2) ? ZN_SORT_CHILDREN : 0)};
        info.flags |= Pick(4) == 0 ? ZN_CHOICE_TEXT2 : 0;
        info.severity = Pick(5) ? Pick(4) : Pick(2) ? 4u : 0xFFFFFFFFu;
        info.extraIcon = Pick(5) ? Pick(3) : 0xFFFFFFFF;
        std::wstring text = Pick(8) ? std::to_wstring(random_() % 1000) : L"";
        Bstr t1(text), choices = ChoiceText();
        info.text1 = t1;
        if (info.flags & ZN_CHOICE_TEXT2) info.text2 = Pick(6) ? static_cast<BSTR>(choices) : nullptr;
        Note("insert node " + std::to_string(info.id) + " under " + std::to_string(info.parentId));
        if (shape_.Insert(info.id, info.parentId, 0, text, info.flags)) states_[info.id] = Inserted(info.checkState);
        const TreeNode* node = Sorted_Insert(tree_, &info, 0);
        return node ? RangeFault(node, info) : "";
    }
    // A row made from a node takes its fields (states and severities brought into range) and
    // shares its non-empty texts; a new cell fills the columns before it with ".".
    std::string InsertRow() {
        ListRow* row;
        if (TreeNode* node = Pick(2) ? Any(Chain(GetListHead(tree_))) : nullptr) {
            row = ZNList_InsertFromTree(list_, node);
            int shared = 0;
            for (int k = 0; k < 3; ++k) {
                const bool text = !TextOf(node->texts[k]).empty();
                shared += text;
                if (text ? row->texts[k].block != node->texts[k].block : !TextOf(row->texts[k]).empty()) return "texts not shared";
            }
            const DWORD state = LOWORD(node->checkState) <= 3 && node->checkState ? LOWORD(node->checkState) : ZN_UNCHECKED;
            if (row->id != node->id || row->checkState != state || row->severity != (node->severity > 3 ? 1 : node->severity) ||
                row->flags != node->flags || row->extraIcon != node->extraIcon || row->textCount != shared)
                return "a row made from node " + std::to_string(node->id) + " differs from it";
        } else {
            NodeInfo info = {0, ++nextId_, 0, AnyState(), WORD(Pick(3) == 0 ? ZN_CHOICE_TEXT1 : 0), 0, 0, DWORD(Pick(12))};
            Bstr choices = ChoiceText(), plain(std::wstring(L"row") + L"aBc"[Pick(3)]);
            info.text1 = info.flags ? static_cast<BSTR>(choices) : static_cast<BSTR>(plain);
            if (std::string fault = RangeFault(row = ZNList_Insert(list_, &info), info); !fault.empty()) return fault;
        }
        Note("insert row " + std::to_string(row->id));
        row = FirstRow(row->id);  // cells go to the first row with the id
        const size_t column = 1 + Pick(3), had = row->columnTexts.end - row->columnTexts.begin;
        const wchar_t* text = Pick(2) ? L"c:\\dir\\sub\\file" : L"Zed";
        SetCell(list_, row->id, DWORD(column), text);
        for (size_t k = had + 1; k < column; ++k)  // the dots share one text
            if (Cell(row, k) != L"." || row->columnTexts.begin[k - 1].block != row->columnTexts.begin[had].block)
                return "column " + std::to_string(k) + " is not filled with the dot";
        return Cell(row, column) == text ? "" : "the cell lacks its text";
    }
    void Refresh() {
        if (Pick(2)) {
            Note("refresh tree");
            model::Checks m = Checks();
            if (RefreshTree(tree_, &host_.selectedIndex, &host_.checkedCount)) m.Refresh();  // an empty tree keeps the count
            return Adopt(m);
        }
        const int column = Pick(4), descending = Pick(2);
        Note("refresh list by " + std::to_string(column) + (descending ? " down" : " up"));
        if (ZNList_Refresh(list_, column, descending))  // an empty list keeps its order
            sortColumn_ = column, descending_ = descending, checkOrder_ = true;
    }
    // A typed key acts on the selected row: space flips it, "+", "-" and "*" open or close it;
    // the answer is -1 when acted on, else the selected row.
    std::string TreeKey(wchar_t key) {
        const int sel = Selected(tree_);
        if (sel == LB_ERR)  // without a selected row every key is taken and nothing changes
            return host_.Key(tree_, key == L'f' ? L' ' : key) != -1 ? "wrong answer to a key without a selection" : "";
        auto* node = static_cast<TreeNode*>(RowItem(tree_, sel));
        Note(std::string("key ") + static_cast<char>(key) + " on node " + std::to_string(node->id));
        const LONG open = node->expandState;
        const bool acts = key == L' ' || (key == L'-' ? open == 1 : key == L'+' || key == L'*' ? open == 0 : false);
        model::Checks m = Checks();
        if (key == L' ' && node->checkState != ZN_CHECK_DISABLED) m.Toggle(Index(node->id));
        Fresh(tree_);
        const LRESULT answer = key == L'f' ? On_WMCharToItem(tree_, L' ', LPARAM(host_.window()), &host_.checkedCount)  // another list box's
                                           : host_.Key(tree_, key);
        if (answer != (acts ? -1 : sel)) return "wrong answer to a key";
        Adopt(m);
        if (acts && key != L' ' && node->expandState == open) return "a key did not open or close its node";
        for (int r = sel + 1; key == L'*' && acts && r < RowCount(tree_); ++r) {  // "*" opens every deeper row after it
            const TreeNode* n = static_cast<const TreeNode*>(RowItem(tree_, r));
            if (n->level > node->level && n->descendantCount && n->expandState == 0) return "\"*\" left a row closed";
        }
        return key == L'*' ? "" : BranchFault(node, open);
    }
    // A click tests the cursor against the selected row's boxes, expand box first (bounds
    // exclusive, the top 16 pixels only). Half the clicks go round the bounds: each box edge,
    // a pixel either side, at the last pixel row that counts and the first that does not.
    int Aim(int& turn) { return turn = (turn + 1) % 24, turn; }
    std::string TreeClick() {
        const int sel = Selected(tree_);
        if (sel == LB_ERR) return "";
        auto* node = static_cast<TreeNode*>(RowItem(tree_, sel));
        const RECT client = Capture::Client(tree_), item = ItemRect(tree_, sel);
        const int bound[] = {ExpandX(node), ExpandX(node) + 18, CheckX(node), CheckX(node) + 18}, aim = Pick(2) ? Aim(treeAim_) : -1;
        const int x = aim < 0 ? Pick(client.right + 1) : std::max(0, bound[aim % 4] + aim / 4 % 3 - 1);
        const int y = aim < 0 ? Pick(client.bottom + 1) : std::max(0L, item.top) + 15 + aim / 12;
        Note("click node " + std::to_string(node->id) + " at " + std::to_string(x) + "," + std::to_string(y));
        const LONG open = node->expandState;
        const WORD code = WORD(Pick(5) + 1);  // LBN_SELCHANGE and LBN_DBLCLK are clicks, other codes not
        const bool high = y < item.top + 16 && code <= LBN_DBLCLK, onExpand = high && open != -1 && ExpandX(node) < x && x < ExpandX(node) + 18;
        // A double click on a parent's text, on any of its lines, opens or closes it.
        const bool onText = !onExpand && code == LBN_DBLCLK && open != -1 && x >= TextX(node) && y >= item.top && y < item.bottom;
        model::Checks m = Checks();
        if (!onExpand && !onText && high && node->checkState != ZN_CHECK_DISABLED && CheckX(node) < x && x < CheckX(node) + 18)
            m.Toggle(Index(node->id));
        Fresh(tree_);
        host_.Click(tree_, x, y, code);
        Adopt(m);
        if ((node->expandState != open) != (onExpand || onText)) return "the expand box or the text took a click it should not, or missed one";
        return BranchFault(node, open);
    }
    // Clicks on the box and the space key flip the list's selected row: a checked row becomes
    // unchecked, any other checked; a row without a box never flips.
    std::string ListInput(bool click) {
        const int sel = Selected(list_);
        if (sel == LB_ERR) return "";
        auto* row = static_cast<ListRow*>(RowItem(list_, sel));
        const DWORD before = row->checkState;
        const RECT client = Capture::Client(list_), item = ItemRect(list_, sel);
        const int aim = Pick(2) ? Aim(listAim_) : -1;
        const int x = aim < 0 ? Pick(client.right + 1) : std::max(0, CheckX(row) + 18 * (aim % 2) + aim / 2 % 3 - 1);
        const int y = std::max(0L, item.top) + (aim < 0 ? Pick(18) : 15 + aim / 12);
        const wchar_t key = Pick(2) ? L' ' : L'x';
        bool flips = before != ZN_CHECK_DISABLED;
        Fresh(list_);
        if (click) {
            Note("click row " + std::to_string(row->id) + " at " + std::to_string(x) + "," + std::to_string(y));
            const WORD code = WORD(Pick(4) + 1);  // LBN_SELCHANGE, LBN_DBLCLK, LBN_SELCANCEL, LBN_SETFOCUS
            flips = flips && code <= LBN_DBLCLK && CheckX(row) < x && x < CheckX(row) + 18 && y < item.top + 16;
            host_.Click(list_, x, y, code);
        } else {
            Note(std::string("key ") + static_cast<char>(key) + " on row " + std::to_string(row->id));
            flips = flips && key == L' ';
            if (host_.Key(list_, key) != (key == L' ' ? -1 : sel)) return "wrong answer to a key";
        }
        listNotes_ += flips;
        return row->checkState == (flips ? (before == ZN_CHECKED ? ZN_UNCHECKED : ZN_CHECKED) : before) ? "" : "wrong flip";
    }
    // A choice stores the entry's position and value and checks what the editor serves, without
    // passing the state on.
    std::string Choose(HWND window) {
        HWND editor = GetDlgItem(window, ZN_EDITOR_ID);
        if (!editor || !IsWindowVisible(editor)) return "";
        Note(std::string("choose in ") + (window == tree_ ? "tree" : "list"));
        SendMessageA(editor, CB_SETCURSEL, Pick(static_cast<int>(SendMessageA(editor, CB_GETCOUNT, 0, 0)) + 1) - 1, 0);
        auto* served = reinterpret_cast<char*>(GetWindowLongPtrA(editor, GWLP_USERDATA));
        const int entry = static_cast<int>(SendMessageA(editor, CB_GETCURSEL, 0, 0));
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(ZN_EDITOR_ID, CBN_SELCHANGE), reinterpret_cast<LPARAM>(editor));
        if (!served || entry == CB_ERR) return "";
        auto* node = reinterpret_cast<TreeNode*>(served);
        auto* row = reinterpret_cast<ListRow*>(served);
        if (window == tree_) states_[node->id] = ZN_CHECKED, ++treeNotes_;
        else if (++listNotes_, row->checkState != ZN_CHECKED) return "a choice leaves the row unchecked";
        const std::pair<DWORD, LONG> stored = window == tree_ ? std::make_pair(node->choiceIndex, node->choiceValue)
                                                              : std::make_pair(row->choiceIndex, row->choiceValue);
        return stored == std::make_pair(DWORD(entry), LONG(SendMessageA(editor, CB_GETITEMDATA, entry, 0))) ? "" : "choice not stored";
    }
    // The host sets a state, now and then one out of range. An entry update carries it down and
    // up the tree, moves the count and repaints at once (a partly checked request is taken, and
    // written back, as checked); UpdateNode and ZNList_UpdateItem store its low 16 bits and draw
    // nothing. Each posts one notification. List updates act on the first row with the id.
    std::string SetState() {
        const bool entry = Pick(3), onTree = Pick(2);
        const DWORD state = Pick(4) ? 2 + Pick(3) : std::vector<DWORD>{0, 5, entry ? 5 : 0xFFFFFFFF}[Pick(3)];
        const DWORD taken = entry && state == ZN_PARTLY_CHECKED ? ZN_CHECKED : LOWORD(state);
        TreeNode* node = onTree ? Any(Chain(GetListHead(tree_))) : nullptr;
        ListRow* row = onTree ? nullptr : Any(Chain(ZNList_GetListHead(list_)));
        if (!node && !row) return "";
        NodeInfo info = Change(node ? node->id : row->id, ZN_CHANGE_CHECK, state);
        Note((entry ? "entry for " : "update of ") + std::to_string(info.id) + " to " + std::to_string(state));
        if (node) {
            model::Checks m = Checks();
            if (entry) m.Set(Index(node->id), state), Fresh(tree_);
            else m.nodes[Index(node->id)].state = taken, ++m.notifications;
            if ((entry ? UpdateTreeEntry(tree_, &info, 0, &host_.checkedCount) : UpdateNode(tree_, &info, 0)) != 1) return "refused";
            Adopt(m);
        } else {
            row = FirstRow(info.id);
            LONG count = 0;
            if (entry) Fresh(list_);
            listNotes_ += entry ? ZNList_UpdateEntry(list_, &info, 0, &count) : ZNList_UpdateItem(list_, &info, 0);
            if (row->checkState != taken || count != (entry ? taken == ZN_CHECKED ? 1 : -1 : 0)) return "row state or count";
        }
        return info.checkState == (entry && state == ZN_PARTLY_CHECKED ? ZN_CHECKED : state) ? "" : "the host's record";
    }
    // A header click sorts by its column, turning the direction round on the column already
    // sorted; the selected row stays selected. A column dragged narrower keeps 80 pixels.
    std::string HeaderClick() {
        const int item = Pick(5), sel = Selected(list_);
        HDITEMA width = {HDI_WIDTH, Pick(300)};
        const bool click = Pick(2);
        Note((click ? "header click " : "header drag ") + std::to_string(item));
        if (click && item < 3) descending_ = item == sortColumn_ ? !descending_ : descending_, sortColumn_ = item, checkOrder_ = true;
        selected_ = sel == LB_ERR ? nullptr : RowItem(list_, sel);
        const int wanted = width.cxy;
        host_.Notify(click ? HDN_ITEMCLICKA : HDN_ENDTRACKA, item, 0, click ? nullptr : &width);
        return click || width.cxy == std::max(80, wanted) ? "" : "a dragged column narrower than 80 pixels";
    }
    // A text given to an empty slot adds a line (never past 3); a null text empties the slot and
    // takes its line away unless it was empty already. Both controls keep the same count. Plain
    // updates store a severity as given and the additional icon's low 16 bits; entry updates
    // leave both alone.
    std::string UpdateText() {
        const std::wstring text = Pick(2) ? L"Changed" : L"aaa";
        Bstr given(text);
        const DWORD mask = ZN_CHANGE_TEXT1 << Pick(3), fields = Pick(3) ? 0 : ZN_CHANGE_SEVERITY | ZN_CHANGE_EXTRA_ICON;
        NodeInfo info = Change(0, mask | fields, 0, Pick(4) ? static_cast<BSTR>(given) : nullptr);
        info.severity = Pick(2) ? 7 : 0xFFFFFFFF, info.extraIcon = Pick(2) ? 2 : 0x50001;
        auto stored = [&](const auto* made, bool plain, DWORD severity, DWORD extra) {
            return plain && fields ? made->severity == info.severity && made->extraIcon == LOWORD(info.extraIcon)
                                   : made->severity == severity && made->extraIcon == extra;
        };
        auto lines = [&](LONG count, const TextField* texts) {
            for (int k = 0; k < 3; ++k)
                if (mask & (ZN_CHANGE_TEXT1 << k)) count += info.text1 ? TextOf(texts[k]).empty() && count < 3 : -!TextOf(texts[k]).empty();
            return count;
        };
        if (TreeNode* node = Any(Chain(GetListHead(tree_)))) {
            Note("text of node " + std::to_string(info.id = node->id));
            const LONG want = lines(node->textCount, node->texts);
            const DWORD severity = node->severity, extra = node->extraIcon;
            const bool plain = Pick(2);
            (plain ? UpdateNode(tree_, &info, 0) : UpdateTreeEntry(tree_, &info, 0, &host_.checkedCount));
            if (mask == ZN_CHANGE_TEXT1) shape_.chain[Index(node->id)].text = info.text1 ? text : L"";
            if (node->textCount != want) return "node lines " + std::to_string(node->textCount);
            if (!stored(node, plain, severity, extra)) return "node severity or icon";
        }
        if (ListRow* row = Any(Chain(ZNList_GetListHead(list_)))) {
            Note("text of row " + std::to_string(info.id = row->id));
            row = FirstRow(row->id);
            const LONG want = lines(row->textCount, row->texts);
            ZNList_UpdateItem(list_, &info, 0);
            if (row->textCount != want) return "row lines " + std::to_string(row->textCount);
            if (fields && !stored(row, true, 0, 0)) return "row severity or icon";
        }
        return "";
    }
    // Selecting opens the path to a node and selects its row, after the call.
    std::string Select() {
        TreeNode* n = Any(Chain(GetListHead(tree_)));
        ListRow* r = Any(Chain(ZNList_GetListHead(list_)));
        Note("select");
        const bool treeDone = n && ZNTree_SelectNode(tree_, n->id, 0), listDone = r && ZNList_SelectNode(list_, r->id);
        host_.Pump(10);
        const ListRow* first = ZNList_GetListHead(list_);  // the row the id leads to
        while (r && first->id != r->id) first = first->next;
        if (r && !listDone && SendMessageA(list_, LB_FINDSTRING, WPARAM(-1), LPARAM(first)) != LB_ERR)
            return "a row on show was not selected";
        if (treeDone && (Selected(tree_) == LB_ERR || RowItem(tree_, Selected(tree_)) != n)) return "the node is not selected";
        if (listDone && (Selected(list_) == LB_ERR || static_cast<DWORD*>(RowItem(list_, Selected(list_)))[1] != r->id))
            return "the row is not selected";
        return "";
    }

    // Every check box in view shows the strip's picture of its state (13 empty, 14 checked, 15
    // partly); a checked parent may still show the 15 a flip draws while its descendants were
    // mixed, until its row is painted again. Left out: boxes under the editor, boxes beside a
    // first-line look-alike (a narrow cell draws its arrow over them), and rows that a box drawn
    // at once for a shorter row (lines cleared since it was measured) or a look-alike above may
    // reach into.
    std::string BoxFault(HWND w) const {
        Capture shot(w);
        RECT editor = {}, client = Capture::Client(w), box, overlap;
        HWND e = GetDlgItem(w, ZN_EDITOR_ID);
        if (e && IsWindowVisible(e)) GetWindowRect(e, &editor), MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&editor), 2);
        for (int r = 0, top = int(SendMessageA(w, LB_GETTOPINDEX, 0, 0)), reach = INT_MIN; r < RowCount(w); ++r) {
            const RECT item = ItemRect(w, r);
            auto* node = static_cast<const TreeNode*>(RowItem(w, r));
            auto* row = static_cast<const ListRow*>(RowItem(w, r));
            const WORD flags = w == tree_ ? node->flags : row->flags;
            const DWORD state = w == tree_ ? node->checkState : row->checkState;
            const int x = w == tree_ ? CheckX(node) : CheckX(row);
            const bool reached = reach > item.top;
            if (item.bottom - item.top < 18) reach = std::max<int>(reach, item.top + 18);
            if (flags & (ZN_CHOICE_TEXT1 | ZN_CHOICE_TEXT2 | ZN_CHOICE_TEXT3)) reach = std::max<int>(reach, item.bottom + 8);
            if (item.top + 18 > client.bottom) break;
            SetRect(&box, x, item.top, x + 18, item.top + 18);
            if (r < top || reached || (flags & ZN_CHOICE_TEXT1) || state == ZN_CHECK_DISABLED || item.bottom - item.top < 18 ||
                x < 0 || x + 18 > client.right || IntersectRect(&overlap, &box, &editor))
                continue;
            auto differs = [&](int image) { return DiffersFromImage(shot, image, x, item.top, CLR_NONE); };
            std::string fault = differs(state == 2 ? 14 : state == 4 ? 15 : 13);
            if (!fault.empty() && w == tree_ && state == ZN_CHECKED && node->descendantCount) fault = differs(15);
            if (!fault.empty()) return (w == tree_ ? "tree row " : "list row ") + std::to_string(r) + ": box " + fault;
        }
        return "";
    }

    std::string Check() {
        if (std::string fault = ChainFault(tree_); !fault.empty()) return fault;
        std::vector<TreeNode*> nodes = Chain(GetListHead(tree_));
        std::vector<ListRow*> rows = Chain(ZNList_GetListHead(list_));
        auto has = [](const auto& v, const void* p) { return std::find(v.begin(), v.end(), p) != v.end(); };
        for (size_t i = 0; i < std::max(nodes.size(), shape_.chain.size()); ++i)  // a list's updates leave shared texts alone
            if (i >= nodes.size() || i >= shape_.chain.size() || nodes[i]->id != shape_.chain[i].id ||
                nodes[i]->level != shape_.chain[i].level || TextOf(nodes[i]->texts[0]) != shape_.chain[i].text)
                return "node " + std::to_string(i) + " of the chain is not what the model has";
        for (; heard_ < host_.commands.size(); ++heard_)  // from the list's list box, the host hears only the list
            if (host_.commands[heard_].id == Host::kListId && host_.commands[heard_].code != ZN_LIST_CHECK_STATE_CHANGED)
                return "the list passed on a notification of its list box";
        for (HWND w : {tree_, list_})
            if (GetUpdateRect(w, nullptr, FALSE)) return (w == tree_ ? "the tree" : "the list") + std::string(" keeps asking to be repainted");
        // The rows are nodes and rows of the chains. (Not always once each, in chain order: opening
        // a branch tests only each node's parent and grandparent, so a node below a closed one
        // may already show, and show again.)
        for (int i = 0; i < RowCount(tree_); ++i)
            if (!has(nodes, RowItem(tree_, i))) return "tree row " + std::to_string(i) + " is no node";
        if (static_cast<int>(rows.size()) != ZNList_GetListCount(list_)) return "list count differs from its chain";
        std::vector<model::RowKey> shown;
        for (int i = 0; i < RowCount(list_); ++i)
            if (has(rows, RowItem(list_, i))) shown.push_back(model::KeyOf(static_cast<ListRow*>(RowItem(list_, i))));
            else return "list row " + std::to_string(i) + " is no row";
        for (HWND w : {tree_, list_}) {
            HWND editor = GetDlgItem(w, ZN_EDITOR_ID);
            void* link = editor ? reinterpret_cast<void*>(GetWindowLongPtrA(editor, GWLP_USERDATA)) : nullptr;
            if (link && !has(nodes, link) && !has(rows, link)) return "an editor serves a freed node or row";
        }
        for (TreeNode* n : nodes)
            if (n->checkState != states_.at(n->id))
                return "node " + std::to_string(n->id) + " in state " + std::to_string(n->checkState) + ", model " + std::to_string(states_[n->id]);
        if (host_.checkedCount != count_) return "checked count " + std::to_string(host_.checkedCount) + ", model " + std::to_string(count_);
        if (host_.Posted(ZN_TREE_CHECK_STATE_CHANGED) != treeNotes_ || host_.Posted(ZN_LIST_CHECK_STATE_CHANGED) != listNotes_)
            return "notifications differ from the model";
        if (std::count_if(rows.begin(), rows.end(), [](ListRow* r) { return r->checkState == ZN_CHECKED; }) != ZNList_GetSelectedNodeCount(list_))
            return "list's checked count differs from its rows";
        if (checkOrder_) {  // after a sort: order, the one mark, the selection kept, fresh heights
            checkOrder_ = false;
            if (int at = model::OutOfOrder(shown, sortColumn_, descending_); at >= 0) return "list row " + std::to_string(at) + " out of order";
            for (int k = 0; k < 3; ++k) {  // each direction has its own mark
                HDITEMA item = {HDI_FORMAT | HDI_BITMAP};
                SendMessageA(host_.Header(), HDM_GETITEMA, k, reinterpret_cast<LPARAM>(&item));
                if (((item.fmt & HDF_BITMAP) != 0) != (k == sortColumn_)) return "sort mark on the wrong column";
                if (k == sortColumn_ && (!item.hbm || item.hbm == marks_[!descending_])) return "the same mark both ways";
                if (k == sortColumn_) marks_[descending_ != 0] = item.hbm;
            }
            if (selected_ && (Selected(list_) == LB_ERR || RowItem(list_, Selected(list_)) != selected_)) return "the sort lost the selection";
            for (int i = 0; i < RowCount(list_); ++i) {
                const int lines = static_cast<ListRow*>(RowItem(list_, i))->textCount, height = 18 * lines + (lines >= 2 ? 4 : 0);
                if (SendMessageA(list_, LB_GETITEMHEIGHT, i, 0) != (height ? height : 1)) return "list row " + std::to_string(i) + " height";
            }
        }
        selected_ = nullptr;
        return painted_ ? BoxFault(painted_) : "";
    }

    std::mt19937 random_;
    Host host_;
    HWND tree_ = host_.MakeTree(5, 5, 300, 220);
    HWND list_ = host_.MakeList(320, 30, 420, 200);
    HIMAGELIST icons_ = MakeIcons(3);
    model::Shape shape_;
    std::map<DWORD, unsigned> states_;
    long count_ = 0;
    size_t treeNotes_ = 0, listNotes_ = 0, heard_ = 0;
    int treeAim_ = 0, listAim_ = 0;
    HBITMAP marks_[2] = {};  // the sort marks seen, ascending and descending
    DWORD nextId_ = 0;
    int sortColumn_ = 0, descending_ = 0;
    bool checkOrder_ = false;
    HWND painted_ = nullptr;
    const void* selected_ = nullptr;
    std::string action_;
    const bool trace_ = EnvNumber("ZN_TRACE", 0) != 0;
};

}  // namespace

TEST(Session, RandomHostAndUserActionsKeepBothControlsSound) {
    const long steps = EnvNumber("ZN_STEPS", Scaled(600)), seconds = EnvNumber("ZN_SECONDS", 0);
    const bool replay = std::getenv("ZN_SEED") != nullptr;
    unsigned seed = static_cast<unsigned>(EnvNumber("ZN_SEED", 20240601));
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    long played = 0, sessions = 0;
    do {
        Session session(seed);
        for (long i = 0; i < steps; ++i, ++played)
            ASSERT_EQ(session.Step(), "") << "seed " << seed << " (replay with ZN_SEED=" << seed
                                          << " ZN_STEPS=" << i + 1 << "), step " << i << ": " << session.action();
        ++sessions;
        if (seconds > 0)  // a long run reports each seed as it ends, so a stall names its seed
            std::printf("seed %u: %ld steps, %.0f s so far\n", seed, steps, elapsed()), std::fflush(stdout);
        ++seed;
    } while (!replay && elapsed() < seconds);
    std::printf("%ld sessions, %ld steps in %.0f s\n", sessions, played, elapsed());
}

// Found by long sessions: clearing the tree left its editor serving a freed node; a selected
// choice line without a choice list left the editor shown there, so the tree repainted for ever.
TEST(Session, TheEditorLetsGoOfClearedNodesAndLinesWithoutChoices) {
    Host host;
    HWND tree = host.MakeTree();
    Bstr choices = Bstr::Choices({L"1", L"Low", L"2", L"High"}), plain(L"Changed");
    for (DWORD id : {1u, 2u}) AddNode(tree, {id, 0, L"", ZN_UNCHECKED, ZN_CHOICE_TEXT1, 0, 0, nullptr, nullptr, choices});
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    host.Repaint(tree);
    HWND editor = GetDlgItem(tree, ZN_EDITOR_ID);
    ASSERT_TRUE(editor && IsWindowVisible(editor));
    NodeInfo change = Change(2, ZN_CHANGE_TEXT1, 0, plain);
    ASSERT_EQ(UpdateNode(tree, &change, 0), 1);
    ZNTree_SelectNode(tree, 2, 0);
    host.Repaint(tree);
    EXPECT_FALSE(GetUpdateRect(tree, nullptr, FALSE)) << "the tree keeps asking to be repainted";
    EXPECT_TRUE(!IsWindowVisible(editor) && GetWindowLongPtrA(editor, GWLP_USERDATA) == 0);
    ZNTree_SelectNode(tree, 1, 0);
    host.Repaint(tree);
    ASSERT_NE(GetWindowLongPtrA(editor, GWLP_USERDATA), 0);
    ClearTree(tree);
    EXPECT_TRUE(!IsWindowVisible(editor) && GetWindowLongPtrA(editor, GWLP_USERDATA) == 0);
    SendMessageA(editor, CB_SETCURSEL, 1, 0);  // a choice after the clear reaches nothing
    SendMessageA(tree, WM_COMMAND, MAKEWPARAM(ZN_EDITOR_ID, CBN_SELCHANGE), reinterpret_cast<LPARAM>(editor));
    EXPECT_EQ(host.Posted(ZN_TREE_CHECK_STATE_CHANGED), 0u);
}
