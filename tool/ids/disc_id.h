#pragma once

#include <cstdint>

#include "disc/disc_toc.h"

namespace zemtra {

// computeDiscId returns the freedb disc identifier of a TOC: the sum of the
// tracks' start-second digit sums modulo 255 in bits 24-31, the disc's
// length in whole seconds from bit 8 and the last track number in bits 0-7.
// Tracks are counted by number from 1: on a disc whose first track is
// numbered above 1 the absent tracks start at 0, so the length is the
// lead-out's whole seconds. A TOC without tracks (tocTrackCount 0) gives 0.
uint32_t computeDiscId(const DiscToc& toc) noexcept;

}  // namespace zemtra
