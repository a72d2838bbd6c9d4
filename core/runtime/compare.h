#pragma once

#include <cstdint>

namespace kwCore {

// compareBytes compares size bytes at a and b as unsigned numbers: the
// first differing byte decides, -1 when a's is the smaller, 1 when it is
// the larger; 0 when all are equal or size is 0.
int compareBytes(const void* a, const void* b, uint32_t size) noexcept;

// compare16 compares two 16-byte values as compareBytes does.
int compare16(const void* a, const void* b) noexcept;

}  // namespace kwCore
