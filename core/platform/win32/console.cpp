#include "platform/console.h"

#include <fcntl.h>
#include <io.h>
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

// Binary mode for this write only: what the stream holds goes out in text
// mode first, the bytes untranslated, and later writes in text mode again.
size_t writeStandardOutputRaw(const void* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    _lock_file(stdout);
    std::fflush(stdout);
    const int fd = _fileno(stdout);
    const int previous = _setmode(fd, _O_BINARY);
    const size_t written = std::fwrite(data, 1, size, stdout);
    std::fflush(stdout);
    if (previous != -1) {
        _setmode(fd, previous);
    }
    _unlock_file(stdout);
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

bool standardErrorIsTerminal() {
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode) != 0;
}

size_t writeStandardError(const void* data, size_t size) {
    const size_t written = std::fwrite(data, 1, size, stderr);
    std::fflush(stderr);
    return written;
}

}  // namespace kwCore::platform
