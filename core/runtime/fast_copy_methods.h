#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && defined(__SSE2__)
#include <cpuid.h>
#include <immintrin.h>
#endif

// The methods behind fastCopy, each for a range of counts. fastCopy picks among them by count and
// by what the processor offers; they are kept apart so that every method can be checked on any
// processor that runs it.

namespace kwCore::detail {

using CopyByte = unsigned char;

// BytesOf<Width>::Type is a value of Width bytes that fits one register: a general
// register up to 8 bytes, a vector register above.
template <size_t Width>
struct BytesOf {
    typedef CopyByte Type __attribute__((vector_size(Width)));
};
template <>
struct BytesOf<4> {
    using Type = uint32_t;
};
template <>
struct BytesOf<8> {
    using Type = uint64_t;
};

// copyHalves copies Half to 2 * Half bytes as the first and the last Half
// bytes, which overlap unless count is 2 * Half, in moves of Width bytes.
// Every load comes before the first store: a store whose address matches a
// later load's in the low 12 bits, as a source and destination a multiple
// of 4 KiB apart do, would otherwise hold that load back until it retires.
template <size_t Width, size_t Half = Width>
__attribute__((always_inline)) inline void copyHalves(CopyByte* d, const CopyByte* s,
                                                      size_t count) noexcept {
    static_assert(Half % Width == 0);
    constexpr size_t kMoves = Half / Width;
    typename BytesOf<Width>::Type first[kMoves];
    typename BytesOf<Width>::Type last[kMoves];
#pragma GCC unroll 8
    for (size_t i = 0; i < kMoves; ++i) {
        std::memcpy(&first[i], s + i * Width, Width);
        std::memcpy(&last[i], s + count - Half + i * Width, Width);
    }
#pragma GCC unroll 8
    for (size_t i = 0; i < kMoves; ++i) {
        std::memcpy(d + i * Width, &first[i], Width);
        std::memcpy(d + count - Half + i * Width, &last[i], Width);
    }
}

// copyInMoves copies Width to 256 bytes (Width 32 at most) in moves of Width
// bytes: the first and the last half of the smallest power of two that holds
// count, overlapping in the middle.
template <size_t Width>
__attribute__((always_inline)) inline void copyInMoves(CopyByte* d, const CopyByte* s,
                                                       size_t count) noexcept {
    static_assert(Width <= 32);
    if (count <= 2 * Width) {
        copyHalves<Width>(d, s, count);
    } else if (count <= 64) {
        copyHalves<Width, 32>(d, s, count);
    } else if (count <= 128) {
        copyHalves<Width, 64>(d, s, count);
    } else {
        copyHalves<Width, 128>(d, s, count);
    }
}

// copyInBlocks copies 4 * Width bytes or more in blocks of four moves of
// Width bytes, each block's loads before its stores: one move at the start,
// then blocks stored to destination addresses that are multiples of Width,
// so that no store straddles two cache lines, and a last block that ends
// where the range ends, overlapping the one before it.
template <size_t Width>
__attribute__((always_inline)) inline void copyInBlocks(CopyByte* d, const CopyByte* s,
                                                        size_t count) noexcept {
    constexpr size_t kBlock = 4 * Width;
    typename BytesOf<Width>::Type first;
    std::memcpy(&first, s, Width);
    std::memcpy(d, &first, Width);
    size_t done = Width - (reinterpret_cast<uintptr_t>(d) & (Width - 1));
    for (; done + kBlock < count; done += kBlock) {
        copyHalves<Width, 2 * Width>(d + done, s + done, kBlock);
    }
    copyHalves<Width, 2 * Width>(d + count - kBlock, s + count - kBlock, kBlock);
}

// copyShort copies 0 to 16 bytes with two possibly overlapping moves of the
// widest general register that fits, never touching a byte outside either
// range.
inline void copyShort(CopyByte* d, const CopyByte* s, size_t count) noexcept {
    if (count >= 8) {
        copyHalves<8>(d, s, count);
    } else if (count >= 4) {
        copyHalves<4>(d, s, count);
    } else if (count > 0) {
        const CopyByte first = s[0];
        const CopyByte middle = s[count / 2];
        const CopyByte last = s[count - 1];
        d[0] = first;
        d[count / 2] = middle;
        d[count - 1] = last;
    }
}

#if defined(__x86_64__) && defined(__SSE2__)

// kNarrowCopy is the largest count that copyNarrow copies.
inline constexpr size_t kNarrowCopy = 64;

// copyNarrow copies 17 to kNarrowCopy bytes in 16-byte moves, which every
// x86-64 processor has: two up to 32 bytes, four above.
__attribute__((always_inline)) inline void copyNarrow(CopyByte* d, const CopyByte* s,
                                                      size_t count) noexcept {
    if (count <= 32) {
        copyHalves<16>(d, s, count);
    } else {
        copyHalves<16, 32>(d, s, count);
    }
}

// kRepeatedCopy is the count from which the medium methods copy with the
// processor's repeated byte move, where repeatedMovesFast: against blocks of
// 64-byte moves it measured 1.2 times as fast at 4 KiB and 1.1 to 1.4 times
// from 64 KiB on, though 0.6 times at 8 KiB; against the Windows C
// run-time's memcpy, 1.2 to 1.5 times throughout.
inline constexpr size_t kRepeatedCopy = 2048;

// repeatedMovesFast tells whether the processor marks its repeated byte
// move (rep movsb) as enhanced, fast enough to copy whole ranges with; every
// x86-64 processor has the instruction, elsewhere it is merely slow.
inline bool repeatedMovesFast() noexcept {
    // ERMS: leaf 7, EBX bit 9.
    unsigned a = 0, b = 0, c = 0, d = 0;
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & (1u << 9)) != 0;
}

// copyRepeated copies count bytes with one repeated byte move.
inline void copyRepeated(CopyByte* d, const CopyByte* s, size_t count) noexcept {
    asm volatile("rep movsb" : "+D"(d), "+S"(s), "+c"(count) : : "memory");
}

// copyMedium copies 17 bytes or more in 16-byte moves, which every x86-64
// processor has; from kRepeatedCopy on with copyRepeated when Repeated.
template <bool Repeated>
inline void copyMedium(CopyByte* d, const CopyByte* s, size_t count) noexcept {
    if (count <= 256) {
        copyInMoves<16>(d, s, count);
    } else if (Repeated && count >= kRepeatedCopy) {
        copyRepeated(d, s, count);
    } else {
        copyInBlocks<16>(d, s, count);
    }
}

// wideMovesAvailable tells whether the processor and the system both support
// 32-byte moves. The answer is read once at start-up; asked earlier, it is
// false, and the 16-byte moves serve.
inline bool wideMovesAvailable() noexcept {
    return __builtin_cpu_supports("avx");
}

// copyMediumWide copies 17 bytes or more: a pair of 16-byte moves up to 32
// bytes, above that half as many moves as copyMedium, 32 bytes each, and
// from kRepeatedCopy on as copyMedium does; only for processors with
// wideMovesAvailable.
template <bool Repeated>
__attribute__((target("avx"))) inline void copyMediumWide(CopyByte* d, const CopyByte* s,
                                                          size_t count) noexcept {
    if (count <= 32) {
        copyHalves<16>(d, s, count);
    } else if (count <= 256) {
        copyInMoves<32>(d, s, count);
    } else if (Repeated && count >= kRepeatedCopy) {
        copyRepeated(d, s, count);
    } else {
        copyInBlocks<32>(d, s, count);
    }
}

// widestMovesAvailable tells whether the processor and the system both
// support 64-byte moves, read as wideMovesAvailable is.
inline bool widestMovesAvailable() noexcept {
    return __builtin_cpu_supports("avx512f");
}

// copyMediumWidest copies 17 bytes or more as copyMediumWide does up to 64
// bytes, above that in 64-byte moves, and from kRepeatedCopy on as
// copyMedium does; only for processors with widestMovesAvailable.
template <bool Repeated>
__attribute__((target("avx512f"))) inline void copyMediumWidest(CopyByte* d, const CopyByte* s,
                                                                size_t count) noexcept {
    if (count <= 32) {
        copyHalves<16>(d, s, count);
    } else if (count <= 64) {
        copyHalves<32>(d, s, count);
    } else if (count <= 128) {
        copyHalves<64>(d, s, count);
    } else if (count <= 256) {
        copyHalves<64, 128>(d, s, count);
    } else if (Repeated && count >= kRepeatedCopy) {
        copyRepeated(d, s, count);
    } else {
        copyInBlocks<64>(d, s, count);
    }
}

// kStreamCopy is the count from which fastCopy writes around the cache.
// Below it the run-time's memcpy, which keeps both ranges in the cache,
// measured faster (on a processor with 32 MiB of last-level cache, streaming
// ran at 0.68 of glibc's speed at 8 MiB, 0.76 at 10 MiB and 0.92 at 12 MiB);
// from 14 MiB on non-temporal stores measured 1.06 to 1.3 times as fast.
inline constexpr size_t kStreamCopy = size_t{14} << 20;

// kLine is the size of a cache line, the unit that streamCopy writes.
inline constexpr size_t kLine = 64;

// streamLines copies whole lines to a line-aligned d with four non-temporal
// 16-byte stores each.
inline void streamLines(CopyByte* d, const CopyByte* s, size_t lines) noexcept {
    for (; lines > 0; --lines, d += kLine, s += kLine) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 32));
        const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 48));
        _mm_stream_si128(reinterpret_cast<__m128i*>(d), a);
        _mm_stream_si128(reinterpret_cast<__m128i*>(d + 16), b);
        _mm_stream_si128(reinterpret_cast<__m128i*>(d + 32), c);
        _mm_stream_si128(reinterpret_cast<__m128i*>(d + 48), e);
    }
}

// streamLinesWide is streamLines with two 32-byte stores a line, which
// measured faster where wideMovesAvailable.
__attribute__((target("avx"))) inline void streamLinesWide(CopyByte* d, const CopyByte* s,
                                                           size_t lines) noexcept {
    for (; lines > 0; --lines, d += kLine, s += kLine) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 32));
        _mm256_stream_si256(reinterpret_cast<__m256i*>(d), a);
        _mm256_stream_si256(reinterpret_cast<__m256i*>(d + 32), b);
    }
}

// streamCopy copies count bytes with the destination aligned to a cache
// line, so that each line is written whole by non-temporal stores and never
// read into the cache; wide picks streamLinesWide. The source is read in
// order, which the hardware prefetcher follows; software prefetching ahead of
// it only slowed the copy down.
inline void streamCopy(CopyByte* d, const CopyByte* s, size_t count, bool wide) noexcept {
    const size_t head = (kLine - (reinterpret_cast<uintptr_t>(d) & (kLine - 1))) & (kLine - 1);
    if (head >= count) {
        std::memcpy(d, s, count);
        return;
    }
    std::memcpy(d, s, head);
    d += head;
    s += head;
    count -= head;

    const size_t lines = count / kLine;
    if (wide) {
        streamLinesWide(d, s, lines);
    } else {
        streamLines(d, s, lines);
    }
    std::memcpy(d + lines * kLine, s + lines * kLine, count % kLine);
    // The streamed lines must be visible before anything the caller stores next.
    _mm_sfence();
}

#endif

}  // namespace kwCore::detail
