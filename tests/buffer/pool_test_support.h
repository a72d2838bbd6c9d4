#pragma once

#include <cstdint>
#include <functional>

#include "buffer/live_block_count.h"
#include "buffer/pool_buffer_pool_base.h"
#include "thread/running_thread.h"

namespace kwCore::testutil {

// Usage is one reading of a pool's getUsage and getCounters.
struct Usage {
    int32_t outstanding = 0, capacity = 0, cached = 0;
    uint64_t allocations = 0, releases = 0, reuses = 0;

    bool operator==(const Usage&) const = default;
};

inline Usage usageOf(const PoolBufferPoolBase& pool) {
    Usage usage;
    pool.getUsage(usage.outstanding, usage.capacity, usage.cached);
    pool.getCounters(usage.allocations, usage.releases, usage.reuses);
    return usage;
}

inline std::ostream& operator<<(std::ostream& out, const Usage& u) {
    return out << "{outstanding " << u.outstanding << ", capacity " << u.capacity << ", cached "
               << u.cached << ", allocations " << u.allocations << ", releases " << u.releases
               << ", reuses " << u.reuses << "}";
}

// GaugeWatch reads how far liveBlockCount moved since it was made.
struct GaugeWatch {
    int32_t start = liveBlockCount();
    int32_t moved() const { return liveBlockCount() - start; }
};

// onThread runs work on a new thread and waits for it.
inline void onThread(const std::function<void()>& work) {
    RunningThread thread = startThread(
        [](void* argument) { (*static_cast<const std::function<void()>*>(argument))(); },
        const_cast<std::function<void()>*>(&work));
    thread.wait();
}

}  // namespace kwCore::testutil
