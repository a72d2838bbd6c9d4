#include "disc/disc_data.h"

#include <cstring>
#include <vector>

#include "disc/cd_commands.h"
#include "disc/q_frame.h"
#include "disc/toc_tracks.h"

namespace zemtra {

namespace {

// kLargestCdText is the most a CD-TEXT request can deliver.
constexpr size_t kLargestCdText = 65535;

}  // namespace

void DiscData::clear() {
    std::memset(catalogNumber, 0, sizeof catalogNumber);
    std::memset(isrc, 0, sizeof isrc);
    parseCdText(nullptr, 0, cdText);
    gaps.clear();
}

void readDiscData(kwCore::platform::CdDevice device, const DiscToc& toc,
                  const DiscDataRequest& request, DiscData& data) {
    data.clear();

    uint8_t answer[kSubChannelAnswerSize];
    if (request.catalogNumber) {
        std::memset(answer, 0, sizeof answer);
        const size_t size = readCatalogNumberAnswer(device, answer, sizeof answer);
        parseCatalogNumber(answer, size, data.catalogNumber);
    }
    if (request.isrcs) {
        const int count = tocTrackCount(toc);
        for (int k = 0; k < count; ++k) {
            if (isDataTrack(toc.TrackData[k])) {
                continue;
            }
            std::memset(answer, 0, sizeof answer);
            const size_t size =
                readTrackIsrcAnswer(device, toc.FirstTrack + k, answer, sizeof answer);
            parseTrackIsrc(answer, size, data.isrc[k]);
        }
    }
    if (request.cdText) {
        std::vector<uint8_t> buffer(kLargestCdText);
        const size_t size = readCdTextPacks(device, buffer.data(), buffer.size());
        parseCdText(buffer.data(), size, data.cdText);
    }
    if (request.gaps) {
        findGaps(
            toc,
            [device](int32_t lba, uint8_t* answer) {
                return readSectorQ(device, lba, answer, kQFrameSize);
            },
            data.gaps);
    }
}

}  // namespace zemtra
