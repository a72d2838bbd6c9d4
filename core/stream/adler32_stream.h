#pragma once

#include <cstdint>

#include "stream/stream.h"

namespace kwCore {

// Adler32Stream is a write-only sink that keeps the Adler-32 checksum of
// every byte written to it. It is always open and writable; everything else
// keeps the Stream defaults.
class Adler32Stream : public Stream {
  public:
    // Adler32Stream::kStart is the checksum of no bytes.
    static constexpr uint32_t kStart = 1;

    Adler32Stream() noexcept = default;

    bool canWrite() override { return true; }
    bool isOpen() override { return true; }
    // write feeds the low 32 bits' worth of length bytes into the checksum
    // and returns length unchanged. Null data starts the checksum again.
    int64_t write(const void* data, int64_t length) override;

    // value is the checksum of the bytes written since the start.
    uint32_t value() const noexcept { return adler; }
    // reset starts again, as if nothing had been written.
    void reset() noexcept { adler = kStart; }

    // adler is the running checksum.
    uint32_t adler = kStart;
};

}  // namespace kwCore
