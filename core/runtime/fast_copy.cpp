#include "runtime/fast_copy.h"

#include <atomic>
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

// kStreamCopy is the count from which the copy writes around the cache.
// Below it the run-time's memcpy, which keeps both ranges in the cache,
// measured faster; from about there on the destination no longer fits the
// cache anyway, and non-temporal stores measured at least as fast.
constexpr size_t kStreamCopy = size_t{8} << 20;

using MediumCopy = void (*)(CopyByte*, const CopyByte*, size_t) noexcept;

// The medium methods, each compiled for the moves it makes, so that the
// method's code lies in the function that mediumCopy calls.
void copyMediumNarrow(CopyByte* d, const CopyByte* s, size_t count) noexcept {
    detail::copyMedium(d, s, count);
}
__attribute__((target("avx"), flatten)) void copyMediumWide(CopyByte* d, const CopyByte* s,
                                                            size_t count) noexcept {
    detail::copyMediumWide(d, s, count);
}
__attribute__((target("avx512f"), flatten)) void copyMediumWidest(CopyByte* d, const CopyByte* s,
                                                                  size_t count) noexcept {
    detail::copyMediumWidest(d, s, count);
}

void chooseMediumCopy(CopyByte* d, const CopyByte* s, size_t count) noexcept;

// mediumCopy is the medium method for this processor, chosen by the first
// medium copy, so that later copies ask nothing about the processor. (Not
// at start-up: a dynamic initializer here would put this file's entry into
// the start-up section beside the platform layer's own.)
std::atomic<MediumCopy> mediumCopy{chooseMediumCopy};

void chooseMediumCopy(CopyByte* d, const CopyByte* s, size_t count) noexcept {
    __builtin_cpu_init();
    MediumCopy chosen = copyMediumNarrow;
    if (detail::widestMovesAvailable()) {
        chosen = copyMediumWidest;
    } else if (detail::wideMovesAvailable()) {
        chosen = copyMediumWide;
    }
    mediumCopy.store(chosen, std::memory_order_relaxed);
    chosen(d, s, count);
}

#endif

}  // namespace

void fastCopy(void* destination, const void* source, size_t count) noexcept {
    auto* d = static_cast<CopyByte*>(destination);
    const auto* s = static_cast<const CopyByte*>(source);
#if defined(__x86_64__) && defined(__SSE2__)
    if (count <= kShortCopy) {
        detail::copyShort(d, s, count);
    } else if (count <= kMediumCopy) {
        mediumCopy.load(std::memory_order_relaxed)(d, s, count);
    } else if (count < kStreamCopy) {
        std::memcpy(d, s, count);
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
