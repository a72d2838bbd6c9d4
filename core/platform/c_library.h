#pragma once

#include <cstddef>
#include <limits>

// What the C library's own routines do well, for portable code that chooses
// between them and its own. The answers are constants: the C library that
// a platform's programs run on is known when they are built.
namespace kwCore::platform {

// libraryCopyFastFrom is the smallest count from which the C library's
// memcpy copies at least as fast as fastCopy's own moves do, up to where
// fastCopy streams around the cache; the largest count when it is slower
// throughout. POSIX: glibc's memcpy, picked for the processor when the
// program loads, keeps up from 65 bytes. Windows: the C run-time's memcpy
// (measured under Wine) copies 17 to 256 bytes at a fifth to a third of
// their speed, and longer ranges at 0.45 to 0.85 of it.
constexpr size_t libraryCopyFastFrom() noexcept {
#if defined(_WIN32)
    return std::numeric_limits<size_t>::max();
#else
    return 65;
#endif
}

}  // namespace kwCore::platform
