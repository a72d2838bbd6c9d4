#include "ids/cddb_query.h"

#include "disc/toc_tracks.h"
#include "disc/track_timing.h"
#include "text/string_format.h"

namespace zemtra {

kwCore::SharedString cddbQuery(const DiscToc& toc, uint32_t freedbId) {
    const int count = tocTrackCount(toc);
    kwCore::SharedString query =
        kwCore::format("%08lx %d", static_cast<unsigned long>(freedbId), count);
    for (int k = 0; k < count; ++k) {
        query.append(kwCore::format(" %d", static_cast<int>(frameAddress(toc.TrackData[k]))));
    }
    query.append(
        kwCore::format(" %d", static_cast<int>(frameAddress(tocLeadOut(toc)) / kFramesPerSecond)));
    return query;
}

}  // namespace zemtra
