// report_probe prints the report of a disc built in memory, so that the
// report's bytes can be compared on every platform without a drive.
//   report_probe <disc> <switches...>
// disc: "enhanced" (ten audio tracks and a data track), "example" (the
// three-track worked example, its third track data), "dataonly" (two data
// tracks), "late" (four audio tracks, the first after the usual 150
// frames), "numbered" (the worked example's addresses as tracks 3 to 5, all
// audio, the entry after the lead-out holding a later address) or
// "inconsistent" (a second track that starts before the first). "coded" is
// the worked example with a catalog number, ISRCs for its first track and
// its data track (never printed) and CD-TEXT for the album, its tracks and
// a track it does not have; its gaps (track 2 a pregap of two seconds,
// INDEX 02 and an unsettled INDEX 03, track 1 without further indexes, the
// data track unknown) for -tocpregap and -tocindex, and what a read of its
// audio found for -arcrc, -ardb= (any file: a record is taken as read, in
// which track 1 is accurate and track 2 another pressing's) and
// -findoffset. With -json among the switches the probe prints the JSON
// report of the disc in drive D: instead; the exit status is the report's.
#include <cstring>
#include <vector>

#include "ids/disc_id.h"
#include "report/json_report.h"
#include "report/report.h"
#include "tool/toc_builder.h"
#include "verify/verification_report.h"

namespace {

// codedData fills data as the "coded" disc carries it.
void codedData(zemtra::DiscData& data) {
    std::memcpy(data.catalogNumber, "0724384260927", 14);
    std::memcpy(data.isrc[0], "USRC17607839", 13);
    std::memcpy(data.isrc[2], "GBAYE0000001", 13);
    // Titles of the album and tracks 1 to 4, the album's performer (with
    // an escape byte and a DEL), then a performer for track 1 that repeats
    // the album's.
    const char titles[] = "Caf\xe9\0One\0\t\0Three\0Four\0";
    const char performers[] = "B\x1b\x7f\"and\"\0\t\0";
    std::vector<uint8_t> answer(4, 0);
    uint8_t seq = 0;
    auto addRun = [&](uint8_t type, const char* run, size_t length) {
        for (size_t offset = 0; offset < length; offset += 12) {
            uint8_t pack[zemtra::kCdTextPackSize] = {type, 0, seq++, 0};
            std::memcpy(pack + 4, run + offset, length - offset < 12 ? length - offset : 12);
            const uint16_t crc = zemtra::cdTextPackCrc(pack);
            pack[16] = static_cast<uint8_t>(crc >> 8);
            pack[17] = static_cast<uint8_t>(crc);
            answer.insert(answer.end(), pack, pack + sizeof pack);
        }
    };
    addRun(0x80, titles, sizeof titles - 1);
    addRun(0x81, performers, sizeof performers - 1);
    answer[1] = static_cast<uint8_t>(answer.size() - 2);
    zemtra::parseCdText(answer.data(), answer.size(), data.cdText);
}

// codedGaps fills gaps as the "coded" disc's search found them.
void codedGaps(zemtra::DiscGaps& gaps) {
    gaps.searched = true;
    gaps.track[0].pregap = 0;
    gaps.track[0].indexesKnown = true;
    gaps.track[1].pregap = 150;
    gaps.track[1].indexesKnown = true;
    gaps.track[1].indexStarts = {30000, zemtra::kUnknownFrames};
}

// codedRead returns what a read of the "coded" disc's audio tracks found:
// 588 samples filled; with a record, track 1 accurate by v2 (confidence
// 12), track 2 another pressing's (3 rips); after the search, two offsets.
zemtra::Verification codedRead(const zemtra::ReportOptions& options) {
    zemtra::VerifyResult read;
    read.tracks.resize(2);
    read.tracks[0].track.number = 1;
    read.tracks[0].values = {0x0123abcd, 0x89abcdef, 0x00000450, 0xfedcba98};
    read.tracks[1].track.number = 2;
    read.tracks[1].values = {0x10000001, 0x20000002, 0x30000003, 0x40000004};
    read.filled = 588;
    read.offsets = {{6, 2, 15}, {-30, 1, 3}};
    std::vector<zemtra::AccurateRipChunk> record(1);
    record[0].tracks = {{12, 0x89abcdef, 0}, {3, 0x55555555, 0}};
    return zemtra::judgeVerification(read, options.arDb.isEmpty() ? nullptr : &record,
                                     options.findOffset);
}

}  // namespace

int main(int argc, char** argv) {
    using zemtra::test::makeToc;
    if (argc < 2) {
        return 2;
    }
    zemtra::DiscInfo info;
    zemtra::DiscData data;
    if (std::strcmp(argv[1], "coded") == 0) {
        info.toc = zemtra::test::workedExampleToc();
        info.toc.TrackData[2].Control = 4;
        codedData(data);
        codedGaps(data.gaps);
    } else if (std::strcmp(argv[1], "enhanced") == 0) {
        // Starts at sectors 150, 12767, ... 247455, the data track at 281735.
        info.toc = makeToc({{0, 2, 0},
                            {2, 50, 17},
                            {8, 59, 62},
                            {14, 3, 0},
                            {20, 45, 35},
                            {26, 14, 65},
                            {33, 44, 65},
                            {40, 57, 65},
                            {47, 50, 10},
                            {54, 59, 30},
                            {62, 36, 35},
                            {66, 40, 0}});
        info.toc.TrackData[10].Control = 4;
    } else if (std::strcmp(argv[1], "example") == 0) {
        info.toc = zemtra::test::workedExampleToc();
        info.toc.TrackData[2].Control = 4;  // as in worked_example.disc
    } else if (std::strcmp(argv[1], "dataonly") == 0) {
        info.toc = makeToc({{0, 2, 0}, {5, 0, 0}, {9, 0, 0}});
        info.toc.TrackData[0].Control = 4;
        info.toc.TrackData[1].Control = 6;
    } else if (std::strcmp(argv[1], "late") == 0) {
        // Starts at frames 183, 107633, 179103, 284840, the lead-out at 356440.
        info.toc = makeToc({{0, 2, 33}, {23, 55, 8}, {39, 48, 3}, {63, 17, 65}, {79, 12, 40}});
    } else if (std::strcmp(argv[1], "numbered") == 0) {
        info.toc = makeToc({{0, 2, 0}, {4, 13, 37}, {8, 55, 10}, {12, 0, 50}}, 3);
        info.toc.TrackData[4] = info.toc.TrackData[3];
        info.toc.TrackData[4].Address[1] = 70;
    } else if (std::strcmp(argv[1], "inconsistent") == 0) {
        info.toc = makeToc({{4, 13, 37}, {0, 2, 0}, {12, 0, 50}});
    } else {
        return 2;
    }
    info.discId = zemtra::computeDiscId(info.toc);
    info.valid = true;

    zemtra::ReportOptions options;
    for (int i = 2; i < argc; ++i) {
        if (!options.take(argv[i])) {
            return 2;
        }
    }
    const bool coded = std::strcmp(argv[1], "coded") == 0;
    const zemtra::Verification verification = codedRead(options);
    const bool read = coded && options.readsAudio();
    if (options.json) {
        zemtra::JsonParts parts;
        parts.pregaps = options.tocPregap;
        parts.indexes = options.tocIndex;
        parts.verification = read ? &verification : nullptr;
        zemtra::printJson(zemtra::jsonReport("D:", info, data, parts));
        return read ? verification.exitStatus() : 0;
    }
    options.applyDefaultColumns();
    zemtra::printReport(options, info, data);
    if (!read) {
        return 0;
    }
    zemtra::printVerification(verification);
    return verification.exitStatus();
}
