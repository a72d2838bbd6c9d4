#pragma once

#include <cstdint>

#include "disc_toc.h"

namespace zemtra {

// computeDiscId returns the freedb disc identifier of a TOC: the sum of the
// tracks' start-second digit sums modulo 255 in bits 24-31, the disc's
// length in whole seconds from bit 8 and the track count (LastTrack) in
// bits 0-7. A TOC whose LastTrack is above 99 has no room for its lead-out
// and gives 0.
uint32_t computeDiscId(const DiscToc& toc) noexcept;

}  // namespace zemtra
