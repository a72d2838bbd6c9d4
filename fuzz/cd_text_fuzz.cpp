// The CD-TEXT and Q sub-channel parsers on any answer: no read outside it
// (the input is the whole buffer), no NUL inside any text, and values only
// of their form.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "disc/cd_text.h"
#include "disc/sub_channel.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zemtra::CdText text;
    zemtra::parseCdText(data, size, text);
    for (const auto& fields : text.text) {
        for (const auto& field : fields) {
            FUZZ_CHECK(std::strlen(field.cStr()) == static_cast<size_t>(field.getLength()));
        }
    }

    char digits[zemtra::kCatalogNumberLength + 1];
    if (zemtra::parseCatalogNumber(data, size, digits)) {
        FUZZ_CHECK(std::strlen(digits) == zemtra::kCatalogNumberLength);
        FUZZ_CHECK(std::strspn(digits, "0123456789") == zemtra::kCatalogNumberLength);
        FUZZ_CHECK((data[8] & 0x80) != 0);
    } else {
        FUZZ_CHECK(digits[0] == '\0');
    }
    char isrc[zemtra::kIsrcLength + 1];
    if (zemtra::parseTrackIsrc(data, size, isrc)) {
        FUZZ_CHECK(std::strlen(isrc) == zemtra::kIsrcLength);
        FUZZ_CHECK(std::strspn(isrc + 5, "0123456789") == 7);
        FUZZ_CHECK(std::memcmp(isrc, data + 9, zemtra::kIsrcLength) == 0);
    } else {
        FUZZ_CHECK(isrc[0] == '\0');
    }
    return 0;
}
