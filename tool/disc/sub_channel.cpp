#include "disc/sub_channel.h"

#include <cstring>

namespace zemtra {

namespace {

constexpr size_t kValidByte = 8;
constexpr size_t kValueStart = 9;

bool isDigit(uint8_t c) {
    return c >= '0' && c <= '9';
}

bool isUpper(uint8_t c) {
    return c >= 'A' && c <= 'Z';
}

// validValue returns the value's bytes when the answer holds length of them
// and its valid bit is set, else null.
const uint8_t* validValue(const uint8_t* answer, size_t size, size_t length) {
    if (answer == nullptr || size < kValueStart + length || (answer[kValidByte] & 0x80) == 0) {
        return nullptr;
    }
    return answer + kValueStart;
}

}  // namespace

bool parseCatalogNumber(const uint8_t* answer, size_t size,
                        char (&digits)[kCatalogNumberLength + 1]) noexcept {
    digits[0] = '\0';
    const uint8_t* value = validValue(answer, size, kCatalogNumberLength);
    if (value == nullptr) {
        return false;
    }
    bool allZero = true;
    for (int i = 0; i < kCatalogNumberLength; ++i) {
        if (!isDigit(value[i])) {
            return false;
        }
        allZero = allZero && value[i] == '0';
    }
    if (allZero) {
        return false;
    }
    std::memcpy(digits, value, kCatalogNumberLength);
    digits[kCatalogNumberLength] = '\0';
    return true;
}

bool parseTrackIsrc(const uint8_t* answer, size_t size, char (&isrc)[kIsrcLength + 1]) noexcept {
    isrc[0] = '\0';
    const uint8_t* value = validValue(answer, size, kIsrcLength);
    if (value == nullptr) {
        return false;
    }
    for (int i = 0; i < kIsrcLength; ++i) {
        const uint8_t c = value[i];
        const bool fits = i < 2 ? isUpper(c) : i < 5 ? isUpper(c) || isDigit(c) : isDigit(c);
        if (!fits) {
            return false;
        }
    }
    std::memcpy(isrc, value, kIsrcLength);
    isrc[kIsrcLength] = '\0';
    return true;
}

}  // namespace zemtra
