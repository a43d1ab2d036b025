// A growable array of plain values on the C heap. Running out of memory is reported by the
// result of Push and Reserve, never thrown: a throw on the way out of memory ends the host.
#pragma once
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace zn {

template <class T>
class PodArray {
public:
    PodArray() = default;
    ~PodArray() { std::free(items_); }
    PodArray(const PodArray&) = delete;
    PodArray& operator=(const PodArray&) = delete;

    bool Reserve(size_t wanted) {
        if (wanted <= capacity_) return true;
        auto* grown = static_cast<T*>(std::realloc(items_, wanted * sizeof(T)));
        if (!grown) return false;
        items_ = grown;
        capacity_ = wanted;
        return true;
    }
    bool Push(const T& value) {
        if (size_ == capacity_ && !Reserve(capacity_ ? capacity_ * 2 : 16)) return false;
        items_[size_++] = value;
        return true;
    }
    bool Insert(size_t at, const T& value) {
        if (size_ == capacity_ && !Reserve(capacity_ ? capacity_ * 2 : 16)) return false;
        std::memmove(items_ + at + 1, items_ + at, (size_ - at) * sizeof(T));
        items_[at] = value;
        ++size_;
        return true;
    }
    void Erase(size_t at) {
        std::memmove(items_ + at, items_ + at + 1, (size_ - at - 1) * sizeof(T));
        --size_;
    }
    void Pop() { --size_; }
    T& Back() const { return items_[size_ - 1]; }
    void Clear() { size_ = 0; }  // keeps the storage
    size_t size() const { return size_; }
    T* begin() const { return items_; }
    T* end() const { return items_ + size_; }
    T& operator[](size_t i) const { return items_[i]; }

private:
    T* items_ = nullptr;
    size_t size_ = 0, capacity_ = 0;
};

}  // namespace zn
