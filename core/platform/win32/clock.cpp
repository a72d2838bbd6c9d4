#include "platform/clock.h"

#include <windows.h>

namespace kwCore::platform {

uint32_t tickCount() noexcept {
    return GetTickCount();
}

}  // namespace kwCore::platform
