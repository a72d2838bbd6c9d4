#include "buffer/block_cache_array.h"

#include <cstring>
#include <new>

#include "runtime/heap.h"
#include "runtime/system_block.h"

namespace kwCore {

void** newBlockCacheArray(int32_t capacity) {
    if (capacity <= 0) {
        return nullptr;
    }
    if (capacity > largestCacheCapacity) {
        throw std::bad_alloc();
    }
    const size_t bytes = static_cast<size_t>(capacity) * sizeof(void*);
    void* cache = heapAllocate(bytes);
    std::memset(cache, 0, bytes);
    return static_cast<void**>(cache);
}

void freeBlockCacheArray(void** cache) noexcept {
    heapFree(cache);
}

void releaseCachedBlocks(void** cache, int32_t count) noexcept {
    for (int32_t i = 0; i < count; ++i) {
        releaseSystemBlock(cache[i]);
        cache[i] = nullptr;
    }
}

}  // namespace kwCore
