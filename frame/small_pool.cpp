#include "small_pool.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "pod_array.h"

namespace zn::pool {
namespace {

constexpr size_t kSlabBytes = 64 * 1024;
constexpr size_t kClasses = kLargest / 8;

struct Slab {
    Slab* previous;   // neighbours in its class's list of slabs with room
    Slab* next;
    void* given;      // blocks given back, each holding the next one's address
    size_t blockSize;
    size_t carved;    // bytes after the header handed out at least once
    size_t live;      // blocks handed out now
    bool hasRoom;     // in its class's list
};
constexpr size_t kHeader = (sizeof(Slab) + 15) & ~size_t{15};

struct Pool {
    SRWLOCK lock = SRWLOCK_INIT;
    Slab* withRoom[kClasses] = {};
    PodArray<Slab*> byAddress;  // every slab in address order, to find the slab of a block
    size_t blocks = 0;            // handed out now; counted for tests only
};

// The shipped DLL counts nothing that only tests read.
#ifdef ZN_SHIPPED
void Count(Pool&, int) {}
#else
void Count(Pool& pool, int delta) { pool.blocks += static_cast<size_t>(delta); }
#endif

Pool& ThePool() {
    static Pool pool;
    return pool;
}

class Locked {
public:
    explicit Locked(Pool& pool) : lock_(pool.lock) { AcquireSRWLockExclusive(&lock_); }
    ~Locked() { ReleaseSRWLockExclusive(&lock_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    SRWLOCK& lock_;
};

void AddRoom(Slab*& list, Slab* slab) {
    slab->previous = nullptr;
    slab->next = list;
    if (list) list->previous = slab;
    list = slab;
    slab->hasRoom = true;
}

void RemoveRoom(Slab*& list, Slab* slab) {
    if (slab->previous) slab->previous->next = slab->next;
    else list = slab->next;
    if (slab->next) slab->next->previous = slab->previous;
    slab->previous = slab->next = nullptr;
    slab->hasRoom = false;
}

bool Full(const Slab* slab) { return !slab->given && kHeader + slab->carved + slab->blockSize > kSlabBytes; }

Slab* NewSlab(Pool& pool, size_t blockSize) {
    auto* slab = static_cast<Slab*>(HeapAlloc(GetProcessHeap(), 0, kSlabBytes));
    if (!slab) return nullptr;
    std::memset(slab, 0, sizeof(Slab));
    slab->blockSize = blockSize;
    const size_t at = static_cast<size_t>(std::upper_bound(pool.byAddress.begin(), pool.byAddress.end(), slab) -
                                          pool.byAddress.begin());
    if (!pool.byAddress.Insert(at, slab)) {
        HeapFree(GetProcessHeap(), 0, slab);
        return nullptr;
    }
    return slab;
}

Slab* SlabOf(const Pool& pool, const void* block) {
    auto after = std::upper_bound(pool.byAddress.begin(), pool.byAddress.end(), block,
                                  [](const void* p, const Slab* s) { return p < static_cast<const void*>(s); });
    if (after == pool.byAddress.begin()) return nullptr;
    Slab* slab = *(after - 1);
    const char* start = reinterpret_cast<const char*>(slab) + kHeader;
    const char* p = static_cast<const char*>(block);
    if (p < start || p >= start + slab->carved || (p - start) % slab->blockSize != 0) return nullptr;
    return slab;
}

}  // namespace

void* Take(size_t size) {
    if (size == 0 || size > kLargest) return nullptr;
    size_t kind = (size + 7) / 8 - 1;
    Pool& pool = ThePool();
    void* block;
    {
        Locked locked(pool);
        Slab* slab = pool.withRoom[kind];
        if (!slab) {
            slab = NewSlab(pool, (kind + 1) * 8);
            if (!slab) return nullptr;
            AddRoom(pool.withRoom[kind], slab);
        }
        if (slab->given) {
            block = slab->given;
            slab->given = *static_cast<void**>(block);
        } else {
            block = reinterpret_cast<char*>(slab) + kHeader + slab->carved;
            slab->carved += slab->blockSize;
        }
        ++slab->live;
        Count(pool, +1);
        if (Full(slab)) RemoveRoom(pool.withRoom[kind], slab);
        size = slab->blockSize;
    }
    std::memset(block, 0, size);
    return block;
}

bool Give(void* block) {
    if (!block) return false;
    Pool& pool = ThePool();
    Locked locked(pool);
    Slab* slab = SlabOf(pool, block);
    if (!slab) return false;
    Slab*& list = pool.withRoom[slab->blockSize / 8 - 1];
    *static_cast<void**>(block) = slab->given;
    slab->given = block;
    --slab->live;
    Count(pool, -1);
    if (slab->live == 0) {
        // An empty slab goes back to the heap at once: a pool that kept it would hold memory
        // no control uses.
        if (slab->hasRoom) RemoveRoom(list, slab);
        pool.byAddress.Erase(static_cast<size_t>(
            std::lower_bound(pool.byAddress.begin(), pool.byAddress.end(), slab) - pool.byAddress.begin()));
        HeapFree(GetProcessHeap(), 0, slab);
    } else if (!slab->hasRoom) {
        AddRoom(list, slab);
    }
    return true;
}

#ifndef ZN_SHIPPED
size_t Slabs() {
    Pool& pool = ThePool();
    Locked locked(pool);
    return pool.byAddress.size();
}

size_t Blocks() {
    Pool& pool = ThePool();
    Locked locked(pool);
    return pool.blocks;
}

#endif

}  // namespace zn::pool
