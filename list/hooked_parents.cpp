#include "hooked_parents.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace zn::hooked {
namespace {

// Lists may live on several user-interface threads of one process.
SRWLOCK lock = SRWLOCK_INIT;
std::vector<std::pair<HWND, ListControl*>>& Table() {
    static auto* table = new std::vector<std::pair<HWND, ListControl*>>;
    return *table;
}

}  // namespace

void Add(HWND parent, ListControl* list) {
    AcquireSRWLockExclusive(&lock);
    auto& table = Table();
    auto found = std::find_if(table.begin(), table.end(), [parent](const auto& e) { return e.first == parent; });
    if (found != table.end())
        found->second = list;
    else
        table.emplace_back(parent, list);
    ReleaseSRWLockExclusive(&lock);
}

void Remove(HWND parent) {
    AcquireSRWLockExclusive(&lock);
    auto& table = Table();
    table.erase(std::remove_if(table.begin(), table.end(), [parent](const auto& e) { return e.first == parent; }),
                table.end());
    ReleaseSRWLockExclusive(&lock);
}

ListControl* Find(HWND parent) {
    AcquireSRWLockShared(&lock);
    ListControl* list = nullptr;
    for (const auto& entry : Table())
        if (entry.first == parent) list = entry.second;
    ReleaseSRWLockShared(&lock);
    return list;
}

}  // namespace zn::hooked
