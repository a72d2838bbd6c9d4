#include "disc/cd_commands.h"

#include <functional>

#include "disc/q_frame.h"

namespace zemtra {

namespace {

namespace platform = kwCore::platform;

constexpr size_t kCdTextHeaderSize = 4;
constexpr size_t kLargestTransfer = 65535;

// commandOr sends cdb and returns the bytes delivered; when the device
// takes no commands it makes fallback's request instead.
size_t commandOr(CdDevice device, const uint8_t* cdb, size_t cdbSize, void* data, size_t size,
                 const std::function<size_t()>& fallback) {
    const CommandRead read = sendReadCommand(device, cdb, cdbSize, data, size);
    if (read.status == ReadStatus::noCommands) {
        const size_t delivered = fallback();
        return delivered < size ? delivered : size;
    }
    return read.size;
}

// readSubChannel reads the Q sub-channel answer of format (02h catalog
// number, 03h ISRC) for track.
size_t readSubChannel(CdDevice device, uint8_t format, int track, uint8_t* answer, size_t size,
                      const std::function<size_t(size_t)>& fallback) {
    if (answer == nullptr || track < 0 || track > 0xFF) {
        return 0;
    }
    if (size > kSubChannelAnswerSize) {
        size = kSubChannelAnswerSize;
    }
    uint8_t cdb[10] = {0x42, 0x00, 0x40, format, 0x00, 0x00, static_cast<uint8_t>(track)};
    putBigEndian(cdb + 7, static_cast<uint32_t>(size), 2);
    return commandOr(device, cdb, sizeof cdb, answer, size, [&] { return fallback(size); });
}

// requestCdText makes one CD-TEXT read of size bytes.
size_t requestCdText(CdDevice device, uint8_t* buffer, size_t size) {
    uint8_t cdb[10] = {0x43, 0x00, 0x05};
    putBigEndian(cdb + 7, static_cast<uint32_t>(size), 2);
    return commandOr(device, cdb, sizeof cdb, buffer, size,
                     [&] { return platform::requestCdText(device, buffer, size); });
}

}  // namespace

void putBigEndian(uint8_t* bytes, uint32_t value, int count) noexcept {
    for (int i = count - 1; i >= 0; --i) {
        bytes[i] = static_cast<uint8_t>(value & 0xFF);
        value >>= 8;
    }
}

CommandRead sendReadCommand(CdDevice device, const uint8_t* cdb, size_t cdbSize, void* data,
                            size_t size) {
    const platform::CdCommandResult result =
        platform::sendCdCommand(device, cdb, cdbSize, data, size);
    switch (result.status) {
        case platform::CdCommandStatus::done:
            return {ReadStatus::done, result.size < size ? result.size : size};
        case platform::CdCommandStatus::unsupported:
            return {ReadStatus::noCommands, 0};
        case platform::CdCommandStatus::failed:
            break;
    }
    return {ReadStatus::failed, 0};
}

CommandRead readSectorQ(CdDevice device, int32_t lba, uint8_t* answer, size_t size) {
    if (answer == nullptr || lba < 0) {
        return {};
    }
    if (size > kQFrameSize) {
        size = kQFrameSize;
    }
    uint8_t cdb[12] = {0xBE, 0x04};
    putBigEndian(cdb + 2, static_cast<uint32_t>(lba), 4);
    cdb[8] = 1;      // one sector
    cdb[10] = 0x02;  // formatted Q sub-channel
    return sendReadCommand(device, cdb, sizeof cdb, answer, size);
}

size_t readCatalogNumberAnswer(CdDevice device, uint8_t* answer, size_t size) {
    return readSubChannel(device, 0x02, 0, answer, size, [&](size_t clamped) {
        return platform::readCdCatalogNumber(device, answer, clamped);
    });
}

size_t readTrackIsrcAnswer(CdDevice device, int track, uint8_t* answer, size_t size) {
    return readSubChannel(device, 0x03, track, answer, size, [&](size_t clamped) {
        return platform::readCdTrackIsrc(device, track, answer, clamped);
    });
}

size_t readCdTextPacks(CdDevice device, uint8_t* buffer, size_t size) {
    if (buffer == nullptr || size < kCdTextHeaderSize ||
        requestCdText(device, buffer, kCdTextHeaderSize) != kCdTextHeaderSize) {
        return 0;
    }
    // The header counts the bytes after its length field.
    size_t length = ((static_cast<size_t>(buffer[0]) << 8) | buffer[1]) + 2;
    if (length > kLargestTransfer) {
        length = kLargestTransfer;
    }
    if (length > size) {
        length = size;
    }
    return requestCdText(device, buffer, length);
}

}  // namespace zemtra
