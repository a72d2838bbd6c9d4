#pragma once

#include <cstdint>

#include "buffer/pool_buffer_pool_base.h"
#include "thread/lock.h"

namespace kwCore {

// PoolBufferPool is a block pool with one cache shared by all threads under
// one lock. Released blocks go onto the cache while it has room and come out
// again last-in first-out; the system is asked for blocks only when the cache
// is empty and takes them back only when it is full, and those system calls
// are made outside the lock.
//
// Every operation may be called from any thread, setCapacity included.
class PoolBufferPool : public PoolBufferPoolBase {
  public:
    // PoolBufferPool starts with an empty cache of capacity blocks. Throws
    // std::bad_alloc when the cache array cannot be had.
    explicit PoolBufferPool(int32_t capacity = defaultPoolCapacity);

    // ~PoolBufferPool gives every cached block back to the system. Blocks
    // still handed out stay valid; they may be released to another pool or
    // to the system.
    ~PoolBufferPool() override;

    // setCapacity gives every cached block back to the system, restarts all
    // statistics from 0 and makes the cache hold up to capacity blocks (a
    // negative capacity counts as 0). The same capacity again changes
    // nothing. Throws std::bad_alloc, changing nothing, when the new cache
    // array cannot be had; from 2^30 blocks it never can.
    void setCapacity(int32_t capacity) override;

    // allocateBlock returns the block cached last, else a fresh system block;
    // nullptr, counting nothing, when the system has none to give.
    void* allocateBlock() override;

    // releaseBlock caches block while the cache has room, else gives it back
    // to the system; nullptr is ignored.
    void releaseBlock(void* block) override;

    void getUsage(int32_t& outstanding, int32_t& capacity, int32_t& cached) const override;
    void getCounters(uint64_t& allocations, uint64_t& releases, uint64_t& reuses) const override;

    // prefill fills the cache to capacity with fresh system blocks; each
    // counts as one allocation and one release.
    void prefill() override;

    // trim gives every cached block back to the system.
    void trim() override;

  private:
    mutable Lock lock;
    void** cache = nullptr;
    int32_t cachedCount = 0;
    int32_t capacity = 0;
    int32_t outstanding = 0;
    uint64_t allocations = 0;
    uint64_t releases = 0;
    uint64_t reuses = 0;
};

}  // namespace kwCore
