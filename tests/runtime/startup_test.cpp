#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "runtime/random_generator.h"
#include "runtime/startup_state.h"

namespace kwCore {
namespace {

// StartUpView is what an ordinary static initialiser sees of the start-up
// state, before main runs.
struct StartUpView {
    bool lockUsable = false;
    RandomGenerator random;
    uint32_t tickCount;
};

StartUpView viewBeforeMain() {
    StartUpView view{};
    if (globalLock != nullptr) {
        globalLock->enter();
        view.lockUsable = globalLock->ownerThreadId.load() != 0;
        globalLock->leave();
    }
    view.random = globalRandom;
    view.tickCount = startTickCount;
    return view;
}

const StartUpView beforeMain = viewBeforeMain();

TEST(StartUp, StateIsReadyBeforeMainAndSeededFromTheTickCount) {
    EXPECT_TRUE(beforeMain.lockUsable);
    EXPECT_EQ(beforeMain.random.index, 624);
    EXPECT_EQ(beforeMain.tickCount, startTickCount);
    // The seed keeps the high 16 bits of the tick count in the first word;
    // find the low 16 bits that reproduce the whole state.
    bool found = false;
    for (uint32_t low = 0; low <= 0xFFFF && !found; ++low) {
        const uint32_t tick = (beforeMain.random.state[0] & 0xFFFF0000u) | low;
        RandomGenerator probe;
        probe.seed(tick);
        if (std::equal(probe.state, probe.state + 624, beforeMain.random.state)) {
            found = true;
            // Seeded first, recorded last: unsigned, so right across a wrap.
            EXPECT_LT(beforeMain.tickCount - tick, 10000u);
        }
    }
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace kwCore
