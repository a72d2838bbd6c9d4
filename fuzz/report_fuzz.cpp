// The report on any 804-byte TOC and any set of switches, printed in
// process (standard output goes to /dev/null): no read outside the TOC,
// and the frame values agree with each other.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "disc/toc_tracks.h"
#include "disc/track_timing.h"
#include "fuzz_check.h"
#include "ids/disc_id.h"
#include "report/report.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return std::freopen("/dev/null", "w", stdout) != nullptr ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zemtra::DiscInfo info;
    if (size < sizeof info.toc) {
        return 0;
    }
    std::memcpy(&info.toc, data, sizeof info.toc);
    info.valid = true;
    info.volumeSerial = 0;
    info.reserved = 0;
    info.discId = zemtra::computeDiscId(info.toc);

    // Each of the next three bytes' bits turns on one switch.
    uint32_t bits = 0;
    for (size_t i = sizeof info.toc; i < size && i < sizeof info.toc + 3; ++i) {
        bits = bits << 8 | data[i];
    }
    zemtra::ReportOptions options;
    bool* const flags[] = {&options.toc,
                           &options.tocStart,
                           &options.tocLength,
                           &options.tocEnd,
                           &options.tocCtrl,
                           &options.tocIdx,
                           &options.cdid,
                           &options.mbid,
                           &options.mbtoc,
                           &options.length,
                           &options.tracks,
                           &options.timeFormat.msf,
                           &options.timeFormat.secs,
                           &options.timeFormat.frames,
                           &options.mbUrl,
                           &options.mbWs,
                           &options.arid,
                           &options.arUrl,
                           &options.cddb,
                           &options.mcn,
                           &options.tocIsrc,
                           &options.cdText};
    for (size_t i = 0; i < sizeof flags / sizeof flags[0]; ++i) {
        *flags[i] = (bits >> i & 1) != 0;
    }
    options.applyDefaultColumns();
    zemtra::printReport(options, info);

    const int n = zemtra::tocTrackCount(info.toc);
    if (n == 0) {
        FUZZ_CHECK(info.discId == 0 && zemtra::discLength(info.toc) == 0);
        return 0;
    }
    FUZZ_CHECK(n == info.toc.LastTrack - info.toc.FirstTrack + 1 &&
               n <= zemtra::DiscToc::kMaxTracks);
    FUZZ_CHECK((info.discId & 0xFF) == info.toc.LastTrack);
    int32_t total = 0;
    for (int k = 0; k < n; ++k) {
        const int32_t start = zemtra::trackStart(info.toc, k);
        FUZZ_CHECK(start == zemtra::frameAddress(info.toc.TrackData[k]));
        FUZZ_CHECK(zemtra::trackEnd(info.toc, k) == start + zemtra::trackLength(info.toc, k));
        FUZZ_CHECK(zemtra::trackEnd(info.toc, k) ==
                   zemtra::frameAddress(info.toc.TrackData[k + 1]));
        total += zemtra::trackLength(info.toc, k);
    }
    FUZZ_CHECK(total == zemtra::discLength(info.toc));
    return 0;
}
