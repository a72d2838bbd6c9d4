#pragma once

#include <cstdint>

#include "disc/disc_toc.h"
#include "text/shared_string.h"

namespace zemtra {

// cddbQuery returns the query that freedb-style servers look a disc up by:
// its freedb identifier freedbId (computeDiscId) in eight lower-case hex
// digits, the track count, each track's frame address (data tracks
// included) and the lead-out's frame address in whole seconds, separated
// by single spaces. A TOC without tracks gives the count 0 and no offsets.
kwCore::SharedString cddbQuery(const DiscToc& toc, uint32_t freedbId);

}  // namespace zemtra
