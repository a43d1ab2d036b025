// Resource accounting over many create / fill / refresh / paint / expand / check / clear /
// destroy cycles of both controls, with editors and the header shown.
//
// Wine's GetGuiResources is a stub that answers 0, so objects are counted another way: the
// DLL's import table is patched so that every GDI object, device context, image list, heap
// block, BSTR and task-memory block it makes or frees passes through a tally of live handles.
// USER objects are counted as the windows of this thread; heap bytes by walking every process
// heap. ZN_CYCLES sets the cycle count (make soak runs 1,000).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <map>

#include "host.h"
#include "list_rig.h"

using namespace host;

extern "C" void WINAPI SetOaNoCache(void);  // oleaut32; not in the SDK headers

namespace {

std::map<void*, const char*>& Live() {
    static std::map<void*, const char*> live;
    return live;
}
void Made(void* h, const char* by) {
    if (h) Live()[h] = by;
}
void Gone(void* h) { Live().erase(h); }

#define ORIGINAL(name) static decltype(&::name) original_##name
ORIGINAL(CreateCompatibleBitmap); ORIGINAL(CreateCompatibleDC); ORIGINAL(CreateFontIndirectA);
ORIGINAL(CreatePen); ORIGINAL(CreateRectRgn); ORIGINAL(CreateSolidBrush); ORIGINAL(DeleteDC);
ORIGINAL(DeleteObject); ORIGINAL(GetDC); ORIGINAL(ReleaseDC); ORIGINAL(ImageList_LoadImageA);
ORIGINAL(ImageList_Destroy); ORIGINAL(SysAllocString); ORIGINAL(SysAllocStringByteLen);
ORIGINAL(SysReAllocStringLen); ORIGINAL(SysFreeString); ORIGINAL(CoTaskMemAlloc); ORIGINAL(CoTaskMemFree);
static void* (*original_malloc)(size_t);
static void* (*original_calloc)(size_t, size_t);
static void* (*original_realloc)(void*, size_t);
static void (*original_free)(void*);

HBITMAP WINAPI HookBitmap(HDC dc, int w, int h) {
    HBITMAP b = original_CreateCompatibleBitmap(dc, w, h);
    Made(b, "CreateCompatibleBitmap");
    return b;
}
HDC WINAPI HookMemoryDC(HDC dc) {
    HDC d = original_CreateCompatibleDC(dc);
    Made(d, "CreateCompatibleDC");
    return d;
}
HFONT WINAPI HookFont(const LOGFONTA* f) {
    HFONT h = original_CreateFontIndirectA(f);
    Made(h, "CreateFontIndirectA");
    return h;
}
HPEN WINAPI HookPen(int s, int w, COLORREF c) {
    HPEN p = original_CreatePen(s, w, c);
    Made(p, "CreatePen");
    return p;
}
HRGN WINAPI HookRegion(int a, int b, int c, int d) {
    HRGN r = original_CreateRectRgn(a, b, c, d);
    Made(r, "CreateRectRgn");
    return r;
}
HBRUSH WINAPI HookBrush(COLORREF c) {
    HBRUSH b = original_CreateSolidBrush(c);
    Made(b, "CreateSolidBrush");
    return b;
}
BOOL WINAPI HookDeleteDC(HDC d) {
    Gone(d);
    return original_DeleteDC(d);
}
BOOL WINAPI HookDeleteObject(HGDIOBJ o) {
    Gone(o);
    return original_DeleteObject(o);
}
HDC WINAPI HookGetDC(HWND w) {
    HDC d = original_GetDC(w);
    Made(d, "GetDC");
    return d;
}
int WINAPI HookReleaseDC(HWND w, HDC d) {
    Gone(d);
    return original_ReleaseDC(w, d);
}
HIMAGELIST WINAPI HookLoadImages(HINSTANCE i, LPCSTR n, int cx, int grow, COLORREF m, UINT t, UINT f) {
    HIMAGELIST l = original_ImageList_LoadImageA(i, n, cx, grow, m, t, f);
    Made(l, "ImageList_LoadImageA");
    return l;
}
BOOL WINAPI HookDestroyImages(HIMAGELIST l) {
    Gone(l);
    return original_ImageList_Destroy(l);
}
BSTR WINAPI HookSysAlloc(const OLECHAR* s) {
    BSTR b = original_SysAllocString(s);
    Made(b, "SysAllocString");
    return b;
}
BSTR WINAPI HookSysAllocBytes(LPCSTR s, UINT n) {
    BSTR b = original_SysAllocStringByteLen(s, n);
    Made(b, "SysAllocStringByteLen");
    return b;
}
INT WINAPI HookSysReAlloc(BSTR* b, const OLECHAR* s, UINT n) {
    BSTR old = *b;
    INT ok = original_SysReAllocStringLen(b, s, n);
    if (ok) Gone(old), Made(*b, "SysReAllocStringLen");
    return ok;
}
void WINAPI HookSysFree(BSTR b) {
    Gone(b);
    original_SysFreeString(b);
}
LPVOID WINAPI HookTaskAlloc(SIZE_T n) {
    void* p = original_CoTaskMemAlloc(n);
    Made(p, "CoTaskMemAlloc");
    return p;
}
void WINAPI HookTaskFree(LPVOID p) {
    Gone(p);
    original_CoTaskMemFree(p);
}
void* HookMalloc(size_t n) {
    void* p = original_malloc(n);
    Made(p, "malloc");
    return p;
}
void* HookCalloc(size_t n, size_t s) {
    void* p = original_calloc(n, s);
    Made(p, "calloc");
    return p;
}
void* HookRealloc(void* old, size_t n) {
    void* p = original_realloc(old, n);
    if (p || !n) Gone(old);
    Made(p, "realloc");
    return p;
}
void HookFree(void* p) {
    Gone(p);
    original_free(p);
}

struct Hook {
    const char* name;
    void* hook;
    void** original;
};
#define HOOK(name, fn) {#name, reinterpret_cast<void*>(fn), reinterpret_cast<void**>(&original_##name)}
const Hook kHooks[] = {
    HOOK(CreateCompatibleBitmap, HookBitmap), HOOK(CreateCompatibleDC, HookMemoryDC),
    HOOK(CreateFontIndirectA, HookFont),      HOOK(CreatePen, HookPen),
    HOOK(CreateRectRgn, HookRegion),          HOOK(CreateSolidBrush, HookBrush),
    HOOK(DeleteDC, HookDeleteDC),             HOOK(DeleteObject, HookDeleteObject),
    HOOK(GetDC, HookGetDC),                   HOOK(ReleaseDC, HookReleaseDC),
    HOOK(ImageList_LoadImageA, HookLoadImages), HOOK(ImageList_Destroy, HookDestroyImages),
    HOOK(SysAllocString, HookSysAlloc),       HOOK(SysAllocStringByteLen, HookSysAllocBytes),
    HOOK(SysReAllocStringLen, HookSysReAlloc), HOOK(SysFreeString, HookSysFree),
    HOOK(CoTaskMemAlloc, HookTaskAlloc),      HOOK(CoTaskMemFree, HookTaskFree),
    HOOK(malloc, HookMalloc),                 HOOK(calloc, HookCalloc),
    HOOK(realloc, HookRealloc),               HOOK(free, HookFree),
};

// Points the DLL's import slots of the functions above at the hooks (or back); returns how many
// slots were patched.
int PatchImports(bool install) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA("ZnTreeCt.dll"));
    if (!base) return 0;
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    int patched = 0;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const char* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
            for (const Hook& h : kHooks) {
                if (std::strcmp(name, h.name) != 0) continue;
                DWORD old;
                VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
                if (install) {
                    *h.original = reinterpret_cast<void*>(slots->u1.Function);
                    slots->u1.Function = reinterpret_cast<ULONG_PTR>(h.hook);
                } else {
                    slots->u1.Function = reinterpret_cast<ULONG_PTR>(*h.original);
                }
                VirtualProtect(&slots->u1.Function, sizeof(void*), old, &old);
                ++patched;
            }
        }
    }
    return patched;
}

// Windows of this thread, children included (child enumeration is recursive).
int WindowCount() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM c) -> BOOL {
        ++*reinterpret_cast<int*>(c);
        EnumChildWindows(w, [](HWND, LPARAM c2) -> BOOL { return ++*reinterpret_cast<int*>(c2), TRUE; }, c);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&count));
    return count;
}

SIZE_T HeapBytes() {
    HANDLE heaps[256];
    DWORD n = GetProcessHeaps(256, heaps);
    SIZE_T bytes = 0;
    for (DWORD i = 0; i < n && i < 256; ++i) {
        PROCESS_HEAP_ENTRY e = {};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &e))
            if (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += e.cbData;
        HeapUnlock(heaps[i]);
    }
    return bytes;
}

// One cycle of both controls' whole life, editors and header shown.
void Cycle(HIMAGELIST icons, int seed) {
    HostWindow host;
    HWND tree = host.MakeTree(5, 5, 300, 200);
    HWND list = host.MakeList(320, 5, 420, 200);
    AttachSeverityIcons(tree, icons);
    ZNList_AttachAdditionalIcons(list, icons);
    ZNList_AddHeaderColumn(list, L"Name", 0);
    ZNList_AddHeaderColumn(list, L"Path", ZN_COLUMN_PATH | ZN_COLUMN_MULTILINE);
    Bstr choices = Bstr::Choices({L"1", L"Low", L"2", L"High"});
    for (DWORD id = 1; id <= 20; ++id) {
        NodeInfo info = {};
        info.id = id;
        info.parentId = id > 4 ? 1 + id % 4 : 0;
        info.checkState = id % 3 ? ZN_UNCHECKED : ZN_CHECKED;
        info.severity = id % 3;
        info.flags = id % 5 == 0 ? ZN_CHOICE_TEXT2 : ZN_BOLD_TEXT1;
        Bstr text(std::to_wstring(id * 7919 + seed).c_str());
        info.text1 = text;
        info.text2 = id % 5 == 0 ? static_cast<BSTR>(choices) : nullptr;
        ListRow* row = ZNList_InsertFromTree(list, Sorted_Insert(tree, &info, 0));
        if (row) SetColumn(list, id, 1, L"c:\\some\\rather\\long\\path\\to\\a\\file.txt");
    }
    RefreshTree(tree, &host.selectedIndex, &host.checkedCount);
    for (DWORD id = 1; id <= 4; ++id) ExpandNode(tree, id, 0);
    ZNTree_SelectNode(tree, 5, 0);
    ZNList_Refresh(list, seed % 2, 0);
    ZNList_SelectNode(list, 5);
    host.Pump();
    host.Repaint(tree);
    host.Repaint(list);
    On_WMCharToItem(tree, ' ', reinterpret_cast<LPARAM>(tree), &host.checkedCount);
    NodeInfo check = {};
    check.id = 2;
    check.parentId = ZN_CHANGE_CHECK;
    check.checkState = ZN_CHECKED;
    UpdateTreeEntry(tree, &check, 0, &host.checkedCount);
    ZNList_UpdateEntry(list, &check, 0, &host.checkedCount);
    CollapseNode(tree, 1, 0);
    host.Pump();
    ClearTree(tree);
    ZNList_Clear(list);
    DestroyTree(tree);
    ZNList_Destroy(list);
}

}  // namespace

TEST(Resources, CyclesOfBothControlsLeaveNothingBehind) {
    const char* env = std::getenv("ZN_CYCLES");
    const int cycles = env ? std::atoi(env) : 40;
    SetLastError(0);
    DWORD gui = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    std::printf("GetGuiResources(GR_GDIOBJECTS) = %lu (last error %lu)\n", gui, GetLastError());
    SetOaNoCache();  // freed BSTRs go back to the heap at once, so heap bytes compare
    HIMAGELIST icons = MakeIcons(3);
    Cycle(icons, 0);  // warms up class registration, the shared icons and Wine's own caches
    ASSERT_GE(PatchImports(true), 18);
    const int windows = WindowCount();
    const SIZE_T bytes = HeapBytes();
    size_t highest = 0;
    SIZE_T half = 0;
    for (int i = 1; i <= cycles; ++i) {
        Cycle(icons, i);
        highest = std::max(highest, Live().size());
        ASSERT_TRUE(Live().empty()) << "cycle " << i << ": " << Live().size() << " objects, first from "
                                    << Live().begin()->second;
        if (i == cycles / 2) half = HeapBytes();
    }
    PatchImports(false);
    const int windowsAfter = WindowCount();
    const SIZE_T bytesAfter = HeapBytes();
    std::printf("%d cycles: library objects live 0 -> %zu, windows %d -> %d, heap bytes %zu -> %zu (%zu at half)\n",
                cycles, Live().size(), windows, windowsAfter, bytes, bytesAfter, half);
    EXPECT_EQ(windowsAfter, windows);
    // Wine keeps some caches of its own; a leak would grow with every cycle, so the second half
    // of the run may not add more than a little.
    EXPECT_LT(bytesAfter > half ? bytesAfter - half : 0, SIZE_T(64 * 1024));
    ImageList_Destroy(icons);
}
