#pragma once

#include <cstddef>
#include <cstdint>

namespace zemtra {

// trackCrc32 continues crc, zlib's CRC-32 of the bytes before, over size
// bytes at data and returns zlib's CRC-32 of them all. A track's audio
// passes through it once, so it folds 64 bytes a step with carry-less
// multiplications where the processor has them (four times zlib's speed)
// and leaves short pieces and other processors to zlib.
uint32_t trackCrc32(uint32_t crc, const uint8_t* data, size_t size) noexcept;

namespace detail {

// trackCrc32Folded is the folding part for size of at least 64 bytes; only
// where trackCrc32FoldedAvailable.
uint32_t trackCrc32Folded(uint32_t crc, const uint8_t* data, size_t size) noexcept;
bool trackCrc32FoldedAvailable() noexcept;

}  // namespace detail

}  // namespace zemtra
