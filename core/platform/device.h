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

// kCdSubChannelSize is the size of a Q sub-channel answer: a 4-byte header,
// the format code, three bytes (the track's number at byte 6 for an ISRC),
// byte 8 whose bit 7 marks the value valid, then the value from byte 9 (13
// catalog number digits or 12 ISRC characters) and padding.
inline constexpr size_t kCdSubChannelSize = 24;

// readCdCatalogNumber requests the disc's media catalog number from the Q
// sub-channel into answer, which holds size bytes (IOCTL_CDROM_READ_Q_CHANNEL
// with IOCTL_CDROM_MEDIA_CATALOG and track 0, into the 24-byte
// SUB_Q_MEDIA_CATALOG_NUMBER). Returns the number of bytes the device
// delivered, at most size and kCdSubChannelSize; 0 when the request fails.
// Bytes the device does not deliver keep their value.
//
// POSIX: SG_IO with READ SUB-CHANNEL (42h, SubQ, format 02h, track 0).
size_t readCdCatalogNumber(CdDevice device, void* answer, size_t size);

// readCdTrackIsrc requests the ISRC of track (its number on the disc) from
// the Q sub-channel as readCdCatalogNumber does the catalog number, with
// IOCTL_CDROM_TRACK_ISRC into the 24-byte SUB_Q_TRACK_ISRC (POSIX: format
// 03h).
size_t readCdTrackIsrc(CdDevice device, int track, void* answer, size_t size);

// readCdText requests the disc's CD-TEXT (IOCTL_CDROM_READ_TOC_EX with
// CDROM_READ_TOC_EX_FORMAT_CDTEXT) into buffer, which holds size bytes: a
// 2-byte big-endian count of the bytes after it, two reserved bytes, then
// 18-byte packs. It asks for the 4-byte header first and then for the
// header's count plus 2, at most 65,535 and at most size, bytes. Returns
// the number of bytes the second request delivered (never more than it
// asked for); 0 when either request fails or size is below 4. Nothing is
// written past size bytes.
//
// POSIX: SG_IO with READ TOC/PMA/ATIP (43h, format 05h), the byte count
// taken from the residue of the transfer.
size_t readCdText(CdDevice device, void* buffer, size_t size);

}  // namespace kwCore::platform
