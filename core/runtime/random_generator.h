#pragma once

#include <cstdint>

namespace kwCore {

// RandomGenerator is the state of a Mersenne Twister (MT19937) generator.
struct RandomGenerator {
    static constexpr int32_t stateSize = 624;

    // seed fills the state from value with the linear congruential
    // generator s <- 69069 * s + 1, two steps per word (the high 16 bits of
    // each), and sets index to stateSize so that the whole state is
    // regenerated before the first number is drawn. Not synchronised.
    void seed(uint32_t value) noexcept;

    uint32_t state[stateSize];
    int32_t index;
};

// globalRandom is the process's generator, seeded from the tick count at
// start-up.
extern RandomGenerator globalRandom;

// reseedGlobalRandom seeds globalRandom from the current tick count and
// returns it. Callers that share globalRandom with other threads must
// synchronise themselves.
RandomGenerator& reseedGlobalRandom() noexcept;

}  // namespace kwCore
