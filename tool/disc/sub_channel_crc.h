#pragma once

#include <cstddef>
#include <cstdint>

namespace zemtra {

// subChannelCrc returns the CRC-16 that the CD sub-channel carries after its
// data (CD-TEXT packs, Q frames) over the size bytes at bytes: polynomial
// 0x1021, started from 0, most significant bit first, the result inverted.
// The carrier stores it big-endian.
uint16_t subChannelCrc(const uint8_t* bytes, size_t size) noexcept;

}  // namespace zemtra
