#pragma once

#include <cstdint>

#include "stream/adler32_stream.h"
#include "stream/crc32_stream.h"
#include "stream/stream.h"

namespace kwCore {

// Adler32Crc32Stream is a write-only sink that keeps both the CRC-32 and the
// Adler-32 checksum of every byte written to it, as Crc32Stream and
// Adler32Stream do. It is always open and writable; everything else keeps
// the Stream defaults.
class Adler32Crc32Stream : public Stream {
  public:
    Adler32Crc32Stream() noexcept = default;

    bool canWrite() override { return true; }
    bool isOpen() override { return true; }
    // write feeds the low 32 bits' worth of length bytes into both values and
    // returns length unchanged. Null data starts both again.
    int64_t write(const void* data, int64_t length) override;

    // crc32Value is the CRC-32 of the bytes written since the start.
    uint32_t crc32Value() const noexcept { return crc; }
    // adler32Value is the Adler-32 of the bytes written since the start.
    uint32_t adler32Value() const noexcept { return adler; }
    // reset starts both again, as if nothing had been written.
    void reset() noexcept {
        crc = Crc32Stream::kStart;
        adler = Adler32Stream::kStart;
    }

    // crc is the running CRC-32.
    uint32_t crc = Crc32Stream::kStart;
    // adler is the running Adler-32.
    uint32_t adler = Adler32Stream::kStart;
};

}  // namespace kwCore
