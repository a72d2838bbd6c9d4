#pragma once

#include <cstddef>

// System blocks: fixed-size pages of read-write memory taken straight from
// the system's virtual memory rather than from the heap.
namespace kwCore::platform {

// systemBlockSize is the size in bytes of every system block.
inline constexpr size_t systemBlockSize = 8192;

// allocateSystemBlock returns a fresh, zero-filled block of systemBlockSize
// read-write bytes, or nullptr when the system has none to give.
// (Windows: VirtualAlloc with MEM_RESERVE | MEM_COMMIT and PAGE_READWRITE;
// POSIX: a private anonymous mmap.)
void* allocateSystemBlock() noexcept;

// releaseSystemBlock gives a block from allocateSystemBlock back to the
// system; nullptr is ignored. (Windows: VirtualFree with MEM_RELEASE;
// POSIX: munmap.)
void releaseSystemBlock(void* block) noexcept;

}  // namespace kwCore::platform
