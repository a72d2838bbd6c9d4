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

TEST(PoolBufferPool, WithoutCapacityEveryBlockGoesToTheSystem) {
    PoolBufferPool pool(0);
    GaugeWatch gauge;
    void* a = pool.allocateBlock();
    void* b = pool.allocateBlock();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(gauge.moved(), 2);
    pool.releaseBlock(a);
    pool.releaseBlock(b);
    EXPECT_EQ(gauge.moved(), 0);
    EXPECT_EQ(usageOf(pool), (Usage{0, 0, 0, 2, 2, 0}));
}

TEST(PoolBufferPool, CachesUpToCapacityAndReusesLastInFirstOut) {
    PoolBufferPool pool(2);
    GaugeWatch gauge;
    void* b1 = pool.allocateBlock();
    void* b2 = pool.allocateBlock();
    void* b3 = pool.allocateBlock();
    EXPECT_EQ(gauge.moved(), 3);
    EXPECT_EQ(usageOf(pool), (Usage{3, 2, 0, 3, 0, 0}));
    pool.releaseBlock(b1);
    pool.releaseBlock(b2);
    pool.releaseBlock(b3);
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
    const Usage before = usageOf(pool);
    EXPECT_EQ(before, (Usage{1, 4, 1, 2, 1, 0}));

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
    EXPECT_EQ(gauge.moved(), 8);

    void* a = pool.allocateBlock();
    void* b = pool.allocateBlock();
    pool.setCapacity(8);  // the same capacity: cache and counts stay
    EXPECT_EQ(usageOf(pool), (Usage{2, 8, 6, 10, 8, 2}));
    pool.prefill();
    EXPECT_EQ(usageOf(pool), (Usage{2, 8, 8, 12, 10, 2}));
    EXPECT_EQ(gauge.moved(), 10);
    pool.prefill();
    EXPECT_EQ(usageOf(pool), (Usage{2, 8, 8, 12, 10, 2}));

    pool.trim();
    EXPECT_EQ(usageOf(pool), (Usage{2, 8, 0, 12, 10, 2}));
    EXPECT_EQ(gauge.moved(), 10);
    pool.releaseBlock(a);
    pool.releaseBlock(b);
    EXPECT_EQ(usageOf(pool).cached, 2);
}

TEST(DirectBlockPool, CountsWithoutCaching) {
    DirectBlockPool pool;
    GaugeWatch gauge;
    void* a = pool.allocateBlock();
    void* b = pool.allocateBlock();
    EXPECT_EQ(gauge.moved(), 2);
    pool.releaseBlock(a);
    EXPECT_EQ(gauge.moved(), 1);
    pool.prefill();
    pool.trim();
    EXPECT_EQ(usageOf(pool), (Usage{1, 0, 0, 2, 1, 0}));
    pool.setCapacity(100);
    EXPECT_EQ(usageOf(pool), (Usage{0, 0, 0, 0, 0, 0}));
    pool.releaseBlock(b);
    EXPECT_EQ(usageOf(pool), (Usage{-1, 0, 0, 0, 1, 0}));
    EXPECT_EQ(gauge.moved(), 0);
}

TEST(PoolBuffer, BlocksComeFromThePoolAndReturnOnClearAndDestruction) {
    PoolBufferPool pool(4);
    GaugeWatch gauge;
    std::vector<char> bytes(3 * BlockSize, 'x');
    {
        PoolBuffer buffer(&pool);
        buffer.append(bytes.data(), 3 * BlockSize);
        EXPECT_EQ(usageOf(pool).outstanding, 3);
        buffer.clear();
        EXPECT_EQ(usageOf(pool), (Usage{0, 4, 3, 3, 3, 0}));
        buffer.append(bytes.data(), 2 * BlockSize + 1);
        EXPECT_EQ(usageOf(pool), (Usage{3, 4, 0, 6, 3, 3}));
    }
    EXPECT_EQ(usageOf(pool), (Usage{0, 4, 3, 6, 6, 3}));
    EXPECT_EQ(gauge.moved(), 3);
}

// Swapped as Buffer, each object keeps its block source: the plain buffer
// frees the pool's blocks straight to the system (uncounted) and the pooled
// one hands the plain buffer's blocks to the pool. Swapped as PoolBuffer,
// the pools move with the blocks and every count comes back even.
TEST(PoolBuffer, SwapsSettleWithThePoolsAndTheGauge) {
    std::vector<char> bytes(3 * BlockSize, 'y');
    PoolBufferPool pool(0);
    GaugeWatch gauge;
    {
        PoolBuffer pooled(&pool);
        pooled.append(bytes.data(), 2 * BlockSize);
        Buffer plain;
        plain.append(bytes.data(), 3 * BlockSize);
        EXPECT_EQ(gauge.moved(), 2);
        pooled.swap(static_cast<Buffer&>(plain));
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
