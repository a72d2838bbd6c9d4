#pragma once

#include <cstdint>

#include "stream/stream.h"

namespace kwCore {

// Crc32Stream is a write-only sink that keeps the CRC-32 (the one of zlib,
// finished at every moment) of every byte written to it. It is always open
// and writable; everything else keeps the Stream defaults.
class Crc32Stream : public Stream {
  public:
    // Crc32Stream::kStart is the CRC of no bytes.
    static constexpr uint32_t kStart = 0;

    Crc32Stream() noexcept = default;

    bool canWrite() override { return true; }
    bool isOpen() override { return true; }
    // write feeds the low 32 bits' worth of length bytes into the CRC and
    // returns length unchanged. Null data starts the CRC again.
    int64_t write(const void* data, int64_t length) override;

    // value is the CRC of the bytes written since the start.
    uint32_t value() const noexcept { return crc; }
    // reset starts again, as if nothing had been written.
    void reset() noexcept { crc = kStart; }

    // crc is the running CRC.
    uint32_t crc = kStart;
};

}  // namespace kwCore
