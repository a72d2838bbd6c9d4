#pragma once

#include "disc/cd_text.h"
#include "disc/disc_toc.h"
#include "disc/gap_search.h"
#include "disc/sub_channel.h"
#include "platform/device.h"

namespace zemtra {

// DiscDataRequest names what a read takes from the disc besides its TOC;
// each of these requests can take seconds, so nothing is read unasked.
struct DiscDataRequest {
    bool catalogNumber = false;  // the media catalog number
    bool isrcs = false;          // each audio track's ISRC
    bool cdText = false;         // the CD-TEXT of the lead-in
    bool gaps = false;           // the pregaps and further indexes, from the Q sub-channel

    // any tells whether anything is asked for.
    bool any() const noexcept { return catalogNumber || isrcs || cdText || gaps; }
};

// DiscData is what the disc itself carries: its catalog number, its
// tracks' ISRCs, its CD-TEXT and its tracks' gaps. A value the disc does not have, or that
// was not asked for, is empty.
struct DiscData {
    char catalogNumber[kCatalogNumberLength + 1] = {};
    // isrc[k] is the ISRC of the TOC's track k (entry k, in disc order).
    char isrc[DiscToc::kMaxTracks][kIsrcLength + 1] = {};
    CdText cdText;
    DiscGaps gaps;  // searched only when asked for

    // clear empties every value.
    void clear();
};

// readDiscData reads what request asks for from the open device of the
// disc whose TOC is toc into data, which it clears first: the catalog
// number, the ISRC of each audio track (by its number FirstTrack + k), the
// CD-TEXT and the gaps (findGaps, one READ CD per sector). A request that fails or answers no valid
// value leaves its part empty.
void readDiscData(kwCore::platform::CdDevice device, const DiscToc& toc,
                  const DiscDataRequest& request, DiscData& data);

}  // namespace zemtra
