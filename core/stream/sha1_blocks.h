#pragma once

#include <cstddef>
#include <cstdint>

namespace kwCore {

// sha1Blocks runs the SHA-1 compression function over count consecutive
// 64-byte blocks at data, adding each result to state. It picks the
// processor's SHA instructions where they exist.
void sha1Blocks(uint32_t state[5], const uint8_t* data, size_t count) noexcept;

// sha1InstructionsAvailable tells whether the processor has the SHA
// extensions and the SSSE3 and SSE4.1 instructions that sha1Blocks uses
// with them.
bool sha1InstructionsAvailable() noexcept;

// sha1BlocksPortable is sha1Blocks in plain C++, for every processor.
void sha1BlocksPortable(uint32_t state[5], const uint8_t* data, size_t count) noexcept;

}  // namespace kwCore
