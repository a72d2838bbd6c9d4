#include "platform/memory.h"

#include <windows.h>

namespace kwCore::platform {

void* allocateSystemBlock() noexcept {
    return VirtualAlloc(nullptr, systemBlockSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void releaseSystemBlock(void* block) noexcept {
    if (block != nullptr) {
        VirtualFree(block, 0, MEM_RELEASE);
    }
}

}  // namespace kwCore::platform
