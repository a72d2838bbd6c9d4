#include "stream/md5.h"

#include <bit>
#include <cstring>

namespace kwCore {

namespace {

constexpr uint32_t kInitialState[4] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};

uint32_t loadLittleEndian(const uint8_t* p) noexcept {
    if constexpr (std::endian::native == std::endian::little) {
        uint32_t word;
        std::memcpy(&word, p, sizeof word);
        return word;
    } else {
        return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    }
}

void storeLittleEndian(uint8_t* p, uint32_t word) noexcept {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<uint8_t>(word >> (8 * i));
    }
}

// The four rounds' steps: a = b + ((a + f(b, c, d) + word + constant) <<< s).
// Each f is written so that the newest chaining word, b, enters last: the
// rest of the sum is ready before b is, which shortens the chain of
// dependent operations from one step to the next.
template <int S>
inline uint32_t stepF(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t wordPlusConstant) {
    a += wordPlusConstant;
    a += d ^ (b & (c ^ d));
    return std::rotl(a, S) + b;
}

template <int S>
inline uint32_t stepG(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t wordPlusConstant) {
    // (b & d) | (c & ~d): the two halves share no bit, so they may be added.
    a += wordPlusConstant + (c & ~d);
    a += b & d;
    return std::rotl(a, S) + b;
}

template <int S>
inline uint32_t stepH(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t wordPlusConstant) {
    a += wordPlusConstant;
    a += (c ^ d) ^ b;
    return std::rotl(a, S) + b;
}

template <int S>
inline uint32_t stepI(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t wordPlusConstant) {
    a += wordPlusConstant;
    a += c ^ (b | ~d);
    return std::rotl(a, S) + b;
}

}  // namespace

void md5Start(Md5Context& context) noexcept {
    std::memcpy(context.state, kInitialState, sizeof context.state);
    context.bitCount[0] = 0;
    context.bitCount[1] = 0;
}

void md5Transform(uint32_t state[4], const uint8_t block[64]) noexcept {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) {
        x[i] = loadLittleEndian(block + 4 * i);
    }
    uint32_t a = state[0];
    uint32_t b = state[1];
    uint32_t c = state[2];
    uint32_t d = state[3];

    a = stepF<7>(a, b, c, d, x[0] + 0xD76AA478);
    d = stepF<12>(d, a, b, c, x[1] + 0xE8C7B756);
    c = stepF<17>(c, d, a, b, x[2] + 0x242070DB);
    b = stepF<22>(b, c, d, a, x[3] + 0xC1BDCEEE);
    a = stepF<7>(a, b, c, d, x[4] + 0xF57C0FAF);
    d = stepF<12>(d, a, b, c, x[5] + 0x4787C62A);
    c = stepF<17>(c, d, a, b, x[6] + 0xA8304613);
    b = stepF<22>(b, c, d, a, x[7] + 0xFD469501);
    a = stepF<7>(a, b, c, d, x[8] + 0x698098D8);
    d = stepF<12>(d, a, b, c, x[9] + 0x8B44F7AF);
    c = stepF<17>(c, d, a, b, x[10] + 0xFFFF5BB1);
    b = stepF<22>(b, c, d, a, x[11] + 0x895CD7BE);
    a = stepF<7>(a, b, c, d, x[12] + 0x6B901122);
    d = stepF<12>(d, a, b, c, x[13] + 0xFD987193);
    c = stepF<17>(c, d, a, b, x[14] + 0xA679438E);
    b = stepF<22>(b, c, d, a, x[15] + 0x49B40821);

    a = stepG<5>(a, b, c, d, x[1] + 0xF61E2562);
    d = stepG<9>(d, a, b, c, x[6] + 0xC040B340);
    c = stepG<14>(c, d, a, b, x[11] + 0x265E5A51);
    b = stepG<20>(b, c, d, a, x[0] + 0xE9B6C7AA);
    a = stepG<5>(a, b, c, d, x[5] + 0xD62F105D);
    d = stepG<9>(d, a, b, c, x[10] + 0x02441453);
    c = stepG<14>(c, d, a, b, x[15] + 0xD8A1E681);
    b = stepG<20>(b, c, d, a, x[4] + 0xE7D3FBC8);
    a = stepG<5>(a, b, c, d, x[9] + 0x21E1CDE6);
    d = stepG<9>(d, a, b, c, x[14] + 0xC33707D6);
    c = stepG<14>(c, d, a, b, x[3] + 0xF4D50D87);
    b = stepG<20>(b, c, d, a, x[8] + 0x455A14ED);
    a = stepG<5>(a, b, c, d, x[13] + 0xA9E3E905);
    d = stepG<9>(d, a, b, c, x[2] + 0xFCEFA3F8);
    c = stepG<14>(c, d, a, b, x[7] + 0x676F02D9);
    b = stepG<20>(b, c, d, a, x[12] + 0x8D2A4C8A);

    a = stepH<4>(a, b, c, d, x[5] + 0xFFFA3942);
    d = stepH<11>(d, a, b, c, x[8] + 0x8771F681);
    c = stepH<16>(c, d, a, b, x[11] + 0x6D9D6122);
    b = stepH<23>(b, c, d, a, x[14] + 0xFDE5380C);
    a = stepH<4>(a, b, c, d, x[1] + 0xA4BEEA44);
    d = stepH<11>(d, a, b, c, x[4] + 0x4BDECFA9);
    c = stepH<16>(c, d, a, b, x[7] + 0xF6BB4B60);
    b = stepH<23>(b, c, d, a, x[10] + 0xBEBFBC70);
    a = stepH<4>(a, b, c, d, x[13] + 0x289B7EC6);
    d = stepH<11>(d, a, b, c, x[0] + 0xEAA127FA);
    c = stepH<16>(c, d, a, b, x[3] + 0xD4EF3085);
    b = stepH<23>(b, c, d, a, x[6] + 0x04881D05);
    a = stepH<4>(a, b, c, d, x[9] + 0xD9D4D039);
    d = stepH<11>(d, a, b, c, x[12] + 0xE6DB99E5);
    c = stepH<16>(c, d, a, b, x[15] + 0x1FA27CF8);
    b = stepH<23>(b, c, d, a, x[2] + 0xC4AC5665);

    a = stepI<6>(a, b, c, d, x[0] + 0xF4292244);
    d = stepI<10>(d, a, b, c, x[7] + 0x432AFF97);
    c = stepI<15>(c, d, a, b, x[14] + 0xAB9423A7);
    b = stepI<21>(b, c, d, a, x[5] + 0xFC93A039);
    a = stepI<6>(a, b, c, d, x[12] + 0x655B59C3);
    d = stepI<10>(d, a, b, c, x[3] + 0x8F0CCC92);
    c = stepI<15>(c, d, a, b, x[10] + 0xFFEFF47D);
    b = stepI<21>(b, c, d, a, x[1] + 0x85845DD1);
    a = stepI<6>(a, b, c, d, x[8] + 0x6FA87E4F);
    d = stepI<10>(d, a, b, c, x[15] + 0xFE2CE6E0);
    c = stepI<15>(c, d, a, b, x[6] + 0xA3014314);
    b = stepI<21>(b, c, d, a, x[13] + 0x4E0811A1);
    a = stepI<6>(a, b, c, d, x[4] + 0xF7537E82);
    d = stepI<10>(d, a, b, c, x[11] + 0xBD3AF235);
    c = stepI<15>(c, d, a, b, x[2] + 0x2AD7D2BB);
    b = stepI<21>(b, c, d, a, x[9] + 0xEB86D391);

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void md5Update(Md5Context& context, const void* data, uint32_t length) noexcept {
    if (data == nullptr) {
        return;
    }
    const auto* p = static_cast<const uint8_t*>(data);
    const uint32_t before = context.bitCount[0];
    context.bitCount[0] += length << 3;
    if (context.bitCount[0] < before) {
        ++context.bitCount[1];
    }
    context.bitCount[1] += length >> 29;

    const uint32_t used = (before >> 3) & 63;
    if (used > 0) {
        const uint32_t room = 64 - used;
        if (length < room) {
            std::memcpy(context.block + used, p, length);
            return;
        }
        std::memcpy(context.block + used, p, room);
        md5Transform(context.state, context.block);
        p += room;
        length -= room;
    }
    for (; length >= 64; length -= 64, p += 64) {
        std::memcpy(context.block, p, 64);
        md5Transform(context.state, context.block);
    }
    std::memcpy(context.block, p, length);
}

Md5Digest md5Finish(const Md5Context& context) noexcept {
    static constexpr uint8_t kPadding[64] = {0x80};
    Md5Context copy = context;
    uint8_t bitLength[8];
    storeLittleEndian(bitLength, context.bitCount[0]);
    storeLittleEndian(bitLength + 4, context.bitCount[1]);
    // Pad with 0x80 and zeros up to 56 bytes past a block boundary, leaving
    // room for the 64-bit bit count that ends the message.
    const uint32_t used = (context.bitCount[0] >> 3) & 63;
    md5Update(copy, kPadding, used < 56 ? 56 - used : 120 - used);
    md5Update(copy, bitLength, sizeof bitLength);
    Md5Digest digest;
    for (int i = 0; i < 4; ++i) {
        storeLittleEndian(digest.data() + 4 * i, copy.state[i]);
    }
    return digest;
}

}  // namespace kwCore
