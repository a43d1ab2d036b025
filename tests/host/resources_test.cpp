// Resource accounting over many create / fill / refresh / paint / expand / check / clear /
// destroy cycles of both controls, with editors and the header shown. ZN_CYCLES sets the count.
// Wine's GetGuiResources answers 0, so the DLL's import slots for every GDI, DC, image-list,
// heap, BSTR and task-memory maker and freer are patched to keep a tally of live handles.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include "harness.h"
#include "imports.h"

using namespace zt;

namespace {

std::map<void*, const char*> live;
void Made(void* h, const char* by) { if (h) live[h] = by; }
std::vector<Hook> hooks;  // each hook below, as it is defined

// A hook that records what `name` returns, or forgets `freed` before calling it.
#define HOOK(R, cc, name, params, ...) \
    decltype(&::name) original_##name; \
    R cc Hook_##name params __VA_ARGS__ const bool hooked_##name = (hooks.push_back(ZT_HOOK(name)), true);
#define MAKES(R, cc, name, params, args) HOOK(R, cc, name, params, { R r = original_##name args; Made((void*)r, #name); return r; })
#define FREES(R, cc, name, params, args, freed) HOOK(R, cc, name, params, { live.erase((void*)freed); return original_##name args; })
MAKES(HBITMAP, WINAPI, CreateCompatibleBitmap, (HDC d, int w, int h), (d, w, h))
MAKES(HDC, WINAPI, CreateCompatibleDC, (HDC d), (d)) MAKES(HFONT, WINAPI, CreateFontIndirectA, (const LOGFONTA* f), (f))
MAKES(HPEN, WINAPI, CreatePen, (int s, int w, COLORREF c), (s, w, c)) MAKES(HBRUSH, WINAPI, CreateSolidBrush, (COLORREF c), (c))
MAKES(HRGN, WINAPI, CreateRectRgn, (int a, int b, int c, int d), (a, b, c, d)) MAKES(HDC, WINAPI, GetDC, (HWND w), (w))
MAKES(HIMAGELIST, WINAPI, ImageList_LoadImageA, (HINSTANCE i, LPCSTR n, int x, int g, COLORREF m, UINT t, UINT f),
      (i, n, x, g, m, t, f))
MAKES(BSTR, WINAPI, SysAllocString, (const OLECHAR* s), (s)) MAKES(BSTR, WINAPI, SysAllocStringByteLen, (LPCSTR s, UINT n), (s, n))
MAKES(LPVOID, WINAPI, CoTaskMemAlloc, (SIZE_T n), (n)) MAKES(void*, , malloc, (size_t n), (n))
MAKES(void*, , calloc, (size_t n, size_t s), (n, s))
FREES(BOOL, WINAPI, DeleteDC, (HDC d), (d), d) FREES(BOOL, WINAPI, DeleteObject, (HGDIOBJ o), (o), o)
FREES(int, WINAPI, ReleaseDC, (HWND w, HDC d), (w, d), d) FREES(BOOL, WINAPI, ImageList_Destroy, (HIMAGELIST l), (l), l)
FREES(void, WINAPI, SysFreeString, (BSTR b), (b), b) FREES(void, WINAPI, CoTaskMemFree, (LPVOID p), (p), p)
FREES(void, , free, (void* p), (p), p)
HOOK(INT, WINAPI, SysReAllocStringLen, (BSTR* b, const OLECHAR* s, UINT n), {
    BSTR old = *b;
    return original_SysReAllocStringLen(b, s, n) ? live.erase(old), Made(*b, "SysReAllocStringLen"), 1 : 0;
})
HOOK(void*, , realloc, (void* old, size_t n), {
    void* p = original_realloc(old, n);
    return (p || !n) && live.erase(old), Made(p, "realloc"), p;
})

// Freed BSTRs go back to the heap at once, so heap bytes compare. Not in the SDK headers, and
// the 32-bit import library lacks its decorated name: found at run time.
void TurnOffBstrCache() {
    auto set = reinterpret_cast<void(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("oleaut32.dll"), "SetOaNoCache")));
    ASSERT_NE(set, nullptr);
    set();
}

SIZE_T HeapBytes() {
    HANDLE heaps[256];  // the busy bytes of every heap of the process
    SIZE_T bytes = 0;
    for (DWORD i = 0, n = std::min<DWORD>(GetProcessHeaps(256, heaps), 256); i < n; ++i) {
        PROCESS_HEAP_ENTRY e = {};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &e)) bytes += e.wFlags & PROCESS_HEAP_ENTRY_BUSY ? e.cbData : 0;
        HeapUnlock(heaps[i]);
    }
    return bytes;
}

// Fills both controls: nodes under four parents, rows made from them with a path cell.
void Fill(HWND tree, HWND list, int seed) {
    Bstr choices = Bstr::Choices({L"1", L"Low", L"2", L"High"});
    for (DWORD id = 1; id <= 20; ++id) {
        std::wstring text = std::to_wstring(id * 7919 + seed);
        Item item = {id, id > 4 ? 1 + id % 4 : 0, text.c_str(), DWORD(id % 3 ? ZN_UNCHECKED : ZN_CHECKED),
                     WORD(id % 5 ? ZN_BOLD_TEXT1 : ZN_CHOICE_TEXT2), id % 3};
        item.choices = choices;
        if (ZNList_InsertFromTree(list, AddNode(tree, item))) SetCell(list, id, 1, L"c:\\some\\rather\\long\\path\\to\\a\\file.txt");
    }
}

// One cycle of both controls' whole life, editors and header shown; a clear and a second fill
// must leave as much behind as the first clear did.
void Cycle(HIMAGELIST icons, int seed) {
    Host host;
    HWND tree = host.MakeTree(5, 5, 300, 200), list = host.MakeList(320, 5, 420, 200);
    AttachSeverityIcons(tree, icons), ZNList_AttachAdditionalIcons(list, icons);
    ZNList_AddHeaderColumn(list, L"Name", 0), ZNList_AddHeaderColumn(list, L"Path", ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE);
    size_t afterClear = 0;
    for (int round = 0; round < 2; ++round) {
        Fill(tree, list, seed);
        RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
        for (DWORD id = 1; id <= 4; ++id) ExpandNode(tree, id, 0);
        ZNTree_SelectNode(tree, 5, 0), ZNList_Refresh(list, seed % 2, 0), ZNList_SelectNode(list, 5);
        host.Pump(), host.Repaint(tree), host.Repaint(list), host.Key(tree, L' ');
        NodeInfo check = Change(2, ZN_CHANGE_CHECK, ZN_CHECKED);
        UpdateTreeEntry(tree, &check, 0, &host.checkedCount), ZNList_UpdateEntry(list, &check, 0, &host.checkedCount);
        CollapseNode(tree, 1, 0);
        host.Pump(), ClearTree(tree), ZNList_Clear(list);
        if (round == 0) afterClear = live.size();
    }
    EXPECT_EQ(live.size(), afterClear) << "a clear keeps what the nodes and rows before it took";
}

}  // namespace

TEST(Resources, CyclesOfBothControlsLeaveNothingBehind) {
    const int cycles = std::getenv("ZN_CYCLES") ? std::atoi(std::getenv("ZN_CYCLES")) : 40;
    TurnOffBstrCache();
    HIMAGELIST icons = MakeIcons(3);
    Cycle(icons, 0);  // warms up class registration, the shared icons and Wine's own caches
    const SIZE_T bytes = HeapBytes();
    SIZE_T half = 0;
    {
        Patched tally(hooks);
        ASSERT_GE(tally.patched, 18);
        for (int i = 1; i <= cycles; ++i) {
            Cycle(icons, i);
            ASSERT_TRUE(live.empty()) << "cycle " << i << ": " << live.size() << " objects, first from "
                                      << live.begin()->second;
            if (i == cycles / 2) half = HeapBytes();
        }
    }
    const SIZE_T bytesAfter = HeapBytes();
    std::printf("%d cycles: heap bytes %zu -> %zu (%zu at half)\n", cycles, size_t(bytes), size_t(bytesAfter), size_t(half));
    // Wine keeps caches of its own; a leak grows with every cycle, so the second half may add little.
    EXPECT_LT(bytesAfter > half ? bytesAfter - half : 0, SIZE_T(64 * 1024));
    ImageList_Destroy(icons);
}

// What a host can count on: a few hundred bytes a node or row with its texts, not pages each.
// (The benchmark measures the exact figures.)
TEST(Resources, ItemsTakeHundredsOfBytesNotPages) {
    Host host;
    HWND tree = host.MakeTree(), list = host.MakeList(450, 40, 400, 300);
    const SIZE_T before = HeapBytes();
    for (DWORD id = 1; id <= 2000; ++id) ZNList_InsertFromTree(list, AddNode(tree, {id, 0, L"node text", ZN_UNCHECKED, 0, 0, 0, L"second"}));
    EXPECT_LT((HeapBytes() - before) / 2000, SIZE_T(4096)) << "bytes a node and its row";
}
