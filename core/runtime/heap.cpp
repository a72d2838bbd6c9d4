#include "runtime/heap.h"

#include <cstdlib>
#include <new>

namespace kwCore {

void* heapAllocate(size_t size) {
    // A zero-byte request still yields a unique block to free.
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

void* heapReallocate(void* memory, size_t size) {
    if (size == 0) {
        std::free(memory);
        return nullptr;
    }
    void* moved = std::realloc(memory, size);
    if (moved == nullptr) {
        throw std::bad_alloc();
    }
    return moved;
}

void heapFree(void* memory) noexcept {
    std::free(memory);
}

}  // namespace kwCore
