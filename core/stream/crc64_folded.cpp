#include "stream/crc64_methods.h"

#if defined(__x86_64__)
#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#endif

// Folding: the CRC is linear, so a 128-bit block may be moved any distance
// further along the message by two carry-less multiplications with
// constants (crc64.cpp derives them) and added to the block found there.
// Several lanes of blocks fold side by side, each a fixed distance ahead,
// until the input runs out; then the lanes fold onto one block, which is
// reduced to the CRC. The vector widths differ only in how many blocks one
// register holds.

namespace kwCore::detail {

#if defined(__x86_64__)

bool crc64FoldedAvailable() noexcept {
    __builtin_cpu_init();
    return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
}

// The functions from here on are compiled for the processor features
// this method needs, with GCC and with clang alike.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("pclmul,sse4.1"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("pclmul,sse4.1")
#endif
}  // namespace kwCore::detail

#include "stream/crc64_fold.h"

namespace kwCore::detail {

uint64_t crc64FinishFolded(__m128i x, const unsigned char* data, size_t length) noexcept {
    const Crc64FoldConstants& c = crc64FoldConstants();
    const __m128i k128 = loadPair(c.fold128);
    for (; length >= kBlock; length -= kBlock, data += kBlock) {
        x = foldBlock(x, k128, loadBlock(data));
    }
    const __m128i reduce = loadPair(c.reduce);
    const __m128i z = _mm_xor_si128(_mm_clmulepi64_si128(x, reduce, 0x00), _mm_srli_si128(x, 8));
    const __m128i q = _mm_clmulepi64_si128(z, reduce, 0x10);
    const __m128i qp = _mm_clmulepi64_si128(q, loadPair(c.polynomial), 0x00);
    const auto crc =
        static_cast<uint64_t>(_mm_extract_epi64(_mm_xor_si128(qp, z), 1) ^ _mm_cvtsi128_si64(q));
    return crc64ByTables(crc, data, length);
}

// Below a step of eight blocks the lanes cannot fill; one block at a time
// still beats the tables from two blocks on.
uint64_t crc64Folded(uint64_t crc, const unsigned char* data, size_t length) noexcept {
    const Crc64FoldConstants& c = crc64FoldConstants();
    if (length >= kLanes<Xmm> * kBlock) {
        return foldedFrom<Xmm>(crc, data, length, c.fold1024, c.fold128);
    }
    if (length >= 2 * kBlock) {
        return crc64FinishFolded(Xmm::withCrc(loadBlock(data), crc), data + kBlock,
                                 length - kBlock);
    }
    return crc64ByTables(crc, data, length);
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#else

// Without carry-less multiplication every method is the tables.
bool crc64FoldedAvailable() noexcept {
    return false;
}
bool crc64FoldedWideAvailable() noexcept {
    return false;
}
bool crc64FoldedWidestAvailable() noexcept {
    return false;
}
uint64_t crc64Folded(uint64_t crc, const unsigned char* data, size_t length) noexcept {
    return crc64ByTables(crc, data, length);
}
uint64_t crc64FoldedWide(uint64_t crc, const unsigned char* data, size_t length) noexcept {
    return crc64ByTables(crc, data, length);
}
uint64_t crc64FoldedWidest(uint64_t crc, const unsigned char* data, size_t length) noexcept {
    return crc64ByTables(crc, data, length);
}

#endif

}  // namespace kwCore::detail
