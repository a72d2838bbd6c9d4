// The gap search on discs held in memory: what it finds, what it leaves
// unknown rather than guess, and how many reads it takes.
#include "disc/gap_search.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "disc/track_timing.h"
#include "tool/disc/q_frames.h"

namespace zemtra {
namespace {

// QDisc is a disc's Q sub-channel and a drive reading it, with its quirks.
struct QDisc {
    struct Track {
        int32_t start;   // INDEX 01, LBA
        int32_t pregap;  // INDEX 00 frames before it
        bool data;
        std::vector<int32_t> indexes;  // LBAs of INDEX 02 and up
    };
    int first = 1;
    std::vector<Track> tracks;
    int32_t leadOut = 0;
    test::QStyle style;
    int slip = 0;
    std::set<int32_t> other;          // mode-2 frames
    std::set<int32_t> badCrc;         // wrong CRCs
    std::map<int32_t, int> failing;   // reads that fail this many times (-1: always)
    std::set<int32_t> wrongTrack;     // frames naming track 42
    size_t commandsUntil = SIZE_MAX;  // requests from this one on: the device takes no commands
    std::vector<int32_t> requests;

    DiscToc toc() const {
        DiscToc toc;
        std::memset(&toc, 0, sizeof toc);
        toc.FirstTrack = static_cast<uint8_t>(first);
        toc.LastTrack = static_cast<uint8_t>(first + tracks.size() - 1);
        for (size_t k = 0; k <= tracks.size(); ++k) {
            const int32_t frames = (k < tracks.size() ? tracks[k].start : leadOut) + 150;
            TocEntry& entry = toc.TrackData[k];
            entry.Control = k < tracks.size() && tracks[k].data ? 4 : 0;
            entry.Address[1] = static_cast<uint8_t>(frames / 4500);
            entry.Address[2] = static_cast<uint8_t>(frames / 75 % 60);
            entry.Address[3] = static_cast<uint8_t>(frames % 75);
        }
        return toc;
    }

    size_t read(int32_t asked, uint8_t* answer) {
        requests.push_back(asked);
        auto failure = failing.find(asked);
        if (failure != failing.end() && failure->second != 0) {
            failure->second -= failure->second > 0 ? 1 : 0;
            return 0;
        }
        const int32_t lba = asked + slip;
        size_t k = 0;
        for (size_t t = 1; t < tracks.size(); ++t) {
            if (tracks[t].start - tracks[t].pregap <= lba) {
                k = t;
            }
        }
        EXPECT_FALSE(tracks[k].data) << "a data track's sector was read: " << lba;
        if (lba < 0 || lba >= leadOut || tracks[k].data) {
            return 0;
        }
        int index = lba < tracks[k].start ? 0 : 1;
        for (size_t i = 0; i < tracks[k].indexes.size(); ++i) {
            if (lba >= tracks[k].indexes[i]) {
                index = static_cast<int>(i) + 2;
            }
        }
        const int number = wrongTrack.count(lba) != 0 ? 42 : first + static_cast<int>(k);
        test::QFrameBytes q = test::makeQFrame(number, index, lba, tracks[k].start, style);
        if (other.count(lba) != 0) {
            q = {0x02};
            q[9] = 0x10;
            q = test::withCrc(q);
        }
        if (badCrc.count(lba) != 0) {
            q[10] ^= 0x40;
        }
        std::memcpy(answer, q.data(), q.size());
        return q.size();
    }

    DiscGaps search() {
        DiscGaps gaps;
        requests.clear();
        findGaps(
            toc(),
            [this](int32_t lba, uint8_t* answer) {
                if (requests.size() >= commandsUntil) {
                    requests.push_back(lba);
                    return CommandRead{ReadStatus::noCommands, 0};
                }
                const size_t size = read(lba, answer);
                return CommandRead{size > 0 ? ReadStatus::done : ReadStatus::failed, size};
            },
            gaps);
        EXPECT_EQ(gaps.reads, static_cast<int>(requests.size()));
        return gaps;
    }
};

// threeTracks: track 2 without pregap, track 3 with two seconds of it and
// INDEX 02 and 03.
QDisc threeTracks() {
    QDisc disc;
    disc.tracks = {{0, 0, false, {}}, {18000, 0, false, {}}, {40000, 150, false, {50000, 52000}}};
    disc.leadOut = 60000;
    return disc;
}

void expectThreeTracks(const DiscGaps& gaps) {
    EXPECT_TRUE(gaps.searched);
    EXPECT_EQ(gaps.track[0].pregap, 0);
    EXPECT_EQ(gaps.track[1].pregap, 0);
    EXPECT_EQ(gaps.track[2].pregap, 150);
    for (int k = 0; k < 3; ++k) {
        EXPECT_TRUE(gaps.track[k].indexesKnown) << k;
    }
    EXPECT_TRUE(gaps.track[0].indexStarts.empty());
    EXPECT_EQ(gaps.track[2].indexStarts, (std::vector<int32_t>{50150, 52150}));
}

TEST(GapSearchTest, PregapsIndexesAndTheirReads) {
    QDisc disc = threeTracks();
    const DiscGaps gaps = disc.search();
    expectThreeTracks(gaps);
    EXPECT_EQ(gaps.failedReads, 0);
    // Track 2: one read at s - 1, which is also track 1's last sector.
    EXPECT_EQ(disc.requests[0], 17999);
    EXPECT_EQ(disc.requests[1], 39999);
    EXPECT_LE(gaps.reads, 1 + 40 + 1 + 2 * 16);
}

TEST(GapSearchTest, DrivesThatAnswerDifferently) {
    for (const auto& style : {test::QStyle{.binary = true}, test::QStyle{.noCrc = true},
                              test::QStyle{.binary = true, .noCrc = true}}) {
        QDisc disc = threeTracks();
        disc.style = style;
        expectThreeTracks(disc.search());
    }
    for (const int slip : {-1, 1}) {
        QDisc disc = threeTracks();
        disc.slip = slip;
        const DiscGaps gaps = disc.search();
        expectThreeTracks(gaps);
        EXPECT_EQ(disc.requests[0], 17999) << slip;
        EXPECT_LE(gaps.reads, 80) << slip;
    }
}

TEST(GapSearchTest, FramesThatDoNotCountArePassedOver) {
    QDisc disc = threeTracks();
    // In the middle of the searches: neighbours stand in.
    for (int32_t lba = 20000; lba < 60000; lba += 97) {
        disc.other.insert(lba);
        disc.badCrc.insert(lba + 31);
        disc.wrongTrack.insert(lba + 53);
    }
    expectThreeTracks(disc.search());

    // At a boundary nothing stands in for the sector itself: unknown, not guessed.
    for (auto* set : {&disc.other, &disc.badCrc, &disc.wrongTrack}) {
        QDisc edge = threeTracks();
        (edge.*(set == &disc.other    ? &QDisc::other
                : set == &disc.badCrc ? &QDisc::badCrc
                                      : &QDisc::wrongTrack))
            .insert(39849);  // the first sector of track 3's pregap
        const DiscGaps gaps = edge.search();
        EXPECT_EQ(gaps.track[2].pregap, kUnknownFrames);
        EXPECT_EQ(gaps.track[1].pregap, 0);
        // Track 2's last sector is unknown, so are its further indexes.
        EXPECT_FALSE(gaps.track[1].indexesKnown);
        EXPECT_EQ(gaps.track[2].indexStarts, (std::vector<int32_t>{50150, 52150}));
    }
}

TEST(GapSearchTest, FailedReadsAreRetriedThreeTimes) {
    QDisc disc = threeTracks();
    disc.failing[17999] = 3;
    DiscGaps gaps = disc.search();
    expectThreeTracks(gaps);
    EXPECT_EQ(gaps.failedReads, 3);
    EXPECT_EQ(std::vector<int32_t>(disc.requests.begin(), disc.requests.begin() + 5),
              (std::vector<int32_t>{17999, 17999, 17999, 17999, 39999}));

    disc = threeTracks();
    disc.failing[17999] = -1;  // given up: s - 2 cannot settle the boundary
    gaps = disc.search();
    EXPECT_EQ(gaps.track[1].pregap, kUnknownFrames);
    EXPECT_EQ(gaps.track[2].pregap, 150);
}

TEST(GapSearchTest, FourHundredFailedReadsEndTheSearch) {
    QDisc disc;
    for (int k = 0; k < 99; ++k) {
        disc.tracks.push_back({k * 4000, 0, false, {}});
    }
    disc.leadOut = 99 * 4000;
    for (int32_t lba = 0; lba < disc.leadOut; ++lba) {
        disc.failing[lba] = -1;
    }
    disc.failing.erase(4 * 4000 - 1);  // track 5 has no pregap
    const DiscGaps gaps = disc.search();
    EXPECT_EQ(gaps.failedReads, kMaxFailedQReads);
    EXPECT_EQ(gaps.reads, kMaxFailedQReads + 1);
    EXPECT_EQ(gaps.track[0].pregap, 0);  // starts at LBA 0: nothing to read
    EXPECT_EQ(gaps.track[4].pregap, 0);
    for (int k = 1; k < 99; ++k) {
        EXPECT_EQ(gaps.track[k].pregap, k == 4 ? 0 : kUnknownFrames) << k;
        EXPECT_EQ(gaps.track[k].indexesKnown, k == 3) << k;
    }
}

// A device that takes no commands ends the search at its first answer:
// what was settled stays, every other gap is unknown.
TEST(GapSearchTest, NoCommandsEndTheSearchAtOnce) {
    QDisc disc = threeTracks();
    disc.commandsUntil = 0;
    DiscGaps gaps = disc.search();
    EXPECT_TRUE(gaps.noCommands);
    EXPECT_EQ(gaps.reads, 1);
    EXPECT_EQ(gaps.failedReads, 1);
    EXPECT_EQ(gaps.track[0].pregap, 0);  // starts at LBA 0: nothing to read
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(gaps.track[k].pregap, k == 0 ? 0 : kUnknownFrames) << k;
        EXPECT_FALSE(gaps.track[k].indexesKnown) << k;
    }

    // After track 2's boundary (one read, which is also track 1's last
    // sector) and the first read of track 3's search.
    disc = threeTracks();
    disc.commandsUntil = 2;
    gaps = disc.search();
    EXPECT_TRUE(gaps.noCommands);
    EXPECT_EQ(gaps.reads, 3);
    EXPECT_EQ(gaps.track[1].pregap, 0);
    EXPECT_TRUE(gaps.track[0].indexesKnown);
    EXPECT_EQ(gaps.track[2].pregap, kUnknownFrames);
    EXPECT_FALSE(gaps.track[2].indexesKnown);

    // Hidden audio is confirmed by a read too.
    disc = threeTracks();
    disc.tracks[0].start = 3000;
    disc.commandsUntil = 0;
    gaps = disc.search();
    EXPECT_EQ(gaps.reads, 1);
    EXPECT_EQ(gaps.track[0].pregap, kUnknownFrames);

    // A search that settles everything never sees the flag.
    disc = threeTracks();
    EXPECT_FALSE(disc.search().noCommands);
}

TEST(GapSearchTest, HiddenAudioBeforeTrackOne) {
    QDisc disc = threeTracks();
    disc.tracks[0].start = 3000;
    disc.first = 4;  // numbered on from an earlier disc
    DiscGaps gaps = disc.search();
    EXPECT_EQ(gaps.track[0].pregap, 3000);
    EXPECT_EQ(disc.requests[0], 0);  // confirmed by one read at LBA 0

    disc.failing[0] = -1;
    disc.badCrc.insert(1);
    gaps = disc.search();  // LBA 2 stands in: it is INDEX 00 of the first track too
    EXPECT_EQ(gaps.track[0].pregap, 3000);
    for (int32_t lba = 2; lba < 5; ++lba) {
        disc.failing[lba] = -1;
    }
    EXPECT_EQ(disc.search().track[0].pregap, kUnknownFrames);
}

TEST(GapSearchTest, DataTracksAreNotSearched) {
    QDisc disc;
    disc.tracks = {
        {0, 0, true, {}}, {20000, 0, false, {}}, {30000, 75, false, {}}, {50000, 0, true, {}}};
    disc.leadOut = 70000;
    const DiscGaps gaps = disc.search();  // the model fails on any data sector
    EXPECT_EQ(gaps.track[0].pregap, kUnknownFrames);
    EXPECT_EQ(gaps.track[1].pregap, kUnknownFrames);  // after a data track
    EXPECT_EQ(gaps.track[2].pregap, 75);
    EXPECT_EQ(gaps.track[3].pregap, kUnknownFrames);
    EXPECT_TRUE(gaps.track[1].indexesKnown);
    // Before the data session: the audio session ends 11,400 frames earlier.
    EXPECT_TRUE(gaps.track[2].indexesKnown);
    EXPECT_EQ(disc.requests.back(), 50000 - 11400 - 1);
}

TEST(GapSearchTest, RandomDiscsAndTheBudget) {
    std::mt19937 random(23);
    for (int round = 0; round < 40; ++round) {
        QDisc disc;
        const int count = round == 0 ? 99 : 1 + static_cast<int>(random() % 99);
        int32_t lba = random() % 2 == 0 ? 0 : 1 + static_cast<int32_t>(random() % 3000);
        for (int k = 0; k < count; ++k) {
            const int32_t pregap = k == 0 ? 0 : random() % 2 == 0 ? 0 : random() % 400;
            lba += pregap;
            // Under 99 minutes in all, as the Q sub-channel's clock counts.
            const int32_t length = 300 + static_cast<int32_t>(random() % (400000 / count));
            std::vector<int32_t> indexes;
            for (int32_t at = lba + 1 + random() % 5000; random() % 3 == 0 && at < lba + length;
                 at += 1 + random() % 2000) {
                indexes.push_back(at);
            }
            disc.tracks.push_back({lba, pregap, false, indexes});
            lba += length;
        }
        disc.leadOut = lba;
        const DiscGaps gaps = disc.search();
        ASSERT_LE(gaps.reads, 4000);
        int boundaryReads = 0;
        for (int k = 0; k < count; ++k) {
            const QDisc::Track& track = disc.tracks[k];
            ASSERT_EQ(gaps.track[k].pregap, k == 0 ? track.start : track.pregap) << k;
            ASSERT_TRUE(gaps.track[k].indexesKnown)
                << round << " " << k << " of " << count << " at " << track.start << " "
                << track.pregap << " lead-out " << disc.leadOut;
            std::vector<int32_t> starts;
            for (const int32_t at : track.indexes) {
                starts.push_back(at + 150);
            }
            ASSERT_EQ(gaps.track[k].indexStarts, starts) << round << " " << k;
            boundaryReads += k == 0 ? 0 : track.pregap == 0 ? 3 : 40;
        }
        // Each boundary within its budget, on the whole (reads of the
        // indexes and the first and last tracks' ends besides).
        int indexReads = 0;
        for (const QDisc::Track& track : disc.tracks) {
            indexReads += 20 * static_cast<int>(track.indexes.size());
        }
        EXPECT_LE(gaps.reads, boundaryReads + indexReads + 2) << round;
    }
}

}  // namespace
}  // namespace zemtra
