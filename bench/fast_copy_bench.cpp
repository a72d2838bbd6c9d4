// Copy throughput of fastCopy against memcpy, each copying the same pair of
// buffers over and over, from a few bytes to well beyond the caches.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime/fast_copy.h"

namespace {

constexpr size_t kLargestCopy = size_t{64} << 20;

// CopyBuffers holds one source and one destination buffer for every copy, so
// both implementations copy between the same addresses: the distance between
// source and destination changes memcpy's speed by a fifth at some sizes.
struct CopyBuffers {
    std::vector<unsigned char> source = std::vector<unsigned char>(kLargestCopy, 0x5A);
    std::vector<unsigned char> destination = std::vector<unsigned char>(kLargestCopy, 0);
};

CopyBuffers& copyBuffers() {
    static CopyBuffers buffers;
    return buffers;
}

template <void (*Copy)(void*, const void*, size_t)>
void copyBytes(benchmark::State& state) {
    const auto count = static_cast<size_t>(state.range(0));
    CopyBuffers& buffers = copyBuffers();
    for (auto _ : state) {
        Copy(buffers.destination.data(), buffers.source.data(), count);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(count));
}

void viaFastCopy(void* d, const void* s, size_t n) {
    kwCore::fastCopy(d, s, n);
}
void viaMemcpy(void* d, const void* s, size_t n) {
    std::memcpy(d, s, n);
}

void copySizes(benchmark::internal::Benchmark* b) {
    static_assert(kLargestCopy == 64 << 20);
    // The short sizes sit at the edges of the inline methods.
    for (int64_t size : {8, 16, 32, 64, 128, 256, 512, 4 << 10, 8 << 10, 64 << 10, 256 << 10,
                         1 << 20, 16 << 20, 64 << 20}) {
        b->Arg(size);
    }
}

}  // namespace

BENCHMARK(copyBytes<viaFastCopy>)->Name("BM_Copy/fastCopy")->Apply(copySizes);
BENCHMARK(copyBytes<viaMemcpy>)->Name("BM_Copy/memcpy")->Apply(copySizes);
