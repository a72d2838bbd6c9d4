#pragma once

#include <array>
#include <cstdint>

#include "stream/md5.h"
#include "stream/stream.h"

namespace kwCore {

// Md5Stream is a write-only sink that keeps the MD5 state of every byte
// written to it; digest finishes it at any moment without disturbing it. It
// is always open and writable; everything else keeps the Stream defaults.
class Md5Stream : public Stream {
  public:
    using Digest = std::array<uint8_t, 16>;

    // Md5Stream starts with the standard's initial state, nothing fed.
    Md5Stream() noexcept { md5Start(context); }

    bool canWrite() override { return true; }
    bool isOpen() override { return true; }
    // write feeds the low 32 bits' worth of length bytes into the state and
    // returns length unchanged. Null data feeds nothing.
    int64_t write(const void* data, int64_t length) override;

    // reset starts again, as if nothing had been written.
    void reset() noexcept { md5Start(context); }
    // digest is the finished digest of the bytes written since the start;
    // the running state is untouched, so writing may go on.
    Digest digest() const noexcept { return md5Finish(context); }

    // context is the running state.
    Md5Context context;
};

}  // namespace kwCore
