// Copy throughput of fastCopy against memcpy, from one byte to well beyond
// the caches. A short copy takes a few nanoseconds, too little for one timed
// call to resolve, so every iteration copies a batch of about a microsecond's
// worth, through a ring of source and destination offsets of different
// alignments spread over several cache lines. Both implementations copy the
// same batches between the same addresses: the distance between source and
// destination changes memcpy's speed by a fifth at some sizes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime/fast_copy.h"

namespace {

constexpr size_t kLargestCopy = size_t{64} << 20;
// kRing is how many source and destination offsets a batch cycles through.
constexpr size_t kRing = 16;
// kBatchBytes sets the batch: about this many bytes, plus an allowance of
// 64 bytes a copy for its fixed cost, make a microsecond's work.
constexpr size_t kBatchBytes = 32 << 10;

// kRingSpan is the window the ring's offsets lie in; kRingSpare the room
// beyond the largest copy for its offsets.
constexpr size_t kRingSpan = 64 << 10;
constexpr size_t kRingSpare = 4096;

// CopyBuffers holds one source and one destination buffer for every copy.
struct CopyBuffers {
    std::vector<unsigned char> source = std::vector<unsigned char>(kLargestCopy + kRingSpare, 0x5A);
    std::vector<unsigned char> destination =
        std::vector<unsigned char>(kLargestCopy + kRingSpare, 0);
};

CopyBuffers& copyBuffers() {
    static CopyBuffers buffers;
    return buffers;
}

// CopyRing is where a batch's copies go: copy i of a batch copies from
// source + from[i % kRing] to destination + to[i % kRing]. The entries lie
// apart by the copy's length rounded up to whole cache lines, within a
// window of kRingSpan bytes (larger copies overlap each other), each at
// another offset within its line on either side.
struct CopyRing {
    std::array<size_t, kRing> from{};
    std::array<size_t, kRing> to{};
    size_t copies = 1;

    explicit CopyRing(size_t count) {
        const size_t stride = (count + 127) / 64 * 64;
        const size_t span = std::min(kRingSpan, kLargestCopy + kRingSpare - count - 64);
        for (size_t i = 0; i < kRing; ++i) {
            from[i] = (i * stride) % span + (i * 7) % 64;
            to[i] = (i * stride) % span + (i * 13) % 64;
        }
        copies = std::max<size_t>(1, kBatchBytes / (count + 64));
    }
};

template <void (*Copy)(void*, const void*, size_t)>
void copyBytes(benchmark::State& state) {
    const auto count = static_cast<size_t>(state.range(0));
    CopyBuffers& buffers = copyBuffers();
    const CopyRing ring(count);
    unsigned char* const destination = buffers.destination.data();
    const unsigned char* const source = buffers.source.data();
    for (auto _ : state) {
        for (size_t i = 0; i < ring.copies; ++i) {
            const size_t slot = i % kRing;
            Copy(destination + ring.to[slot], source + ring.from[slot], count);
            benchmark::ClobberMemory();
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(ring.copies) * static_cast<int64_t>(count));
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
    for (int64_t size :
         {1,       2,        3,        4,        7,        8,         15,      16,
          17,      32,       33,       64,       100,      128,       200,     256,
          257,     512,      4 << 10,  8 << 10,  64 << 10, 256 << 10, 1 << 20, 4 << 20,
          8 << 20, 12 << 20, 14 << 20, 16 << 20, 64 << 20}) {
        b->Arg(size);
    }
}

}  // namespace

BENCHMARK(copyBytes<viaFastCopy>)->Name("BM_Copy/fastCopy")->Apply(copySizes);
BENCHMARK(copyBytes<viaMemcpy>)->Name("BM_Copy/memcpy")->Apply(copySizes);
