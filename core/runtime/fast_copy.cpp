#include "runtime/fast_copy.h"

#include <cstring>

#include "runtime/fast_copy_methods.h"

// The copy picks its method by count and by what the processor offers. Short
// copies are done inline, where a call into the run-time's memcpy would cost
// more than the copy itself, in the widest moves the processor has; the middle
// range, whose ranges stay in the cache, goes to memcpy, which measured
// fastest there; very large copies stream around the cache. Every method
// gives the same bytes.

namespace kwCore {
namespace {

using detail::CopyByte;

// kShortCopy is the largest count copied inline with general registers.
constexpr size_t kShortCopy = 16;

#if defined(__x86_64__) && defined(__SSE2__)

// kMediumCopy is the largest count that vector moves copy inline.
constexpr size_t kMediumCopy = 256;
// kNarrowCopy is the largest count that one pair of 16-byte moves covers;
// wider moves gain nothing there.
constexpr size_t kNarrowCopy = 32;
// kWideCopy is the same for a pair of 32-byte moves.
constexpr size_t kWideCopy = 64;

// kStreamCopy is the count from which the copy writes around the cache.
// Below it the run-time's memcpy, which keeps both ranges in the cache,
// measured faster; from about there on the destination no longer fits the
// cache anyway, and non-temporal stores measured at least as fast.
constexpr size_t kStreamCopy = size_t{8} << 20;

#endif

}  // namespace

void fastCopy(void* destination, const void* source, size_t count) noexcept {
    auto* d = static_cast<CopyByte*>(destination);
    const auto* s = static_cast<const CopyByte*>(source);
#if defined(__x86_64__) && defined(__SSE2__)
    // One unsigned compare picks out the middle range, 257 bytes to just
    // under kStreamCopy.
    if (count - (kMediumCopy + 1) < kStreamCopy - (kMediumCopy + 1)) {
        std::memcpy(d, s, count);
    } else if (count <= kShortCopy) {
        detail::copyShort(d, s, count);
    } else if (count <= kMediumCopy) {
        if (count > kWideCopy && detail::widestMovesAvailable()) {
            detail::copyMediumWidest(d, s, count);
        } else if (count > kNarrowCopy && detail::wideMovesAvailable()) {
            detail::copyMediumWide(d, s, count);
        } else {
            detail::copyMedium(d, s, count);
        }
    } else {
        detail::streamCopy(d, s, count, detail::wideMovesAvailable());
    }
#else
    if (count <= kShortCopy) {
        detail::copyShort(d, s, count);
    } else {
        std::memcpy(d, s, count);
    }
#endif
}

}  // namespace kwCore
