#pragma once

#include <cstddef>

#include "platform/device.h"

// The one CD-TEXT request each backend makes; readCdText builds on it.
namespace kwCore::platform {

// requestCdText makes one CD-TEXT request of size bytes into buffer
// (Windows: IOCTL_CDROM_READ_TOC_EX with CDROM_READ_TOC_EX_FORMAT_CDTEXT;
// POSIX: SG_IO with READ TOC/PMA/ATIP format 05h). Returns the number of
// bytes the device delivered, never more than size; 0 when it fails.
size_t requestCdText(CdDevice device, void* buffer, size_t size);

}  // namespace kwCore::platform
