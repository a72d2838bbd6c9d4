#include "runtime/system_block.h"

#include "platform/memory.h"

namespace kwCore {

static_assert(systemBlockSize == platform::systemBlockSize);

void* allocateSystemBlock() noexcept {
    return platform::allocateSystemBlock();
}

void releaseSystemBlock(void* block) noexcept {
    platform::releaseSystemBlock(block);
}

}  // namespace kwCore
