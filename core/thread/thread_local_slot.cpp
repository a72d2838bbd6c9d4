#include "thread/thread_local_slot.h"

#include "platform/threads.h"

namespace kwCore {

ThreadLocalSlot::ThreadLocalSlot() noexcept : index(platform::allocateThreadLocal()) {}

ThreadLocalSlot::~ThreadLocalSlot() {
    free();
}

bool ThreadLocalSlot::isAllocated() const noexcept {
    return index != platform::invalidThreadLocalIndex;
}

void* ThreadLocalSlot::get() const noexcept {
    return isAllocated() ? platform::threadLocalValue(index) : nullptr;
}

bool ThreadLocalSlot::set(void* value) noexcept {
    return isAllocated() && platform::setThreadLocalValue(index, value);
}

void ThreadLocalSlot::renew() noexcept {
    // The fresh index is taken before the old one is freed, so it cannot be
    // the old one again.
    const uint32_t fresh = platform::allocateThreadLocal();
    free();
    index = fresh;
}

void ThreadLocalSlot::free() noexcept {
    if (isAllocated()) {
        platform::freeThreadLocal(index);
        index = platform::invalidThreadLocalIndex;
    }
}

}  // namespace kwCore
