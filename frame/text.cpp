#include "text.h"

#include <cstdlib>
#include <cstring>

#include "small_pool.h"
#include "wide.h"

namespace zn::text {
namespace {

// Live blocks, counted for tests only: the shipped DLL counts nothing.
#ifdef ZN_SHIPPED
void CountBlock(LONG) {}
#else
volatile LONG g_liveBlocks = 0;
void CountBlock(LONG delta) { InterlockedExchangeAdd(&g_liveBlocks, delta); }
#endif

TextBlock* NewBlock() {
    auto* block = static_cast<TextBlock*>(pool::Take(sizeof(TextBlock)));
    if (block) {
        block->references = 1;
        CountBlock(+1);
    }
    return block;
}

// A narrow copy of `length` bytes and a NUL; short ones come from the pool.
char* NewNarrow(const char* bytes, size_t length) {
    size_t size = length + 1;
    auto* copy = static_cast<char*>(size <= pool::kLargest ? pool::Take(size) : std::malloc(size));
    if (!copy) return nullptr;
    std::memcpy(copy, bytes, length);
    copy[length] = '\0';
    return copy;
}

void FreeNarrow(char* narrow) {
    if (!pool::Give(narrow)) std::free(narrow);
}

// A BSTR of `byteLength` bytes (copied from `bytes` when given). Short ones are carved from the
// pool with the layout the BSTR functions give (the length in the four bytes before the text, the
// text aligned as theirs, a NUL after it), so a host reads them as any BSTR; a heap BSTR would cost
// half as much again as its text. Longer ones come from the BSTR functions.
BSTR NewWide(const void* bytes, UINT byteLength) {
    constexpr size_t kHeader = sizeof(void*);
    const size_t size = kHeader + byteLength + sizeof(WCHAR);
    if (size > pool::kLargest) return SysAllocStringByteLen(static_cast<const char*>(bytes), byteLength);
    auto* block = static_cast<char*>(pool::Take(size));  // zeroed: the NUL is there
    if (!block) return nullptr;
    const DWORD length = byteLength;
    std::memcpy(block + kHeader - sizeof(DWORD), &length, sizeof(DWORD));
    if (bytes) std::memcpy(block + kHeader, bytes, byteLength);
    return reinterpret_cast<BSTR>(block + kHeader);
}

void FreeWide(BSTR wide) {
    if (wide && pool::Give(reinterpret_cast<char*>(wide) - sizeof(void*))) return;
    SysFreeString(wide);
}

BSTR CopyOf(BSTR wide) { return NewWide(wide, SysStringByteLen(wide)); }

void FreeBlock(TextBlock* block) {
    FreeWide(block->wide);
    FreeNarrow(block->narrow);
    pool::Give(block);
    CountBlock(-1);
}

void Attach(TextField& slot, TextBlock* block) {
    slot.block = block;
    slot.status = block ? block->status : kOutOfMemory;
    slot.spare = 0;
}

}  // namespace

#ifndef ZN_SHIPPED
LONG LiveBlocks() { return g_liveBlocks; }
#endif

void MakeFromWide(TextField& slot, const WCHAR* wide) {
    Release(slot);
    TextBlock* block = NewBlock();
    if (block && wide) {
        block->wide = NewWide(wide, static_cast<UINT>(lstrlenW(wide) * sizeof(WCHAR)));
        if (!block->wide) block->status = kOutOfMemory;
    }
    Attach(slot, block);
}

void MakeFromNarrow(TextField& slot, const char* narrow) {
    Release(slot);
    TextBlock* block = NewBlock();
    if (block && narrow) {
        int length = lstrlenA(narrow);
        auto* buffer = static_cast<WCHAR*>(std::calloc(static_cast<size_t>(length) + 1, sizeof(WCHAR)));
        if (buffer) {
            MultiByteToWideChar(GetACP(), MB_PRECOMPOSED | MB_ERR_INVALID_CHARS, narrow, length, buffer,
                                length + 1);
            block->wide = NewWide(buffer, static_cast<UINT>(lstrlenW(buffer) * sizeof(WCHAR)));
            std::free(buffer);
        }
        if (!block->wide) block->status = kOutOfMemory;
    }
    Attach(slot, block);
}

DWORD AssignCopy(TextField& slot, BSTR wide) {
    Release(slot);
    TextBlock* block = NewBlock();
    if (block && wide) {
        block->wide = CopyOf(wide);
        if (!block->wide) block->status = kOutOfMemory;
    }
    Attach(slot, block);
    if (block && block->status == 0) return 0;
    DWORD error = GetLastError();
    return error ? error : kOutOfMemory;
}

void Clear(TextField& slot) {
    TextBlock* block = slot.block;
    if (!block) {
        MakeFromWide(slot, L"");
        return;
    }
    if (block->references >= 2) {
        // Another holder keeps its text: this slot continues with a private copy.
        TextBlock* copy = NewBlock();
        if (copy && block->wide) {
            copy->wide = CopyOf(block->wide);
            if (!copy->wide) copy->status = kOutOfMemory;
        }
        Release(slot);
        Attach(slot, copy);
        block = copy;
        if (!block) return;
    }
    FreeNarrow(block->narrow);
    block->narrow = nullptr;
    FreeWide(block->wide);
    block->wide = NewWide(nullptr, 0);
    if (!block->wide) block->status = kOutOfMemory;
}

void Share(const TextField& from, TextField& to) {
    if (&from == &to) return;
    TextBlock* block = from.block;
    if (block) InterlockedIncrement(&block->references);
    Release(to);
    to.block = block;
    to.status = from.status;
    to.spare = 0;
}

void Release(TextField& slot) {
    TextBlock* block = slot.block;
    slot.block = nullptr;
    slot.status = 0;
    slot.spare = 0;
    if (block && InterlockedDecrement(&block->references) == 0) FreeBlock(block);
}

UINT Length(const TextField& slot) {
    return slot.block && slot.block->wide ? SysStringLen(slot.block->wide) : 0;
}

const WCHAR* Wide(const TextField& slot) { return slot.block ? slot.block->wide : nullptr; }

const char* Narrow(const TextField& slot) {
    TextBlock* block = slot.block;
    if (!block) return nullptr;
    if (block->narrow) return block->narrow;
    block->status = 0;
    if (block->wide) {
        // The stored length bounds the conversion, so an odd-length BSTR is never read past.
        int n = static_cast<int>(SysStringLen(block->wide));
        char shortCopy[128];
        int made = n == 0 ? 0 : WideCharToMultiByte(GetACP(), WC_COMPOSITECHECK | WC_SEPCHARS, block->wide, n,
                                                    shortCopy, sizeof shortCopy, nullptr, nullptr);
        if (n == 0 || made > 0) {
            block->narrow = NewNarrow(shortCopy, static_cast<size_t>(made));
        } else {
            int needed = WideCharToMultiByte(GetACP(), WC_COMPOSITECHECK | WC_SEPCHARS, block->wide, n, nullptr, 0,
                                             nullptr, nullptr);
            auto* buffer = needed > 0 ? static_cast<char*>(std::malloc(static_cast<size_t>(needed) + 1)) : nullptr;
            if (buffer) {
                made = WideCharToMultiByte(GetACP(), WC_COMPOSITECHECK | WC_SEPCHARS, block->wide, n, buffer, needed,
                                           nullptr, nullptr);
                buffer[made > 0 ? made : 0] = '\0';
            }
            block->narrow = buffer;
        }
        if (!block->narrow) block->status = kOutOfMemory;
    }
    return block->narrow;
}

UINT NarrowLength(const TextField& slot) {
    const char* narrow = Narrow(slot);
    return narrow ? static_cast<UINT>(std::strlen(narrow)) : 0;
}

bool IsEmpty(const TextField& slot) { return Length(slot) == 0; }

int Compare(const TextField& a, const TextField& b) {
    bool aEmpty = IsEmpty(a), bEmpty = IsEmpty(b);
    if (aEmpty || bEmpty) return aEmpty == bEmpty ? 0 : (aEmpty ? -1 : 1);
    return CompareNoCase(Wide(a), Length(a), Wide(b), Length(b));
}

int ValueAtStart(const TextField& slot) { return WideToInt(Wide(slot), Length(slot)); }

ChoiceTable* ParseChoices(const TextField& slot) {
    return ParseChoiceText(reinterpret_cast<const uint16_t*>(Wide(slot)), Length(slot));
}

}  // namespace zn::text
