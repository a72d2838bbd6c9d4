#include "platform/device.h"

#include <windows.h>

#include <winioctl.h>

#include <ntddcdrm.h>
#include <ntddscsi.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

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
static_assert(IOCTL_SCSI_PASS_THROUGH_DIRECT == 0x0004D014);
static_assert(SCSI_IOCTL_DATA_IN == 1 && SCSI_IOCTL_DATA_UNSPECIFIED == 2);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, ScsiStatus) == 2);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, CdbLength) == 6);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoLength) == 7);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataIn) == 8);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataTransferLength) == 12);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, TimeOutValue) == 16);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataBuffer) == 16 + sizeof(void*));
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoOffset) == 16 + 2 * sizeof(void*));
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, Cdb) == 20 + 2 * sizeof(void*));
static_assert(sizeof(SCSI_PASS_THROUGH_DIRECT) == (sizeof(void*) == 8 ? 56 : 44));

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

// kCommandTimeout is how long one SCSI command may take, in seconds:
// sub-channel and lead-in reads take seconds on some drives.
constexpr ULONG kCommandTimeout = 30;

// kLargestCommand is the longest command descriptor block the request holds.
constexpr size_t kLargestCommand = sizeof(SCSI_PASS_THROUGH_DIRECT::Cdb);

// kBufferAlignment is the alignment a data buffer is handed to the driver
// with: a port driver refuses a buffer that breaks its adapter's alignment
// mask (IO_SCSI_CAPABILITIES), so a caller's buffer that is not aligned to
// 16 bytes is read through one that is.
constexpr uintptr_t kBufferAlignment = 16;

// PassThrough is the request IOCTL_SCSI_PASS_THROUGH_DIRECT takes and
// answers: the command, then the sense data the driver writes at
// SenseInfoOffset.
struct PassThrough {
    SCSI_PASS_THROUGH_DIRECT command;
    UCHAR sense[32];
};

// takesNoCommands tells whether a failed pass-through request means the
// handle takes no commands at all: opened without write access
// (ERROR_ACCESS_DENIED, which Wine also gives when Linux refuses SG_IO), or
// a driver without pass-through (ERROR_INVALID_FUNCTION; Wine gives
// ERROR_NOT_SUPPORTED for a device without SG_IO).
bool takesNoCommands(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_INVALID_FUNCTION ||
           error == ERROR_NOT_SUPPORTED;
}

// fillPassThrough builds the request for cdb with size bytes of data in to
// buffer.
void fillPassThrough(PassThrough& request, const void* cdb, size_t cdbSize, void* buffer,
                     size_t size) {
    std::memset(&request, 0, sizeof request);
    SCSI_PASS_THROUGH_DIRECT& command = request.command;
    command.Length = sizeof command;
    command.CdbLength = static_cast<UCHAR>(cdbSize);
    command.SenseInfoLength = sizeof request.sense;
    command.SenseInfoOffset = offsetof(PassThrough, sense);
    command.DataIn = size > 0 ? SCSI_IOCTL_DATA_IN : SCSI_IOCTL_DATA_UNSPECIFIED;
    command.DataTransferLength = static_cast<ULONG>(size);
    command.DataBuffer = size > 0 ? buffer : nullptr;
    command.TimeOutValue = kCommandTimeout;
    std::memcpy(command.Cdb, cdb, cdbSize);
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
    // Commands need write access; without it the device still answers its
    // own requests.
    HANDLE device =
        CreateFileA(devicePath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        device = CreateFileA(devicePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    }
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

CdCommandResult sendCdCommand(CdDevice device, const void* cdb, size_t cdbSize, void* data,
                              size_t size) {
    CdCommandResult result;
    if (cdb == nullptr || cdbSize < 6 || cdbSize > kLargestCommand ||
        (data == nullptr && size > 0) || size > MAXDWORD) {
        return result;
    }
    std::vector<unsigned char> aligned;
    void* buffer = data;
    if (reinterpret_cast<uintptr_t>(data) % kBufferAlignment != 0) {
        aligned.resize(size + kBufferAlignment);
        const uintptr_t start = reinterpret_cast<uintptr_t>(aligned.data());
        buffer = aligned.data() + (kBufferAlignment - start % kBufferAlignment) % kBufferAlignment;
    }
    PassThrough request;
    fillPassThrough(request, cdb, cdbSize, buffer, size);
    // The driver reads the answer's fields from the output buffer (Wine does
    // so), so the one structure is both.
    DWORD returned = 0;
    if (!DeviceIoControl(handleOf(device), IOCTL_SCSI_PASS_THROUGH_DIRECT, &request, sizeof request,
                         &request, sizeof request, &returned, nullptr)) {
        if (takesNoCommands(GetLastError())) {
            result.status = CdCommandStatus::unsupported;
        }
        return result;
    }
    if (request.command.ScsiStatus != 0) {
        return result;
    }
    const size_t delivered =
        request.command.DataTransferLength < size ? request.command.DataTransferLength : size;
    if (buffer != data && delivered > 0) {
        std::memcpy(data, buffer, delivered);
    }
    result.status = CdCommandStatus::done;
    result.size = delivered;
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
