#include "stream/sha1_blocks.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>

#include <utility>
#define KWCORE_SHA1_X86 1
#endif

namespace kwCore {

#ifdef KWCORE_SHA1_X86
bool sha1InstructionsAvailable() noexcept {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_SSSE3) || !(c & bit_SSE4_1)) {
        return false;
    }
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & bit_SHA);
}

namespace {

#define KWCORE_SHA_TARGET __attribute__((target("sha,ssse3,sse4.1")))

// The SHA instructions work four steps at a time. Group g (steps 4g to
// 4g + 3) takes its four message words from message[g % 4]; while it runs,
// the schedule for groups g + 1 to g + 3 is advanced one stage each. The
// E values alternate between two registers.
struct ShaRegisters {
    __m128i abcd;
    __m128i e[2];
    __m128i message[4];
};

template <int g>
KWCORE_SHA_TARGET inline void shaGroup(ShaRegisters& r) {
    __m128i& current = r.e[g % 2];
    if constexpr (g == 0) {
        current = _mm_add_epi32(current, r.message[0]);
    } else {
        current = _mm_sha1nexte_epu32(current, r.message[g % 4]);
    }
    r.e[(g + 1) % 2] = r.abcd;
    if constexpr (g >= 3 && g <= 18) {
        r.message[(g + 1) % 4] = _mm_sha1msg2_epu32(r.message[(g + 1) % 4], r.message[g % 4]);
    }
    r.abcd = _mm_sha1rnds4_epu32(r.abcd, current, g / 5);
    if constexpr (g >= 1 && g <= 16) {
        r.message[(g + 3) % 4] = _mm_sha1msg1_epu32(r.message[(g + 3) % 4], r.message[g % 4]);
    }
    if constexpr (g >= 2 && g <= 17) {
        r.message[(g + 2) % 4] = _mm_xor_si128(r.message[(g + 2) % 4], r.message[g % 4]);
    }
}

template <size_t... G>
KWCORE_SHA_TARGET inline void shaGroups(ShaRegisters& r, std::index_sequence<G...>) {
    (shaGroup<static_cast<int>(G)>(r), ...);
}

KWCORE_SHA_TARGET void sha1BlocksSha(uint32_t state[5], const uint8_t* data, size_t count) {
    // Byte order: the block's big-endian words, and a, b, c, d from the top
    // lane down.
    const __m128i byteOrder = _mm_set_epi64x(0x0001020304050607LL, 0x08090A0B0C0D0E0FLL);
    ShaRegisters r;
    r.abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
    __m128i e = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);
    for (; count > 0; --count, data += 64) {
        const __m128i abcdBefore = r.abcd;
        const __m128i eBefore = e;
        for (int j = 0; j < 4; ++j) {
            r.message[j] = _mm_shuffle_epi8(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * j)), byteOrder);
        }
        r.e[0] = e;
        shaGroups(r, std::make_index_sequence<20>());
        e = _mm_sha1nexte_epu32(r.e[0], eBefore);
        r.abcd = _mm_add_epi32(r.abcd, abcdBefore);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(r.abcd, 0x1B));
    state[4] = static_cast<uint32_t>(_mm_extract_epi32(e, 3));
}

#undef KWCORE_SHA_TARGET

}  // namespace
#else
bool sha1InstructionsAvailable() noexcept {
    return false;
}
#endif

void sha1Blocks(uint32_t state[5], const uint8_t* data, size_t count) noexcept {
#ifdef KWCORE_SHA1_X86
    static const bool useShaInstructions = sha1InstructionsAvailable();
    if (useShaInstructions) {
        sha1BlocksSha(state, data, count);
        return;
    }
#endif
    sha1BlocksPortable(state, data, count);
}

}  // namespace kwCore
