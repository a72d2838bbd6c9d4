#pragma once

#include <cstdint>
#include <functional>

#include "disc/disc_data.h"
#include "disc/disc_toc.h"
#include "platform/device.h"
#include "text/shared_string.h"

namespace zemtra {

// devicePath returns the raw device path of drive: "\\.\" followed by the
// drive text, trailing backslashes removed.
kwCore::SharedString devicePath(const kwCore::SharedString& drive);

// TocRequest makes one TOC request into toc; false when the request fails.
using TocRequest = std::function<bool(DiscToc& toc)>;

// readSettledToc asks request for the TOC into toc. Some drives answer the
// first request after a disc goes in with a wrong TOC, so it asks twice
// and, when the two answers differ (a failed request among them), a third
// time and keeps that one. Each answer starts from a zero TOC, so bytes the
// device does not deliver are zero. Returns false when the kept answer's
// request failed (no disc), leaving toc zero.
bool readSettledToc(DiscToc& toc, const TocRequest& request);

// readToc reads the settled TOC (readSettledToc) of an open device.
bool readToc(DiscToc& toc, kwCore::platform::CdDevice device);

// OpenDeviceTask is work done on the open device after its TOC has been
// read, before the device closes: given the device and the TOC.
using OpenDeviceTask = std::function<void(kwCore::platform::CdDevice device, const DiscToc& toc)>;

// DiscInfo is the record of one read of a drive. It holds no handle and no
// heap memory, so it may be copied byte for byte.
struct DiscInfo {
    bool valid = false;  // the drive's device opened and delivered a TOC with tracks
    DiscToc toc;         // the TOC as delivered; zero where the device wrote nothing
    uint32_t volumeSerial;
    uint32_t reserved;
    uint32_t discId;  // computeDiscId(toc) when valid, else 0

    // read clears the record, reads the volume serial number, opens the
    // drive's raw device once, reads its TOC (readToc), closes the device
    // and computes the disc identifier. A device that does not open, a TOC
    // request that fails and a TOC without tracks (tocTrackCount 0: no
    // disc, LastTrack 0, FirstTrack above LastTrack, LastTrack above 99)
    // leave valid false and the TOC and discId zero.
    void read(const kwCore::SharedString& drive);

    // read does the same and, while the device is open and after its TOC
    // has been read, reads what request asks for into data
    // (readDiscData), then runs task when there is one. data stays empty,
    // and task does not run, when the TOC read fails.
    void read(const kwCore::SharedString& drive, const DiscDataRequest& request, DiscData& data,
              const OpenDeviceTask& task = nullptr);
};

}  // namespace zemtra
