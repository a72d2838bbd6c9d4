#include "thread/lock.h"

#include <new>

namespace kwCore {

namespace {
constexpr uint32_t lockSpinCount = 4000;
}

Lock::Lock() {
    if (!platform::initializeCriticalSection(&section, lockSpinCount)) {
        throw std::bad_alloc();
    }
}

Lock::~Lock() {
    platform::deleteCriticalSection(&section);
}

void Lock::enter() noexcept {
    platform::enterCriticalSection(&section);
    ownerThreadId.store(platform::currentThreadId(), std::memory_order_relaxed);
}

void Lock::leave() noexcept {
    ownerThreadId.store(0, std::memory_order_relaxed);
    platform::leaveCriticalSection(&section);
}

}  // namespace kwCore
