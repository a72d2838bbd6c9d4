#pragma once

// A small stand-in for Google Benchmark, for builds that have no build of
// it (the mingw-w64 tree): the part of its interface that bench/ uses, the
// same command-line flags and the same JSON results, so that scripts/bench
// reads both alike. It times by the wall clock only: cpu_time reports the
// same figure as real_time.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace benchmark {

// TimeUnit is the unit a benchmark's times are reported in.
enum TimeUnit { kNanosecond, kMicrosecond, kMillisecond, kSecond };

// DoNotOptimize makes the compiler assume value is read (and, for an lvalue,
// changed) here, so the work that produced it stays.
template <class T>
inline __attribute__((always_inline)) void DoNotOptimize(const T& value) {
    asm volatile("" : : "r,m"(value) : "memory");
}
template <class T>
inline __attribute__((always_inline)) void DoNotOptimize(T& value) {
    asm volatile("" : "+r,m"(value) : : "memory");
}

// ClobberMemory makes the compiler assume all memory is read and written here.
inline __attribute__((always_inline)) void ClobberMemory() {
    asm volatile("" : : : "memory");
}

// State is one run of a benchmark: its arguments, and the loop to time.
class State {
  public:
    State(std::vector<int64_t> arguments, int64_t iterations)
        : arguments_(std::move(arguments)), iterations_(iterations) {}

    int64_t range(size_t index = 0) const { return arguments_.at(index); }
    int64_t iterations() const { return iterations_; }
    void SetBytesProcessed(int64_t bytes) { bytes_ = bytes; }
    void SetItemsProcessed(int64_t items) { items_ = items; }
    // SkipWithError ends the loop and reports message instead of a time.
    void SkipWithError(const char* message) {
        error_ = message;
        remaining_ = 0;
    }

    // Value is what the loop hands out each turn; it carries nothing.
    struct Value {
        ~Value() {}
    };
    // Iterator counts the turns down; the clock runs from the first turn
    // until the count reaches zero.
    class Iterator {
      public:
        explicit Iterator(State* state) : state_(state) {}
        Value operator*() const { return {}; }
        Iterator& operator++() {
            --state_->remaining_;
            return *this;
        }
        bool operator!=(const Iterator&) const {
            if (state_->remaining_ > 0) {
                return true;
            }
            state_->stopClock();
            return false;
        }

      private:
        State* state_;
    };
    Iterator begin();
    Iterator end() { return Iterator(this); }

    // seconds is the time the loop took; bytes, items and error as set.
    double seconds() const { return seconds_; }
    int64_t bytes() const { return bytes_; }
    int64_t items() const { return items_; }
    const std::string& error() const { return error_; }

  private:
    void stopClock();

    std::vector<int64_t> arguments_;
    int64_t iterations_;
    int64_t remaining_ = 0;
    int64_t bytes_ = 0;
    int64_t items_ = 0;
    int64_t startNanoseconds_ = 0;
    bool running_ = false;
    double seconds_ = 0;
    std::string error_;
};

namespace internal {

// Benchmark is one registered family: a function, its name and its
// argument lists, each list one instance.
class Benchmark {
  public:
    Benchmark(std::string name, std::function<void(State&)> function)
        : name_(std::move(name)), function_(std::move(function)) {}

    Benchmark* Name(const std::string& name) {
        name_ = name;
        return this;
    }
    Benchmark* Arg(int64_t argument) {
        arguments_.push_back({argument});
        return this;
    }
    Benchmark* Apply(void (*apply)(Benchmark*)) {
        apply(this);
        return this;
    }
    Benchmark* Unit(TimeUnit unit) {
        unit_ = unit;
        return this;
    }
    Benchmark* UseRealTime() {
        realTime_ = true;
        return this;
    }
    Benchmark* MeasureProcessCPUTime() {
        processTime_ = true;
        return this;
    }

    const std::string& name() const { return name_; }
    const std::vector<std::vector<int64_t>>& arguments() const { return arguments_; }
    TimeUnit unit() const { return unit_; }
    bool realTime() const { return realTime_; }
    bool processTime() const { return processTime_; }
    void run(State& state) const { function_(state); }

  private:
    std::string name_;
    std::function<void(State&)> function_;
    std::vector<std::vector<int64_t>> arguments_;
    TimeUnit unit_ = kNanosecond;
    bool realTime_ = false;
    bool processTime_ = false;
};

// registerBenchmark keeps a family for the run, in registration order.
Benchmark* registerBenchmark(const char* name, void (*function)(State&));

}  // namespace internal

}  // namespace benchmark

#define KWBENCH_CONCAT2(a, b) a##b
#define KWBENCH_CONCAT(a, b) KWBENCH_CONCAT2(a, b)
// BENCHMARK registers a benchmark function; the calls chained on it set its
// name, arguments and clock.
#define BENCHMARK(...)                                                                          \
    [[maybe_unused]] static ::benchmark::internal::Benchmark* KWBENCH_CONCAT(kwbenchRegistered, \
                                                                             __LINE__) =        \
        ::benchmark::internal::registerBenchmark(#__VA_ARGS__, __VA_ARGS__)
