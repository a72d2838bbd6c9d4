#include "stream/crc64.h"

#include <atomic>
#include <bit>
#include <cstring>
#include <mutex>

#include "stream/crc64_methods.h"

namespace kwCore {

namespace {

// kPolynomial is P without its x^64 term, bit k the coefficient of x^k;
// kReflectedPolynomial is the same bits reversed, the form the CRC is
// computed in: bit 0 of a CRC word is the coefficient of x^63.
constexpr uint64_t kPolynomial = 0xAD93D23594C935A9;
constexpr uint64_t kReflectedPolynomial = 0x95AC9329AC4BC9B5;

// kSlices is how many bytes one step of the table method takes: table k
// holds the CRC of a byte followed by k zero bytes, so sixteen independent
// lookups, one per byte, advance the CRC by sixteen bytes at once.
constexpr int kSlices = 16;

// tables[0] is the byte table; its entry 0 stays 1, the mark of a table not
// yet built, until every table and the folding constants are complete.
alignas(64) uint64_t tables[kSlices][256] = {{1}};
detail::Crc64FoldConstants foldConstants;
std::once_flag tablesBuilt;

std::atomic_ref<uint64_t> tableMark() noexcept {
    return std::atomic_ref<uint64_t>(tables[0][0]);
}

constexpr uint64_t reverseBits(uint64_t value) noexcept {
    uint64_t result = 0;
    for (int bit = 0; bit < 64; ++bit, value >>= 1) {
        result = (result << 1) | (value & 1);
    }
    return result;
}

static_assert(reverseBits(kPolynomial) == kReflectedPolynomial);

// xPowerModP is x^n mod P, bit k the coefficient of x^k.
uint64_t xPowerModP(int n) noexcept {
    uint64_t r = 1;
    for (int i = 0; i < n; ++i) {
        r = (r >> 63) ? (r << 1) ^ kPolynomial : r << 1;
    }
    return r;
}

// quotientX128ByP is floor(x^128 / P) without its x^64 term, by long
// division one quotient bit a step. Only the remainder's high 64
// coefficients decide the quotient bits, so only they are kept.
uint64_t quotientX128ByP() noexcept {
    // x^128 less x^64 * P leaves x^64 * (P - x^64).
    uint64_t high = kPolynomial;
    uint64_t quotient = 0;
    for (int k = 63; k >= 0; --k) {
        if ((high >> k) & 1) {
            // Take away x^k * P: x^(64 + k) and x^k times the low terms.
            quotient |= uint64_t{1} << k;
            high ^= uint64_t{1} << k;
            if (k > 0) {
                high ^= kPolynomial >> (64 - k);
            }
        }
    }
    return quotient;
}

// The folding constants. A CRC word w stands for the polynomial with the
// coefficient of x^(63 - i) in bit i; a 128-bit block loaded from memory
// likewise has x^(127 - j) in bit j, so its low word L comes first and the
// block is L x^64 + H. The CRC of a message M is M x^64 mod P.
//
// The carry-less product of two CRC words stands for their product times x
// (bit i + j holds x^(126 - i - j), read in the 128-bit order). So moving a
// block D bits further along, L x^(64 + D) + H x^D, is the sum of the
// products of L with x^(D + 63) mod P and of H with x^(D - 1) mod P; added to
// the block D bits on, it leaves the CRC unchanged.
//
// The last block X stands for X x^64 mod P = L x^128 + H x^64: L times
// x^127 mod P, plus H in the low word, gives Z = A x^64 + B of 128 bits.
// Barrett reduction: with mu = floor(x^128 / P), the quotient of A x^64 by P
// is q = floor(A mu / x^64), the low word of A times (mu - mu0) / x (the
// x^0 term mu0 of mu changes nothing above x^64); and A x^64 mod P is the
// low 64 terms of q P = q x (P - 1) / x + q, which are the high word of q
// times (P - 1) / x, plus q. Adding B gives the CRC.
void buildFoldConstants(detail::Crc64FoldConstants& c) noexcept {
    const auto pair = [](uint64_t* to, int distance) {
        to[0] = reverseBits(xPowerModP(distance + 63));
        to[1] = reverseBits(xPowerModP(distance - 1));
    };
    pair(c.fold128, 128);
    pair(c.fold256, 256);
    pair(c.fold512, 512);
    pair(c.fold1024, 1024);
    pair(c.fold2048, 2048);
    c.reduce[0] = reverseBits(xPowerModP(127));
    // mu with x^64 is 65 bits; divided by x, the top bit is x^63.
    c.reduce[1] = reverseBits((uint64_t{1} << 63) | (quotientX128ByP() >> 1));
    c.polynomial[0] = reverseBits((uint64_t{1} << 63) | (kPolynomial >> 1));
    c.polynomial[1] = 0;
}

void buildTables() noexcept {
    uint64_t byteTable[256];
    for (uint64_t i = 0; i < 256; ++i) {
        uint64_t c = i;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) ? (c >> 1) ^ kReflectedPolynomial : c >> 1;
        }
        byteTable[i] = c;
    }
    for (int i = 0; i < 256; ++i) {
        uint64_t c = byteTable[i];
        for (int k = 1; k < kSlices; ++k) {
            c = (c >> 8) ^ byteTable[c & 0xFF];
            tables[k][i] = c;
        }
    }
    std::memcpy(&tables[0][1], &byteTable[1], sizeof byteTable - sizeof byteTable[0]);
    buildFoldConstants(foldConstants);
    // Entry 0 last: once it reads 0, every entry of every table is in place.
    tableMark().store(byteTable[0], std::memory_order_release);
}

using Crc64Method = uint64_t (*)(uint64_t, const unsigned char*, size_t) noexcept;

// fastestMethod is the widest folding method the processor runs, or the
// tables.
Crc64Method fastestMethod() noexcept {
    if (detail::crc64FoldedWidestAvailable()) {
        return detail::crc64FoldedWidest;
    }
    if (detail::crc64FoldedWideAvailable()) {
        return detail::crc64FoldedWide;
    }
    if (detail::crc64FoldedAvailable()) {
        return detail::crc64Folded;
    }
    return detail::crc64ByTables;
}

}  // namespace

namespace detail {

void crc64EnsureTables() noexcept {
    if (tableMark().load(std::memory_order_acquire) == 1) {
        std::call_once(tablesBuilt, buildTables);
    }
}

const Crc64FoldConstants& crc64FoldConstants() noexcept {
    return foldConstants;
}

uint64_t crc64ByTables(uint64_t crc, const unsigned char* p, size_t length) noexcept {
    if constexpr (std::endian::native == std::endian::little) {
        for (; length >= kSlices; length -= kSlices, p += kSlices) {
            uint64_t low;
            uint64_t high;
            std::memcpy(&low, p, sizeof low);
            std::memcpy(&high, p + 8, sizeof high);
            low ^= crc;
            crc = tables[15][low & 0xFF] ^ tables[14][(low >> 8) & 0xFF] ^
                  tables[13][(low >> 16) & 0xFF] ^ tables[12][(low >> 24) & 0xFF] ^
                  tables[11][(low >> 32) & 0xFF] ^ tables[10][(low >> 40) & 0xFF] ^
                  tables[9][(low >> 48) & 0xFF] ^ tables[8][low >> 56] ^ tables[7][high & 0xFF] ^
                  tables[6][(high >> 8) & 0xFF] ^ tables[5][(high >> 16) & 0xFF] ^
                  tables[4][(high >> 24) & 0xFF] ^ tables[3][(high >> 32) & 0xFF] ^
                  tables[2][(high >> 40) & 0xFF] ^ tables[1][(high >> 48) & 0xFF] ^
                  tables[0][high >> 56];
        }
    }
    for (; length > 0; --length, ++p) {
        crc = (crc >> 8) ^ tables[0][(crc ^ *p) & 0xFF];
    }
    return crc;
}

}  // namespace detail

const uint64_t* crc64Table() noexcept {
    return tables[0];
}

uint64_t crc64Update(uint32_t length, const void* data, uint64_t crc) noexcept {
    if (data == nullptr) {
        return crc;
    }
    detail::crc64EnsureTables();
    // Chosen once: the first call asks the processor, every later one reuses
    // the answer.
    static const Crc64Method method = fastestMethod();
    return method(crc, static_cast<const unsigned char*>(data), length);
}

}  // namespace kwCore
