#include "disc/gap_search.h"

#include "disc/q_frame.h"
#include "disc/toc_tracks.h"
#include "disc/track_timing.h"

namespace zemtra {

namespace {

// kLeadInFrames is the frame address of LBA 0.
constexpr int32_t kLeadInFrames = 150;
// kNeighbours is how many sectors on each side stand in for one whose
// frame does not count.
constexpr int kNeighbours = 3;
// kSessionGap is the distance from the end of an audio session to the
// first data track of the next one.
constexpr int32_t kSessionGap = 11400;

// Fits tells whether a position can belong where a search looks.
using Fits = std::function<bool(const QPosition&)>;

// Bracket is what a boundary search knows: lo lies before the boundary,
// hi at or after it; loPos and hiPos are their frames when they were read.
struct Bracket {
    int32_t lo = 0;
    int32_t hi = 0;
    bool loRead = false;
    bool hiRead = false;
    QPosition loPos;
    QPosition hiPos;
};

// GapSearch reads positions for one disc, with its drive's decoding, its
// slip and its budget of failed reads.
class GapSearch {
  public:
    GapSearch(const QSectorReader& read, DiscGaps& gaps) : read_(read), gaps_(gaps) {}

    // positionNear finds the position of a sector strictly between lo and
    // hi that fits: target's own or, when its frame does not count, that of
    // a neighbour up to kNeighbours away.
    bool positionNear(int32_t target, int32_t lo, int32_t hi, const Fits& fits,
                      QPosition& position) {
        for (int step = 0; step <= 2 * kNeighbours; ++step) {
            const int32_t sector = target + (step % 2 == 0 ? step / 2 : -(step + 1) / 2);
            if (sector <= lo || sector >= hi) {
                continue;
            }
            // Ask for the sector the drive's slip makes it answer for.
            const int32_t request = sector - slip_;
            QPosition found;
            if (!readPosition(request, found)) {
                if (exhausted()) {
                    return false;
                }
                continue;
            }
            slip_ = found.lba - request;
            if (found.lba > lo && found.lba < hi && fits(found)) {
                position = found;
                return true;
            }
        }
        return false;
    }

    // narrow searches bracket for its boundary: the first sector after
    // which isAfter holds, trying firstProbe first. Returns that sector, or
    // kUnknownFrames when the reads cannot settle it.
    int32_t narrow(Bracket& bracket, int32_t firstProbe, const Fits& fits, const Fits& isAfter) {
        int32_t target = firstProbe;
        while (bracket.hi - bracket.lo > 1) {
            QPosition position;
            if (!positionNear(target, bracket.lo, bracket.hi, fits, position)) {
                return kUnknownFrames;
            }
            if (isAfter(position)) {
                bracket.hi = position.lba;
                bracket.hiPos = position;
                bracket.hiRead = true;
            } else {
                bracket.lo = position.lba;
                bracket.loPos = position;
                bracket.loRead = true;
            }
            target = bracket.lo + (bracket.hi - bracket.lo) / 2;
        }
        return bracket.hi;
    }

  private:
    bool exhausted() const { return gaps_.noCommands || gaps_.failedReads >= kMaxFailedQReads; }

    // readPosition reads the frame of the sector at request, retrying a
    // read that fails; true when it is a position frame. A frame that was
    // delivered but does not count is not read again: the sub-channel
    // would answer the same.
    bool readPosition(int32_t request, QPosition& position) {
        if (request < 0) {
            return false;
        }
        for (int attempt = 0; attempt <= kQReadRetries && !exhausted(); ++attempt) {
            uint8_t answer[kQFrameSize] = {};
            ++gaps_.reads;
            const CommandRead read = read_(request, answer);
            size_t size = read.status == ReadStatus::done ? read.size : 0;
            if (size == 0) {
                ++gaps_.failedReads;
                gaps_.noCommands = read.status == ReadStatus::noCommands;
                continue;
            }
            if (size > sizeof answer) {
                size = sizeof answer;
            }
            return parseQFrame(answer, size, request, decoding_, position) == QFrameKind::position;
        }
        return false;
    }

    const QSectorReader& read_;
    DiscGaps& gaps_;
    QDecoding decoding_;
    int32_t slip_ = 0;  // the sector a frame names less the one asked for, last seen
};

int32_t lbaOf(const DiscToc& toc, int k) {
    return trackStart(toc, k) - kLeadInFrames;
}

// trackEndLba returns the sector after track k's last one, or
// kUnknownFrames: the next audio track's first sector (its pregap
// included), the lead-out, or before a data track the end of the audio
// session.
int32_t trackEndLba(const DiscToc& toc, int count, int k, const int32_t* firstSector) {
    if (k == count - 1) {
        return frameAddress(tocLeadOut(toc)) - kLeadInFrames;
    }
    if (!isDataTrack(toc.TrackData[k + 1])) {
        return firstSector[k + 1];
    }
    return lbaOf(toc, k + 1) - kSessionGap;
}

}  // namespace

void DiscGaps::clear() {
    searched = false;
    for (TrackGaps& entry : track) {
        entry = TrackGaps{};
    }
    reads = 0;
    failedReads = 0;
    noCommands = false;
}

void findGaps(const DiscToc& toc, const QSectorReader& read, DiscGaps& gaps) {
    gaps.clear();
    const int count = tocTrackCount(toc);
    if (count == 0) {
        return;
    }
    gaps.searched = true;
    GapSearch search(read, gaps);
    const auto number = [&](int k) { return toc.FirstTrack + k; };
    const auto audio = [&](int k) { return !isDataTrack(toc.TrackData[k]); };

    // Each track's first sector (kUnknownFrames when not settled) and the
    // frame of its last sector when a search read it.
    int32_t firstSector[DiscToc::kMaxTracks];
    bool lastKnown[DiscToc::kMaxTracks] = {};
    QPosition last[DiscToc::kMaxTracks];

    for (int k = 0; k < count; ++k) {
        firstSector[k] = kUnknownFrames;
        if (!audio(k)) {
            continue;
        }
        const int32_t start = lbaOf(toc, k);
        if (k == 0) {
            if (start <= 0) {
                gaps.track[k].pregap = 0;
                firstSector[k] = start;
                continue;
            }
            // Nothing comes before the first track: any sector before its
            // INDEX 01 that reads as its INDEX 00 confirms LBA 0 on is.
            QPosition position;
            if (search.positionNear(
                    0, -1, start, [&](const QPosition& p) { return p.track == number(k); },
                    position) &&
                position.index == 0) {
                gaps.track[k].pregap = start;
                firstSector[k] = 0;
            }
            continue;
        }
        if (!audio(k - 1)) {
            continue;
        }
        Bracket bracket;
        bracket.lo = lbaOf(toc, k - 1);
        bracket.hi = start;
        const int32_t first = search.narrow(
            bracket, start - 1,
            [&](const QPosition& p) { return p.track == number(k - 1) || p.track == number(k); },
            [&](const QPosition& p) { return p.track == number(k); });
        if (first == kUnknownFrames) {
            continue;
        }
        gaps.track[k].pregap = start - first;
        firstSector[k] = first;
        // A settled bracket ends with lo the sector before first.
        if (bracket.loRead) {
            lastKnown[k - 1] = true;
            last[k - 1] = bracket.loPos;
        }
    }

    for (int k = 0; k < count; ++k) {
        if (!audio(k)) {
            continue;
        }
        const int32_t start = lbaOf(toc, k);
        const int32_t end = trackEndLba(toc, count, k, firstSector);
        if (end == kUnknownFrames || end - 1 < start) {
            continue;
        }
        const auto ownTrack = [&](const QPosition& p) { return p.track == number(k); };
        QPosition lastPosition = last[k];
        if (!lastKnown[k] &&
            (!search.positionNear(end - 1, end - 2, end, ownTrack, lastPosition))) {
            continue;
        }
        TrackGaps& entry = gaps.track[k];
        entry.indexesKnown = true;
        int32_t lo = start;
        for (int index = 2; index <= lastPosition.index; ++index) {
            Bracket bracket;
            bracket.lo = lo;
            bracket.hi = end - 1;
            bracket.hiPos = lastPosition;
            const int32_t first = search.narrow(
                bracket, lo + (end - 1 - lo) / 2,
                [&](const QPosition& p) { return ownTrack(p) && p.index >= 1; },
                [&](const QPosition& p) { return p.index >= index; });
            if (first != kUnknownFrames && bracket.hiPos.index == index) {
                entry.indexStarts.push_back(first + kLeadInFrames);
                lo = first;
            } else {
                entry.indexStarts.push_back(kUnknownFrames);
            }
        }
    }
}

}  // namespace zemtra
