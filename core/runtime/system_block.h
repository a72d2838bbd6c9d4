#pragma once

#include <cstddef>

namespace kwCore {

// systemBlockSize is the size in bytes of a system block, the unit in
// which buffers keep their bytes.
inline constexpr size_t systemBlockSize = 8192;

// allocateSystemBlock returns a fresh block of systemBlockSize read-write
// bytes straight from the system's virtual memory, or nullptr when the
// system has none to give.
void* allocateSystemBlock() noexcept;

// releaseSystemBlock gives a block back to the system; nullptr is ignored.
void releaseSystemBlock(void* block) noexcept;

}  // namespace kwCore
