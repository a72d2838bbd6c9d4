#include "platform/memory.h"

#include <sys/mman.h>

namespace kwCore::platform {

void* allocateSystemBlock() noexcept {
    void* block =
        mmap(nullptr, systemBlockSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block == MAP_FAILED ? nullptr : block;
}

void releaseSystemBlock(void* block) noexcept {
    if (block != nullptr) {
        munmap(block, systemBlockSize);
    }
}

}  // namespace kwCore::platform
