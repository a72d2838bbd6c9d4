#include "platform/device.h"

#include <windows.h>

#include <winioctl.h>

#include <ntddcdrm.h>

namespace kwCore::platform {

namespace {

HANDLE handleOf(CdDevice device) {
    return reinterpret_cast<HANDLE>(device);
}

DWORD clampedSize(size_t size) {
    return size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
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

}  // namespace kwCore::platform
