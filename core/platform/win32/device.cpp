#include "platform/device.h"

#include <windows.h>

#include <winioctl.h>

#include <ntddcdrm.h>

#include <cstddef>

namespace kwCore::platform {

// The layouts the portable parsers read, as the system headers define them.
static_assert(sizeof(CDROM_SUB_Q_DATA_FORMAT) == 2);
static_assert(offsetof(CDROM_SUB_Q_DATA_FORMAT, Track) == 1);
static_assert(sizeof(SUB_Q_MEDIA_CATALOG_NUMBER) == kCdSubChannelSize);
static_assert(offsetof(SUB_Q_MEDIA_CATALOG_NUMBER, MediaCatalog) == 9);
static_assert(sizeof(SUB_Q_TRACK_ISRC) == kCdSubChannelSize);
static_assert(offsetof(SUB_Q_TRACK_ISRC, Track) == 6);
static_assert(offsetof(SUB_Q_TRACK_ISRC, TrackIsrc) == 9);
static_assert(sizeof(CDROM_READ_TOC_EX) == 4);
static_assert(offsetof(CDROM_READ_TOC_EX, SessionTrack) == 1);
static_assert(offsetof(CDROM_TOC_CD_TEXT_DATA, Descriptors) == 4);
static_assert(sizeof(CDROM_TOC_CD_TEXT_DATA_BLOCK) == 18);
static_assert(IOCTL_CDROM_READ_Q_CHANNEL == 0x0002402C);
static_assert(IOCTL_CDROM_READ_TOC_EX == 0x00024054);

namespace {

HANDLE handleOf(CdDevice device) {
    return reinterpret_cast<HANDLE>(device);
}

DWORD clampedSize(size_t size) {
    return size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
}

// readSubChannel makes one IOCTL_CDROM_READ_Q_CHANNEL request for format
// and track into answer.
size_t readSubChannel(CdDevice device, UCHAR format, int track, void* answer, size_t size) {
    if (answer == nullptr || track < 0 || track > 0xFF) {
        return 0;
    }
    CDROM_SUB_Q_DATA_FORMAT request{};
    request.Format = format;
    request.Track = static_cast<UCHAR>(track);
    DWORD returned = 0;
    if (!DeviceIoControl(handleOf(device), IOCTL_CDROM_READ_Q_CHANNEL, &request, sizeof request,
                         answer, clampedSize(size < kCdSubChannelSize ? size : kCdSubChannelSize),
                         &returned, nullptr)) {
        return 0;
    }
    return returned;
}

}  // namespace

uint32_t volumeSerialNumber(const char* rootPath) {
    DWORD serial = 0;
    GetVolumeInformationA(rootPath, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0);
    return serial;
}

CdDevice openCdDevice(const char* devicePath) {
    if (devicePath == nullptr) {
        return invalidCdDevice;
    }
    HANDLE device = CreateFileA(devicePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        return invalidCdDevice;
    }
    return reinterpret_cast<CdDevice>(device);
}

void closeCdDevice(CdDevice device) {
    if (device != invalidCdDevice) {
        CloseHandle(handleOf(device));
    }
}

bool readCdToc(CdDevice device, void* toc, size_t size) {
    if (toc == nullptr) {
        return false;
    }
    DWORD returned = 0;
    return DeviceIoControl(handleOf(device), IOCTL_CDROM_READ_TOC, nullptr, 0, toc,
                           clampedSize(size), &returned, nullptr) != FALSE;
}

CdCommandResult sendCdCommand(CdDevice, const void*, size_t, void*, size_t) {
    CdCommandResult result;
    result.status = CdCommandStatus::unsupported;
    return result;
}

size_t readCdCatalogNumber(CdDevice device, void* answer, size_t size) {
    return readSubChannel(device, IOCTL_CDROM_MEDIA_CATALOG, 0, answer, size);
}

size_t readCdTrackIsrc(CdDevice device, int track, void* answer, size_t size) {
    return readSubChannel(device, IOCTL_CDROM_TRACK_ISRC, track, answer, size);
}

size_t requestCdText(CdDevice device, void* buffer, size_t size) {
    CDROM_READ_TOC_EX request{};
    request.Format = CDROM_READ_TOC_EX_FORMAT_CDTEXT;
    request.Msf = 0;
    request.SessionTrack = 0;
    DWORD returned = 0;
    if (!DeviceIoControl(handleOf(device), IOCTL_CDROM_READ_TOC_EX, &request, sizeof request,
                         buffer, clampedSize(size), &returned, nullptr)) {
        return 0;
    }
    return returned < size ? returned : size;
}

}  // namespace kwCore::platform
