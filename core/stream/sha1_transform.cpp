#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "stream/sha1_blocks.h"
#include "stream/sha1_stream.h"

namespace kwCore {

namespace {

inline uint32_t loadBigEndian(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// step runs step i of the eighty. The five working variables live in v and
// their roles turn one place per step: a is v[(5 - i % 5) % 5], b the next,
// and so on. The new a goes into the slot of e and b is rotated in place,
// so no value moves. With i a constant the whole array stays in registers.
template <int i>
inline void step(uint32_t (&v)[5], uint32_t (&w)[16], const uint8_t* block) {
    const uint32_t a = v[(100 - i) % 5];
    uint32_t& b = v[(101 - i) % 5];
    const uint32_t c = v[(102 - i) % 5];
    const uint32_t d = v[(103 - i) % 5];
    uint32_t& e = v[(104 - i) % 5];

    // The message schedule keeps the last sixteen words.
    uint32_t word;
    if constexpr (i < 16) {
        word = loadBigEndian(block + 4 * i);
    } else {
        word = std::rotl(w[(i + 13) & 15] ^ w[(i + 8) & 15] ^ w[(i + 2) & 15] ^ w[i & 15], 1);
    }
    w[i & 15] = word;

    uint32_t f;
    uint32_t k;
    if constexpr (i < 20) {
        f = d ^ (b & (c ^ d));  // choose
        k = 0x5A827999;
    } else if constexpr (i < 40) {
        f = b ^ c ^ d;  // parity
        k = 0x6ED9EBA1;
    } else if constexpr (i < 60) {
        f = (b & c) | (d & (b | c));  // majority
        k = 0x8F1BBCDC;
    } else {
        f = b ^ c ^ d;
        k = 0xCA62C1D6;
    }
    e += std::rotl(a, 5) + f + k + word;
    b = std::rotl(b, 30);
}

template <size_t... I>
inline void allSteps(uint32_t (&v)[5], uint32_t (&w)[16], const uint8_t* block,
                     std::index_sequence<I...>) {
    (step<static_cast<int>(I)>(v, w, block), ...);
}

}  // namespace

void sha1BlocksPortable(uint32_t state[5], const uint8_t* data, size_t count) noexcept {
    uint32_t v[5] = {state[0], state[1], state[2], state[3], state[4]};
    for (; count > 0; --count, data += 64) {
        const uint32_t start[5] = {v[0], v[1], v[2], v[3], v[4]};
        uint32_t w[16];
        allSteps(v, w, data, std::make_index_sequence<80>());
        // Eighty steps turn the roles sixteen full rounds: a is back in v[0].
        for (int j = 0; j < 5; ++j) {
            v[j] += start[j];
        }
    }
    for (int j = 0; j < 5; ++j) {
        state[j] = v[j];
    }
}

void sha1Transform(uint32_t state[5], const uint8_t block[64]) noexcept {
    sha1Blocks(state, block, 1);
}

}  // namespace kwCore
