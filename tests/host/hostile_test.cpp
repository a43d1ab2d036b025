// Hostile input: every export gets the texts, choice lists, pointers and arguments a careless or
// malicious host could pass. Each case gets its documented result or a refusal, and after each
// one both controls are repainted (editors shown) and their chains walked. (Record fields out of
// range are the sessions' part.)
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "harness.h"

using namespace zt;

namespace {

// The sizes of the two heaviest shapes: a megabyte of text, and entries of a long choice list.
constexpr size_t kHugeUnits = 512 * 1024;
constexpr int kManyEntries = 10000;

// The texts a host could hand over as BSTRs; the huge ones (1 MiB at full size) are painted in one
// slot only.
const std::pair<const char*, Bstr (*)()> kTexts[] = {
    {"null", [] { return Bstr(); }}, {"empty", [] { return Bstr(L""); }}, {"odd byte length", [] { return Bstr::Bytes("abc", 3); }},
    {"embedded NULs", [] { return Bstr(std::wstring(L"a\0b\0c", 5)); }},
    {"huge", [] { return Bstr(std::wstring(static_cast<size_t>(Scaled(kHugeUnits)), L'w')); }},
    {"huge path", [] { std::wstring p; while (p.size() < static_cast<size_t>(Scaled(kHugeUnits))) p += L"c:\\component"; return Bstr(p); }},
    {"no final double NUL", [] { return Bstr(std::wstring(L"1\0Low\0" L"2\0High", 12)); }}, {"no separator", [] { return Bstr(L"12345"); }},
    {"only NULs", [] { return Bstr(std::wstring(4, L'\0')); }}, {"one NUL", [] { return Bstr(std::wstring(1, L'\0')); }},
    {"non-numeric", [] { return Bstr::Choices({L"one", L"Low", L"two", L"High"}); }},
    {"many entries", [] {
         std::wstring t;
         for (long i = 0; i < Scaled(kManyEntries); ++i) t += std::to_wstring(i) + L'\0' + L"entry" + std::to_wstring(i) + L'\0';
         return Bstr(t + L'\0');
     }},
};

// A tree and a list with headers, icons and a little content, checked after every case.
struct Rig {
    Host host;
    HWND tree = host.MakeTree(5, 5, 300, 200), list = host.MakeList(320, 5, 420, 200);
    HIMAGELIST icons = MakeIcons(2);
    int cases = 0;
    Rig() {
        AttachSeverityIcons(tree, icons), AttachAdditionalIcons(tree, icons);
        ZNList_AttachSeverityIcons(list, icons), ZNList_AttachAdditionalIcons(list, icons);
        for (DWORD flags : {0, ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE, ZN_COLUMN_MULTILINE}) ZNList_AddHeaderColumn(list, L"Column", flags);
        AddNode(tree, {1, 0, L"root"}), AddNode(tree, {2, 1, L"child", ZN_CHECKED}), AddRow(list, {1, 0, L"first"});
        SetCell(list, 1, 1, L"c:\\a\\b\\c\\d\\e");
    }
    ~Rig() { DestroyTree(tree), ZNList_Destroy(list), ImageList_Destroy(icons); }

    // Shows everything with `id` selected (so its editor is built), paints, measures, walks both chains.
    void Settle(DWORD id) {
        ++cases;
        RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
        for (const TreeNode* n = GetListHead(tree); n; n = n->next) ExpandNode(tree, n->id, n->groupKey);
        ZNTree_SelectNode(tree, id, 0), ZNList_Refresh(list, 0, 0), ZNList_SelectNode(list, id);
        host.Pump(), host.Repaint(tree), host.Repaint(list);
        for (const TreeNode* n = GetListHead(tree); n; n = n->next) {
            MEASUREITEMSTRUCT m = {ODT_LISTBOX, Host::kTreeId, 0, 0, 0, reinterpret_cast<ULONG_PTR>(n)};
            EXPECT_LT((On_MeasureItem(tree, &m), m.itemHeight), 80u);
        }
        EXPECT_EQ(ChainFault(tree), "");
        std::vector<const ListRow*> rows;
        for (const ListRow* r = ZNList_GetListHead(list); r && rows.size() <= 100000; r = r->next) rows.push_back(r);
        for (const ListRow* r : rows) EXPECT_LE(static_cast<ULONG>(r->textCount), 3u);
        EXPECT_EQ(static_cast<LONG>(rows.size()), ZNList_GetListCount(list));
        for (int i = 0; i < RowCount(list); ++i)
            EXPECT_NE(std::find(rows.begin(), rows.end(), RowItem(list, i)), rows.end()) << "list-box item " << i;
        EXPECT_TRUE(IsWindow(tree) && IsWindow(list));
    }
};

}  // namespace

TEST(Hostile, NullPointersAndUnknownIdsAreRefusedOrIgnored) {
    Rig rig;
    LONG count = 0;
    NodeInfo missing = Change(777, 0xFF), orphan = Change(778, 777);
    const INT_PTR refused[] = {  // in order: null records, unknown ids, orphans
        (INT_PTR)Sorted_Insert(rig.tree, nullptr, 0), UpdateNode(rig.tree, nullptr, 0),
        UpdateTreeEntry(rig.tree, nullptr, 0, &count), (INT_PTR)ZNList_Insert(rig.list, nullptr),
        (INT_PTR)ZNList_InsertFromTree(rig.list, nullptr), ZNList_UpdateItem(rig.list, nullptr, 0),
        ZNList_UpdateEntry(rig.list, nullptr, 0, &count), UpdateNode(rig.tree, &missing, 0),
        UpdateTreeEntry(rig.tree, &missing, 0, &count), ZNList_UpdateItem(rig.list, &missing, 0),
        ZNList_UpdateEntry(rig.list, &missing, 0, &count), ExpandNode(rig.tree, 777, 0),
        CollapseNode(rig.tree, 0xFFFFFFFF, 0xFFFFFFFF), ZNTree_SelectNode(rig.tree, 777, 0),
        ZNList_SelectNode(rig.list, 777), (INT_PTR)Sorted_Insert(rig.tree, &orphan, 0),
        (INT_PTR)Sorted_Insert(rig.tree, &orphan, 0xFFFFFFFF),
    };
    for (size_t i = 0; i < std::size(refused); ++i) EXPECT_EQ(refused[i], 0) << "call " << i;
    EXPECT_EQ(count, 0);
    // Calls that only paint or measure accept missing structures and counters; valid records
    // with the host's counter missing still take effect.
    NodeInfo check = Change(2, ZN_CHANGE_CHECK, ZN_UNCHECKED);
    EXPECT_EQ(RefreshTree(rig.tree, nullptr, nullptr) + On_DrawItem(rig.tree, nullptr, nullptr) + On_MeasureItem(rig.tree, nullptr) +
                  ZNList_AddHeaderColumn(rig.list, nullptr, 0) + On_WMCommand(rig.tree, MAKEWPARAM(Host::kTreeId, LBN_SELCHANGE), 0, nullptr), 5);
    On_WMCharToItem(rig.tree, ' ', reinterpret_cast<LPARAM>(rig.tree), nullptr);
    EXPECT_EQ(UpdateTreeEntry(rig.tree, &check, 0, nullptr), 1);
    EXPECT_EQ(Node(rig.tree, 2)->checkState, static_cast<DWORD>(ZN_UNCHECKED));
    check.id = 1;
    EXPECT_EQ(ZNList_UpdateEntry(rig.list, &check, 0, nullptr), 1);
    rig.Settle(1);
}

TEST(Hostile, TextsAndChoiceListsOfEveryShapeAreKeptByTheirStoredLength) {
    Rig rig;
    DWORD id = 1000;
    for (const auto& [what, make] : kTexts) {
        const bool huge = std::string(what).find("huge") != std::string::npos;  // seconds to paint under Wine
        for (int slot = 0; slot < (huge ? 1 : 3); ++slot)
            for (WORD flags : {WORD(0), WORD(ZN_CHOICE_TEXT1 << slot)}) {
                if (huge && flags) continue;
                SCOPED_TRACE(std::string(what) + " in text " + std::to_string(slot + 1) + (flags ? " as choices" : ""));
                Bstr text = make();
                NodeInfo info = Change(++id, 1);
                info.flags = flags, (&info.text1)[slot] = text;
                TreeNode* node = Sorted_Insert(rig.tree, &info, 0);
                ASSERT_NE(node, nullptr);
                const TextBlock* block = node->texts[slot].block;
                EXPECT_EQ(block && block->wide ? SysStringByteLen(block->wide) : 0u, text ? SysStringByteLen(text) : 0u);
                info.parentId = 0;
                ListRow* row = ZNList_Insert(rig.list, &info);
                ASSERT_NE(row, nullptr);
                EXPECT_NE(ZNList_InsertFromTree(rig.list, node), nullptr);
                EXPECT_EQ(ZNList_SetHeaderColumn(rig.list, id, 1 + slot, text), 1);
                // The host points the choice past the end of whatever list the text holds, then at 1.
                node->choiceIndex = 20000, rig.Settle(id);
                node->choiceIndex = row->choiceIndex = 1, rig.Settle(id);
                // Updates: the text replaces a plain one, then clears it again.
                info.parentId = ZN_CHANGE_TEXT1 << slot, info.id = 2;
                EXPECT_EQ(UpdateNode(rig.tree, &info, 0), 1);
                EXPECT_EQ(UpdateTreeEntry(rig.tree, &info, 0, &rig.host.checkedCount), 1);
                info.id = 1;
                EXPECT_EQ(ZNList_UpdateItem(rig.list, &info, 0), 1);
                EXPECT_EQ(ZNList_UpdateEntry(rig.list, &info, 0, &rig.host.checkedCount), 1);
                rig.Settle(2), ZNList_Clear(rig.list), ZNList_Insert(rig.list, &info);
            }
    }
    EXPECT_EQ(rig.cases, 3 * (2 * 3 * (static_cast<int>(std::size(kTexts)) - 2) + 2)) << "three settles a case; the huge texts in one case each";
}

TEST(Hostile, ColumnsSortsAndForwardedMessagesOutOfRange) {
    Rig rig;
    LONG count = 0;
    // Columns past the 8-bit count are refused; odd sort arguments sort safely.
    for (DWORD column : {0u, 256u, 0xFFFFFFFFu}) EXPECT_EQ(ZNList_SetHeaderColumn(rig.list, 1, column, nullptr), 0) << column;
    EXPECT_EQ(ZNList_SetHeaderColumn(rig.list, 1, 255, nullptr), 1);
    for (int column : {-1, 3, 255, 256, 0x7FFFFFFF, INT_MIN}) {
        EXPECT_EQ(ZNList_Refresh(rig.list, column, -7), 1) << column;
        rig.Settle(1);
    }
    // Every column flag, a very long title, and more columns than an 8-bit count holds.
    EXPECT_EQ(ZNList_AddHeaderColumn(rig.list, std::wstring(300000, L'T').c_str(), 0xFFFFFFFF), 1);
    for (int i = 0; i < 300; ++i) ZNList_AddHeaderColumn(rig.list, L"c", ZN_COLUMN_PATH);
    rig.Settle(1);
    // Forwarded messages that are not the tree's: other ids, codes, windows, keys and rows.
    for (WPARAM w : {WPARAM(0), MAKEWPARAM(Host::kTreeId, 0xFFFF), MAKEWPARAM(0xFFFF, LBN_SELCHANGE),
                     MAKEWPARAM(Host::kTreeId, LBN_DBLCLK), MAKEWPARAM(ZN_EDITOR_ID, CBN_SELCHANGE)}) {
        EXPECT_EQ(On_WMCommand(rig.tree, w, reinterpret_cast<LPARAM>(rig.host.window()), &count), 1);
        EXPECT_EQ(On_WMCommand(rig.tree, w, 0, &count), 1);
    }
    for (WPARAM c : {WPARAM(0), WPARAM(' '), WPARAM('+'), WPARAM('-'), WPARAM(0xFFFFFFFF), MAKEWPARAM(' ', 0xFFFF)})
        On_WMCharToItem(rig.tree, c, reinterpret_cast<LPARAM>(rig.tree), &count), On_WMCharToItem(rig.tree, c, 0, nullptr);
    for (UINT itemId : {UINT(-1), 0u, 99999u}) {
        DRAWITEMSTRUCT d = {ODT_LISTBOX, Host::kTreeId, itemId, ODA_DRAWENTIRE, ODS_SELECTED, rig.tree, GetDC(rig.tree), {0, 0, 100, 18}, 0};
        MEASUREITEMSTRUCT m = {ODT_LISTBOX, Host::kTreeId, itemId, 0, 0, 0};
        EXPECT_EQ(On_DrawItem(rig.tree, &d, nullptr) + On_MeasureItem(rig.tree, &m), 2);
        ReleaseDC(rig.tree, d.hDC);
    }
    rig.Settle(1);
}
