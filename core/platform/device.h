#pragma once

#include <cstddef>
#include <cstdint>

// The CD drive: its volume serial number and the requests a report makes
// of its raw device while it is open.
namespace kwCore::platform {

// volumeSerialNumber returns the 32-bit serial number of the volume at
// rootPath (for example "D:"), or 0 when the system delivers none. POSIX
// has no such number and always returns 0.
uint32_t volumeSerialNumber(const char* rootPath);

// CdDevice is an opaque handle of an open raw CD device (Windows: a HANDLE;
// POSIX: a file descriptor), carried as an integer.
using CdDevice = intptr_t;

// invalidCdDevice is never an open device.
inline constexpr CdDevice invalidCdDevice = -1;

// openCdDevice opens the raw device at devicePath ("\\.\" followed by the
// drive) for reading (CreateFileA with GENERIC_READ, FILE_SHARE_READ |
// FILE_SHARE_WRITE, OPEN_EXISTING). Returns invalidCdDevice when it does
// not open.
//
// POSIX: the device opened is the path that follows the "\\.\" prefix (for
// example /dev/sr0), with O_RDONLY | O_NONBLOCK, so that a drive without a
// disc opens too; whatever opens counts as a device.
CdDevice openCdDevice(const char* devicePath);

// closeCdDevice closes a device that openCdDevice opened (CloseHandle).
void closeCdDevice(CdDevice device);

// readCdToc requests the disc's table of contents (IOCTL_CDROM_READ_TOC)
// into toc, which holds size bytes. The TOC arrives in the 804-byte CD-ROM
// layout: a big-endian count of the bytes after it, first and last track
// numbers, then 8-byte entries with minute:second:frame addresses, the
// lead-out after the last track. Nothing is written past size bytes, and
// bytes the device does not deliver keep their value. Returns false when
// the request fails (no disc, no TOC).
//
// POSIX: the header request (CDROMREADTOCHDR) decides success; then one
// CDROMREADTOCENTRY request for each track and the lead-out, at most 100
// entries, each written only when its request succeeds.
bool readCdToc(CdDevice device, void* toc, size_t size);

}  // namespace kwCore::platform
