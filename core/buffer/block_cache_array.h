#pragma once

#include <cstdint>

namespace kwCore {

// A pool's cache of blocks is a heap array of block pointers used as a
// stack: entries 0 to the cached count - 1 hold blocks.

// largestCacheCapacity is the most entries a cache array may have; a larger
// capacity fails as out of memory.
inline constexpr int32_t largestCacheCapacity = (int32_t{1} << 30) - 1;

// newBlockCacheArray returns a heap array of capacity null entries, or
// nullptr for a capacity of 0 or less. Throws std::bad_alloc when the heap
// is exhausted or capacity passes largestCacheCapacity.
void** newBlockCacheArray(int32_t capacity);

// freeBlockCacheArray frees an array from newBlockCacheArray; nullptr is
// ignored. The blocks it holds must have been given back before.
void freeBlockCacheArray(void** cache) noexcept;

// releaseCachedBlocks gives entries 0 to count - 1 back to the system and
// nulls them. The pools' gauge of live blocks is left as it is.
void releaseCachedBlocks(void** cache, int32_t count) noexcept;

}  // namespace kwCore
