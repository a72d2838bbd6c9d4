#pragma once

#include <cstring>
#include <initializer_list>
#include <vector>

#include "disc/disc_toc.h"

namespace zemtra::test {

// Msf is one address as minute, second, frame.
struct Msf {
    int minute;
    int second;
    int frame;
};

// makeToc returns a TOC whose entries hold the given addresses in order (the
// last one being the lead-out), tracks numbered from firstTrack (so
// LastTrack is firstTrack plus their count less two) and the lead-out
// numbered 0xAA. No addresses give an all-zero TOC.
inline DiscToc makeToc(std::initializer_list<Msf> addresses, int firstTrack = 1) {
    DiscToc toc;
    std::memset(&toc, 0, sizeof toc);
    const int tracks = static_cast<int>(addresses.size()) - 1;
    if (tracks < 0) {
        return toc;
    }
    toc.FirstTrack = static_cast<uint8_t>(firstTrack);
    toc.LastTrack = static_cast<uint8_t>(firstTrack + tracks - 1);
    int k = 0;
    for (const Msf& msf : addresses) {
        TocEntry& entry = toc.TrackData[k];
        entry.TrackNumber = static_cast<uint8_t>(k == tracks ? 0xAA : firstTrack + k);
        entry.Adr = 1;
        entry.Address[1] = static_cast<uint8_t>(msf.minute);
        entry.Address[2] = static_cast<uint8_t>(msf.second);
        entry.Address[3] = static_cast<uint8_t>(msf.frame);
        ++k;
    }
    return toc;
}

// workedExampleToc is a three-track disc: 0:02:00, 4:13:37, 8:55:10 and the
// lead-out at 12:00:50.
inline DiscToc workedExampleToc() {
    return makeToc({{0, 2, 0}, {4, 13, 37}, {8, 55, 10}, {12, 0, 50}});
}

// tocAt returns a TOC with tracks from firstTrack starting at the given
// frame addresses, the lead-out last; the tracks listed in data (by
// position from 0) are data tracks.
inline DiscToc tocAt(const std::vector<int>& frames, const std::vector<int>& data = {},
                     int firstTrack = 1) {
    DiscToc toc = makeToc({{0, 0, 0}});
    const int tracks = static_cast<int>(frames.size()) - 1;
    toc.FirstTrack = static_cast<uint8_t>(firstTrack);
    toc.LastTrack = static_cast<uint8_t>(firstTrack + tracks - 1);
    for (int k = 0; k <= tracks; ++k) {
        TocEntry& entry = toc.TrackData[k];
        entry.TrackNumber = static_cast<uint8_t>(k == tracks ? 0xAA : firstTrack + k);
        entry.Adr = 1;
        entry.Address[1] = static_cast<uint8_t>(frames[k] / 4500);
        entry.Address[2] = static_cast<uint8_t>(frames[k] / 75 % 60);
        entry.Address[3] = static_cast<uint8_t>(frames[k] % 75);
    }
    for (int k : data) {
        toc.TrackData[k].Control = 4;
    }
    return toc;
}

}  // namespace zemtra::test
