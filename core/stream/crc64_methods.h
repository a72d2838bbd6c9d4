#pragma once

#include <cstddef>
#include <cstdint>

// The methods behind crc64Update. crc64Update picks the fastest one the
// processor runs, once, at its first call; they are kept apart so that every
// method can be checked, and measured, on any processor that runs it. Every
// method takes and returns the same CRC as crc64Update and needs the tables
// built (crc64Update's first call, or crc64EnsureTables).

namespace kwCore::detail {

// crc64EnsureTables builds the lookup tables and the folding constants,
// exactly once however many threads ask together.
void crc64EnsureTables() noexcept;

// crc64ByTables is the table method: sixteen bytes a step by sixteen
// independent lookups, then the last bytes one lookup each.
uint64_t crc64ByTables(uint64_t crc, const unsigned char* data, size_t length) noexcept;

// Crc64FoldConstants holds, for folding a 128-bit block forward by a
// distance of D bits, the pair (x^(D+63) mod P, x^(D-1) mod P), each bit
// reversed as the CRC itself is; and the two constants of the final Barrett
// reduction. Crc64FoldConstants are computed from the polynomial when the
// tables are built (see crc64.cpp for the derivation).
struct Crc64FoldConstants {
    // fold128 to fold2048 fold by 128, 256, 512, 1024 and 2048 bits.
    alignas(16) uint64_t fold128[2];
    alignas(16) uint64_t fold256[2];
    alignas(16) uint64_t fold512[2];
    alignas(16) uint64_t fold1024[2];
    alignas(16) uint64_t fold2048[2];
    // reduce holds x^127 mod P, which folds the last 128 bits onto 64, and
    // floor(x^128 / P) without its x^0 term, divided by x.
    alignas(16) uint64_t reduce[2];
    // polynomial is P without its x^0 term, divided by x.
    alignas(16) uint64_t polynomial[2];
};

// crc64FoldConstants is the process-wide set, valid once the tables are built.
const Crc64FoldConstants& crc64FoldConstants() noexcept;

// crc64Folded is the carry-less multiplication method on 128-bit vectors
// (PCLMULQDQ): eight blocks of sixteen bytes folded in parallel, the last
// bytes by the tables. Only where crc64FoldedAvailable.
uint64_t crc64Folded(uint64_t crc, const unsigned char* data, size_t length) noexcept;
bool crc64FoldedAvailable() noexcept;

// crc64FoldedWide is crc64Folded on 256-bit vectors (VPCLMULQDQ with AVX2),
// four registers of two blocks in parallel. Only where crc64FoldedWideAvailable.
uint64_t crc64FoldedWide(uint64_t crc, const unsigned char* data, size_t length) noexcept;
bool crc64FoldedWideAvailable() noexcept;

// crc64FoldedWidest is crc64Folded on 512-bit vectors (VPCLMULQDQ with
// AVX-512), four registers of four blocks in parallel. Only where crc64FoldedWidestAvailable.
uint64_t crc64FoldedWidest(uint64_t crc, const unsigned char* data, size_t length) noexcept;
bool crc64FoldedWidestAvailable() noexcept;

}  // namespace kwCore::detail
