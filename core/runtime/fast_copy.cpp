#include "runtime/fast_copy.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/c_library.h"
#include "runtime/fast_copy_methods.h"

// The copy picks its method by count, by what the processor offers and by
// what the platform's C library does well. Short copies are done inline,
// where a call into the run-time's memcpy would cost more than the copy
// itself, in the widest moves the processor has, up to where the platform's
// memcpy keeps up with them; the middle range, whose ranges stay in the
// cache, goes to memcpy, which measured fastest there; very large copies
// stream around the cache. Every method gives the same bytes.

namespace kwCore {
namespace {

using detail::CopyByte;

// kShortCopy is the largest count copied inline with general registers.
constexpr size_t kShortCopy = 16;

#if defined(__x86_64__) && defined(__SSE2__)

// kMediumCopy is the largest count that vector moves copy inline.
constexpr size_t kMediumCopy = 256;

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

// inlineLimit is the largest count the medium methods copy: above it, up to
// kMediumCopy, the platform's memcpy is as fast. Until the first medium copy
// has chosen, kMediumCopy, so that it reaches the choice whatever its count.
std::atomic<size_t> inlineLimit{kMediumCopy};

void chooseMediumCopy(CopyByte* d, const CopyByte* s, size_t count) noexcept {
    inlineLimit.store(std::min(kMediumCopy, platform::libraryCopyFastFrom() - 1),
                      std::memory_order_relaxed);
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
    // The run-time's memcpy is the path with the fewest branches before it:
    // it takes the counts where the call costs least against the copy.
    if (count <= kShortCopy) {
        detail::copyShort(d, s, count);
    } else if (count > inlineLimit.load(std::memory_order_relaxed)) {
        if (count < detail::kStreamCopy) [[likely]] {
            std::memcpy(d, s, count);
        } else {
            detail::streamCopy(d, s, count, detail::wideMovesAvailable());
        }
    } else {
        mediumCopy.load(std::memory_order_relaxed)(d, s, count);
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
