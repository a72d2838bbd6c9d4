#pragma once

#include <cstddef>
#include <cstdint>

// The running sums behind the AccurateRip checksums. A sample is the 32-bit
// value L | R << 16 of its two 16-bit words, which is the little-endian
// reading of its four bytes.
namespace zemtra {

// kBytesPerSample is the size of one stereo sample of 16-bit words.
inline constexpr size_t kBytesPerSample = 4;

// ArSums accumulates, over samples x with multipliers k, the low and the
// full 64-bit products x * k and the plain sum of x. low is exact for fewer
// than 2^32 samples, so the high halves sum to (products - low) / 2^32.
struct ArSums {
    uint64_t low = 0;       // the sum of each product's low 32 bits
    uint64_t products = 0;  // the sum of the 64-bit products, modulo 2^64
    uint32_t samples = 0;   // the sum of the samples, modulo 2^32

    // v1 is the sum of the products modulo 2^32.
    uint32_t v1() const noexcept { return static_cast<uint32_t>(low); }
    // v2 is v1 plus the sum of the products' high 32 bits, modulo 2^32.
    uint32_t v2() const noexcept { return static_cast<uint32_t>(low + ((products - low) >> 32)); }
};

// loadSample reads the sample whose four bytes start at bytes.
uint32_t loadSample(const uint8_t* bytes) noexcept;

// addArSums adds count samples at bytes to sums, the first with multiplier
// multiplier and each next one with the multiplier one higher (modulo
// 2^32). Uses the processor's 256-bit vectors where it has them.
void addArSums(const uint8_t* bytes, size_t count, uint32_t multiplier, ArSums& sums) noexcept;

namespace detail {

// addArSumsPortable is addArSums in plain C++, for any processor.
void addArSumsPortable(const uint8_t* bytes, size_t count, uint32_t multiplier,
                       ArSums& sums) noexcept;

// addArSumsWide is addArSums on 256-bit vectors (AVX2); only where
// arSumsWideAvailable.
void addArSumsWide(const uint8_t* bytes, size_t count, uint32_t multiplier, ArSums& sums) noexcept;
bool arSumsWideAvailable() noexcept;

}  // namespace detail

}  // namespace zemtra
