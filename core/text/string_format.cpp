#include "text/string_format.h"

#include <cstdio>

namespace kwCore {

namespace {

constexpr int32_t kFirstAttempt = 256;
// Attempts double from 256 bytes while they stay below 1 MiB: the last is 512 KiB.
constexpr int32_t kAttemptLimit = 0x100000;

}  // namespace

void SharedString::formatIntoV(const char* fmt, va_list args) {
    for (int32_t size = kFirstAttempt;; size *= 2) {
        char* room = writeBuffer(size);
        va_list attempt;
        va_copy(attempt, args);
        // A C99 formatter returns the length it needed; an older run-time
        // returns -1 on truncation. Either way, a result of size or more
        // characters did not fit.
        int written = std::vsnprintf(room, static_cast<size_t>(size), fmt, attempt);
        va_end(attempt);
        if (written >= 0 && written < size) {
            break;
        }
        room[size - 1] = '\0';
        if (size * 2 >= kAttemptLimit) {
            break;
        }
    }
    setCachedLength(-1);
}

void SharedString::formatInto(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    formatIntoV(fmt, args);
    va_end(args);
}

SharedString format(const char* fmt, ...) {
    SharedString result;
    va_list args;
    va_start(args, fmt);
    result.formatIntoV(fmt, args);
    va_end(args);
    return result;
}

SharedString fromCodePoint(uint32_t cp) {
    cp &= 0xFFFF;
    SharedString result;
    if (cp < 0x80) {
        result.appendChar(static_cast<char>(cp));
    } else if (cp < 0x800) {
        result.appendChar(static_cast<char>(0xC0 + (cp >> 6)));
        result.appendChar(static_cast<char>(0x80 + (cp & 0x3F)));
    } else {
        result.appendChar(static_cast<char>(0xE0 + (cp >> 12)));
        result.appendChar(static_cast<char>(0x80 + ((cp >> 6) & 0x3F)));
        result.appendChar(static_cast<char>(0x80 + (cp & 0x3F)));
    }
    return result;
}

}  // namespace kwCore
