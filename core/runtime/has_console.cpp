#include "runtime/has_console.h"

#include "platform/console.h"

namespace kwCore {

bool hasConsole() noexcept {
    return platform::consoleAttached();
}

}  // namespace kwCore
