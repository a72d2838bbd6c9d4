#include "platform/console.h"

#include <windows.h>

#include <cstdio>

namespace kwCore::platform {

// The run-time's stdout is in text mode: it turns every LF into CR LF itself.
bool writeStandardOutput(const void* data, size_t size) {
    if (size == 0) {
        return true;
    }
    return std::fwrite(data, size, 1, stdout) == 1;
}

bool consoleAttached() {
    return GetConsoleCP() != 0;
}

}  // namespace kwCore::platform
