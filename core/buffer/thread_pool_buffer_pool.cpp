#include "buffer/thread_pool_buffer_pool.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <new>

#include "buffer/live_block_count.h"
#include "platform/threads.h"
#include "thread/lock_holder.h"

namespace kwCore {

namespace {

constexpr int32_t poolingOff = -1;
constexpr auto relaxed = std::memory_order_relaxed;

// checkedCapacity maps every negative capacity to poolingOff and refuses one
// no cache array can hold.
int32_t checkedCapacity(int32_t capacity) {
    if (capacity > largestCacheCapacity) {
        throw std::bad_alloc();
    }
    return std::max(capacity, poolingOff);
}

// addOwned adds delta to a count that only its cache's spin word holder
// writes: a plain load and store, atomic only for the readers.
template <typename T>
inline void addOwned(std::atomic<T>& count, T delta) noexcept {
    count.store(count.load(relaxed) + delta, relaxed);
}

ThreadBlockCache* cacheIn(const ThreadLocalSlot& slot) noexcept {
    return static_cast<ThreadBlockCache*>(slot.get());
}

}  // namespace

ThreadPoolBufferPool::ThreadPoolBufferPool(int32_t capacity)
    : capacity(checkedCapacity(capacity)) {}

ThreadPoolBufferPool::~ThreadPoolBufferPool() {
    ThreadPoolBufferPool::disable();
}

void ThreadPoolBufferPool::setCapacity(int32_t newCapacity) {
    newCapacity = checkedCapacity(newCapacity);
    disable();
    capacity.store(newCapacity, relaxed);
}

ThreadBlockCache* ThreadPoolBufferPool::attachCache() {
    LockHolder held(lock);
    const int32_t current = capacity.load(relaxed);
    if (current == poolingOff || !tlsIndex.isAllocated()) {
        return nullptr;
    }
    if (ThreadBlockCache* found = cacheIn(tlsIndex)) {
        return found;
    }
    auto record = std::make_unique<ThreadBlockCache>(current, platform::currentThreadId());
    caches.add(record.get());
    if (!tlsIndex.set(record.get())) {
        caches.setSize(caches.count() - 1);
        return nullptr;
    }
    return record.release();
}

void* ThreadPoolBufferPool::allocateBlock() {
    if (capacity.load(relaxed) == poolingOff) {
        return obtainCountedBlock();
    }
    ThreadBlockCache* record = cacheIn(tlsIndex);
    if (record == nullptr && (record = attachCache()) == nullptr) {
        return obtainCountedBlock();
    }
    record->spinWord.acquire();
    void* block;
    const int32_t cached = record->cachedCount.load(relaxed);
    if (cached > 0) {
        block = record->cache[cached - 1];
        record->cachedCount.store(cached - 1, relaxed);
        addOwned(record->reuses, uint64_t{1});
    } else {
        block = obtainCountedBlock();
    }
    if (block != nullptr) {
        addOwned(record->outstanding, 1);
        addOwned(record->allocations, uint64_t{1});
    }
    record->releaseSpinWord();
    return block;
}

void ThreadPoolBufferPool::releaseBlock(void* block) {
    if (block == nullptr) {
        return;
    }
    const int32_t current = capacity.load(relaxed);
    ThreadBlockCache* record = current == poolingOff ? nullptr : cacheIn(tlsIndex);
    if (record == nullptr) {
        releaseCountedBlock(block);
        return;
    }
    record->spinWord.acquire();
    addOwned(record->releases, uint64_t{1});
    addOwned(record->outstanding, -1);
    const int32_t cached = record->cachedCount.load(relaxed);
    const bool kept = cached < current;
    if (kept) {
        record->cache[cached] = block;
        record->cachedCount.store(cached + 1, relaxed);
    }
    record->releaseSpinWord();
    if (!kept) {
        releaseCountedBlock(block);
    }
}

void ThreadPoolBufferPool::getUsage(int32_t& outstanding, int32_t& capacityOut,
                                    int32_t& cached) const {
    outstanding = 0;
    capacityOut = 0;
    cached = 0;
    LockHolder held(lock);
    const int64_t perCache = std::max(capacity.load(relaxed), 0);
    for (int32_t i = 0; i < caches.count(); ++i) {
        outstanding += caches[i]->outstanding.load(relaxed);
        cached += caches[i]->cachedCount.load(relaxed);
    }
    capacityOut = static_cast<int32_t>(std::min<int64_t>(perCache * caches.count(), INT32_MAX));
}

void ThreadPoolBufferPool::getCounters(uint64_t& allocations, uint64_t& releases,
                                       uint64_t& reuses) const {
    allocations = 0;
    releases = 0;
    reuses = 0;
    LockHolder held(lock);
    for (int32_t i = 0; i < caches.count(); ++i) {
        allocations += caches[i]->allocations.load(relaxed);
        releases += caches[i]->releases.load(relaxed);
        reuses += caches[i]->reuses.load(relaxed);
    }
}

void ThreadPoolBufferPool::prefill() {
    LockHolder held(lock);
    const int32_t current = capacity.load(relaxed);
    ThreadBlockCache* record = cacheIn(tlsIndex);
    const int32_t missing = current - (record != nullptr ? record->cachedCount.load(relaxed) : 0);
    if (missing <= 0 || (record == nullptr && (record = attachCache()) == nullptr)) {
        return;
    }
    // Each fresh block is handed out and released at once: one allocation
    // and one release, outstanding as before.
    record->spinWord.acquire();
    for (int32_t i = 0; i < missing; ++i) {
        void* block = obtainCountedBlock();
        if (block == nullptr) {
            break;
        }
        const int32_t cached = record->cachedCount.load(relaxed);
        record->cache[cached] = block;
        record->cachedCount.store(cached + 1, relaxed);
        addOwned(record->allocations, uint64_t{1});
        addOwned(record->releases, uint64_t{1});
    }
    record->releaseSpinWord();
}

void ThreadPoolBufferPool::trim() {
    LockHolder held(lock);
    for (int32_t i = 0; i < caches.count(); ++i) {
        ThreadBlockCache& record = *caches[i];
        record.spinWord.acquire();
        releaseCachedBlocks(record.cache, record.cachedCount.load(relaxed));
        record.cachedCount.store(0, relaxed);
        record.releaseSpinWord();
    }
}

void ThreadPoolBufferPool::disable() {
    if (capacity.load(relaxed) == poolingOff) {
        return;
    }
    capacity.store(poolingOff, relaxed);
    LockHolder held(lock);
    for (int32_t i = 0; i < caches.count(); ++i) {
        delete caches[i];
    }
    caches.setSize(0);
    // Every thread's slot still leads to a destroyed record: a fresh index
    // makes every thread find none.
    tlsIndex.renew();
}

}  // namespace kwCore
