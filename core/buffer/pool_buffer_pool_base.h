#pragma once

#include <cstdint>

namespace kwCore {

// defaultPoolCapacity is the cache capacity a pool starts with unless told
// otherwise: 128 blocks, 1 MiB.
inline constexpr int32_t defaultPoolCapacity = 128;

// PoolBufferPoolBase is the interface of every block pool: it hands out
// 8,192-byte blocks of read-write memory and takes them back, and keeps the
// same statistics whatever its caching, so that any pool's usage reads alike.
// A block from one pool may be released to any pool or to the system.
//
// Statistics: outstanding (+1 per allocateBlock, -1 per releaseBlock),
// allocations and releases (one per call) and reuses (allocations served
// from a cache).
class PoolBufferPoolBase {
  public:
    PoolBufferPoolBase() noexcept = default;
    PoolBufferPoolBase(const PoolBufferPoolBase&) = delete;
    PoolBufferPoolBase& operator=(const PoolBufferPoolBase&) = delete;

    virtual ~PoolBufferPoolBase() = default;

    // setCapacity sets how many blocks the pool may cache; the base ignores it.
    virtual void setCapacity(int32_t capacity) { (void)capacity; }

    // allocateBlock returns a block that is not handed out elsewhere, or
    // nullptr when the system has none to give.
    virtual void* allocateBlock() = 0;

    // releaseBlock takes back a block the caller no longer uses.
    virtual void releaseBlock(void* block) = 0;

    // getUsage reports the blocks handed out and not yet returned, the most
    // blocks the pool caches and the blocks cached now.
    virtual void getUsage(int32_t& outstanding, int32_t& capacity, int32_t& cached) const = 0;

    // getCounters reports the allocations, releases and reuses so far.
    virtual void getCounters(uint64_t& allocations, uint64_t& releases, uint64_t& reuses) const = 0;

    // prefill fills the cache up to its capacity with fresh blocks.
    virtual void prefill() = 0;

    // trim gives every cached block back to the system.
    virtual void trim() = 0;
};

}  // namespace kwCore
