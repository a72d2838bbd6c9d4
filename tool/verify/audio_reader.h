#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "disc/command_read.h"
#include "platform/device.h"
#include "verify/audio_tracks.h"

namespace zemtra {

// kSectorsPerRead is the most sectors one READ CD command asks for.
inline constexpr int kSectorsPerRead = 27;
// kReadRetries is how often a failed sector is read again before it counts
// as unreadable.
inline constexpr int kReadRetries = 3;

// SectorRead reads count sectors (1 to kSectorsPerRead) from sector lba into
// buffer (count * kSectorBytes bytes): done when every byte was delivered,
// failed, or noCommands when the device takes no commands.
using SectorRead = std::function<ReadStatus(int64_t lba, int count, uint8_t* buffer)>;

// cdSectorRead reads audio sectors from an open drive with READ CD (BEh,
// expected sector type CD-DA, user data only, no sub-channel).
SectorRead cdSectorRead(kwCore::platform::CdDevice device);

// AudioSink receives what a read delivers, in order.
struct AudioSink {
    // samples takes count samples at bytes, the first at position.
    std::function<void(const uint8_t* bytes, int64_t position, size_t count)> samples;
    // failed hears that sector lba failed after its retries, and returns the
    // sector from which to go on (samples up to it arrive as zeros).
    std::function<int64_t(int64_t lba)> failed;
    // progress hears, after each read, the position the read has reached;
    // may be empty.
    std::function<void(int64_t position)> progress;
};

// readAudio reads the positions begin to end (exclusive) of a disc laid out
// as layout, where position p is the drive's sample p + offset, and hands
// them to sink in pieces of at most kSectorsPerRead sectors. Samples the
// drive does not give (sectors layout does not count as readable) are
// zero. A sector that fails after its retries goes to sink.failed; once a
// read answers noCommands no further read is made, and every readable
// sector after it fails at once. Returns how many zero samples of sectors
// the drive does not give lie within the audio tracks (the tracks' own
// positions, not the margins around them).
int64_t readAudio(const AudioLayout& layout, int64_t offset, int64_t begin, int64_t end,
                  const SectorRead& read, const AudioSink& sink);

}  // namespace zemtra
