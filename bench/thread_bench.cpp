// Costs of the library's locks and counters against the standard library's,
// each taken and given back by one thread (uncontended).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <mutex>

#include "thread/interlocked.h"
#include "thread/lock.h"
#include "thread/spin_lock.h"

namespace {

void lockEnterLeave(benchmark::State& state) {
    kwCore::Lock lock;
    for (auto _ : state) {
        lock.enter();
        lock.leave();
    }
}

void recursiveMutexEnterLeave(benchmark::State& state) {
    std::recursive_mutex mutex;
    for (auto _ : state) {
        mutex.lock();
        mutex.unlock();
    }
}

void spinLockAcquireRelease(benchmark::State& state) {
    kwCore::SpinLock lock;
    for (auto _ : state) {
        lock.acquire();
        lock.release();
    }
    benchmark::DoNotOptimize(lock.word);
}

// The simplest standard spin lock, for scale.
void atomicFlagAcquireRelease(benchmark::State& state) {
    std::atomic_flag flag;
    for (auto _ : state) {
        while (flag.test_and_set(std::memory_order_acquire)) {
        }
        flag.clear(std::memory_order_release);
    }
}

void atomicIncrement64(benchmark::State& state) {
    int64_t value = 0;
    for (auto _ : state) {
        kwCore::atomicIncrement64(&value);
    }
    benchmark::DoNotOptimize(value);
}

void fetchAdd64(benchmark::State& state) {
    std::atomic<int64_t> value{0};
    for (auto _ : state) {
        value.fetch_add(1);
    }
    benchmark::DoNotOptimize(value.load());
}

}  // namespace

BENCHMARK(lockEnterLeave)->Name("BM_LockEnterLeave/Lock");
BENCHMARK(recursiveMutexEnterLeave)->Name("BM_LockEnterLeave/recursive_mutex");
BENCHMARK(spinLockAcquireRelease)->Name("BM_SpinLock/SpinLock");
BENCHMARK(atomicFlagAcquireRelease)->Name("BM_SpinLock/atomic_flag");
BENCHMARK(atomicIncrement64)->Name("BM_Increment64/atomicIncrement64");
BENCHMARK(fetchAdd64)->Name("BM_Increment64/fetch_add");
