#pragma once

#include "platform/memory.h"

namespace kwCore {

// systemBlockSize is the size in bytes of a system block, the unit in
// which buffers keep their bytes.
inline constexpr size_t systemBlockSize = platform::systemBlockSize;

// allocateSystemBlock returns a fresh block of systemBlockSize read-write
// bytes straight from the system's virtual memory, or nullptr when the
// system has none to give.
inline void* allocateSystemBlock() noexcept {
    return platform::allocateSystemBlock();
}

// releaseSystemBlock gives a block back to the system; nullptr is ignored.
inline void releaseSystemBlock(void* block) noexcept {
    platform::releaseSystemBlock(block);
}

}  // namespace kwCore
