#pragma once

#include <cstdint>

namespace kwCore {

// StreamMode is what a file stream is open for.
enum class StreamMode : int32_t {
    Closed = -1,
    Read = 1,
    Write = 2,
};

}  // namespace kwCore
