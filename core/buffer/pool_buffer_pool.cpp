#include "buffer/pool_buffer_pool.h"

#include <algorithm>

#include "buffer/block_cache_array.h"
#include "buffer/live_block_count.h"
#include "thread/lock_holder.h"

namespace kwCore {

PoolBufferPool::PoolBufferPool(int32_t capacity) {
    setCapacity(capacity);
}

PoolBufferPool::~PoolBufferPool() {
    releaseCachedBlocks(cache, cachedCount);
    freeBlockCacheArray(cache);
}

void PoolBufferPool::setCapacity(int32_t newCapacity) {
    newCapacity = std::max(newCapacity, 0);
    LockHolder held(lock);
    if (newCapacity == capacity) {
        return;
    }
    void** fresh = newBlockCacheArray(newCapacity);
    releaseCachedBlocks(cache, cachedCount);
    freeBlockCacheArray(cache);
    cache = fresh;
    cachedCount = 0;
    capacity = newCapacity;
    outstanding = 0;
    allocations = 0;
    releases = 0;
    reuses = 0;
}

void* PoolBufferPool::allocateBlock() {
    lock.enter();
    ++outstanding;
    ++allocations;
    if (cachedCount > 0) {
        ++reuses;
        void* block = cache[--cachedCount];
        lock.leave();
        return block;
    }
    lock.leave();

    void* block = obtainCountedBlock();
    if (block == nullptr) {
        // Nothing was handed out after all.
        LockHolder held(lock);
        --outstanding;
        --allocations;
    }
    return block;
}

void PoolBufferPool::releaseBlock(void* block) {
    if (block == nullptr) {
        return;
    }
    lock.enter();
    ++releases;
    --outstanding;
    if (cachedCount < capacity) {
        cache[cachedCount++] = block;
        lock.leave();
        return;
    }
    lock.leave();
    releaseCountedBlock(block);
}

void PoolBufferPool::getUsage(int32_t& outstandingOut, int32_t& capacityOut,
                              int32_t& cachedOut) const {
    LockHolder held(lock);
    outstandingOut = outstanding;
    capacityOut = capacity;
    cachedOut = cachedCount;
}

void PoolBufferPool::getCounters(uint64_t& allocationsOut, uint64_t& releasesOut,
                                 uint64_t& reusesOut) const {
    LockHolder held(lock);
    allocationsOut = allocations;
    releasesOut = releases;
    reusesOut = reuses;
}

void PoolBufferPool::prefill() {
    LockHolder held(lock);
    // Each fresh block is handed out and released at once: one allocation
    // and one release, outstanding as before.
    while (cachedCount < capacity) {
        void* block = obtainCountedBlock();
        if (block == nullptr) {
            return;
        }
        ++allocations;
        ++releases;
        cache[cachedCount++] = block;
    }
}

void PoolBufferPool::trim() {
    LockHolder held(lock);
    releaseCachedBlocks(cache, cachedCount);
    cachedCount = 0;
}

}  // namespace kwCore
