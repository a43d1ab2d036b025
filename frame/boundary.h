// The line no exception crosses: every export and window procedure of the library ends its own
// work inside it. (A throw that reached a host's frames or the system's would end the host: the
// 32-bit build unwinds by tables the host's frames do not have.)
#pragma once

namespace zn {

// Runs `work` and answers `failed` when it throws.
template <class Result, class Work>
Result Guarded(Result failed, Work&& work) noexcept {
    try {
        return work();
    } catch (...) {
        return failed;
    }
}

}  // namespace zn
