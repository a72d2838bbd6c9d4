#include "runtime/random_generator.h"

#include "platform/clock.h"

namespace kwCore {

RandomGenerator globalRandom;

void RandomGenerator::seed(uint32_t value) noexcept {
    uint32_t s = value;
    for (uint32_t& word : state) {
        word = s & 0xFFFF0000u;
        s = 69069u * s + 1u;
        word |= s >> 16;
        s = 69069u * s + 1u;
    }
    index = stateSize;
}

RandomGenerator& reseedGlobalRandom() noexcept {
    globalRandom.seed(platform::tickCount());
    return globalRandom;
}

}  // namespace kwCore
