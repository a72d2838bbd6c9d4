#include "stream/crc64.h"

#include <atomic>
#include <bit>
#include <cstring>
#include <mutex>

namespace kwCore {

namespace {

constexpr uint64_t kReflectedPolynomial = 0x95AC9329AC4BC9B5;

// kSlices is how many bytes one step of the main loop takes: table k holds
// the CRC of a byte followed by k zero bytes, so sixteen independent
// lookups, one per byte, advance the CRC by sixteen bytes at once.
constexpr int kSlices = 16;

// tables[0] is the byte table; its entry 0 stays 1, the mark of a table not
// yet built, until every table is complete.
alignas(64) uint64_t tables[kSlices][256] = {{1}};
std::once_flag tablesBuilt;

std::atomic_ref<uint64_t> tableMark() noexcept {
    return std::atomic_ref<uint64_t>(tables[0][0]);
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
    // Entry 0 last: once it reads 0, every entry of every table is in place.
    tableMark().store(byteTable[0], std::memory_order_release);
}

void ensureTables() noexcept {
    if (tableMark().load(std::memory_order_acquire) == 1) {
        std::call_once(tablesBuilt, buildTables);
    }
}

}  // namespace

const uint64_t* crc64Table() noexcept {
    return tables[0];
}

uint64_t crc64Update(uint32_t length, const void* data, uint64_t crc) noexcept {
    if (data == nullptr) {
        return crc;
    }
    ensureTables();
    const auto* p = static_cast<const unsigned char*>(data);
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

}  // namespace kwCore
