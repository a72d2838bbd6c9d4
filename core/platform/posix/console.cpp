#include "platform/console.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace kwCore::platform {

bool writeStandardOutput(const void* data, size_t size) {
    if (size == 0) {
        return true;
    }
    const char* bytes = static_cast<const char*>(data);
    const size_t lineFeeds = static_cast<size_t>(std::count(bytes, bytes + size, '\n'));
    if (lineFeeds == 0) {
        return std::fwrite(bytes, size, 1, stdout) == 1;
    }
    // The bytes a text-mode stream writes: every LF preceded by a CR. Short
    // texts, every report line among them, are translated on the stack.
    const size_t translatedSize = size + lineFeeds;
    char local[512];
    std::unique_ptr<char[]> heap;
    char* translated = local;
    if (translatedSize > sizeof local) {
        heap = std::make_unique_for_overwrite<char[]>(translatedSize);
        translated = heap.get();
    }
    char* out = translated;
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] == '\n') {
            *out++ = '\r';
        }
        *out++ = bytes[i];
    }
    return std::fwrite(translated, translatedSize, 1, stdout) == 1;
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
