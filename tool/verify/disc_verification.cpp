#include "verify/disc_verification.h"

#include <algorithm>
#include <memory>

namespace zemtra {

VerifyResult verifyDisc(const AudioLayout& layout, const VerifyRequest& request,
                        const SectorRead& read) {
    VerifyResult result;
    std::vector<TrackChecksums> sums;
    for (const AudioTrack& track : layout.tracks) {
        TrackResult entry;
        entry.track = track;
        result.tracks.push_back(entry);
        sums.emplace_back(track);
    }
    if (layout.tracks.empty()) {
        return result;
    }
    std::unique_ptr<OffsetSearch> search;
    if (request.search && request.record != nullptr) {
        search = std::make_unique<OffsetSearch>(layout.tracks, *request.record);
    }
    const int64_t begin = search ? search->begin() : layout.tracks.front().firstSample;
    const int64_t end = search ? search->end() : layout.tracks.back().endSample();

    // current is the first track not wholly read yet.
    size_t current = 0;
    AudioSink sink;
    sink.samples = [&](const uint8_t* bytes, int64_t position, size_t count) {
        const int64_t stop = position + static_cast<int64_t>(count);
        for (size_t t = current; t < layout.tracks.size(); ++t) {
            const AudioTrack& track = layout.tracks[t];
            if (track.firstSample >= stop) {
                break;
            }
            const int64_t from = std::max(position, track.firstSample);
            const int64_t to = std::min(stop, track.endSample());
            if (from < to) {
                sums[t].feed(bytes + (from - position) * static_cast<int64_t>(kBytesPerSample),
                             static_cast<size_t>(to - from));
            }
        }
        while (current < layout.tracks.size() && layout.tracks[current].endSample() <= stop) {
            ++current;
        }
        if (search) {
            search->feed(bytes, position, count);
        }
    };
    sink.failed = [&](int64_t lba) {
        // Every track holding one of the sector's samples is unreadable; the
        // read goes on where the next track still readable needs samples.
        const int64_t first = lba * kSamplesPerSector - request.offset;
        const int64_t last = first + kSamplesPerSector;
        int64_t next = lba + 1;
        for (size_t t = 0; t < result.tracks.size(); ++t) {
            TrackResult& track = result.tracks[t];
            if (track.track.firstSample < last && track.track.endSample() > first) {
                if (track.readable) {
                    track.readable = false;
                    track.failedSector = lba;
                }
                if (search) {
                    search->exclude(t);
                }
                if (t + 1 < result.tracks.size()) {
                    const int64_t need = result.tracks[t + 1].track.firstSample -
                                         (search ? kOffsetSearchRange : 0) + request.offset;
                    next = std::max(next, need >= 0 ? need / kSamplesPerSector : 0);
                } else {
                    next = INT64_MAX;
                }
            }
        }
        return next;
    };
    if (request.progress) {
        sink.progress = [&](int64_t position) {
            const AudioTrack& track = layout.tracks[std::min(current, layout.tracks.size() - 1)];
            const double fraction = static_cast<double>(std::clamp<int64_t>(
                                        position - track.firstSample, 0, track.sampleCount)) /
                                    static_cast<double>(std::max<int64_t>(track.sampleCount, 1));
            request.progress(track.number, fraction, position - begin);
        };
    }
    result.filled = readAudio(layout, request.offset, begin, end, read, sink);
    for (size_t t = 0; t < result.tracks.size(); ++t) {
        result.tracks[t].values = sums[t].values();
    }
    if (search) {
        result.offsets = search->finish();
        for (OffsetMatch& match : result.offsets) {
            match.offset += request.offset;
        }
    }
    return result;
}

}  // namespace zemtra
