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
// drive) for reading and writing, which commands need (CreateFileA with
// GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
// OPEN_EXISTING); when that open fails (a user without write access to the
// device, another program sharing it for reading only), for reading alone
// (GENERIC_READ), a handle that takes no commands on Windows. Returns
// invalidCdDevice when neither opens.
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

// CdCommandStatus tells how a command sent with sendCdCommand ended.
enum class CdCommandStatus {
    done,         // the command ended in good status
    failed,       // the request failed or the drive refused the command
    unsupported,  // the device takes no commands at all on this handle
};

// CdCommandResult is the outcome of one command: its status and, when it is
// done, the number of bytes the device delivered (0 otherwise).
struct CdCommandResult {
    CdCommandStatus status = CdCommandStatus::failed;
    size_t size = 0;
};

// sendCdCommand sends one MMC command descriptor block (cdbSize bytes, 6 to
// 16) to the open device and reads up to size bytes of its answer into data
// (Windows: DeviceIoControl with IOCTL_SCSI_PASS_THROUGH_DIRECT, the same
// SCSI_PASS_THROUGH_DIRECT structure passed as input and output, data in
// when size is above 0, a 30-second timeout). The command is done only
// when the request succeeded and every status the system reports is good
// (Windows: ScsiStatus 0); its size is then the bytes delivered, at most
// size (Windows: the DataTransferLength the driver returns, cut to size).
// Nothing is written past size bytes; bytes the device does not deliver
// keep their value. unsupported means the handle takes no commands
// (Windows: the request fails with ERROR_ACCESS_DENIED, as on a handle
// opened without write access, or with ERROR_INVALID_FUNCTION or
// ERROR_NOT_SUPPORTED, from a driver without pass-through), so the caller
// falls back to the device's own requests below, or gives up the reads
// that have none, since no later command can succeed; any other failure, or a
// command the drive ends with another status, is failed. Bad arguments
// (cdb null, cdbSize outside 6 to 16, data null with size above 0) fail
// without a request.
//
// POSIX: SG_IO, the byte count taken from the residue of the transfer; a
// command is never unsupported there.
CdCommandResult sendCdCommand(CdDevice device, const void* cdb, size_t cdbSize, void* data,
                              size_t size);

// The device's own requests for what the disc carries, which the caller
// makes when the device takes no commands (sendCdCommand answers
// unsupported).

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
// POSIX: there is no such request (commands always go through); returns 0.
size_t readCdCatalogNumber(CdDevice device, void* answer, size_t size);

// readCdTrackIsrc requests the ISRC of track (its number on the disc) from
// the Q sub-channel as readCdCatalogNumber does the catalog number, with
// IOCTL_CDROM_TRACK_ISRC into the 24-byte SUB_Q_TRACK_ISRC. POSIX: returns 0.
size_t readCdTrackIsrc(CdDevice device, int track, void* answer, size_t size);

// requestCdText makes one CD-TEXT request of size bytes into buffer
// (IOCTL_CDROM_READ_TOC_EX with CDROM_READ_TOC_EX_FORMAT_CDTEXT): a 2-byte
// big-endian count of the bytes after it, two reserved bytes, then 18-byte
// packs. Returns the number of bytes the device delivered, never more than
// size; 0 when it fails. POSIX: returns 0.
size_t requestCdText(CdDevice device, void* buffer, size_t size);

}  // namespace kwCore::platform
