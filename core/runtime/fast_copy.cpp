#include "runtime/fast_copy.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/c_library.h"
#include "runtime/fast_copy_methods.h"

// The copy picks its method by count, by what the processor offers and by
// what the platform's C library does well. Short copies are done inline,
// where a call into the run-time's memcpy would cost more than the copy
// itself: up to 64 bytes in general registers and 16-byte moves, which every
// x86-64 processor has, above that up to where the platform's memcpy keeps
// up, in the widest moves the processor has. The middle range, whose ranges
// stay in the cache, goes to memcpy, which measured fastest there; very
// large copies stream around the cache. Every method gives the same bytes.
//
// fastCopy is small so that the optimised link inlines it into its callers:
// the counts memcpy takes cost one compare before its call, and the code of
// the methods chosen for the processor stays out of line.

namespace kwCore {
namespace {

using detail::CopyByte;

// kShortCopy is the largest count copied inline with general registers.
constexpr size_t kShortCopy = 16;

#if defined(__x86_64__) && defined(__SSE2__)

// kLibraryCopy is the smallest count that the platform's memcpy takes; the
// band it takes ends where streaming starts, and is empty where the two meet.
constexpr size_t kLibraryCopy = std::min(platform::libraryCopyFastFrom(), detail::kStreamCopy);
static_assert(kLibraryCopy > detail::kNarrowCopy);

using MediumCopy = void (*)(CopyByte*, const CopyByte*, size_t) noexcept;

// The medium methods, each compiled for the moves it makes, so that the
// method's code lies in the function that mediumCopy calls; Repeated takes
// the repeated byte move for long copies.
template <bool Repeated>
void copyMediumNarrow(CopyByte* d, const CopyByte* s, size_t count) noexcept {
    detail::copyMedium<Repeated>(d, s, count);
}
template <bool Repeated>
__attribute__((target("avx"), flatten)) void copyMediumWide(CopyByte* d, const CopyByte* s,
                                                            size_t count) noexcept {
    detail::copyMediumWide<Repeated>(d, s, count);
}
template <bool Repeated>
__attribute__((target("avx512f"), flatten)) void copyMediumWidest(CopyByte* d, const CopyByte* s,
                                                                  size_t count) noexcept {
    detail::copyMediumWidest<Repeated>(d, s, count);
}

void chooseMediumCopy(CopyByte* d, const CopyByte* s, size_t count) noexcept;

// mediumCopy is the medium method for this processor, chosen by the first
// medium copy, so that later copies ask nothing about the processor. (Not
// at start-up: a dynamic initializer here would put this file's entry into
// the start-up section beside the platform layer's own.)
std::atomic<MediumCopy> mediumCopy{chooseMediumCopy};

// chosenMediumCopy is the medium method for the processor's moves.
template <bool Repeated>
MediumCopy chosenMediumCopy() noexcept {
    if (detail::widestMovesAvailable()) {
        return copyMediumWidest<Repeated>;
    }
    if (detail::wideMovesAvailable()) {
        return copyMediumWide<Repeated>;
    }
    return copyMediumNarrow<Repeated>;
}

void chooseMediumCopy(CopyByte* d, const CopyByte* s, size_t count) noexcept {
    __builtin_cpu_init();
    const MediumCopy chosen =
        detail::repeatedMovesFast() ? chosenMediumCopy<true>() : chosenMediumCopy<false>();
    mediumCopy.store(chosen, std::memory_order_relaxed);
    chosen(d, s, count);
}

// copyLarge streams a copy of kStreamCopy bytes or more around the cache. It
// is never inlined, so that its registers are saved only on its own way.
__attribute__((noinline)) void copyLarge(CopyByte* d, const CopyByte* s, size_t count) noexcept {
    detail::streamCopy(d, s, count, detail::wideMovesAvailable());
}

#endif

}  // namespace

void fastCopy(void* destination, const void* source, size_t count) noexcept {
    auto* d = static_cast<CopyByte*>(destination);
    const auto* s = static_cast<const CopyByte*>(source);
#if defined(__x86_64__) && defined(__SSE2__)
    // The band the run-time's memcpy takes is tested first, with one compare
    // (an unsigned difference below the band wraps around above it).
    if (count - kLibraryCopy < detail::kStreamCopy - kLibraryCopy) [[likely]] {
        std::memcpy(d, s, count);
    } else if (count <= kShortCopy) {
        detail::copyShort(d, s, count);
    } else if (count <= detail::kNarrowCopy) {
        detail::copyNarrow(d, s, count);
    } else if (count < kLibraryCopy) {
        mediumCopy.load(std::memory_order_relaxed)(d, s, count);
    } else {
        copyLarge(d, s, count);
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
