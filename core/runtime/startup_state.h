#pragma once

#include <cstdint>

#include "thread/lock.h"

namespace kwCore {

// The process-wide state set up before main runs, on the first thread, in
// this order: globalRandom is seeded from the tick count, globalLock is
// created (and deleted again at exit), startTickCount is recorded.

// globalLock is a process-wide lock for programs to use; the library
// itself never takes it. nullptr before start-up and after exit.
extern Lock* globalLock;

// startTickCount is the tick count (milliseconds since the system started,
// 32 bits) when the process started.
extern uint32_t startTickCount;

}  // namespace kwCore
