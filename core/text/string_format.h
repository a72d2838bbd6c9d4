#pragma once

#include <cstdint>

#include "text/shared_string.h"

namespace kwCore {

// format returns fmt formatted printf-style with the arguments, as
// SharedString::formatInto does on a null handle.
SharedString format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// fromCodePoint returns the UTF-8 encoding of cp's low 16 bits (one to three
// bytes; surrogate values are encoded like any other). cp 0 gives one NUL.
SharedString fromCodePoint(uint32_t cp);

}  // namespace kwCore
