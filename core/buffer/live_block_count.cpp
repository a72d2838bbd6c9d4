#include "buffer/live_block_count.h"

#include <atomic>

#include "runtime/system_block.h"
#include "thread/interlocked.h"

namespace kwCore {

namespace {
int32_t liveBlocks = 0;
}

int32_t liveBlockCount() noexcept {
    return std::atomic_ref<int32_t>(liveBlocks).load();
}

void* obtainCountedBlock() noexcept {
    void* block = allocateSystemBlock();
    if (block != nullptr) {
        interlockedIncrement(&liveBlocks);
    }
    return block;
}

void releaseCountedBlock(void* block) noexcept {
    interlockedDecrement(&liveBlocks);
    releaseSystemBlock(block);
}

}  // namespace kwCore
