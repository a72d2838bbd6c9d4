// Formatting with %s arguments, trimming and UTF-8 encoding on any text,
// each checked against a plain std::string model.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "text/string_format.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string textOf(const kwCore::SharedString& s) {
    return std::string(s.cStr(), static_cast<size_t>(s.getLength()));
}

void checkFormat(const std::string& first, const std::string& second) {
    const kwCore::SharedString one = kwCore::format("%s", first.c_str());
    FUZZ_CHECK(textOf(one) == first);
    const kwCore::SharedString both = kwCore::format("[%s|%s]", first.c_str(), second.c_str());
    FUZZ_CHECK(textOf(both) == "[" + first + "|" + second + "]");

    // formatInto writes a private block: a handle sharing the old one keeps it.
    kwCore::SharedString target(second.c_str());
    const kwCore::SharedString sharer = target;
    target.formatInto("%s%s", first.c_str(), first.c_str());
    FUZZ_CHECK(textOf(target) == first + first);
    FUZZ_CHECK(textOf(sharer) == second);
}

void checkTrim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (end > 0 && isBlank(text[end - 1])) {
        --end;
    }
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    const kwCore::SharedString original(text.c_str());

    kwCore::SharedString right = original;
    right.trimRight();
    FUZZ_CHECK(textOf(right) == text.substr(0, end));
    kwCore::SharedString left = original;
    left.trimLeft();
    size_t leading = 0;
    while (leading < text.size() && isBlank(text[leading])) {
        ++leading;
    }
    FUZZ_CHECK(textOf(left) == text.substr(leading));
    kwCore::SharedString both = original;
    both.trim();
    FUZZ_CHECK(textOf(both) == text.substr(begin, end - begin));
    // Only the null handle stays null; a blank text becomes the empty block.
    FUZZ_CHECK(both.isNull() == text.empty());
    FUZZ_CHECK(textOf(original) == text);  // the shared block is untouched
}

void checkCodePoint(uint32_t cp) {
    const kwCore::SharedString encoded = kwCore::fromCodePoint(cp);
    const uint32_t low = cp & 0xFFFF;
    const auto* bytes = reinterpret_cast<const unsigned char*>(encoded.cStr());
    const int32_t length = encoded.getLength();
    uint32_t decoded = 0;
    if (low < 0x80) {
        FUZZ_CHECK(length == 1);
        decoded = bytes[0];
    } else if (low < 0x800) {
        FUZZ_CHECK(length == 2 && (bytes[0] & 0xE0) == 0xC0 && (bytes[1] & 0xC0) == 0x80);
        decoded = (bytes[0] & 0x1Fu) << 6 | (bytes[1] & 0x3Fu);
    } else {
        FUZZ_CHECK(length == 3 && (bytes[0] & 0xF0) == 0xE0 && (bytes[1] & 0xC0) == 0x80 &&
                   (bytes[2] & 0xC0) == 0x80);
        decoded = (bytes[0] & 0x0Fu) << 12 | (bytes[1] & 0x3Fu) << 6 | (bytes[2] & 0x3Fu);
    }
    FUZZ_CHECK(decoded == low);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= 4) {
        uint32_t cp = 0;
        std::memcpy(&cp, data, sizeof cp);
        checkCodePoint(cp);
    }
    // Two NUL-terminated texts: the input up to its first NUL, and what follows.
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t cut = input.find('\0');
    const std::string first = input.substr(0, cut);
    std::string second = cut == std::string::npos ? std::string() : input.substr(cut + 1);
    second = second.substr(0, second.find('\0'));
    checkFormat(first, second);
    checkTrim(first);
    return 0;
}
