#pragma once

#include <atomic>
#include <cstdint>

namespace kwCore {

// The library's interlocked 32-bit and 64-bit operations, full barriers like
// the processor's locked instructions they compile to on every platform.

// interlockedIncrement adds 1 to *target and returns the new value; the
// largest value wraps to the smallest. The new value is computed unsigned,
// as the stored one wraps.
inline int32_t interlockedIncrement(int32_t* target) noexcept {
    return static_cast<int32_t>(
        static_cast<uint32_t>(std::atomic_ref<int32_t>(*target).fetch_add(1)) + 1u);
}

// interlockedDecrement subtracts 1 from *target and returns the new value;
// the smallest value wraps to the largest.
inline int32_t interlockedDecrement(int32_t* target) noexcept {
    return static_cast<int32_t>(
        static_cast<uint32_t>(std::atomic_ref<int32_t>(*target).fetch_sub(1)) - 1u);
}

// interlockedCompareExchange stores exchange in *target when it holds
// comparand, and returns the value it held before.
inline int32_t interlockedCompareExchange(int32_t* target, int32_t exchange,
                                          int32_t comparand) noexcept {
    std::atomic_ref<int32_t>(*target).compare_exchange_strong(comparand, exchange);
    return comparand;
}

namespace detail {

// addWithCompareExchange64 adds delta to *target and returns the new value:
// the sum is computed from the value read and stored with a 64-bit
// compare-exchange, retried with the value found there until no other
// thread intervened. The arithmetic wraps, carry and borrow crossing the
// 32-bit halves.
inline int64_t addWithCompareExchange64(int64_t* target, uint64_t delta) noexcept {
    std::atomic_ref<int64_t> value(*target);
    int64_t current = value.load(std::memory_order_relaxed);
    int64_t next;
    do {
        next = static_cast<int64_t>(static_cast<uint64_t>(current) + delta);
    } while (!value.compare_exchange_weak(current, next));
    return next;
}

}  // namespace detail

// atomicIncrement64 adds 1 to *target and returns the new value; the largest
// value wraps to the smallest.
inline int64_t atomicIncrement64(int64_t* target) noexcept {
    return detail::addWithCompareExchange64(target, 1u);
}

// atomicDecrement64 subtracts 1 from *target and returns the new value; 0
// becomes -1 (all 64 bits set).
inline int64_t atomicDecrement64(int64_t* target) noexcept {
    return detail::addWithCompareExchange64(target, ~uint64_t{0});
}

}  // namespace kwCore
