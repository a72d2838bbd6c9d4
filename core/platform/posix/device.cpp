#include "platform/device.h"

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

// kLargestCommand is the longest command descriptor block SG_IO takes here.
constexpr size_t kLargestCommand = 16;

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

CdCommandResult sendCdCommand(CdDevice device, const void* cdb, size_t cdbSize, void* data,
                              size_t size) {
    CdCommandResult result;
    if (cdb == nullptr || cdbSize < 6 || cdbSize > kLargestCommand ||
        (data == nullptr && size > 0) || size > UINT32_MAX) {
        return result;
    }
    unsigned char command[kLargestCommand];
    std::memcpy(command, cdb, cdbSize);
    unsigned char sense[32];
    sg_io_hdr_t request{};
    request.interface_id = 'S';
    request.dxfer_direction = size > 0 ? SG_DXFER_FROM_DEV : SG_DXFER_NONE;
    request.cmd_len = static_cast<unsigned char>(cdbSize);
    request.cmdp = command;
    request.dxferp = data;
    request.dxfer_len = static_cast<unsigned>(size);
    request.sbp = sense;
    request.mx_sb_len = sizeof sense;
    request.timeout = kCommandTimeout;
    // SG_IO returns 0 for a command the drive refused: every status counts.
    if (ioctlRetried(static_cast<int>(device), SG_IO, &request) != 0 ||
        (request.info & SG_INFO_OK_MASK) != SG_INFO_OK || request.status != 0 ||
        request.host_status != 0 || request.driver_status != 0 || request.resid < 0 ||
        static_cast<size_t>(request.resid) > size) {
        return result;
    }
    result.status = CdCommandStatus::done;
    result.size = size - static_cast<size_t>(request.resid);
    return result;
}

size_t readCdCatalogNumber(CdDevice, void*, size_t) {
    return 0;
}

size_t readCdTrackIsrc(CdDevice, int, void*, size_t) {
    return 0;
}

size_t requestCdText(CdDevice, void*, size_t) {
    return 0;
}

}  // namespace kwCore::platform
