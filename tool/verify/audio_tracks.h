#pragma once

#include <cstdint>
#include <vector>

#include "disc/disc_toc.h"

namespace zemtra {

// kSamplesPerSector is the number of stereo samples in one 2,352-byte sector.
inline constexpr int64_t kSamplesPerSector = 588;

// AudioTrack is one audio track as it is read and checksummed: its samples
// from its INDEX 01 to the next track's start, numbered from sample 0 of
// sector 0.
struct AudioTrack {
    int number = 0;           // the track's number on the disc
    int64_t firstSample = 0;  // its first sample
    int64_t sampleCount = 0;  // its length in samples
    bool first = false;       // the disc's first audio track
    bool last = false;        // the disc's last audio track

    int64_t endSample() const noexcept { return firstSample + sampleCount; }
};

// AudioLayout is what a read of a disc's audio covers: its audio tracks in
// disc order and the sectors a drive delivers audio from.
struct AudioLayout {
    std::vector<AudioTrack> tracks;
    // readable holds, as pairs of first and end sector, the sectors of
    // audio tracks in disc order (before sector 0, within data tracks and
    // past the audio session's end the drive gives no audio).
    std::vector<int64_t> readable;

    // isReadable tells whether the drive gives audio for sector.
    bool isReadable(int64_t sector) const noexcept;
    // runEnd returns the end of the readable run that sector lies in,
    // or, for a sector that is not readable, the start of the next run
    // (INT64_MAX when none follows).
    int64_t runEnd(int64_t sector) const noexcept;
};

// findAudioLayout fills layout from toc: every audio track (control bit 4
// clear) ends at the next entry's start; the last audio track ends at the
// audio session's end, which for an enhanced CD lies 11,400 sectors before
// its data track (the MusicBrainz lead-out). Sector 0 is frame address 150;
// a track's part before sector 0 is not read. Returns false, leaving layout
// empty, for a TOC without audio to read (findMusicBrainzDisc fails).
bool findAudioLayout(const DiscToc& toc, AudioLayout& layout);

}  // namespace zemtra
