#include "platform/device.h"

#include "platform/cd_text_request.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kwCore::platform {

namespace {

constexpr char kDevicePrefix[] = "\\\\.\\";
constexpr size_t kHeaderSize = 4;
constexpr size_t kEntrySize = 8;
constexpr size_t kMaxEntries = 100;
constexpr unsigned char kLeadOutNumber = 0xAA;

// ioctlRetried makes a device request, again whenever a signal interrupts it.
int ioctlRetried(int fd, unsigned long code, void* argument) {
    int result;
    do {
        result = ioctl(fd, code, argument);
    } while (result != 0 && errno == EINTR);
    return result;
}

// readEntry fills one 8-byte entry from the device's entry for track
// (a track number or CDROM_LEADOUT); a failed request leaves it untouched.
void readEntry(int fd, unsigned char track, unsigned char* entry) {
    cdrom_tocentry request{};
    request.cdte_track = track;
    request.cdte_format = CDROM_MSF;
    if (ioctlRetried(fd, CDROMREADTOCENTRY, &request) != 0) {
        return;
    }
    entry[1] = static_cast<unsigned char>((request.cdte_adr << 4) | (request.cdte_ctrl & 0x0F));
    entry[2] = track;
    entry[5] = request.cdte_addr.msf.minute;
    entry[6] = request.cdte_addr.msf.second;
    entry[7] = request.cdte_addr.msf.frame;
}

// kCommandTimeout is how long one SCSI command may take, in milliseconds:
// sub-channel and lead-in reads take seconds on some drives.
constexpr unsigned kCommandTimeout = 30000;

// readFromDevice sends the 10-byte MMC command to the device through SG_IO
// and reads up to size bytes into data. Returns the number of bytes the
// device delivered; 0 when the ioctl fails or the command ends in any
// status other than good (SG_IO returns 0 for a command the drive refused).
size_t readFromDevice(int fd, const unsigned char (&command)[10], void* data, size_t size) {
    unsigned char sense[32];
    sg_io_hdr_t request{};
    request.interface_id = 'S';
    request.dxfer_direction = SG_DXFER_FROM_DEV;
    request.cmd_len = sizeof command;
    request.cmdp = const_cast<unsigned char*>(command);
    request.dxferp = data;
    request.dxfer_len = static_cast<unsigned>(size);
    request.sbp = sense;
    request.mx_sb_len = sizeof sense;
    request.timeout = kCommandTimeout;
    if (ioctlRetried(fd, SG_IO, &request) != 0 || (request.info & SG_INFO_OK_MASK) != SG_INFO_OK ||
        request.status != 0 || request.host_status != 0 || request.driver_status != 0) {
        return 0;
    }
    if (request.resid < 0 || static_cast<size_t>(request.resid) > size) {
        return 0;
    }
    return size - static_cast<size_t>(request.resid);
}

size_t readSubChannel(CdDevice device, unsigned char format, int track, void* answer, size_t size) {
    if (answer == nullptr || track < 0 || track > 0xFF) {
        return 0;
    }
    if (size > kCdSubChannelSize) {
        size = kCdSubChannelSize;
    }
    const unsigned char command[10] = {0x42,
                                       0x00,
                                       0x40,
                                       format,
                                       0x00,
                                       0x00,
                                       static_cast<unsigned char>(track),
                                       0x00,
                                       static_cast<unsigned char>(size),
                                       0x00};
    return readFromDevice(static_cast<int>(device), command, answer, size);
}

}  // namespace

uint32_t volumeSerialNumber(const char*) {
    return 0;
}

CdDevice openCdDevice(const char* devicePath) {
    const size_t prefixLength = sizeof(kDevicePrefix) - 1;
    if (devicePath == nullptr || std::strncmp(devicePath, kDevicePrefix, prefixLength) != 0 ||
        devicePath[prefixLength] == '\0') {
        return invalidCdDevice;
    }
    int fd;
    do {
        fd = open(devicePath + prefixLength, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd < 0 ? invalidCdDevice : fd;
}

void closeCdDevice(CdDevice device) {
    if (device != invalidCdDevice) {
        close(static_cast<int>(device));
    }
}

bool readCdToc(CdDevice device, void* buffer, size_t size) {
    auto* toc = static_cast<unsigned char*>(buffer);
    const int fd = static_cast<int>(device);
    cdrom_tochdr header{};
    if (toc == nullptr || size < kHeaderSize || ioctlRetried(fd, CDROMREADTOCHDR, &header) != 0) {
        return false;
    }
    toc[2] = header.cdth_trk0;
    toc[3] = header.cdth_trk1;
    size_t room = (size - kHeaderSize) / kEntrySize;
    if (room > kMaxEntries) {
        room = kMaxEntries;
    }
    size_t entries = 0;
    for (int track = header.cdth_trk0; track <= header.cdth_trk1 && entries < room; ++track) {
        readEntry(fd, static_cast<unsigned char>(track), toc + kHeaderSize + entries * kEntrySize);
        ++entries;
    }
    if (entries < room) {
        readEntry(fd, kLeadOutNumber, toc + kHeaderSize + entries * kEntrySize);
        ++entries;
    }
    // The count of the bytes that follow the length field itself.
    const size_t following = 2 + entries * kEntrySize;
    toc[0] = static_cast<unsigned char>(following >> 8);
    toc[1] = static_cast<unsigned char>(following & 0xFF);
    return true;
}

size_t readCdCatalogNumber(CdDevice device, void* answer, size_t size) {
    return readSubChannel(device, 0x02, 0, answer, size);
}

size_t readCdTrackIsrc(CdDevice device, int track, void* answer, size_t size) {
    return readSubChannel(device, 0x03, track, answer, size);
}

size_t requestCdText(CdDevice device, void* buffer, size_t size) {
    const unsigned char command[10] = {0x43,
                                       0x00,
                                       0x05,
                                       0x00,
                                       0x00,
                                       0x00,
                                       0x00,
                                       static_cast<unsigned char>(size >> 8),
                                       static_cast<unsigned char>(size & 0xFF),
                                       0x00};
    return readFromDevice(static_cast<int>(device), command, buffer, size);
}

}  // namespace kwCore::platform
