#pragma once

#include <array>
#include <cstdint>

namespace kwCore {

// Md5Context is the running state of one MD5 computation (RFC 1321).
struct Md5Context {
    // state is the four chaining words A, B, C, D.
    uint32_t state[4];
    // bitCount is the number of bits fed so far, low word first, modulo 2^64.
    uint32_t bitCount[2];
    // block holds the bytes of the current, incomplete 64-byte block: the
    // first (bitCount[0] / 8) mod 64 of them.
    uint8_t block[64];
};

// Md5Digest is a finished MD5 digest, in the standard's byte order.
using Md5Digest = std::array<uint8_t, 16>;

// md5Start sets context to the standard's initial chaining words with
// nothing fed.
void md5Start(Md5Context& context) noexcept;

// md5Update feeds length bytes of data into context. Every whole block goes
// through context.block before it is transformed. Null data feeds nothing.
void md5Update(Md5Context& context, const void* data, uint32_t length) noexcept;

// md5Transform runs the MD5 compression function on state over one 64-byte
// block, read as sixteen little-endian words.
void md5Transform(uint32_t state[4], const uint8_t block[64]) noexcept;

// md5Finish returns the digest of all bytes fed into context: it pads a copy
// of the state as the standard prescribes, so context itself may take more.
Md5Digest md5Finish(const Md5Context& context) noexcept;

}  // namespace kwCore
