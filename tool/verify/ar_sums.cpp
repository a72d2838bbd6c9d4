#include "verify/ar_sums.h"

#include <bit>
#include <cstring>

namespace zemtra {

static_assert(std::endian::native == std::endian::little,
              "samples are read as little-endian 32-bit values");

uint32_t loadSample(const uint8_t* bytes) noexcept {
    uint32_t sample;
    std::memcpy(&sample, bytes, sizeof sample);
    return sample;
}

namespace detail {

void addArSumsPortable(const uint8_t* bytes, size_t count, uint32_t multiplier,
                       ArSums& sums) noexcept {
    uint64_t low = 0;
    uint64_t products = 0;
    uint32_t samples = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t sample = loadSample(bytes + i * kBytesPerSample);
        const uint64_t product = uint64_t{sample} * (multiplier + static_cast<uint32_t>(i));
        low += static_cast<uint32_t>(product);
        products += product;
        samples += sample;
    }
    sums.low += low;
    sums.products += products;
    sums.samples += samples;
}

}  // namespace detail

void addArSums(const uint8_t* bytes, size_t count, uint32_t multiplier, ArSums& sums) noexcept {
    static const bool wide = detail::arSumsWideAvailable();
    if (wide) {
        detail::addArSumsWide(bytes, count, multiplier, sums);
    } else {
        detail::addArSumsPortable(bytes, count, multiplier, sums);
    }
}

}  // namespace zemtra
