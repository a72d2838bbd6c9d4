#pragma once

#include <cstdint>

#include "stream/crc64.h"
#include "stream/stream.h"

namespace kwCore {

// Crc64Stream is a write-only sink that keeps the CRC-64 (crc64Update) of
// every byte written to it, started from 0 and not inverted: the nine ASCII
// digits "123456789" give 0xE9C6D914C4B8D9CA. It is always open and
// writable; everything else keeps the Stream defaults.
class Crc64Stream : public Stream {
  public:
    // Crc64Stream::kStart is the CRC of no bytes.
    static constexpr uint64_t kStart = 0;

    Crc64Stream() noexcept = default;

    bool canWrite() override { return true; }
    bool isOpen() override { return true; }
    // write feeds the low 32 bits' worth of length bytes into the CRC and
    // returns length unchanged. Null data feeds nothing.
    int64_t write(const void* data, int64_t length) override;

    // value is the CRC of the bytes written since the start.
    uint64_t value() const noexcept { return crc; }
    // reset starts again, as if nothing had been written.
    void reset() noexcept { crc = kStart; }

    // crc is the running CRC.
    uint64_t crc = kStart;
};

}  // namespace kwCore
