#pragma once

#include <cstddef>

namespace kwCore {

// fastCopy copies count bytes from source to destination, front to back.
// The ranges must not overlap; a count of 0 copies nothing. Short copies are
// inline, in the widest moves the processor offers, as far as the platform's
// memcpy is slower; from 14 MiB on it writes around the cache with
// non-temporal stores.
void fastCopy(void* destination, const void* source, size_t count) noexcept;

}  // namespace kwCore
