// SHA-1 throughput of Sha1Stream against OpenSSL's SHA-1 on 1 MiB inputs,
// where the build has OpenSSL.
#include <benchmark/benchmark.h>
#if KWCORE_BENCH_OPENSSL
#include <openssl/evp.h>

#include <cstdint>
#include <vector>

#include "stream/sha1_stream.h"

namespace {

const std::vector<uint8_t>& input() {
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> b(size_t{1} << 20);
        for (size_t i = 0; i < b.size(); ++i) {
            b[i] = static_cast<uint8_t>(i * 131 + (i >> 9));
        }
        return b;
    }();
    return bytes;
}

void viaSha1Stream(benchmark::State& state) {
    const auto length = static_cast<int64_t>(state.range(0));
    const uint8_t* data = input().data();
    kwCore::Sha1Stream stream;
    for (auto _ : state) {
        stream.reset();
        stream.write(data, length);
        benchmark::DoNotOptimize(stream.digest());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * length);
}

void viaOpenssl(benchmark::State& state) {
    const auto length = static_cast<size_t>(state.range(0));
    const uint8_t* data = input().data();
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    for (auto _ : state) {
        EVP_DigestInit_ex(context, EVP_sha1(), nullptr);
        EVP_DigestUpdate(context, data, length);
        EVP_DigestFinal_ex(context, digest, &size);
        benchmark::DoNotOptimize(digest);
    }
    EVP_MD_CTX_free(context);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(length));
}

}  // namespace

BENCHMARK(viaSha1Stream)->Name("BM_Sha1/Sha1Stream")->Arg(1 << 20);
BENCHMARK(viaOpenssl)->Name("BM_Sha1/openssl")->Arg(1 << 20);

#endif
