#pragma once

#include <atomic>
#include <cstdint>

#include "buffer/block_cache_array.h"
#include "thread/spin_lock.h"

namespace kwCore {

// ThreadBlockCache is one thread's cache of blocks in a ThreadPoolBufferPool,
// with that thread's share of the pool's statistics. Its owner changes it
// under spinWord; other threads take spinWord only to empty the cache, and
// read the counts without it, so every count is an atomic that its writer
// updates with plain loads and stores. A record fills a cache line of its
// own, so that threads working on their own records do not slow each other.
struct alignas(64) ThreadBlockCache {
    // ThreadBlockCache starts empty with room for capacity blocks. Throws
    // std::bad_alloc when the cache array cannot be had.
    ThreadBlockCache(int32_t capacity, uint32_t ownerThreadId)
        : cache(newBlockCacheArray(capacity)), ownerThreadId(ownerThreadId) {}

    // ~ThreadBlockCache gives the cached blocks back to the system.
    ~ThreadBlockCache() {
        releaseCachedBlocks(cache, cachedCount.load(std::memory_order_relaxed));
        freeBlockCacheArray(cache);
    }

    ThreadBlockCache(const ThreadBlockCache&) = delete;
    ThreadBlockCache& operator=(const ThreadBlockCache&) = delete;

    // releaseSpinWord frees spinWord, which the calling thread holds. Only
    // the holder ever frees it, so a plain release store serves where
    // SpinLock::release checks the holder with a second compare-exchange.
    void releaseSpinWord() noexcept {
        std::atomic_ref<int32_t>(spinWord.word).store(0, std::memory_order_release);
    }

    void** cache;
    std::atomic<int32_t> cachedCount{0};
    std::atomic<int32_t> outstanding{0};
    std::atomic<uint64_t> allocations{0};
    std::atomic<uint64_t> releases{0};
    std::atomic<uint64_t> reuses{0};
    uint32_t ownerThreadId;
    SpinLock spinWord;
};

}  // namespace kwCore
