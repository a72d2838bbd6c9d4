#pragma once

#include <cstddef>

namespace kwCore {

// The library's heap: thin forwards to the run-time's allocator. The
// growable arrays keep their storage here.

// heapAllocate returns size bytes of uninitialised memory. Throws
// std::bad_alloc when the heap is exhausted.
void* heapAllocate(size_t size);

// heapReallocate resizes memory from heapAllocate (or nullptr) to size
// bytes, keeping its contents up to the smaller size, and returns where it
// now lives. A size of 0 frees memory and returns nullptr. Throws
// std::bad_alloc when the heap is exhausted; memory is then unchanged.
void* heapReallocate(void* memory, size_t size);

// heapFree releases memory from heapAllocate or heapReallocate; nullptr is
// ignored.
void heapFree(void* memory) noexcept;

}  // namespace kwCore
