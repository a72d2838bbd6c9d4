#include "platform/device.h"

#include <windows.h>

#include <winioctl.h>

#include <ntddcdrm.h>

namespace kwCore::platform {

uint32_t volumeSerialNumber(const char* rootPath) {
    DWORD serial = 0;
    GetVolumeInformationA(rootPath, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0);
    return serial;
}

bool readRawToc(const char* devicePath, void* toc, size_t size) {
    HANDLE device = CreateFileA(devicePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        return false;
    }
    // A failed request (no disc) leaves the buffer as it was; the caller
    // reads that as a disc of zero tracks.
    DWORD returned = 0;
    const DWORD outputSize = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
    DeviceIoControl(device, IOCTL_CDROM_READ_TOC, nullptr, 0, toc, outputSize, &returned, nullptr);
    CloseHandle(device);
    return true;
}

}  // namespace kwCore::platform
