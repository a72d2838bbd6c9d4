#include "text/console_output.h"

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/console.h"

namespace kwCore {

namespace {

constexpr size_t kStackBufferSize = 256;
// kLargestBufferSize is the largest heap buffer: 1,048,576 bytes.
constexpr size_t kLargestBufferSize = size_t{1} << 20;

// formatAttempt formats into size bytes and tells whether the whole text fit.
// The buffer ends with a NUL either way.
bool formatAttempt(char* buffer, size_t size, const char* fmt, va_list args) {
    va_list attempt;
    va_copy(attempt, args);
    buffer[0] = 0;
    const int length = std::vsnprintf(buffer, size, fmt, attempt);
    va_end(attempt);
    buffer[size - 1] = 0;
    return length >= 0 && static_cast<size_t>(length) < size;
}

void writeText(const char* text) {
    const size_t length = std::strlen(text);
    if (length > 0) {
        platform::writeStandardOutput(text, length);
    }
}

}  // namespace

void printFormatted(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    char stackBuffer[kStackBufferSize];
    if (formatAttempt(stackBuffer, sizeof stackBuffer, fmt, args)) {
        writeText(stackBuffer);
    } else {
        for (size_t size = 2 * kStackBufferSize;; size *= 2) {
            // Zeroed, so a formatter that fails midway leaves no stray bytes.
            const auto buffer = std::make_unique<char[]>(size);
            if (formatAttempt(buffer.get(), size, fmt, args) || size >= kLargestBufferSize) {
                writeText(buffer.get());
                break;
            }
        }
    }
    va_end(args);
}

}  // namespace kwCore
