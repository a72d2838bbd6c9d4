#include "verify/verification_report.h"

#include "stream/file_stream.h"
#include "text/console_output.h"

namespace zemtra {

namespace {

// kLargestRecord bounds the file read as a record: far more chunks than any
// disc has pressings.
constexpr int64_t kLargestRecord = int64_t{1} << 20;

void printChecksumLines(const VerifyResult& result) {
    for (const TrackResult& track : result.tracks) {
        if (!track.readable) {
            kwCore::printFormatted("Track %d checksums: unreadable at sector %lld\r\n",
                                   track.track.number, static_cast<long long>(track.failedSector));
            continue;
        }
        const TrackChecksumValues& v = track.values;
        kwCore::printFormatted(
            "Track %d checksums: AR1 %08lx AR2 %08lx AR450 %08lx CRC32 %08lx\r\n",
            track.track.number, static_cast<unsigned long>(v.v1), static_cast<unsigned long>(v.v2),
            static_cast<unsigned long>(v.frame450), static_cast<unsigned long>(v.crc32));
    }
    if (result.filled != 0) {
        kwCore::printFormatted("Offset fill: %lld samples\r\n",
                               static_cast<long long>(result.filled));
    }
}

// printVerdictLines prints each readable track's verdict and the count of
// accurate tracks.
void printVerdictLines(const Verification& verification) {
    const std::vector<TrackResult>& tracks = verification.read.tracks;
    for (size_t t = 0; t < tracks.size(); ++t) {
        if (!tracks[t].readable) {
            continue;
        }
        const TrackVerdict& verdict = verification.verdicts[t];
        const int number = tracks[t].track.number;
        const auto confidence = static_cast<unsigned long long>(verdict.confidence);
        switch (verdict.kind) {
            case TrackVerdictKind::accurate:
                kwCore::printFormatted("Track %d AccurateRip: accurate (confidence %llu, %s)\r\n",
                                       number, confidence, verdict.v2 ? "v2" : "v1");
                break;
            case TrackVerdictKind::notAccurate:
                kwCore::printFormatted(
                    "Track %d AccurateRip: not accurate (%llu rips of other pressings)\r\n", number,
                    confidence);
                break;
            case TrackVerdictKind::notInRecord:
                kwCore::printFormatted("Track %d AccurateRip: not in the record\r\n", number);
                break;
        }
    }
    kwCore::printFormatted("AccurateRip: %d of %d tracks accurate\r\n", verification.accurate,
                           static_cast<int>(tracks.size()));
}

void printOffsetLines(const VerifyResult& result) {
    if (result.offsets.empty()) {
        kwCore::printFormatted("Read offset: not found\r\n");
        return;
    }
    for (const OffsetMatch& match : result.offsets) {
        kwCore::printFormatted("Read offset: %+lld (matches %d of %d tracks, confidence %llu)\r\n",
                               static_cast<long long>(match.offset), match.tracks,
                               static_cast<int>(result.tracks.size()),
                               static_cast<unsigned long long>(match.confidence));
    }
}

}  // namespace

bool loadAccurateRipRecord(const kwCore::SharedString& file,
                           std::vector<AccurateRipChunk>& chunks) {
    chunks.clear();
    kwCore::FileStream stream;
    if (!stream.open(file.cStr(), false, false, 1)) {
        return false;
    }
    const int64_t size = stream.size();
    if (size <= 0 || size > kLargestRecord) {
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (stream.read(bytes.data(), size) != size) {
        return false;
    }
    return parseAccurateRipRecord(bytes.data(), bytes.size(), chunks);
}

void printVerification(const Verification& verification) {
    printChecksumLines(verification.read);
    if (verification.judged) {
        printVerdictLines(verification);
    }
    if (verification.searched) {
        printOffsetLines(verification.read);
    }
}

}  // namespace zemtra
