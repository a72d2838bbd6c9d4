#include "thread/sleep.h"

#include "platform/threads.h"

namespace kwCore {

bool sleepMs(uint32_t milliseconds) noexcept {
    if (milliseconds == 0) {
        return platform::yieldProcessor();
    }
    platform::sleepMilliseconds(milliseconds);
    return true;
}

}  // namespace kwCore
