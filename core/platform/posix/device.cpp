#include "platform/device.h"

#include <fcntl.h>
#include <linux/cdrom.h>
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

int openDevice(const char* path) {
    int fd;
    do {
        fd = open(path, O_RDONLY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

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

void readToc(int fd, unsigned char* toc, size_t size) {
    cdrom_tochdr header{};
    if (size < kHeaderSize || ioctlRetried(fd, CDROMREADTOCHDR, &header) != 0) {
        return;
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
}

}  // namespace

uint32_t volumeSerialNumber(const char*) {
    return 0;
}

bool readRawToc(const char* devicePath, void* toc, size_t size) {
    const size_t prefixLength = sizeof(kDevicePrefix) - 1;
    if (devicePath == nullptr || std::strncmp(devicePath, kDevicePrefix, prefixLength) != 0 ||
        devicePath[prefixLength] == '\0') {
        return false;
    }
    const int fd = openDevice(devicePath + prefixLength);
    if (fd < 0) {
        return false;
    }
    readToc(fd, static_cast<unsigned char*>(toc), size);
    close(fd);
    return true;
}

}  // namespace kwCore::platform
