#pragma once

#include <cstdint>

#include "disc/disc_toc.h"

namespace zemtra {

// Frame values count 1/75 of a second; they are the device's absolute
// minute:second:frame addresses, with no offset taken off.
inline constexpr int32_t kFramesPerSecond = 75;
inline constexpr int32_t kFramesPerMinute = 60 * kFramesPerSecond;

// frameAddress returns the frame address of an entry: minute * 4500 +
// second * 75 + frame.
int32_t frameAddress(const TocEntry& entry) noexcept;

// trackStart returns the start of the track in entry k (0-based).
// trackStart, trackLength and trackEnd return 0 for a k that is not one of
// the TOC's tracks (0 to tocTrackCount - 1).
int32_t trackStart(const DiscToc& toc, int k) noexcept;
// trackLength returns the frames from entry k to entry k + 1.
int32_t trackLength(const DiscToc& toc, int k) noexcept;
// trackEnd returns the first frame after the track in entry k: the next
// track's start or, for the last track, the lead-out.
int32_t trackEnd(const DiscToc& toc, int k) noexcept;

// discLength returns the frames from the first track to the lead-out; 0 for
// a TOC without tracks.
int32_t discLength(const DiscToc& toc) noexcept;

}  // namespace zemtra
