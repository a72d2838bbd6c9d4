#pragma once

#include <cstdint>

namespace kwCore {

// StreamMode is what a file stream is open for.
enum class StreamMode : int32_t {
    Closed = -1,
    Read = 1,
    Write = 2,
};

// kClosedFileHandle is a file stream's handle while no file is open.
inline constexpr intptr_t kClosedFileHandle = -1;

}  // namespace kwCore
