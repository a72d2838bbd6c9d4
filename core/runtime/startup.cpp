// The library's start-up: sets up the process-wide state before main runs.
// Nothing calls into this object, so the library's link options name its
// anchor symbol as undefined, which makes the linker take it from the
// static library into every program.

#include <cstdlib>

#include "platform/clock.h"
#include "runtime/random_generator.h"
#include "runtime/startup_state.h"

namespace kwCore {

Lock* globalLock = nullptr;
uint32_t startTickCount = 0;

namespace {

void deleteGlobalLock() {
    delete globalLock;
    globalLock = nullptr;
}

}  // namespace

// runStartUp runs on the first thread before any ordinary static
// initialiser of the program (priority 101 is the earliest one available
// to programs), so that those may use the state too.
__attribute__((constructor(101))) void runStartUp() {
    globalRandom.seed(platform::tickCount());
    globalLock = new Lock();
    std::atexit(deleteGlobalLock);
    startTickCount = platform::tickCount();
}

}  // namespace kwCore

// kwcore_start_up_anchor exists to be asked for at link time.
extern "C" void kwcore_start_up_anchor() {}
