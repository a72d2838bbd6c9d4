#include "runtime/compare.h"

#include <cstring>

namespace kwCore {

int compareBytes(const void* a, const void* b, uint32_t size) noexcept {
    if (size == 0) {
        return 0;
    }
    // memcmp compares as unsigned char; only the sign of its result counts.
    const int order = std::memcmp(a, b, size);
    return (order > 0) - (order < 0);
}

int compare16(const void* a, const void* b) noexcept {
    return compareBytes(a, b, 16);
}

}  // namespace kwCore
