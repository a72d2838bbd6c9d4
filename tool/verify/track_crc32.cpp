#include "verify/track_crc32.h"

#include <zlib.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace zemtra {

namespace {

uint32_t zlibCrc32(uint32_t crc, const uint8_t* data, size_t size) noexcept {
    // zlib takes 32-bit lengths.
    while (size > 0) {
        const auto piece = static_cast<uInt>(size < (size_t{1} << 30) ? size : size_t{1} << 30);
        crc = static_cast<uint32_t>(crc32(crc, data, piece));
        data += piece;
        size -= piece;
    }
    return crc;
}

}  // namespace

namespace detail {

#if defined(__x86_64__)

bool trackCrc32FoldedAvailable() noexcept {
    __builtin_cpu_init();
    return __builtin_cpu_supports("pclmul") != 0;
}

// What follows is compiled for PCLMULQDQ, with GCC and clang alike.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("pclmul"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("pclmul")
#endif

namespace {

inline __m128i load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// fold moves x forward by the distance of k and adds next.
inline __m128i fold(__m128i x, __m128i k, __m128i next) {
    return _mm_xor_si128(
        _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

}  // namespace

// Folding: the CRC is linear, so a 128-bit block moves any distance along
// the message by two carry-less multiplications with x^(distance) mod P
// and adds onto the block found there. Four blocks fold side by side, 64
// bytes apart, then onto one; that one is folded to 64 and 32 bits and
// reduced (Barrett) to the CRC. The constants are those of the bit-reflected
// polynomial 0x104C11DB7: x^(4*128+32) and x^(4*128-32) mod P, likewise for
// one block, x^64 mod P, and P and floor(x^64 / P), all reflected.
uint32_t trackCrc32Folded(uint32_t crc, const uint8_t* data, size_t size) noexcept {
    const __m128i fourBlocks = _mm_set_epi64x(0x1c6e41596, 0x154442bd4);
    const __m128i oneBlock = _mm_set_epi64x(0x0ccaa009e, 0x1751997d0);
    const __m128i to32 = _mm_set_epi64x(0, 0x163cd6124);
    const __m128i barrett = _mm_set_epi64x(0x1F7011641, 0x1DB710641);
    const __m128i low32 = _mm_set_epi32(0, 0, 0, -1);
    const size_t blocks = size & ~size_t{15};
    const uint8_t* end = data + blocks;
    // zlib's CRC is the register's complement before and after.
    __m128i x1 = _mm_xor_si128(load(data), _mm_cvtsi32_si128(static_cast<int>(~crc)));
    __m128i x2 = load(data + 16);
    __m128i x3 = load(data + 32);
    __m128i x4 = load(data + 48);
    const uint8_t* p = data + 64;
    for (; end - p >= 64; p += 64) {
        x1 = fold(x1, fourBlocks, load(p));
        x2 = fold(x2, fourBlocks, load(p + 16));
        x3 = fold(x3, fourBlocks, load(p + 32));
        x4 = fold(x4, fourBlocks, load(p + 48));
    }
    x1 = fold(x1, oneBlock, x2);
    x1 = fold(x1, oneBlock, x3);
    x1 = fold(x1, oneBlock, x4);
    for (; p < end; p += 16) {
        x1 = fold(x1, oneBlock, load(p));
    }
    // 128 bits to 64, then to 32 with 32 zero bits appended.
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(oneBlock, x1, 0x01));
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 4),
                       _mm_clmulepi64_si128(_mm_and_si128(x1, low32), to32, 0x00));
    __m128i q = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), barrett, 0x10);
    q = _mm_clmulepi64_si128(_mm_and_si128(q, low32), barrett, 0x00);
    const uint32_t folded =
        ~static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(_mm_xor_si128(x1, q), 4)));
    return zlibCrc32(folded, end, size - blocks);
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#else

bool trackCrc32FoldedAvailable() noexcept {
    return false;
}

uint32_t trackCrc32Folded(uint32_t crc, const uint8_t* data, size_t size) noexcept {
    return zlibCrc32(crc, data, size);
}

#endif

}  // namespace detail

uint32_t trackCrc32(uint32_t crc, const uint8_t* data, size_t size) noexcept {
    static const bool folded = detail::trackCrc32FoldedAvailable();
    return folded && size >= 64 ? detail::trackCrc32Folded(crc, data, size)
                                : zlibCrc32(crc, data, size);
}

}  // namespace zemtra
