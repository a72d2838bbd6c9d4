#include "platform/console.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kwCore::platform {

namespace {

// kChunk is the number of given bytes translated at a time, on the stack.
constexpr size_t kChunk = 4096;

// sourceBytesWithin counts the bytes of source whose translated form lies
// wholly within the first written output bytes (an LF takes two).
size_t sourceBytesWithin(const char* source, size_t written) {
    size_t count = 0;
    for (size_t used = 0;; ++count) {
        used += source[count] == '\n' ? 2 : 1;
        if (used > written) {
            return count;
        }
    }
}

}  // namespace

// The bytes a text-mode stream writes: every LF preceded by a CR. The text
// goes out in chunks translated on the stack, so any size costs no heap.
size_t writeStandardOutput(const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        const char* chunk = bytes + done;
        const size_t n = std::min(size - done, kChunk);
        if (std::memchr(chunk, '\n', n) == nullptr) {
            const size_t written = std::fwrite(chunk, 1, n, stdout);
            done += written;
            if (written < n) {
                break;
            }
            continue;
        }
        char translated[2 * kChunk];
        char* out = translated;
        for (size_t i = 0; i < n; ++i) {
            if (chunk[i] == '\n') {
                *out++ = '\r';
            }
            *out++ = chunk[i];
        }
        const size_t translatedSize = static_cast<size_t>(out - translated);
        const size_t written = std::fwrite(translated, 1, translatedSize, stdout);
        if (written < translatedSize) {
            done += sourceBytesWithin(chunk, written);
            break;
        }
        done += n;
    }
    return done;
}

size_t readStandardInput(void* destination, size_t size) {
    if (size == 0) {
        return 0;
    }
    return std::fread(destination, 1, size, stdin);
}

bool consoleAttached() {
    const int terminal = open("/dev/tty", O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0) {
        return false;
    }
    close(terminal);
    return true;
}

}  // namespace kwCore::platform
