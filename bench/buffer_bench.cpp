// Block pools against malloc/free of a block and against a pool that asks
// the system every time; the per-thread pool on one thread against two; and
// filling buffers in 4 KiB pieces against std::vector<char>.
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "buffer/buffer.h"
#include "buffer/direct_block_pool.h"
#include "buffer/pool_buffer_pool.h"
#include "buffer/thread_pool_buffer_pool.h"

namespace {

using kwCore::BlockSize;

// One allocate-and-release pair per iteration.

template <typename Pool>
void poolPair(benchmark::State& state) {
    Pool pool;
    for (auto _ : state) {
        void* block = pool.allocateBlock();
        benchmark::DoNotOptimize(block);
        pool.releaseBlock(block);
    }
}

void mallocPair(benchmark::State& state) {
    for (auto _ : state) {
        void* block = std::malloc(BlockSize);
        benchmark::DoNotOptimize(block);
        std::free(block);
    }
}

// Two threads at once: each iteration makes pairsPerIteration pairs on one
// thread, or the same number split between two threads that run together, so
// the ratio of the wall-clock times is the gain in throughput.

constexpr int pairsPerIteration = 1 << 20;

void makePairs(kwCore::PoolBufferPoolBase& pool, int count) {
    for (int i = 0; i < count; ++i) {
        void* block = pool.allocateBlock();
        benchmark::DoNotOptimize(block);
        pool.releaseBlock(block);
    }
}

template <int ThreadCount>
void threadPoolPairsOnThreads(benchmark::State& state) {
    kwCore::ThreadPoolBufferPool pool;
    const int share = pairsPerIteration / ThreadCount;
    // Helper threads wait for the next round to be announced, run their
    // share beside the benchmark's own thread, then report. A mutex and
    // condition variables carry the rounds: std::atomic's wait and notify
    // hung the Windows build (mingw-w64's run-time, under Wine).
    std::mutex mutex;
    std::condition_variable announced;
    std::condition_variable reported;
    int round = 0;
    int finished = 0;
    bool stop = false;
    std::vector<std::thread> helpers;
    for (int t = 1; t < ThreadCount; ++t) {
        helpers.emplace_back([&] {
            for (int seen = 0;;) {
                {
                    std::unique_lock lock(mutex);
                    announced.wait(lock, [&] { return stop || round != seen; });
                    if (stop) {
                        return;
                    }
                    seen = round;
                }
                makePairs(pool, share);
                {
                    std::lock_guard lock(mutex);
                    ++finished;
                }
                reported.notify_one();
            }
        });
    }
    int expected = 0;
    for (auto _ : state) {
        {
            std::lock_guard lock(mutex);
            ++round;
        }
        announced.notify_all();
        makePairs(pool, share);
        expected += ThreadCount - 1;
        std::unique_lock lock(mutex);
        reported.wait(lock, [&] { return finished == expected; });
    }
    {
        std::lock_guard lock(mutex);
        stop = true;
    }
    announced.notify_all();
    for (auto& helper : helpers) {
        helper.join();
    }
    state.SetItemsProcessed(state.iterations() * pairsPerIteration);
}

// Filling 256 MiB in 4 KiB pieces.

constexpr int64_t fillBytes = int64_t{256} << 20;

const char* piece() {
    static const std::vector<char> bytes(4096, 'k');
    return bytes.data();
}

void fillBuffer(kwCore::Buffer& buffer, int32_t pieceSize) {
    for (int64_t filled = 0; filled < fillBytes; filled += pieceSize) {
        buffer.append(piece(), pieceSize);
    }
}

void fillVector(std::vector<char>& vector, int32_t pieceSize) {
    for (int64_t filled = 0; filled < fillBytes; filled += pieceSize) {
        vector.insert(vector.end(), piece(), piece() + pieceSize);
    }
}

void bufferFromEmpty(benchmark::State& state) {
    const auto pieceSize = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        kwCore::Buffer buffer;
        fillBuffer(buffer, pieceSize);
        benchmark::DoNotOptimize(buffer.size());
    }
    state.SetBytesProcessed(state.iterations() * fillBytes);
}

void vectorFromEmpty(benchmark::State& state) {
    const auto pieceSize = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        std::vector<char> vector;
        fillVector(vector, pieceSize);
        benchmark::DoNotOptimize(vector.data());
    }
    state.SetBytesProcessed(state.iterations() * fillBytes);
}

void poolBufferRefill(benchmark::State& state) {
    const auto pieceSize = static_cast<int32_t>(state.range(0));
    kwCore::PoolBufferPool pool(static_cast<int32_t>(fillBytes / BlockSize));
    kwCore::PoolBuffer buffer(&pool);
    fillBuffer(buffer, pieceSize);  // warms the pool
    for (auto _ : state) {
        buffer.clear();
        fillBuffer(buffer, pieceSize);
        benchmark::DoNotOptimize(buffer.size());
    }
    state.SetBytesProcessed(state.iterations() * fillBytes);
}

void vectorRefill(benchmark::State& state) {
    const auto pieceSize = static_cast<int32_t>(state.range(0));
    std::vector<char> vector;
    fillVector(vector, pieceSize);
    for (auto _ : state) {
        vector.clear();
        fillVector(vector, pieceSize);
        benchmark::DoNotOptimize(vector.data());
    }
    state.SetBytesProcessed(state.iterations() * fillBytes);
}

}  // namespace

BENCHMARK(poolPair<kwCore::ThreadPoolBufferPool>)->Name("BM_BlockPair/threadPool");
BENCHMARK(mallocPair)->Name("BM_BlockPair/malloc");
BENCHMARK(poolPair<kwCore::DirectBlockPool>)->Name("BM_BlockPair/directPool");

BENCHMARK(poolPair<kwCore::PoolBufferPool>)->Name("BM_SharedPoolPair/pool");
BENCHMARK(mallocPair)->Name("BM_SharedPoolPair/malloc");
BENCHMARK(poolPair<kwCore::DirectBlockPool>)->Name("BM_SharedPoolPair/directPool");

BENCHMARK(threadPoolPairsOnThreads<2>)->Name("BM_ThreadPoolPairs/twoThreads")->UseRealTime();
BENCHMARK(threadPoolPairsOnThreads<1>)->Name("BM_ThreadPoolPairs/oneThread")->UseRealTime();
// The processor time of all threads for the same work: equal times mean the
// two threads cost each other nothing, so on two free cores the throughput
// doubles. On a shared machine this is steadier than the wall clock above.
BENCHMARK(threadPoolPairsOnThreads<2>)
    ->Name("BM_ThreadPoolPairsCpu/twoThreads")
    ->MeasureProcessCPUTime();
BENCHMARK(threadPoolPairsOnThreads<1>)
    ->Name("BM_ThreadPoolPairsCpu/oneThread")
    ->MeasureProcessCPUTime();

BENCHMARK(bufferFromEmpty)
    ->Name("BM_Append256MiB/buffer")
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(vectorFromEmpty)
    ->Name("BM_Append256MiB/vector")
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(poolBufferRefill)
    ->Name("BM_Refill256MiB/poolBuffer")
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(vectorRefill)->Name("BM_Refill256MiB/vector")->Arg(4096)->Unit(benchmark::kMillisecond);
