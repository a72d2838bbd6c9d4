#pragma once

#include <cstdint>

#include "disc_toc.h"
#include "text/shared_string.h"

namespace zemtra {

// readToc opens the raw device of drive ("\\.\" followed by the drive text,
// trailing backslashes removed), requests its TOC into toc and closes it.
// Returns false, leaving toc as it was, when the device does not open. A
// device that opens but delivers no TOC is not detected here.
bool readToc(DiscToc& toc, const kwCore::SharedString& drive);

// DiscInfo is the record of one read of a drive. It holds no handle and no
// heap memory, so it may be copied byte for byte.
struct DiscInfo {
    bool valid = false;  // the drive's device opened and its TOC is usable
    DiscToc toc;         // the TOC as delivered; zero where the device wrote nothing
    uint32_t volumeSerial;
    uint32_t reserved;
    uint32_t discId;  // computeDiscId(toc) when valid, else 0

    // read clears the record, reads the volume serial number, then the TOC,
    // and computes the disc identifier. A TOC whose LastTrack is above 99
    // leaves no room for its lead-out: it is treated as unreadable, so
    // valid stays false and the TOC and discId stay zero.
    void read(const kwCore::SharedString& drive);
};

}  // namespace zemtra
