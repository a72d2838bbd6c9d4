#include "disc/disc_info.h"

#include <cstring>

#include "disc/toc_tracks.h"
#include "ids/disc_id.h"

namespace zemtra {

namespace {

// requestToc makes one request into a zeroed toc.
bool requestToc(DiscToc& toc, const TocRequest& request) {
    std::memset(&toc, 0, sizeof toc);
    return request(toc);
}

bool sameToc(const DiscToc& a, const DiscToc& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

kwCore::SharedString devicePath(const kwCore::SharedString& drive) {
    kwCore::SharedString path;
    path.formatInto("\\\\.\\%s", drive.cStr());
    path.stripTrailingBackslashes();
    return path;
}

bool readSettledToc(DiscToc& toc, const TocRequest& request) {
    DiscToc first;
    const bool firstRead = requestToc(first, request);
    bool read = requestToc(toc, request);
    if (read != firstRead || !sameToc(toc, first)) {
        read = requestToc(toc, request);
    }
    if (!read) {
        std::memset(&toc, 0, sizeof toc);
    }
    return read;
}

bool readToc(DiscToc& toc, kwCore::platform::CdDevice device) {
    return readSettledToc(toc, [device](DiscToc& answer) {
        return kwCore::platform::readCdToc(device, &answer, sizeof answer);
    });
}

void DiscInfo::read(const kwCore::SharedString& drive) {
    DiscData data;
    read(drive, DiscDataRequest{}, data);
}

void DiscInfo::read(const kwCore::SharedString& drive, const DiscDataRequest& request,
                    DiscData& data, const OpenDeviceTask& task) {
    data.clear();
    valid = false;
    reserved = 0;
    discId = 0;
    std::memset(&toc, 0, sizeof toc);
    volumeSerial = 0;

    volumeSerial = kwCore::platform::volumeSerialNumber(drive.cStr());
    const kwCore::platform::CdDevice device =
        kwCore::platform::openCdDevice(devicePath(drive).cStr());
    if (device == kwCore::platform::invalidCdDevice) {
        return;
    }
    const bool read = readToc(toc, device);
    const bool hasTracks = read && tocTrackCount(toc) != 0;
    if (hasTracks) {
        readDiscData(device, toc, request, data);
        if (task) {
            task(device, toc);
        }
    }
    kwCore::platform::closeCdDevice(device);
    if (!hasTracks) {
        std::memset(&toc, 0, sizeof toc);
        return;
    }
    discId = computeDiscId(toc);
    valid = true;
}

}  // namespace zemtra
