#include "thread/lock.h"

#include <new>

#include "platform/threads.h"

namespace kwCore {

namespace {

constexpr uint32_t lockSpinCount = 4000;

platform::CriticalSection* criticalSection(unsigned char* storage) noexcept {
    return reinterpret_cast<platform::CriticalSection*>(storage);
}

}  // namespace

static_assert(sizeof(platform::CriticalSection) == 40 && alignof(platform::CriticalSection) == 8,
              "Lock keeps the critical section in 40 bytes aligned to 8");

Lock::Lock() {
    if (!platform::initializeCriticalSection(criticalSection(section), lockSpinCount)) {
        throw std::bad_alloc();
    }
}

Lock::~Lock() {
    platform::deleteCriticalSection(criticalSection(section));
}

void Lock::enter() noexcept {
    platform::enterCriticalSection(criticalSection(section));
    ownerThreadId.store(platform::currentThreadId(), std::memory_order_relaxed);
}

void Lock::leave() noexcept {
    ownerThreadId.store(0, std::memory_order_relaxed);
    platform::leaveCriticalSection(criticalSection(section));
}

}  // namespace kwCore
