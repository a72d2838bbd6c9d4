#include "disc_info.h"

#include <cstring>

#include "disc_id.h"
#include "platform/device.h"

namespace zemtra {

bool readToc(DiscToc& toc, const kwCore::SharedString& drive) {
    kwCore::SharedString path;
    path.formatInto("\\\\.\\%s", drive.cStr());
    path.stripTrailingBackslashes();
    return kwCore::platform::readRawToc(path.cStr(), &toc, sizeof toc);
}

void DiscInfo::read(const kwCore::SharedString& drive) {
    valid = false;
    reserved = 0;
    discId = 0;
    std::memset(&toc, 0, sizeof toc);
    volumeSerial = 0;

    volumeSerial = kwCore::platform::volumeSerialNumber(drive.cStr());
    if (!readToc(toc, drive)) {
        return;
    }
    if (toc.LastTrack > DiscToc::kMaxTracks) {
        std::memset(&toc, 0, sizeof toc);
        return;
    }
    discId = computeDiscId(toc);
    valid = true;
}

}  // namespace zemtra
