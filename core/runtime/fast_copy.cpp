#include "runtime/fast_copy.h"

#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && defined(__SSE2__)
#include <emmintrin.h>
#endif

// The copy picks its method by count. Short copies are done inline, where a
// call into the run-time's memcpy would cost more than the copy itself; the
// middle range, whose ranges stay in the cache, goes to memcpy, which measured
// fastest there; very large copies stream around the cache. Every method
// gives the same bytes.

namespace kwCore {
namespace {

using Byte = unsigned char;

// kShortCopy is the largest count copied inline; a call into the run-time's
// memcpy costs more than the few moves such a copy needs.
constexpr size_t kShortCopy = 16;

// copyShort copies 0 to 16 bytes with two possibly overlapping moves of the
// widest size that fits, never touching a byte outside either range.
inline void copyShort(Byte* d, const Byte* s, size_t count) noexcept {
    if (count >= 8) {
        uint64_t head;
        uint64_t tail;
        std::memcpy(&head, s, 8);
        std::memcpy(&tail, s + count - 8, 8);
        std::memcpy(d, &head, 8);
        std::memcpy(d + count - 8, &tail, 8);
    } else if (count >= 4) {
        uint32_t head;
        uint32_t tail;
        std::memcpy(&head, s, 4);
        std::memcpy(&tail, s + count - 4, 4);
        std::memcpy(d, &head, 4);
        std::memcpy(d + count - 4, &tail, 4);
    } else if (count > 0) {
        const Byte first = s[0];
        const Byte middle = s[count / 2];
        const Byte last = s[count - 1];
        d[0] = first;
        d[count / 2] = middle;
        d[count - 1] = last;
    }
}

#if defined(__x86_64__) && defined(__SSE2__)

// kMediumCopy is the largest count that 16-byte moves copy inline.
constexpr size_t kMediumCopy = 256;

inline __m128i load16(const Byte* s) noexcept {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
}
inline void store16(Byte* d, __m128i v) noexcept {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v);
}

// copyMedium copies 17 to 256 bytes: the first and the last half of the
// smallest power of two that holds count, each in 16-byte moves that overlap
// in the middle.
inline void copyMedium(Byte* d, const Byte* s, size_t count) noexcept {
    if (count <= 32) {
        const __m128i a = load16(s);
        const __m128i b = load16(s + count - 16);
        store16(d, a);
        store16(d + count - 16, b);
        return;
    }
    if (count <= 64) {
        const __m128i a = load16(s);
        const __m128i b = load16(s + 16);
        const __m128i c = load16(s + count - 32);
        const __m128i e = load16(s + count - 16);
        store16(d, a);
        store16(d + 16, b);
        store16(d + count - 32, c);
        store16(d + count - 16, e);
        return;
    }
    const size_t half = count <= 128 ? 64 : 128;
    for (size_t i = 0; i < half; i += 16) {
        store16(d + i, load16(s + i));
        store16(d + count - half + i, load16(s + count - half + i));
    }
}

// kStreamCopy is the count from which the copy writes around the cache.
// Below it the run-time's memcpy, which keeps both ranges in the cache,
// measured faster; from about there on the destination no longer fits the
// cache anyway, and non-temporal stores measured at least as fast.
constexpr size_t kStreamCopy = size_t{8} << 20;
constexpr size_t kLine = 64;

// streamCopy copies count bytes (at least kStreamCopy) with the destination
// aligned to a cache line, so that each line is written whole by four
// non-temporal 16-byte stores and never read into the cache. The source is
// read in order, which the hardware prefetcher follows; software prefetching
// ahead of it only slowed the copy down.
void streamCopy(Byte* d, const Byte* s, size_t count) noexcept {
    const size_t head = (kLine - (reinterpret_cast<uintptr_t>(d) & (kLine - 1))) & (kLine - 1);
    std::memcpy(d, s, head);
    d += head;
    s += head;
    count -= head;

    const size_t lines = count / kLine;
    for (size_t i = 0; i < lines; ++i, d += kLine, s += kLine) {
        const __m128i a = load16(s);
        const __m128i b = load16(s + 16);
        const __m128i c = load16(s + 32);
        const __m128i e = load16(s + 48);
        _mm_stream_si128(reinterpret_cast<__m128i*>(d), a);
        _mm_stream_si128(reinterpret_cast<__m128i*>(d + 16), b);
        _mm_stream_si128(reinterpret_cast<__m128i*>(d + 32), c);
        _mm_stream_si128(reinterpret_cast<__m128i*>(d + 48), e);
    }
    std::memcpy(d, s, count % kLine);
    // The streamed lines must be visible before anything the caller stores next.
    _mm_sfence();
}

#endif

}  // namespace

void fastCopy(void* destination, const void* source, size_t count) noexcept {
    auto* d = static_cast<Byte*>(destination);
    const auto* s = static_cast<const Byte*>(source);
#if defined(__x86_64__) && defined(__SSE2__)
    // One unsigned compare picks out the middle range, 257 bytes to just
    // under kStreamCopy.
    if (count - (kMediumCopy + 1) < kStreamCopy - (kMediumCopy + 1)) {
        std::memcpy(d, s, count);
    } else if (count <= kShortCopy) {
        copyShort(d, s, count);
    } else if (count <= kMediumCopy) {
        copyMedium(d, s, count);
    } else {
        streamCopy(d, s, count);
    }
#else
    if (count <= kShortCopy) {
        copyShort(d, s, count);
    } else {
        std::memcpy(d, s, count);
    }
#endif
}

}  // namespace kwCore
