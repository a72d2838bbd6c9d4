#pragma once

#include <cstddef>
#include <cstdint>

namespace zemtra {

// The catalog number and the ISRCs as the Q sub-channel answers them: a
// 24-byte answer whose byte 8 bit 7 marks the value valid and whose value
// starts at byte 9. Only the bytes the device delivered are read.

// kCatalogNumberLength is the number of digits of a media catalog number.
inline constexpr int kCatalogNumberLength = 13;
// kIsrcLength is the number of characters of an ISRC.
inline constexpr int kIsrcLength = 12;

// parseCatalogNumber takes the catalog number from the size bytes of answer
// into digits, NUL-terminated. It counts when the answer holds byte 21, its
// valid bit is set and its 13 bytes are ASCII digits, not all "0". Returns
// false, leaving digits empty, otherwise.
bool parseCatalogNumber(const uint8_t* answer, size_t size,
                        char (&digits)[kCatalogNumberLength + 1]) noexcept;

// parseTrackIsrc takes an ISRC from the size bytes of answer into isrc,
// NUL-terminated. It counts when the answer holds byte 20, its valid bit is
// set and its 12 characters have the ISRC form: two upper-case letters,
// three upper-case letters or digits, seven digits. Returns false, leaving
// isrc empty, otherwise.
bool parseTrackIsrc(const uint8_t* answer, size_t size, char (&isrc)[kIsrcLength + 1]) noexcept;

}  // namespace zemtra
