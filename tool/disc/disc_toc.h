#pragma once

#include <cstddef>
#include <cstdint>

namespace zemtra {

// kSectorBytes is the size of one CD-DA sector: 588 stereo samples of two
// 16-bit words.
inline constexpr size_t kSectorBytes = 2352;

// TocEntry is one track entry of a CD table of contents in the device's own
// 8-byte layout; Address[1..3] hold minute, second and frame.
struct TocEntry {
    uint8_t Reserved;
    uint8_t Control : 4;
    uint8_t Adr : 4;
    uint8_t TrackNumber;
    uint8_t Reserved1;
    uint8_t Address[4];
};

// DiscToc is a CD table of contents in the 804-byte layout the drive
// delivers. Entries 0 to LastTrack - 1 are the tracks in disc order and the
// entry at index LastTrack is the lead-out.
struct DiscToc {
    // kMaxEntries is the number of entries TrackData holds.
    static constexpr int kMaxEntries = 100;
    // kMaxTracks is the largest LastTrack that leaves room for the lead-out.
    static constexpr int kMaxTracks = kMaxEntries - 1;

    uint8_t Length[2];
    uint8_t FirstTrack;
    uint8_t LastTrack;
    TocEntry TrackData[kMaxEntries];
};

static_assert(sizeof(TocEntry) == 8);
static_assert(offsetof(TocEntry, TrackNumber) == 2);
static_assert(offsetof(TocEntry, Reserved1) == 3);
static_assert(offsetof(TocEntry, Address) == 4);
// Control is the low nibble of byte 1 and Adr the high one (checked by the
// tool's tests: not every compiler evaluates a bit-field bit_cast at compile
// time).

static_assert(sizeof(DiscToc) == 804);
static_assert(offsetof(DiscToc, FirstTrack) == 2);
static_assert(offsetof(DiscToc, LastTrack) == 3);
static_assert(offsetof(DiscToc, TrackData) == 4);

}  // namespace zemtra
