#pragma once

#include <cstdint>

namespace kwCore {

// sleepMs suspends the calling thread for milliseconds. 0 only offers the
// rest of the time slice to other ready threads and returns whether the
// system switched to one (POSIX: whether the yield succeeded); any other
// value sleeps and returns true.
bool sleepMs(uint32_t milliseconds) noexcept;

}  // namespace kwCore
