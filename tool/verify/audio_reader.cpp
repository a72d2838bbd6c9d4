#include "verify/audio_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "disc/cd_commands.h"
#include "verify/ar_sums.h"

namespace zemtra {

namespace {

// floorDiv divides rounding down, for positions before sector 0.
int64_t floorDiv(int64_t value, int64_t divisor) {
    const int64_t quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

// readSectors reads count sectors at lba into buffer: all at once, or, when
// that fails, one at a time with retries. Returns the index of the first
// sector that failed after its retries (its bytes zero), count when none.
// Sets noCommands when a read answers so; while it is set nothing is read
// and the first sector fails.
int readSectors(const SectorRead& read, int64_t lba, int count, uint8_t* buffer, bool& noCommands) {
    // attempt makes one read unless the device takes no commands.
    const auto attempt = [&](int64_t at, int sectors, uint8_t* into) {
        if (noCommands) {
            return false;
        }
        const ReadStatus status = read(at, sectors, into);
        noCommands = status == ReadStatus::noCommands;
        return status == ReadStatus::done;
    };
    if (attempt(lba, count, buffer)) {
        return count;
    }
    for (int i = 0; i < count; ++i) {
        uint8_t* sector = buffer + static_cast<size_t>(i) * kSectorBytes;
        bool done = false;
        for (int retry = 0; retry <= kReadRetries && !done && !noCommands; ++retry) {
            done = attempt(lba + i, 1, sector);
        }
        if (!done) {
            std::memset(sector, 0, kSectorBytes);
            return i;
        }
    }
    return count;
}

}  // namespace

SectorRead cdSectorRead(kwCore::platform::CdDevice device) {
    return [device](int64_t lba, int count, uint8_t* buffer) {
        if (count < 1 || count > kSectorsPerRead || lba < 0 || lba > UINT32_MAX) {
            return ReadStatus::failed;
        }
        uint8_t cdb[12] = {0xBE, 0x04};
        putBigEndian(cdb + 2, static_cast<uint32_t>(lba), 4);
        putBigEndian(cdb + 6, static_cast<uint32_t>(count), 3);
        cdb[9] = 0x10;
        const size_t size = static_cast<size_t>(count) * kSectorBytes;
        const CommandRead answer = sendReadCommand(device, cdb, sizeof cdb, buffer, size);
        if (answer.status == ReadStatus::done && answer.size != size) {
            return ReadStatus::failed;
        }
        return answer.status;
    };
}

int64_t readAudio(const AudioLayout& layout, int64_t offset, int64_t begin, int64_t end,
                  const SectorRead& read, const AudioSink& sink) {
    if (layout.tracks.empty() || end <= begin) {
        return 0;
    }
    const int64_t tracksBegin = layout.tracks.front().firstSample;
    const int64_t tracksEnd = layout.tracks.back().endSample();
    std::vector<uint8_t> buffer(kSectorsPerRead * kSectorBytes);
    int64_t filled = 0;
    int64_t skipUntil = INT64_MIN;
    bool noCommands = false;
    int64_t sector = floorDiv(begin + offset, kSamplesPerSector);
    const int64_t lastSector = floorDiv(end + offset - 1, kSamplesPerSector);
    while (sector <= lastSector) {
        const bool skipped = sector < skipUntil;
        const bool readable = !skipped && layout.isReadable(sector);
        // A piece never crosses from readable sectors into others.
        int64_t count = std::min<int64_t>(kSectorsPerRead, lastSector - sector + 1);
        count = std::min(count, (skipped ? skipUntil : layout.runEnd(sector)) - sector);
        int failedAt = static_cast<int>(count);
        if (readable) {
            failedAt =
                readSectors(read, sector, static_cast<int>(count), buffer.data(), noCommands);
            count = std::min<int64_t>(count, failedAt + 1);
        } else {
            std::memset(buffer.data(), 0, static_cast<size_t>(count) * kSectorBytes);
        }
        // The piece's samples as positions, cut to the range read.
        const int64_t first = std::max(sector * kSamplesPerSector - offset, begin);
        const int64_t last = std::min((sector + count) * kSamplesPerSector - offset, end);
        if (!readable && !skipped) {
            filled +=
                std::max<int64_t>(0, std::min(last, tracksEnd) - std::max(first, tracksBegin));
        }
        if (first < last) {
            const int64_t skip = first + offset - sector * kSamplesPerSector;
            sink.samples(buffer.data() + skip * static_cast<int64_t>(kBytesPerSample), first,
                         static_cast<size_t>(last - first));
        }
        if (sink.progress) {
            sink.progress(last);
        }
        const int64_t next = sector + count;
        if (readable && failedAt < count) {
            skipUntil = std::max(next, sink.failed(sector + failedAt));
        }
        sector = next;
    }
    return filled;
}

}  // namespace zemtra
