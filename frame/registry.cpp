#include "registry.h"

#include <cstdlib>

namespace zn::registry {
namespace {

// Controls may live on several user-interface threads of one process. The storage fits the
// entries exactly: windows come and go rarely, and so every registration meets its allocation.
SRWLOCK lock = SRWLOCK_INIT;
Entry* entries = nullptr;
size_t count = 0;

Entry* Locate(HWND window, Role role) {
    for (size_t i = 0; i < count; ++i)
        if (entries[i].window == window && entries[i].role == role) return &entries[i];
    return nullptr;
}

}  // namespace

bool Add(const Entry& entry) {
    AcquireSRWLockExclusive(&lock);
    Entry* slot = Locate(entry.window, entry.role);
    if (!slot) {
        if (auto* grown = static_cast<Entry*>(std::realloc(entries, (count + 1) * sizeof(Entry)))) {
            entries = grown;
            slot = &entries[count++];
        }
    }
    if (slot) *slot = entry;
    ReleaseSRWLockExclusive(&lock);
    return slot != nullptr;
}

bool Find(HWND window, Role role, Entry* found) {
    if (!window) return false;
    AcquireSRWLockShared(&lock);
    const Entry* entry = Locate(window, role);
    if (entry) *found = *entry;
    ReleaseSRWLockShared(&lock);
    return entry != nullptr;
}

void Update(const Entry& entry) {
    AcquireSRWLockExclusive(&lock);
    if (Entry* known = Locate(entry.window, entry.role)) *known = entry;
    ReleaseSRWLockExclusive(&lock);
}

void Remove(HWND window, Role role) {
    AcquireSRWLockExclusive(&lock);
    if (Entry* known = Locate(window, role)) {
        *known = entries[--count];
        // A failed shrink keeps the larger block, which still holds every entry.
        if (count == 0) std::free(entries), entries = nullptr;
        else if (auto* shrunk = static_cast<Entry*>(std::realloc(entries, count * sizeof(Entry)))) entries = shrunk;
    }
    ReleaseSRWLockExclusive(&lock);
}

}  // namespace zn::registry
