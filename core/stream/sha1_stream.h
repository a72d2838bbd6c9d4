#pragma once

#include <array>
#include <cstdint>

#include "stream/stream.h"

namespace kwCore {

// Sha1Context is the running state of a SHA-1 computation (FIPS 180-4).
struct Sha1Context {
    // state holds the five chaining words H0 to H4.
    uint32_t state[5];
    // bitCount is the number of bits fed so far modulo 2^64, low word first.
    uint32_t bitCount[2];
    // block holds the bytes of the current, incomplete 64-byte block: the
    // first (bitCount[0] / 8) % 64 of them.
    uint8_t block[64];
};

// sha1Update feeds length bytes at data into context. A null data pointer
// feeds nothing, whatever the length.
void sha1Update(Sha1Context& context, const void* data, uint32_t length) noexcept;

// sha1Transform runs the SHA-1 compression function over one 64-byte block
// (sixteen big-endian words) and adds the result to state.
void sha1Transform(uint32_t state[5], const uint8_t block[64]) noexcept;

// Sha1Stream is a write-only stream computing the SHA-1 digest of every byte
// written to it. Every operation but write, canWrite and isOpen keeps its
// Stream default.
class Sha1Stream : public Stream {
  public:
    using Digest = std::array<uint8_t, 20>;

    // Sha1Stream starts with the digest of no bytes.
    Sha1Stream() noexcept;

    // reset starts again, as a fresh stream.
    void reset() noexcept;
    // digest returns the finished digest of everything written so far; the
    // running state is left as it is, so writing may go on.
    Digest digest() const noexcept;

    bool canWrite() override { return true; }
    bool isOpen() override { return true; }
    // write feeds the low 32 bits of length (unsigned) and returns length
    // unchanged.
    int64_t write(const void* data, int64_t length) override;

    Sha1Context context;
};

}  // namespace kwCore
