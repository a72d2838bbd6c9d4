#include "stream/crc64_methods.h"

// Only for x86-64: elsewhere crc64_folded.cpp stands in for every width.
#if defined(__x86_64__)
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

namespace kwCore::detail {

bool crc64FoldedWidestAvailable() noexcept {
    return crc64FoldedWideAvailable() && __builtin_cpu_supports("avx512f");
}

// The functions from here on are compiled for the processor features
// this method needs, with GCC and with clang alike.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("pclmul,sse4.1,avx2,avx512f,vpclmulqdq"))), \
                             apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("pclmul,sse4.1,avx2,avx512f,vpclmulqdq")
#endif
// The compiler's own AVX-512 intrinsics start from a deliberately undefined
// value, which it then takes for uninitialized.
#if !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
}  // namespace kwCore::detail

#include "stream/crc64_fold.h"

namespace kwCore::detail {
namespace {

struct Zmm {
    using Vector = __m512i;
    static constexpr size_t kBlocks = 4;
    static KWCORE_INLINE Vector load(const unsigned char* p) { return _mm512_loadu_si512(p); }
    static KWCORE_INLINE Vector broadcast(const uint64_t pair[2]) {
        return _mm512_broadcast_i32x4(loadPair(pair));
    }
    static KWCORE_INLINE Vector withCrc(Vector v, uint64_t crc) {
        return _mm512_xor_si512(v,
                                _mm512_set_epi64(0, 0, 0, 0, 0, 0, 0, static_cast<long long>(crc)));
    }
    static KWCORE_INLINE Vector fold(Vector x, Vector k, Vector next) {
        // 0x96: the exclusive or of all three.
        return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(x, k, 0x00),
                                         _mm512_clmulepi64_epi128(x, k, 0x11), next, 0x96);
    }
    static KWCORE_INLINE __m128i oneBlock(Vector x, const uint64_t* k128) {
        const __m128i k = loadPair(k128);
        __m128i y = foldBlock(_mm512_castsi512_si128(x), k, _mm512_extracti32x4_epi32(x, 1));
        y = foldBlock(y, k, _mm512_extracti32x4_epi32(x, 2));
        return foldBlock(y, k, _mm512_extracti32x4_epi32(x, 3));
    }
};

}  // namespace

uint64_t crc64FoldedWidest(uint64_t crc, const unsigned char* data, size_t length) noexcept {
    const Crc64FoldConstants& c = crc64FoldConstants();
    return foldedFrom<Zmm>(crc, data, length, c.fold2048, c.fold512);
}

#if !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

}  // namespace kwCore::detail

#endif
