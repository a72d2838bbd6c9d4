#pragma once

#include <cstdint>

namespace kwCore {

// crc64Update feeds length bytes of data into crc and returns the new value:
// the CRC-64 with the polynomial 0xAD93D23594C935A9, taken least significant
// bit first (reflected form 0x95AC9329AC4BC9B5), with no inversion on input
// or output. Started from 0, the nine ASCII digits "123456789" give
// 0xE9C6D914C4B8D9CA; started from all ones, 0xCAA717168609F281. Null data
// feeds nothing. The first call in the process builds the lookup tables,
// exactly once however many threads make it together, and picks the method:
// carry-less multiplication where the processor has it (PCLMULQDQ, or
// VPCLMULQDQ on 256 or 512 bits), else sixteen table lookups a step.
uint64_t crc64Update(uint32_t length, const void* data, uint64_t crc) noexcept;

// crc64Table is the process-wide table of 256 entries, entry i the CRC of the
// one byte i. Its entry 0 holds 1 until the first crc64Update has built it
// (a built table's entry 0 is 0).
const uint64_t* crc64Table() noexcept;

}  // namespace kwCore
