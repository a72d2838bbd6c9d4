// The Q frame parser and the gap search on any answers: the first bytes
// pick the sector asked for and the drive's state, the rest are answers
// handed out one per read. No read outside an answer (each is copied to a
// buffer of exactly its size), positions only of their ranges and near the
// sector asked for, and a search that stays within its bounds.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "disc/gap_search.h"
#include "disc/q_frame.h"
#include "fuzz_check.h"

namespace {

void parseOne(const uint8_t* data, size_t size) {
    if (size < 5) {
        return;
    }
    const int32_t lba = static_cast<int32_t>((data[0] << 16 | data[1] << 8 | data[2]) % 500000);
    zemtra::QDecoding decoding;
    decoding.numbers = static_cast<zemtra::QNumbers>(data[3] % 3);
    decoding.crcSeen = (data[4] & 1) != 0;
    const size_t answerSize = size - 5;
    auto answer = std::make_unique<uint8_t[]>(answerSize + 1);
    std::memcpy(answer.get(), data + 5, answerSize);
    zemtra::QPosition position;
    position.track = -7;
    const zemtra::QFrameKind kind =
        zemtra::parseQFrame(answer.get(), answerSize, lba, decoding, position);
    if (kind == zemtra::QFrameKind::position) {
        FUZZ_CHECK(position.track >= 1 && position.track <= 99);
        FUZZ_CHECK(position.index >= 0 && position.index <= 99);
        FUZZ_CHECK(position.lba >= lba - 1 && position.lba <= lba + 1);
        FUZZ_CHECK(answerSize >= zemtra::kQFrameUsed);
    } else {
        FUZZ_CHECK(position.track == -7);
    }
}

// searchWith runs the gap search over a three-track disc whose every read
// hands out the next bytes of data.
void searchWith(const uint8_t* data, size_t size) {
    zemtra::DiscToc toc{};
    toc.FirstTrack = 1;
    toc.LastTrack = 3;
    const int starts[] = {150 + (size > 0 ? data[0] : 0) * 10, 20000, 40000, 60000};
    for (int k = 0; k < 4; ++k) {
        toc.TrackData[k].Address[1] = static_cast<uint8_t>(starts[k] / 4500);
        toc.TrackData[k].Address[2] = static_cast<uint8_t>(starts[k] / 75 % 60);
        toc.TrackData[k].Address[3] = static_cast<uint8_t>(starts[k] % 75);
    }
    size_t offset = 0;
    zemtra::DiscGaps gaps;
    zemtra::findGaps(
        toc,
        [&](int32_t lba, uint8_t* answer) {
            // A drive one frame early is asked for the sector after the one wanted.
            FUZZ_CHECK(lba >= 0 && lba <= 60000 - 150);
            // Nothing is asked once the device took no commands.
            FUZZ_CHECK(!gaps.noCommands);
            const uint8_t code = offset < size ? data[offset] : 0;
            const size_t take = code % 17;
            const size_t from = offset + 1;
            if (code == 0xFF) {
                offset = from;
                return zemtra::CommandRead{zemtra::ReadStatus::noCommands, 0};
            }
            if (take == 0 || from + take > size) {
                offset = from;
                return zemtra::CommandRead{};
            }
            std::memcpy(answer, data + from, take);
            offset = from + take;
            return zemtra::CommandRead{zemtra::ReadStatus::done, take};
        },
        gaps);
    FUZZ_CHECK(gaps.reads <= 4000);
    FUZZ_CHECK(gaps.failedReads <= zemtra::kMaxFailedQReads);
    for (int k = 0; k < 3; ++k) {
        const zemtra::TrackGaps& track = gaps.track[k];
        FUZZ_CHECK(
            track.pregap == zemtra::kUnknownFrames ||
            (track.pregap >= 0 && track.pregap <= starts[k] - (k > 0 ? starts[k - 1] : 150)));
        for (const int32_t start : track.indexStarts) {
            FUZZ_CHECK(start == zemtra::kUnknownFrames ||
                       (start > starts[k] && start < starts[k + 1]));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    parseOne(data, size);
    searchWith(data, size);
    return 0;
}
