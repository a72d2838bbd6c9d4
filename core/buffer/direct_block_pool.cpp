#include "buffer/direct_block_pool.h"

#include <atomic>

#include "buffer/live_block_count.h"
#include "thread/interlocked.h"

namespace kwCore {

namespace {

// The counters change under other threads' interlocked operations, so they
// are read and reset atomically too.
template <typename T>
T atomicLoad(const T& value) noexcept {
    return std::atomic_ref<T>(const_cast<T&>(value)).load();
}

template <typename T>
void atomicStore(T& value, T newValue) noexcept {
    std::atomic_ref<T>(value).store(newValue);
}

}  // namespace

void DirectBlockPool::setCapacity(int32_t) {
    atomicStore(outstanding, 0);
    atomicStore(allocations, int64_t{0});
    atomicStore(releases, int64_t{0});
    atomicStore(reuses, int64_t{0});
}

void* DirectBlockPool::allocateBlock() {
    interlockedIncrement(&outstanding);
    atomicIncrement64(&allocations);
    void* block = obtainCountedBlock();
    if (block == nullptr) {
        // Nothing was handed out after all.
        interlockedDecrement(&outstanding);
        atomicDecrement64(&allocations);
    }
    return block;
}

void DirectBlockPool::releaseBlock(void* block) {
    if (block == nullptr) {
        return;
    }
    atomicIncrement64(&releases);
    interlockedDecrement(&outstanding);
    releaseCountedBlock(block);
}

void DirectBlockPool::getUsage(int32_t& outstandingOut, int32_t& capacity, int32_t& cached) const {
    outstandingOut = atomicLoad(outstanding);
    capacity = 0;
    cached = 0;
}

void DirectBlockPool::getCounters(uint64_t& allocationsOut, uint64_t& releasesOut,
                                  uint64_t& reusesOut) const {
    allocationsOut = static_cast<uint64_t>(atomicLoad(allocations));
    releasesOut = static_cast<uint64_t>(atomicLoad(releases));
    reusesOut = static_cast<uint64_t>(atomicLoad(reuses));
}

}  // namespace kwCore
