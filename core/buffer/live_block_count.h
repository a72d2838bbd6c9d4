#pragma once

#include <cstdint>

namespace kwCore {

// The pools' gauge of system blocks. Every pool adds 1 when its allocateBlock
// obtains a block from the system and subtracts 1 when its releaseBlock gives
// one back. Blocks freed by trim, setCapacity, disable or a pool's
// destruction, and the plain system blocks of a Buffer, leave it unchanged.

// liveBlockCount reads the gauge (for tests and diagnostics).
int32_t liveBlockCount() noexcept;

// obtainCountedBlock returns a fresh system block and adds 1 to the gauge;
// nullptr, leaving the gauge unchanged, when the system has none to give.
void* obtainCountedBlock() noexcept;

// releaseCountedBlock subtracts 1 from the gauge and gives block back to the
// system.
void releaseCountedBlock(void* block) noexcept;

}  // namespace kwCore
