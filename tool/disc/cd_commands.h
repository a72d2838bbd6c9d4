#pragma once

#include <cstddef>
#include <cstdint>

#include "disc/command_read.h"
#include "platform/device.h"

// The MMC commands a report sends to the drive, built here and executed by
// the platform layer. When the device takes no commands (a Windows handle
// without write access), each read of what the disc carries falls back to
// the device's own request for the same answer; the sector reads, which
// have no such request, say so instead.
namespace zemtra {

using kwCore::platform::CdDevice;

// kSubChannelAnswerSize is the size of a READ SUB-CHANNEL answer for the
// catalog number or an ISRC (kwCore::platform::kCdSubChannelSize).
inline constexpr size_t kSubChannelAnswerSize = kwCore::platform::kCdSubChannelSize;

// readCatalogNumberAnswer reads the disc's media catalog number (READ
// SUB-CHANNEL, 42h, SubQ, format 02h) into answer, which holds size bytes.
// Returns the bytes delivered, at most size and kSubChannelAnswerSize; 0
// when the read fails.
size_t readCatalogNumberAnswer(CdDevice device, uint8_t* answer, size_t size);

// readTrackIsrcAnswer reads the ISRC of track (its number on the disc)
// (READ SUB-CHANNEL, format 03h) as readCatalogNumberAnswer does the
// catalog number. Returns 0 for a track outside 0 to 255.
size_t readTrackIsrcAnswer(CdDevice device, int track, uint8_t* answer, size_t size);

// readCdTextPacks reads the disc's CD-TEXT (READ TOC/PMA/ATIP, 43h, format
// 05h) into buffer, which holds size bytes: the 4-byte header first, then
// the header's count plus 2 bytes, at most 65,535 and at most size. Returns
// the bytes the second read delivered; 0 when either read fails or size is
// below 4. Nothing is written past size bytes.
size_t readCdTextPacks(CdDevice device, uint8_t* buffer, size_t size);

// readSectorQ reads the formatted Q sub-channel of the sector at lba (READ
// CD, BEh, expected sector type CD-DA, one sector, no main-channel data,
// sub-channel selection 02h) into answer, which holds size bytes. When done,
// the size is the bytes delivered, at most size and kQFrameSize. A negative
// lba or a null answer fails without a request; noCommands means the device
// takes no commands, so no later sector read can succeed either.
CommandRead readSectorQ(CdDevice device, int32_t lba, uint8_t* answer, size_t size);

// sendReadCommand sends cdb (cdbSize bytes) and reads the device's answer
// into data, at most size bytes: done with the bytes delivered, failed, or
// noCommands when the device takes no commands.
CommandRead sendReadCommand(CdDevice device, const uint8_t* cdb, size_t cdbSize, void* data,
                            size_t size);

// putBigEndian writes the low count bytes of value into bytes, most
// significant first, as MMC commands carry addresses and lengths.
void putBigEndian(uint8_t* bytes, uint32_t value, int count) noexcept;

}  // namespace zemtra
