#include "stream/crc64_methods.h"

// Only for x86-64: elsewhere crc64_folded.cpp stands in for every width.
#if defined(__x86_64__)
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

namespace kwCore::detail {

bool crc64FoldedWideAvailable() noexcept {
    return crc64FoldedAvailable() && __builtin_cpu_supports("avx2") &&
           __builtin_cpu_supports("vpclmulqdq");
}

// The functions from here on are compiled for the processor features
// this method needs, with GCC and with clang alike.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("pclmul,sse4.1,avx2,vpclmulqdq"))), \
                             apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("pclmul,sse4.1,avx2,vpclmulqdq")
#endif
}  // namespace kwCore::detail

#include "stream/crc64_fold.h"

namespace kwCore::detail {
namespace {

struct Ymm {
    using Vector = __m256i;
    static constexpr size_t kBlocks = 2;
    static KWCORE_INLINE Vector load(const unsigned char* p) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    static KWCORE_INLINE Vector broadcast(const uint64_t pair[2]) {
        return _mm256_broadcastsi128_si256(loadPair(pair));
    }
    static KWCORE_INLINE Vector withCrc(Vector v, uint64_t crc) {
        return _mm256_xor_si256(v, _mm256_set_epi64x(0, 0, 0, static_cast<long long>(crc)));
    }
    static KWCORE_INLINE Vector fold(Vector x, Vector k, Vector next) {
        return _mm256_xor_si256(_mm256_xor_si256(_mm256_clmulepi64_epi128(x, k, 0x00),
                                                 _mm256_clmulepi64_epi128(x, k, 0x11)),
                                next);
    }
    // oneBlock folds the register's blocks onto its last one (k128: the
    // constants for one block's distance).
    static KWCORE_INLINE __m128i oneBlock(Vector x, const uint64_t* k128) {
        return foldBlock(_mm256_castsi256_si128(x), loadPair(k128), _mm256_extracti128_si256(x, 1));
    }
};

}  // namespace

uint64_t crc64FoldedWide(uint64_t crc, const unsigned char* data, size_t length) noexcept {
    const Crc64FoldConstants& c = crc64FoldConstants();
    return foldedFrom<Ymm>(crc, data, length, c.fold1024, c.fold256);
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

}  // namespace kwCore::detail

#endif
