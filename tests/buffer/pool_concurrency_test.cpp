// Many threads allocate from one pool, pass blocks to each other and release
// them, while another thread reads the pool's usage. Every block carries its
// holder's mark, checked before release, so a block handed out twice shows.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "buffer/pool_buffer_pool.h"
#include "buffer/thread_pool_buffer_pool.h"
#include "pool_test_support.h"
#include "thread/lock.h"
#include "thread/lock_holder.h"
#include "thread/run_on_threads.h"
#include "thread/running_thread.h"

namespace kwCore {
namespace {

using testutil::usageOf;

constexpr int workerCount = 4;
constexpr int rounds = 1500;
constexpr int blocksPerRound = 6;

struct MarkedBlock {
    void* block;
    uint32_t mark;
};

void stamp(const MarkedBlock& held) {
    auto* words = static_cast<uint32_t*>(held.block);
    words[0] = held.mark;
    words[1023] = held.mark;
    words[2047] = held.mark;
}

bool stampIntact(const MarkedBlock& held) {
    const auto* words = static_cast<const uint32_t*>(held.block);
    return words[0] == held.mark && words[1023] == held.mark && words[2047] == held.mark;
}

struct Workload {
    Workload(PoolBufferPoolBase& pool, bool trimming) : pool(pool), trimming(trimming) {}

    PoolBufferPoolBase& pool;
    const bool trimming;  // the reader also empties the caches now and then
    std::atomic<uint32_t> nextWorker{1};
    std::atomic<bool> done{false};
    std::atomic<int> damaged{0};
    std::atomic<int> failed{0};
    Lock exchangeLock;
    std::vector<MarkedBlock> exchange;  // blocks in passage between threads

    void release(const MarkedBlock& held) {
        if (!stampIntact(held)) {
            ++damaged;
        }
        pool.releaseBlock(held.block);
    }
};

void work(void* argument) {
    auto& load = *static_cast<Workload*>(argument);
    const uint32_t worker = load.nextWorker++;
    uint32_t sequence = 0;
    std::vector<MarkedBlock> held;
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < blocksPerRound; ++i) {
            MarkedBlock fresh{load.pool.allocateBlock(), worker << 24 | (++sequence & 0xFFFFFF)};
            if (fresh.block == nullptr) {
                ++load.failed;
                continue;
            }
            stamp(fresh);
            held.push_back(fresh);
        }
        // Half goes to other threads; as many come back from the exchange.
        std::vector<MarkedBlock> taken;
        {
            LockHolder guard(load.exchangeLock);
            for (int i = 0; i < blocksPerRound / 2 && !held.empty(); ++i) {
                load.exchange.push_back(held.back());
                held.pop_back();
            }
            for (int i = 0; i < blocksPerRound / 2 && !load.exchange.empty(); ++i) {
                taken.push_back(load.exchange.front());
                load.exchange.erase(load.exchange.begin());
            }
        }
        for (const MarkedBlock& block : taken) {
            load.release(block);
        }
        while (held.size() > static_cast<size_t>(blocksPerRound)) {
            load.release(held.front());
            held.erase(held.begin());
        }
    }
    for (const MarkedBlock& block : held) {
        load.release(block);
    }
}

void readUsage(void* argument) {
    auto& load = *static_cast<Workload*>(argument);
    for (int reads = 1; !load.done; ++reads) {
        if (load.trimming && reads % 16 == 0) {
            load.pool.trim();
        }
        const testutil::Usage usage = usageOf(load.pool);
        if (usage.cached > usage.capacity || usage.cached < 0) {
            ++load.damaged;
        }
    }
}

// runWorkload runs the workers with a reader beside them, then checks that
// every block came back once and unharmed.
void runWorkload(PoolBufferPoolBase& pool, bool trimming) {
    const testutil::Usage before = usageOf(pool);
    testutil::GaugeWatch gauge;
    Workload load(pool, trimming);
    {
        RunningThread reader = startThread(readUsage, &load);
        ASSERT_TRUE(reader.isStarted());
        testutil::runOnThreads(workerCount, work, &load);
        load.done = true;
    }
    for (const MarkedBlock& block : load.exchange) {
        load.release(block);
    }
    EXPECT_EQ(load.damaged, 0);
    EXPECT_EQ(load.failed, 0);
    const testutil::Usage usage = usageOf(pool);
    EXPECT_EQ(usage.outstanding, 0);
    const uint64_t allocations = uint64_t{workerCount} * rounds * blocksPerRound;
    EXPECT_EQ(usage.allocations - before.allocations, allocations);
    EXPECT_EQ(usage.releases - before.releases, allocations);
    EXPECT_GT(usage.reuses, before.reuses);
    // Every block the pool still counts as live is in a cache, or was
    // trimmed from one (uncounted).
    if (trimming) {
        EXPECT_GE(gauge.moved(), usage.cached - before.cached);
    } else {
        EXPECT_EQ(gauge.moved(), usage.cached - before.cached);
    }
}

TEST(PoolConcurrency, PoolBufferPoolHandsEveryBlockToOneHolderAtATime) {
    PoolBufferPool pool(16);
    runWorkload(pool, false);
    runWorkload(pool, true);
}

TEST(PoolConcurrency, ThreadPoolBufferPoolHandsEveryBlockToOneHolderAtATime) {
    ThreadPoolBufferPool pool(8);
    runWorkload(pool, false);
    pool.setCapacity(8);
    runWorkload(pool, true);
    EXPECT_GE(usageOf(pool).capacity, 8 * workerCount);
    pool.trim();
    EXPECT_EQ(usageOf(pool).cached, 0);
}

}  // namespace
}  // namespace kwCore
