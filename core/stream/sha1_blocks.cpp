#include "stream/sha1_blocks.h"

namespace kwCore {

void sha1Blocks(uint32_t state[5], const uint8_t* data, size_t count) noexcept {
    sha1BlocksPortable(state, data, count);
}

}  // namespace kwCore
