#include <gtest/gtest.h>

#include <cstdint>

#include "runtime/random_generator.h"
#include "runtime/startup_state.h"

namespace kwCore {
namespace {

// StartUpView is what an ordinary static initialiser sees of the start-up
// state, before main runs.
struct StartUpView {
    bool lockReady;
    bool lockUsable;
    int32_t randomIndex;
    RandomGenerator random;
    uint32_t tickCount;
};

StartUpView viewBeforeMain() {
    StartUpView view{};
    view.lockReady = globalLock != nullptr;
    if (view.lockReady) {
        globalLock->enter();
        view.lockUsable = globalLock->ownerThreadId.load() != 0;
        globalLock->leave();
    }
    view.randomIndex = globalRandom.index;
    view.random = globalRandom;
    view.tickCount = startTickCount;
    return view;
}

const StartUpView beforeMain = viewBeforeMain();

// seededTick finds the tick count that generator was seeded with: the seed
// keeps the high 16 bits of the value in the first word, so at most 65,536
// candidates remain.
bool seededTick(const RandomGenerator& generator, uint32_t* tick) {
    for (uint32_t low = 0; low <= 0xFFFF; ++low) {
        const uint32_t candidate = (generator.state[0] & 0xFFFF0000u) | low;
        RandomGenerator probe;
        probe.seed(candidate);
        if (std::equal(probe.state, probe.state + RandomGenerator::stateSize, generator.state)) {
            *tick = candidate;
            return true;
        }
    }
    return false;
}

TEST(StartUp, StateIsReadyBeforeMain) {
    EXPECT_TRUE(beforeMain.lockReady);
    EXPECT_TRUE(beforeMain.lockUsable);
    EXPECT_EQ(beforeMain.randomIndex, 624);
    EXPECT_NE(beforeMain.tickCount, 0u);
    EXPECT_EQ(beforeMain.tickCount, startTickCount);
}

TEST(StartUp, RandomIsSeededFromTheTickCountBeforeItIsRecorded) {
    uint32_t tick = 0;
    ASSERT_TRUE(seededTick(beforeMain.random, &tick));
    // Unsigned difference: correct across a wrap of the tick count.
    EXPECT_LT(beforeMain.tickCount - tick, 10000u);
}

}  // namespace
}  // namespace kwCore
