#pragma once

#include <cstdint>

#include "disc/disc_toc.h"
#include "text/shared_string.h"

namespace zemtra {

// MusicBrainzDisc is the part of a disc that its MusicBrainz disc id covers:
// the audio tracks up to the last one, with the frame addresses of the TOC
// (the 150 frames before the first track included).
struct MusicBrainzDisc {
    int firstTrack = 0;
    int lastTrack = 0;
    int32_t leadOut = 0;
    // offsets holds each track's start by track number (1 to 99); 0 for a
    // number the disc does not have. Element 0 is unused.
    int32_t offsets[100] = {};
};

// kDataTrackGap is the gap in frames between the end of an enhanced CD's
// audio session and the start of its data track: lead-out, lead-in and
// pre-gap of the second session.
inline constexpr int32_t kDataTrackGap = 11400;

// findMusicBrainzDisc fills disc from toc, whose entries hold the tracks
// FirstTrack to LastTrack in order and then the lead-out. Data tracks
// (control bit 4) that end the disc after an audio track are left out: the
// last audio track becomes the last track, and the lead-out is the start of
// the first data track after it less kDataTrackGap. Returns false, leaving
// disc alone, when there is nothing to identify: a TOC that is not
// consistent (isTocConsistent), data tracks only, or an audio lead-out
// before the start of the last audio track.
bool findMusicBrainzDisc(const DiscToc& toc, MusicBrainzDisc& disc) noexcept;

// musicBrainzId returns the disc's MusicBrainz id: the SHA-1 of its first
// and last track numbers (two upper-case hex digits each), its lead-out and
// the offsets of tracks 1 to 99 (eight each), in base64 with '.', '_' and
// '-' standing for '+', '/' and '='. Always 28 characters.
kwCore::SharedString musicBrainzId(const MusicBrainzDisc& disc);

// musicBrainzLookupToc returns the TOC that MusicBrainz's web service looks
// discs up by: first track, last track, lead-out and each track's offset,
// in decimal, separated by single separator characters (spaces, or '+' in
// an address).
kwCore::SharedString musicBrainzLookupToc(const MusicBrainzDisc& disc, char separator = ' ');

}  // namespace zemtra
