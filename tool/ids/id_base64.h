#pragma once

#include <cstdint>

#include "text/shared_string.h"

namespace zemtra {

// appendIdBase64 appends count bytes in the base64 that disc ids are
// written in (MusicBrainz, CUETools database): the usual alphabet but for
// '.' and '_' in place of '+' and '/', padded with '-'.
void appendIdBase64(kwCore::SharedString& text, const uint8_t* bytes, int count);

}  // namespace zemtra
