#include "image/cue_text.h"

namespace zemtra {

namespace {

constexpr uint8_t kByteOrderMark[] = {0xEF, 0xBB, 0xBF};

bool isContinuation(uint8_t byte) noexcept {
    return (byte & 0xC0) == 0x80;
}

// sequenceLength returns the length of the well-formed UTF-8 sequence at
// text (at most size bytes), or 0 when none starts there.
size_t sequenceLength(const uint8_t* text, size_t size) noexcept {
    const uint8_t lead = text[0];
    if (lead < 0x80) {
        return 1;
    }
    size_t length = 0;
    uint8_t low = 0x80;   // the range of the second byte, narrowed where
    uint8_t high = 0xBF;  // the lead alone would allow overlong or too-large forms
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (size < length || text[1] < low || text[1] > high) {
        return 0;
    }
    for (size_t i = 2; i < length; ++i) {
        if (!isContinuation(text[i])) {
            return 0;
        }
    }
    return length;
}

}  // namespace

bool isValidUtf8(const uint8_t* text, size_t size) noexcept {
    for (size_t at = 0; at < size;) {
        const size_t length = sequenceLength(text + at, size - at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

std::string decodeCueText(const uint8_t* text, size_t size) {
    if (isValidUtf8(text, size)) {
        const bool marked = size >= sizeof kByteOrderMark && text[0] == kByteOrderMark[0] &&
                            text[1] == kByteOrderMark[1] && text[2] == kByteOrderMark[2];
        const size_t skip = marked ? sizeof kByteOrderMark : 0;
        return std::string(reinterpret_cast<const char*>(text) + skip, size - skip);
    }
    std::string utf8;
    utf8.reserve(size + size / 8);
    for (size_t i = 0; i < size; ++i) {
        const uint8_t byte = text[i];
        if (byte < 0x80) {
            utf8 += static_cast<char>(byte);
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

}  // namespace zemtra
