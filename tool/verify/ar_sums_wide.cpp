#include "verify/ar_sums.h"

// The 256-bit kernel exists on x86-64 only; elsewhere the portable loop runs.
#if defined(__x86_64__)

#include <immintrin.h>

namespace zemtra::detail {

bool arSumsWideAvailable() noexcept {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace {

// addHorizontal returns the sum of the four 64-bit lanes.
uint64_t addHorizontal(__m256i lanes) {
    const __m128i half =
        _mm_add_epi64(_mm256_castsi256_si128(lanes), _mm256_extracti128_si256(lanes, 1));
    return static_cast<uint64_t>(_mm_cvtsi128_si64(half)) +
           static_cast<uint64_t>(_mm_extract_epi64(half, 1));
}

}  // namespace

// Eight samples a step: the even lanes' and the odd lanes' products come
// from two 32 x 32 -> 64-bit multiplications; two independent sets of
// accumulators keep the additions from waiting on each other.
void addArSumsWide(const uint8_t* bytes, size_t count, uint32_t multiplier, ArSums& sums) noexcept {
    const __m256i lowMask = _mm256_set1_epi64x(0xFFFFFFFF);
    const __m256i step = _mm256_set1_epi32(8);
    __m256i k = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(multiplier)),
                                 _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    __m256i kOdd = _mm256_srli_epi64(k, 32);
    __m256i low = _mm256_setzero_si256();
    __m256i products = _mm256_setzero_si256();
    __m256i samples = _mm256_setzero_si256();
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i x =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i * kBytesPerSample));
        const __m256i even = _mm256_mul_epu32(x, k);
        const __m256i odd = _mm256_mul_epu32(_mm256_srli_epi64(x, 32), kOdd);
        products = _mm256_add_epi64(products, _mm256_add_epi64(even, odd));
        low = _mm256_add_epi64(
            low, _mm256_add_epi64(_mm256_and_si256(even, lowMask), _mm256_and_si256(odd, lowMask)));
        samples = _mm256_add_epi32(samples, x);
        k = _mm256_add_epi32(k, step);
        kOdd = _mm256_srli_epi64(k, 32);
    }
    sums.low += addHorizontal(low);
    sums.products += addHorizontal(products);
    alignas(32) uint32_t lanes[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), samples);
    for (const uint32_t lane : lanes) {
        sums.samples += lane;
    }
    addArSumsPortable(bytes + i * kBytesPerSample, count - i, multiplier + static_cast<uint32_t>(i),
                      sums);
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

}  // namespace zemtra::detail

#else

namespace zemtra::detail {

bool arSumsWideAvailable() noexcept {
    return false;
}

void addArSumsWide(const uint8_t* bytes, size_t count, uint32_t multiplier, ArSums& sums) noexcept {
    addArSumsPortable(bytes, count, multiplier, sums);
}

}  // namespace zemtra::detail

#endif
