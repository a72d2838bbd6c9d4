#include "stream/sha1_stream.h"

#include <cstring>

#include "stream/sha1_blocks.h"

namespace kwCore {

namespace {

constexpr uint32_t kInitialState[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};

void storeBigEndian(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value >> 24);
    p[1] = static_cast<uint8_t>(value >> 16);
    p[2] = static_cast<uint8_t>(value >> 8);
    p[3] = static_cast<uint8_t>(value);
}

}  // namespace

void sha1Update(Sha1Context& context, const void* data, uint32_t length) noexcept {
    if (data == nullptr) {
        return;
    }
    const uint32_t low = context.bitCount[0];
    context.bitCount[0] = low + (length << 3);
    if (context.bitCount[0] < low) {
        ++context.bitCount[1];
    }
    context.bitCount[1] += length >> 29;

    const auto* bytes = static_cast<const uint8_t*>(data);
    const uint32_t used = (low >> 3) & 63;
    if (used > 0) {
        const uint32_t room = 64 - used;
        if (length < room) {
            if (length > 0) {
                std::memcpy(context.block + used, bytes, length);
            }
            return;
        }
        std::memcpy(context.block + used, bytes, room);
        sha1Blocks(context.state, context.block, 1);
        bytes += room;
        length -= room;
    }
    // Whole blocks are compressed where they lie, without a copy.
    if (length >= 64) {
        sha1Blocks(context.state, bytes, length / 64);
        bytes += length & ~uint32_t{63};
        length &= 63;
    }
    if (length > 0) {
        std::memcpy(context.block, bytes, length);
    }
}

Sha1Stream::Sha1Stream() noexcept {
    reset();
}

void Sha1Stream::reset() noexcept {
    std::memcpy(context.state, kInitialState, sizeof kInitialState);
    context.bitCount[0] = 0;
    context.bitCount[1] = 0;
    std::memset(context.block, 0, sizeof context.block);
}

Sha1Stream::Digest Sha1Stream::digest() const noexcept {
    // The padding goes into a copy: a one bit, zeros up to 56 bytes within
    // the block, then the bit count as a big-endian 64-bit number.
    Sha1Context last = context;
    const uint32_t used = (last.bitCount[0] >> 3) & 63;
    last.block[used] = 0x80;
    if (used >= 56) {
        std::memset(last.block + used + 1, 0, 63 - used);
        sha1Blocks(last.state, last.block, 1);
        std::memset(last.block, 0, 56);
    } else {
        std::memset(last.block + used + 1, 0, 55 - used);
    }
    storeBigEndian(last.block + 56, last.bitCount[1]);
    storeBigEndian(last.block + 60, last.bitCount[0]);
    sha1Blocks(last.state, last.block, 1);

    Digest result;
    for (int j = 0; j < 5; ++j) {
        storeBigEndian(result.data() + 4 * j, last.state[j]);
    }
    return result;
}

int64_t Sha1Stream::write(const void* data, int64_t length) {
    sha1Update(context, data, lowTransferLength(length));
    return length;
}

}  // namespace kwCore
