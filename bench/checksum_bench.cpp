// Checksum throughput: each checksum stream against the routine it is
// measured by (OpenSSL's MD5 where the build has OpenSSL, zlib called directly, and for CRC-64 the
// plain one-byte-at-a-time table loop and the library's own sixteen-bytes-a-step table method,
// which the processor's carry-less multiplication replaced), over the same buffers.
#include <benchmark/benchmark.h>
#include <zlib.h>
#if KWCORE_BENCH_OPENSSL
#include <openssl/md5.h>
#endif

#include <cstdint>
#include <vector>

#include "stream/adler32_stream.h"
#include "stream/crc32_stream.h"
#include "stream/crc64_methods.h"
#include "stream/crc64_stream.h"
#include "stream/md5_stream.h"

namespace {

constexpr size_t kLargest = size_t{1} << 20;

const std::vector<unsigned char>& input() {
    static const std::vector<unsigned char> data = [] {
        std::vector<unsigned char> bytes(kLargest);
        uint32_t x = 12345;
        for (auto& byte : bytes) {
            x = x * 1103515245 + 12345;
            byte = static_cast<unsigned char>(x >> 24);
        }
        return bytes;
    }();
    return data;
}

template <class Sink>
void sumThroughStream(benchmark::State& state) {
    const auto count = static_cast<int64_t>(state.range(0));
    const unsigned char* data = input().data();
    Sink sink;
    for (auto _ : state) {
        sink.write(data, count);
        benchmark::DoNotOptimize(sink);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * count);
}

template <class Sum>
void sumDirectly(benchmark::State& state) {
    const auto count = static_cast<size_t>(state.range(0));
    const unsigned char* data = input().data();
    Sum sum;
    for (auto _ : state) {
        sum.feed(data, count);
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(count));
}

struct ZlibAdler32 {
    uLong value = 1;
    void feed(const unsigned char* data, size_t count) {
        value = adler32(value, data, static_cast<uInt>(count));
    }
};

struct ZlibCrc32 {
    uLong value = 0;
    void feed(const unsigned char* data, size_t count) {
        value = crc32(value, data, static_cast<uInt>(count));
    }
};

#if KWCORE_BENCH_OPENSSL
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
struct OpenSslMd5 {
    MD5_CTX context;
    OpenSslMd5() { MD5_Init(&context); }
    void feed(const unsigned char* data, size_t count) { MD5_Update(&context, data, count); }
};
#pragma GCC diagnostic pop
#endif

// ByteTableCrc64 is the CRC-64 one table lookup per byte, each step waiting
// for the last: the baseline the stream's CRC-64 is measured against.
struct ByteTableCrc64 {
    uint64_t table[256];
    uint64_t value = 0;
    ByteTableCrc64() {
        for (uint64_t i = 0; i < 256; ++i) {
            uint64_t c = i;
            for (int bit = 0; bit < 8; ++bit) {
                c = (c & 1) ? (c >> 1) ^ 0x95AC9329AC4BC9B5ull : c >> 1;
            }
            table[i] = c;
        }
    }
    void feed(const unsigned char* data, size_t count) {
        uint64_t crc = value;
        for (size_t i = 0; i < count; ++i) {
            crc = (crc >> 8) ^ table[(crc ^ data[i]) & 0xFF];
        }
        value = crc;
    }
};

// SlicedTableCrc64 is the CRC-64 by the library's table method, sixteen
// lookups a step.
struct SlicedTableCrc64 {
    uint64_t value = 0;
    SlicedTableCrc64() { kwCore::detail::crc64EnsureTables(); }
    void feed(const unsigned char* data, size_t count) {
        value = kwCore::detail::crc64ByTables(value, data, count);
    }
};

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(4096)->Arg(kLargest);
}

void crcSizes(benchmark::internal::Benchmark* b) {
    b->Arg(64)->Arg(4096)->Arg(kLargest);
}

}  // namespace

#if KWCORE_BENCH_OPENSSL
BENCHMARK(sumThroughStream<kwCore::Md5Stream>)->Name("BM_Md5/Md5Stream")->Arg(kLargest);
BENCHMARK(sumDirectly<OpenSslMd5>)->Name("BM_Md5/OpenSSL")->Arg(kLargest);
#endif
BENCHMARK(sumThroughStream<kwCore::Adler32Stream>)->Name("BM_Adler32/Adler32Stream")->Apply(sizes);
BENCHMARK(sumDirectly<ZlibAdler32>)->Name("BM_Adler32/zlib")->Apply(sizes);
BENCHMARK(sumThroughStream<kwCore::Crc32Stream>)->Name("BM_Crc32/Crc32Stream")->Apply(sizes);
BENCHMARK(sumDirectly<ZlibCrc32>)->Name("BM_Crc32/zlib")->Apply(sizes);
BENCHMARK(sumThroughStream<kwCore::Crc64Stream>)->Name("BM_Crc64/Crc64Stream")->Apply(crcSizes);
BENCHMARK(sumDirectly<ByteTableCrc64>)->Name("BM_Crc64/byteTable")->Apply(crcSizes);
BENCHMARK(sumDirectly<SlicedTableCrc64>)->Name("BM_Crc64/sixteenTables")->Apply(crcSizes);
