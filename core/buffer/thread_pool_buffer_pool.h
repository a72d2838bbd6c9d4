#pragma once

#include <atomic>
#include <cstdint>

#include "buffer/pool_buffer_pool_base.h"
#include "buffer/thread_block_cache.h"
#include "runtime/growable_array.h"
#include "thread/lock.h"
#include "thread/thread_local_slot.h"

namespace kwCore {

// ThreadPoolBufferPool is a block pool that gives every thread its own cache,
// found through a thread-local slot, so that a thread's allocateBlock and
// releaseBlock touch only its own cache under its own spin word and take no
// shared lock. The shared lock guards the list of caches, the creation of a
// cache and the operations that walk all caches.
//
// A block goes to the cache of the thread that releases it, whichever thread
// allocated it, so one thread's outstanding count may go below 0 while the
// sum stays right. A thread's cache lives until disable or the pool's end,
// also after its thread has ended.
//
// A capacity of -1 means pooling is off: every block comes from and goes
// back to the system.
//
// allocateBlock, releaseBlock, getUsage, getCounters, prefill and trim may be
// called from any thread at any time; disable, setCapacity and destruction
// only while no other thread is inside the pool.
class ThreadPoolBufferPool : public PoolBufferPoolBase {
  public:
    // ThreadPoolBufferPool gives each thread a cache of capacity blocks (-1
    // or less: pooling off). Throws std::bad_alloc from 2^30 blocks on.
    explicit ThreadPoolBufferPool(int32_t capacity = defaultPoolCapacity);

    // ~ThreadPoolBufferPool discards every cache, as disable does.
    ~ThreadPoolBufferPool() override;

    // setCapacity discards every cache and its statistics (disable), then
    // gives each thread a cache of capacity blocks from its next allocation
    // on; -1 or less leaves pooling off. It does so even for the current
    // capacity. Throws std::bad_alloc, changing nothing, from 2^30 blocks on.
    void setCapacity(int32_t capacity) override;

    // allocateBlock returns the block the calling thread cached last, else a
    // fresh system block; nullptr, counting nothing, when the system has none
    // to give. A thread's first call creates its cache, which may throw
    // std::bad_alloc.
    void* allocateBlock() override;

    // releaseBlock caches block in the calling thread's cache while it has
    // room, else gives it back to the system, as it does on a thread that has
    // no cache; nullptr is ignored.
    void releaseBlock(void* block) override;

    // getUsage sums over all caches: outstanding, the capacity once per
    // cache, and the cached blocks.
    void getUsage(int32_t& outstanding, int32_t& capacity, int32_t& cached) const override;

    // getCounters sums the caches' counters.
    void getCounters(uint64_t& allocations, uint64_t& releases, uint64_t& reuses) const override;

    // prefill fills the calling thread's cache to capacity with fresh system
    // blocks, creating the cache first if needed; each block counts as one
    // allocation and one release of that cache.
    void prefill() override;

    // trim gives every cached block of every cache back to the system.
    void trim() override;

    // disable switches pooling off and discards every cache with its
    // statistics; cached blocks go back to the system. Every thread forgets
    // its cache, so a later setCapacity starts each thread afresh.
    virtual void disable();

  private:
    // attachCache returns the calling thread's cache, creating it under the
    // lock; nullptr when pooling is off or the thread-local slot has no
    // index.
    ThreadBlockCache* attachCache();

    GrowableArray<ThreadBlockCache*> caches;
    ThreadLocalSlot tlsIndex;
    mutable Lock lock;
    std::atomic<int32_t> capacity;
};

}  // namespace kwCore
