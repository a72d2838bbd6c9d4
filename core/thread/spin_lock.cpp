#include "thread/spin_lock.h"

#include "platform/threads.h"
#include "thread/interlocked.h"

namespace kwCore {

namespace {

constexpr int immediateRetries = 10;
constexpr int yieldingRetries = 100;
constexpr uint32_t backOffSleepMs = 5;

int32_t callerId() noexcept {
    return static_cast<int32_t>(platform::currentThreadId());
}

}  // namespace

void SpinLock::acquire() noexcept {
    const int32_t self = callerId();
    int attempts = 0;
    while (interlockedCompareExchange(&word, self, 0) != 0) {
        ++attempts;
        if (attempts > yieldingRetries) {
            platform::sleepMilliseconds(backOffSleepMs);
        } else if (attempts > immediateRetries) {
            platform::yieldProcessor();
        }
    }
}

void SpinLock::release() noexcept {
    interlockedCompareExchange(&word, 0, callerId());
}

}  // namespace kwCore
