#pragma once

#include <cstdint>

// The system's millisecond tick.
namespace kwCore::platform {

// tickCount returns the milliseconds since the system started, truncated
// to 32 bits, so it wraps after about 49.7 days. (Windows: GetTickCount;
// POSIX: CLOCK_MONOTONIC.)
uint32_t tickCount() noexcept;

}  // namespace kwCore::platform
