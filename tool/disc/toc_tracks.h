#pragma once

#include "disc/disc_toc.h"

namespace zemtra {

// The tracks of a TOC as every report line and identifier reads them:
// entries 0 to count - 1 are the tracks FirstTrack to LastTrack in disc
// order, and entry count is the lead-out.

// tocTrackCount returns LastTrack - FirstTrack + 1, the number of tracks the
// TOC holds; 0 when its header describes no tracks it can hold: LastTrack 0,
// FirstTrack 0 or above LastTrack, or LastTrack above 99 (no room left for
// the lead-out).
int tocTrackCount(const DiscToc& toc) noexcept;

// tocLeadOut returns the lead-out entry: the entry after the last track
// (entry 0 for a TOC without tracks).
const TocEntry& tocLeadOut(const DiscToc& toc) noexcept;

// isTocConsistent tells whether the TOC can describe a real disc: it has a
// track, each track starts after the one before it and the lead-out comes
// after the last track's start. Identifiers of external databases are
// given only for such TOCs.
bool isTocConsistent(const DiscToc& toc) noexcept;

// isDataTrack tells whether an entry is a data track (control bit 4 set).
inline bool isDataTrack(const TocEntry& entry) noexcept {
    return (entry.Control & 4) != 0;
}

}  // namespace zemtra
