#include "platform/console.h"

#include <windows.h>

#include <cstdio>

namespace kwCore::platform {

// The run-time's stdout is in text mode: it turns every LF into CR LF itself
// and counts the bytes it was given.
size_t writeStandardOutput(const void* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    return std::fwrite(data, 1, size, stdout);
}

size_t writeStandardError(const void* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t written = std::fwrite(data, 1, size, stderr);
    std::fflush(stderr);
    return written;
}

size_t readStandardInput(void* destination, size_t size) {
    if (size == 0) {
        return 0;
    }
    return std::fread(destination, 1, size, stdin);
}

bool consoleAttached() {
    return GetConsoleCP() != 0;
}

}  // namespace kwCore::platform
