#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

namespace kwCore {

// TriviallyRelocatable tells whether a T may be moved to another address by
// copying its bytes, leaving the source unused (no destructor run there). The
// growable arrays rely on it because their storage moves with realloc.
// Trivially copyable types qualify; a handle type that merely owns what its
// pointer refers to (SharedString) qualifies too and says so by specialising
// this template.
template <typename T>
struct TriviallyRelocatable : std::is_trivially_copyable<T> {};

// HeapStorage is the general-purpose heap the growable arrays live on.
struct HeapStorage {
    // HeapStorage::resize resizes (or, for null, allocates) a block to bytes;
    // null when the heap cannot, the block then left as it was.
    static void* resize(void* block, size_t bytes) noexcept { return std::realloc(block, bytes); }
    // HeapStorage::release frees a block; null is fine.
    static void release(void* block) noexcept { std::free(block); }
};

// GrowableArray is the library's growable array: a pointer to heap storage and
// a signed 32-bit count. The storage always has room for the count rounded up
// to a multiple of 16 elements, is resized only when that multiple changes and
// is freed when the count drops to 0, so filling the array one element at a
// time costs one reallocation per 16 elements. The capacity is never stored.
//
// New elements are value-initialised (a null handle, a zero), removed ones are
// destroyed in ascending order. Storage moves with realloc, so T must be
// TriviallyRelocatable. Storage is a policy for tests; it provides resize and
// release as HeapStorage does.
template <typename T, typename Storage = HeapStorage>
class GrowableArray {
    static_assert(TriviallyRelocatable<T>::value, "GrowableArray moves its elements with realloc");

  public:
    // GrowableArray::kGranule is the element count storage is rounded up to.
    static constexpr int32_t kGranule = 16;

    GrowableArray() noexcept = default;
    GrowableArray(const GrowableArray&) = delete;
    GrowableArray& operator=(const GrowableArray&) = delete;
    ~GrowableArray() { setSize(0); }

    // GrowableArray::roundedCapacity is the element room storage has for n
    // elements: n rounded up to a multiple of 16, 0 for n <= 0.
    static constexpr int64_t roundedCapacity(int32_t n) noexcept {
        return n <= 0 ? 0 : (static_cast<int64_t>(n) + kGranule - 1) & ~int64_t{kGranule - 1};
    }

    // GrowableArray::setSize makes the array hold n elements (negative n counts
    // as 0). Throws std::bad_alloc, leaving the array unchanged, when growing
    // storage fails.
    void setSize(int32_t n) {
        if (n < 0) {
            n = 0;
        }
        if (n > count_) {
            grow(n);
        } else if (n < count_) {
            shrink(n);
        }
    }

    // GrowableArray::add appends a copy of value and returns its index (the old
    // count). value may be an element of this array.
    int32_t add(const T& value) {
        T copy(value);  // value may live in the storage that grow moves
        grow(count_ + 1);
        items_[count_ - 1] = std::move(copy);
        return count_ - 1;
    }

    // GrowableArray::swap exchanges storage and count with other.
    void swap(GrowableArray& other) noexcept {
        std::swap(items_, other.items_);
        std::swap(count_, other.count_);
    }

    // GrowableArray::items is the storage; null when count is 0.
    T* items() noexcept { return items_; }
    const T* items() const noexcept { return items_; }
    // GrowableArray::count is the number of elements.
    int32_t count() const noexcept { return count_; }

    // GrowableArray::operator[] reads element i, 0 <= i < count.
    T& operator[](int32_t i) noexcept { return items_[i]; }
    const T& operator[](int32_t i) const noexcept { return items_[i]; }

  private:
    void grow(int32_t n) {
        const int64_t room = roundedCapacity(n);
        if (room != roundedCapacity(count_)) {
            if (static_cast<uint64_t>(room) > SIZE_MAX / sizeof(T)) {
                throw std::bad_alloc();
            }
            void* storage = Storage::resize(items_, static_cast<size_t>(room) * sizeof(T));
            if (storage == nullptr) {
                throw std::bad_alloc();
            }
            items_ = static_cast<T*>(storage);
        }
        for (int32_t i = count_; i < n; ++i) {
            ::new (static_cast<void*>(items_ + i)) T();
        }
        count_ = n;
    }

    void shrink(int32_t n) noexcept {
        for (int32_t i = n; i < count_; ++i) {
            items_[i].~T();
        }
        const int64_t room = roundedCapacity(n);
        if (room == 0) {
            Storage::release(items_);
            items_ = nullptr;
        } else if (room != roundedCapacity(count_)) {
            // When the heap refuses to shrink the block, the larger block
            // stays and serves just as well.
            if (void* storage = Storage::resize(items_, static_cast<size_t>(room) * sizeof(T))) {
                items_ = static_cast<T*>(storage);
            }
        }
        count_ = n;
    }

    T* items_ = nullptr;
    int32_t count_ = 0;
};

}  // namespace kwCore
