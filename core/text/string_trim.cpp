#include "text/shared_string.h"

namespace kwCore {

namespace {

// isBlank tests for the trimmed set " \t\n\v\f\r" (0x20 and 0x09 to 0x0D) only,
// whatever the locale.
bool isBlank(char c) noexcept {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

void SharedString::trimRight() {
    if (chars == nullptr) {
        return;
    }
    int32_t length = getLength();
    int32_t end = length;
    while (end > 0 && isBlank(chars[end - 1])) {
        --end;
    }
    if (end < length) {
        remove(end, length - end);
    }
}

void SharedString::trimLeft() {
    if (chars == nullptr) {
        return;
    }
    int32_t length = getLength();
    int32_t blanks = 0;
    while (blanks < length && isBlank(chars[blanks])) {
        ++blanks;
    }
    if (blanks > 0) {
        remove(0, blanks);
    }
}

void SharedString::trim() {
    trimRight();
    if (chars != nullptr) {
        trimLeft();
    }
}

}  // namespace kwCore
