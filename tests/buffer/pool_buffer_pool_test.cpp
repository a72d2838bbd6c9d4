#include "buffer/pool_buffer_pool.h"

#include <gtest/gtest.h>

#include <new>
#include <vector>

#include "buffer/buffer.h"
#include "buffer/direct_block_pool.h"
#include "pool_test_support.h"

namespace kwCore {
namespace {

using testutil::GaugeWatch;
using testutil::Usage;
using testutil::usageOf;

TEST(PoolBufferPool, CachesUpToCapacityAndReusesLastInFirstOut) {
    PoolBufferPool pool(2);
    GaugeWatch gauge;
    void* b1 = pool.allocateBlock();
    void* b2 = pool.allocateBlock();
    void* b3 = pool.allocateBlock();
    EXPECT_EQ(gauge.moved(), 3);
    pool.releaseBlock(b1);
    pool.releaseBlock(b2);
    pool.releaseBlock(b3);  // no room: back to the system
    EXPECT_EQ(gauge.moved(), 2);
    EXPECT_EQ(usageOf(pool), (Usage{0, 2, 2, 3, 3, 0}));

    EXPECT_EQ(pool.allocateBlock(), b2);
    EXPECT_EQ(pool.allocateBlock(), b1);
    EXPECT_EQ(gauge.moved(), 2);
    EXPECT_EQ(usageOf(pool), (Usage{2, 2, 0, 5, 3, 2}));
    pool.releaseBlock(b1);
    pool.releaseBlock(b2);
}

TEST(PoolBufferPool, SetCapacityRestartsStatisticsOnlyWhenItChanges) {
    PoolBufferPool pool(4);
    void* held = pool.allocateBlock();
    pool.releaseBlock(pool.allocateBlock());
    const Usage before{1, 4, 1, 2, 1, 0};
    EXPECT_EQ(usageOf(pool), before);

    GaugeWatch gauge;
    pool.setCapacity(4);
    EXPECT_EQ(usageOf(pool), before);
    EXPECT_THROW(pool.setCapacity(1 << 30), std::bad_alloc);
    EXPECT_EQ(usageOf(pool), before);

    pool.setCapacity(3);
    EXPECT_EQ(usageOf(pool), (Usage{0, 3, 0, 0, 0, 0}));
    EXPECT_EQ(gauge.moved(), 0);  // the cached block went back uncounted
    pool.releaseBlock(held);
    EXPECT_EQ(usageOf(pool), (Usage{-1, 3, 1, 0, 1, 0}));
}

TEST(PoolBufferPool, PrefillFillsTheCacheAndTrimEmptiesIt) {
    PoolBufferPool pool(8);
    GaugeWatch gauge;
    pool.prefill();
    EXPECT_EQ(usageOf(pool), (Usage{0, 8, 8, 8, 8, 0}));
    void* a = pool.allocateBlock();
    void* b = pool.allocateBlock();
    pool.prefill();  // 6 of 8 cached
    EXPECT_EQ(usageOf(pool), (Usage{2, 8, 8, 12, 10, 2}));
    pool.prefill();  // full
    EXPECT_EQ(usageOf(pool), (Usage{2, 8, 8, 12, 10, 2}));
    EXPECT_EQ(gauge.moved(), 10);

    pool.trim();
    EXPECT_EQ(usageOf(pool), (Usage{2, 8, 0, 12, 10, 2}));
    EXPECT_EQ(gauge.moved(), 10);
    pool.releaseBlock(a);
    pool.releaseBlock(b);
}

TEST(DirectBlockPool, CountsWithoutCaching) {
    DirectBlockPool pool;
    GaugeWatch gauge;
    void* a = pool.allocateBlock();
    void* b = pool.allocateBlock();
    pool.releaseBlock(a);
    pool.prefill();
    pool.trim();
    EXPECT_EQ(gauge.moved(), 1);
    EXPECT_EQ(usageOf(pool), (Usage{1, 0, 0, 2, 1, 0}));
    pool.setCapacity(100);
    EXPECT_EQ(usageOf(pool), (Usage{0, 0, 0, 0, 0, 0}));
    pool.releaseBlock(b);
    EXPECT_EQ(usageOf(pool), (Usage{-1, 0, 0, 0, 1, 0}));
    EXPECT_EQ(gauge.moved(), 0);
}

// Swapped as Buffer, each object keeps its block source: the plain buffer
// frees the pool's blocks straight to the system (uncounted) and the pooled
// one hands the plain buffer's blocks to the pool, which has no room and
// frees them (counted). Swapped as PoolBuffer, the pools move with the
// blocks and every count comes back even.
TEST(PoolBuffer, SwapsSettleWithThePoolsAndTheGauge) {
    std::vector<char> bytes(3 * BlockSize, 'y');
    PoolBufferPool pool(0);
    GaugeWatch gauge;
    {
        PoolBuffer pooled(&pool);
        pooled.append(bytes.data(), 2 * BlockSize);
        pooled.spare0 = 1;
        Buffer plain;
        plain.append(bytes.data(), 3 * BlockSize);
        EXPECT_EQ(gauge.moved(), 2);
        pooled.swap(static_cast<Buffer&>(plain));
        EXPECT_EQ(pooled.pool(), &pool);
        EXPECT_EQ(pooled.size(), 3 * BlockSize);
        EXPECT_EQ(plain.size(), 2 * BlockSize);
        EXPECT_EQ(plain.spare0, 1u);
    }
    EXPECT_EQ(usageOf(pool), (Usage{-1, 0, 0, 2, 3, 0}));
    EXPECT_EQ(gauge.moved(), -1);

    pool.setCapacity(1);
    pool.setCapacity(0);
    GaugeWatch second;
    {
        PoolBuffer pooled(&pool);
        pooled.append(bytes.data(), 2 * BlockSize);
        PoolBuffer unpooled;
        unpooled.append(bytes.data(), 3 * BlockSize);
        pooled.swap(unpooled);
        EXPECT_EQ(pooled.pool(), nullptr);
        EXPECT_EQ(unpooled.pool(), &pool);
    }
    EXPECT_EQ(usageOf(pool), (Usage{0, 0, 0, 2, 2, 0}));
    EXPECT_EQ(second.moved(), 0);
}

}  // namespace
}  // namespace kwCore
