#pragma once

// The folding loop behind the carry-less multiplication methods, for each
// vector width. Every file that includes this compiles it for its own
// processor features (#pragma GCC target); everything here is therefore
// internal to that file, lest one file's copy, built for wider registers,
// stand in for another's.

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "stream/crc64_methods.h"

namespace kwCore::detail {

// crc64FinishFolded folds the whole blocks left at data into x, which holds
// the block just before them, reduces x to the CRC and feeds the last bytes
// to the tables. It needs PCLMULQDQ.
uint64_t crc64FinishFolded(__m128i x, const unsigned char* data, size_t length) noexcept;

namespace {

#define KWCORE_INLINE __attribute__((always_inline)) inline

// kBlock is the size of the block one fold moves.
constexpr size_t kBlock = 16;

KWCORE_INLINE __m128i loadBlock(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

KWCORE_INLINE __m128i loadPair(const uint64_t pair[2]) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(pair));
}

// foldBlock moves x forward by the distance of k and adds next.
KWCORE_INLINE __m128i foldBlock(__m128i x, __m128i k, __m128i next) {
    return _mm_xor_si128(
        _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

// Xmm, and the Ymm and Zmm of the wider methods, give the folding loop one
// vector width each: kBlocks blocks a register.
struct Xmm {
    using Vector = __m128i;
    static constexpr size_t kBlocks = 1;
    static KWCORE_INLINE Vector load(const unsigned char* p) { return loadBlock(p); }
    static KWCORE_INLINE Vector broadcast(const uint64_t pair[2]) { return loadPair(pair); }
    static KWCORE_INLINE Vector withCrc(Vector v, uint64_t crc) {
        return _mm_xor_si128(v, _mm_cvtsi64_si128(static_cast<long long>(crc)));
    }
    static KWCORE_INLINE Vector fold(Vector x, Vector k, Vector next) {
        return foldBlock(x, k, next);
    }
    static KWCORE_INLINE __m128i oneBlock(Vector x, const uint64_t*) { return x; }
};

// kLanes is how many registers fold side by side; with fewer, each fold
// would wait for the one before it.
template <class V>
constexpr size_t kLanes = V::kBlocks == 1 ? 8 : 4;

// foldedFrom folds lanes of V across data, then finishes with single
// blocks. distance: the constants for one step's distance (kLanes
// registers); across: for one register's. Data shorter than a step of
// wider registers goes to crc64Folded; crc64Folded itself passes at least
// one step.
template <class V>
KWCORE_INLINE uint64_t foldedFrom(uint64_t crc, const unsigned char* data, size_t length,
                                  const uint64_t* distance, const uint64_t* across) noexcept {
    constexpr size_t kStep = kLanes<V> * V::kBlocks * kBlock;
    if constexpr (V::kBlocks > 1) {
        if (length < kStep) {
            return crc64Folded(crc, data, length);
        }
    }
    const Crc64FoldConstants& c = crc64FoldConstants();
    typename V::Vector lanes[kLanes<V>];
#pragma GCC unroll 8
    for (size_t i = 0; i < kLanes<V>; ++i) {
        lanes[i] = V::load(data + i * V::kBlocks * kBlock);
    }
    lanes[0] = V::withCrc(lanes[0], crc);
    data += kStep;
    length -= kStep;
    const typename V::Vector k = V::broadcast(distance);
    for (; length >= kStep; length -= kStep, data += kStep) {
#pragma GCC unroll 8
        for (size_t i = 0; i < kLanes<V>; ++i) {
            lanes[i] = V::fold(lanes[i], k, V::load(data + i * V::kBlocks * kBlock));
        }
    }
    const typename V::Vector next = V::broadcast(across);
    typename V::Vector x = lanes[0];
#pragma GCC unroll 8
    for (size_t i = 1; i < kLanes<V>; ++i) {
        x = V::fold(x, next, lanes[i]);
    }
    return crc64FinishFolded(V::oneBlock(x, c.fold128), data, length);
}

}  // namespace

}  // namespace kwCore::detail
