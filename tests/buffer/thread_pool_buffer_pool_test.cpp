#include "buffer/thread_pool_buffer_pool.h"

#include <gtest/gtest.h>

#include <new>

#include "pool_test_support.h"

namespace kwCore {
namespace {

using testutil::GaugeWatch;
using testutil::onThread;
using testutil::Usage;
using testutil::usageOf;

TEST(ThreadPoolBufferPool, EachThreadReusesItsOwnCacheLastInFirstOut) {
    ThreadPoolBufferPool pool(2);
    GaugeWatch gauge;
    void* b1 = pool.allocateBlock();
    void* b2 = pool.allocateBlock();
    void* b3 = pool.allocateBlock();
    pool.releaseBlock(b1);
    pool.releaseBlock(b2);
    pool.releaseBlock(b3);
    EXPECT_EQ(gauge.moved(), 2);

    onThread([&] {  // another thread starts with its own, empty cache
        void* other = pool.allocateBlock();
        EXPECT_TRUE(other != b1 && other != b2);
        pool.releaseBlock(other);
    });
    EXPECT_EQ(usageOf(pool), (Usage{0, 4, 3, 4, 4, 0}));
    EXPECT_EQ(pool.allocateBlock(), b2);
    EXPECT_EQ(pool.allocateBlock(), b1);
    EXPECT_EQ(usageOf(pool), (Usage{2, 4, 1, 6, 4, 2}));
    pool.releaseBlock(b1);
    pool.releaseBlock(b2);
}

TEST(ThreadPoolBufferPool, ABlockGoesToTheCacheOfTheThreadThatReleasesIt) {
    ThreadPoolBufferPool pool(4);
    void* fromMain = pool.allocateBlock();
    GaugeWatch gauge;
    onThread([&] {
        pool.releaseBlock(pool.allocateBlock());  // now this thread has a cache
        pool.releaseBlock(fromMain);
        EXPECT_EQ(pool.allocateBlock(), fromMain);
        pool.releaseBlock(fromMain);
    });
    EXPECT_EQ(gauge.moved(), 1);
    EXPECT_EQ(usageOf(pool), (Usage{0, 8, 2, 3, 3, 1}));

    // A thread that never allocated from the pool has no cache: its block
    // goes straight back to the system.
    void* stray = pool.allocateBlock();
    onThread([&] { pool.releaseBlock(stray); });
    EXPECT_EQ(gauge.moved(), 1);
    EXPECT_EQ(usageOf(pool), (Usage{1, 8, 2, 4, 3, 1}));
}

TEST(ThreadPoolBufferPool, PrefillFillsTheCallersCacheAndTrimEmptiesAll) {
    ThreadPoolBufferPool pool(4);
    GaugeWatch gauge;
    onThread([&] { pool.prefill(); });
    pool.releaseBlock(pool.allocateBlock());
    EXPECT_EQ(usageOf(pool), (Usage{0, 8, 5, 5, 5, 0}));
    pool.prefill();
    EXPECT_EQ(usageOf(pool), (Usage{0, 8, 8, 8, 8, 0}));
    pool.trim();
    EXPECT_EQ(usageOf(pool), (Usage{0, 8, 0, 8, 8, 0}));
    EXPECT_EQ(gauge.moved(), 8);
}

TEST(ThreadPoolBufferPool, SetCapacityAndDisableDiscardEveryCache) {
    ThreadPoolBufferPool pool(4);
    void* held = pool.allocateBlock();
    pool.releaseBlock(pool.allocateBlock());
    onThread([&] { pool.releaseBlock(pool.allocateBlock()); });
    EXPECT_EQ(usageOf(pool), (Usage{1, 8, 2, 3, 2, 0}));

    GaugeWatch gauge;
    pool.setCapacity(4);  // the same value still discards
    EXPECT_EQ(usageOf(pool), Usage{});
    EXPECT_EQ(gauge.moved(), 0);

    // This thread used the pool before: it starts again with a new, empty
    // cache rather than the one discarded.
    pool.releaseBlock(held);
    EXPECT_EQ(gauge.moved(), -1);
    pool.releaseBlock(pool.allocateBlock());
    EXPECT_EQ(usageOf(pool), (Usage{0, 4, 1, 1, 1, 0}));
    EXPECT_THROW(pool.setCapacity(1 << 30), std::bad_alloc);
    EXPECT_EQ(usageOf(pool), (Usage{0, 4, 1, 1, 1, 0}));

    pool.disable();  // pooling off: straight to the system, nothing counted
    GaugeWatch off;
    void* block = pool.allocateBlock();
    EXPECT_EQ(off.moved(), 1);
    pool.prefill();
    pool.releaseBlock(block);
    EXPECT_EQ(off.moved(), 0);
    EXPECT_EQ(usageOf(pool), Usage{});
}

}  // namespace
}  // namespace kwCore
