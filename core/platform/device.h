#pragma once

#include <cstddef>
#include <cstdint>

// The CD drive: its volume serial number and its raw table of contents.
namespace kwCore::platform {

// volumeSerialNumber returns the 32-bit serial number of the volume at
// rootPath (for example "D:"), or 0 when the system delivers none. POSIX
// has no such number and always returns 0.
uint32_t volumeSerialNumber(const char* rootPath);

// readRawToc opens the raw device at devicePath ("\\.\" followed by the
// drive) for reading, requests the disc's table of contents into toc and
// closes the device. The TOC arrives in the 804-byte CD-ROM layout: a
// big-endian byte count, first and last track numbers, then 8-byte entries
// with minute:second:frame addresses, the lead-out after the last track.
// Nothing is written past size bytes, and bytes the device does not
// deliver keep their value. Returns false when the device does not open;
// a device that opens but yields no TOC (no disc) still returns true.
//
// POSIX: the device opened is the path that follows the "\\.\" prefix
// (for example /dev/sr0), opened with O_RDONLY | O_NONBLOCK; the Linux
// CD-ROM requests are translated into the layout above, at most 100
// entries.
bool readRawToc(const char* devicePath, void* toc, size_t size);

}  // namespace kwCore::platform
