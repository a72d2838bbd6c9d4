#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "disc/command_read.h"
#include "disc/disc_toc.h"

namespace zemtra {

// kUnknownFrames marks a gap or index start that the reads could not
// settle, or that was not searched: it is never guessed.
inline constexpr int32_t kUnknownFrames = -1;

// TrackGaps is what the Q sub-channel says of one track beyond the TOC.
struct TrackGaps {
    // pregap is the length of the track's INDEX 00 in frames (0 when it has
    // none), kUnknownFrames when unknown. For the first track it runs from
    // LBA 0 (audio hidden before the track, when there is any).
    int32_t pregap = kUnknownFrames;
    // indexesKnown tells whether the track's last index was read.
    bool indexesKnown = false;
    // indexStarts holds the starts of INDEX 02, 03, ... as frame addresses
    // (the TOC's clock); an entry is kUnknownFrames when not settled.
    std::vector<int32_t> indexStarts;
};

// DiscGaps is the result of one gap search.
struct DiscGaps {
    bool searched = false;                 // a search ran
    TrackGaps track[DiscToc::kMaxTracks];  // by TOC entry k, in disc order
    int reads = 0;                         // read requests made
    int failedReads = 0;                   // of which failed
    bool noCommands = false;               // the device took no commands: the search stopped

    // clear forgets every result.
    void clear();
};

// QSectorReader reads the formatted Q sub-channel of the sector at lba
// into answer, which holds kQFrameSize bytes: done with the bytes
// delivered, failed, or noCommands when the device takes no commands.
using QSectorReader = std::function<CommandRead(int32_t lba, uint8_t* answer)>;

// kQReadRetries is how often a failed read is retried.
inline constexpr int kQReadRetries = 3;
// kMaxFailedQReads is the most failed reads one disc gets; after them the
// gaps still open stay unknown.
inline constexpr int kMaxFailedQReads = 400;

// findGaps searches the audio tracks of toc for their pregaps and further
// indexes through read, one sector at a time, into gaps (cleared first):
//   - track k after an audio track, with INDEX 01 at LBA s: s - 1 is read;
//     when it belongs to the track before, there is no pregap; otherwise a
//     binary search between the previous track's INDEX 01 and s finds the
//     first sector of track k.
//   - the first track: when its INDEX 01 lies after LBA 0, one read there
//     confirms that LBA 0 on is its INDEX 00.
//   - further indexes: the track's last sector is read (or known from the
//     search above); when its index is above 1, a binary search finds each
//     index's start.
// Only sectors with a position frame (parseQFrame) count; a frame of
// another kind is passed over by reading a neighbouring sector. A data
// track, and an audio track's pregap after a data track, are not searched
// (their sub-channel is not read as audio). Failures: see the constants; a
// read answered noCommands ends the search at once, every gap not settled
// by then unknown.
void findGaps(const DiscToc& toc, const QSectorReader& read, DiscGaps& gaps);

}  // namespace zemtra
