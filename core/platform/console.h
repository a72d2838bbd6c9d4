#pragma once

#include <cstddef>

// The process's console and standard streams.
namespace kwCore::platform {

// writeStandardOutput hands size bytes to the run-time's standard-output
// stream in one write, as its text mode does: every LF becomes CR LF, on
// every platform. Returns false when the stream reports an error.
bool writeStandardOutput(const void* data, size_t size);

// consoleAttached tells whether the process has a console (Windows: the
// console input code page is non-zero; POSIX: /dev/tty opens).
bool consoleAttached();

}  // namespace kwCore::platform
