#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zemtra {

// isValidUtf8 tells whether the size bytes at text are well-formed UTF-8:
// shortest forms only, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(const uint8_t* text, size_t size) noexcept;

// decodeCueText returns a cue sheet's bytes as UTF-8. A sheet that is valid
// UTF-8 is taken as it is, less a leading byte order mark; any other sheet
// is ISO-8859-1 and each byte above 0x7F becomes its two-byte UTF-8 form.
std::string decodeCueText(const uint8_t* text, size_t size);

}  // namespace zemtra
