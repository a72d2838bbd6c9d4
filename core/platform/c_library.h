#pragma once

#include <cstddef>

// What the C library's own routines do well, for portable code that chooses
// between them and its own.
namespace kwCore::platform {

// libraryCopyFastFrom returns the smallest count from which the C library's
// memcpy copies at least as fast as inline vector moves do (fastCopy's, which
// cover up to 256 bytes; above 256 when it is slower throughout them).
// POSIX: glibc's memcpy, picked for the processor when the program loads,
// keeps up from 65 bytes. Windows: the C run-time's memcpy copies 33 to 256
// bytes at a third to a half of their speed.
size_t libraryCopyFastFrom() noexcept;

}  // namespace kwCore::platform
