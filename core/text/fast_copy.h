#pragma once

#include <cstddef>

namespace kwCore {

// fastCopy copies count bytes from source to destination, front to back.
// The ranges must not overlap. Tuned for large copies: from 64 KiB on it
// writes around the cache with non-temporal stores.
void fastCopy(void* destination, const void* source, size_t count) noexcept;

}  // namespace kwCore
