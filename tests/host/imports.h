// The DLL's import slots pointed at the tests' stand-ins, where a fault has to be provoked (memory
// running out) or a use seen (handles made and freed): what the DLL calls, not what the test does.
#pragma once
#include <windows.h>
#include <cstring>
#include <vector>

namespace zt {
// A stand-in `Hook_name` for the DLL's import `name`; `original_name` is given the real function.
struct Hook { const char* name; void* hook; void** original; };
#define ZT_HOOK(name) zt::Hook{#name, reinterpret_cast<void*>(&Hook_##name), reinterpret_cast<void**>(&original_##name)}

// While it lives, the DLL calls the stand-ins; `patched` counts the imports found.
class Patched {
public:
    Patched(std::vector<Hook> hooks) : hooks_(hooks) { for (const Hook& h : hooks_) patched += Swap(h.name, h.hook, h.original); }
    ~Patched() { for (const Hook& h : hooks_) Swap(h.name, *h.original, nullptr); }
    int patched = 0;
private:
    // Writes `value` into the DLL's import slot of `name` (the old value to `was`); false without one.
    static bool Swap(const char* name, void* value, void** was) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA("ZnTreeCt.dll"));
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
            auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
            for (DWORD old; names->u1.AddressOfData; ++names, ++slot)
                if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) &&
                    !std::strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name, name) &&
                    VirtualProtect(&slot->u1.Function, sizeof(void*), PAGE_READWRITE, &old)) {
                    if (was) *was = reinterpret_cast<void*>(slot->u1.Function);
                    slot->u1.Function = reinterpret_cast<ULONG_PTR>(value);
                    return VirtualProtect(&slot->u1.Function, sizeof(void*), old, &old), true;
                }
        }
        return false;
    }
    std::vector<Hook> hooks_;
};
}  // namespace zt
