#pragma once

#include <atomic>
#include <cstdint>

namespace kwCore {

// The library's interlocked 32-bit operations, full barriers like the
// processor's locked instructions they compile to on every platform.

// interlockedIncrement adds 1 to *target and returns the new value.
inline int32_t interlockedIncrement(int32_t* target) noexcept {
    return std::atomic_ref<int32_t>(*target).fetch_add(1) + 1;
}

// interlockedDecrement subtracts 1 from *target and returns the new value.
inline int32_t interlockedDecrement(int32_t* target) noexcept {
    return std::atomic_ref<int32_t>(*target).fetch_sub(1) - 1;
}

// interlockedCompareExchange stores exchange in *target when it holds
// comparand, and returns the value it held before.
inline int32_t interlockedCompareExchange(int32_t* target, int32_t exchange,
                                          int32_t comparand) noexcept {
    std::atomic_ref<int32_t>(*target).compare_exchange_strong(comparand, exchange);
    return comparand;
}

}  // namespace kwCore
