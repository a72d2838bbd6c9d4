#include "platform/clock.h"

#include <time.h>

namespace kwCore::platform {

uint32_t tickCount() noexcept {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Unsigned arithmetic wraps modulo 2^64; the cast keeps the low 32 bits.
    const uint64_t milliseconds =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(milliseconds);
}

}  // namespace kwCore::platform
