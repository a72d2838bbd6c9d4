#pragma once

#include <cstdint>

#include "buffer/pool_buffer_pool_base.h"

namespace kwCore {

// DirectBlockPool keeps no cache: every block comes from and goes back to
// the system. It only counts, without a lock, so it may be used from any
// thread.
class DirectBlockPool : public PoolBufferPoolBase {
  public:
    DirectBlockPool() noexcept = default;

    // setCapacity ignores capacity and restarts the statistics from 0.
    void setCapacity(int32_t capacity) override;

    // allocateBlock returns a fresh system block; nullptr, counting nothing,
    // when the system has none to give.
    void* allocateBlock() override;

    // releaseBlock gives block back to the system; nullptr is ignored.
    void releaseBlock(void* block) override;

    // getUsage reports the blocks outstanding, and 0 for the capacity and
    // the cached blocks.
    void getUsage(int32_t& outstanding, int32_t& capacity, int32_t& cached) const override;

    // getCounters reports the allocations and releases; reuses stay 0.
    void getCounters(uint64_t& allocations, uint64_t& releases, uint64_t& reuses) const override;

    // prefill and trim have nothing to do.
    void prefill() override {}
    void trim() override {}

  private:
    int32_t outstanding = 0;
    int64_t allocations = 0;
    int64_t releases = 0;
    int64_t reuses = 0;
};

}  // namespace kwCore
