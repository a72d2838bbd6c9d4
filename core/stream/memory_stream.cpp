#include "stream/memory_stream.h"

#include <algorithm>
#include <cstring>

#include "runtime/fast_copy.h"

namespace kwCore {

bool MemoryStream::open(const char* block, int32_t blockLength) {
    offset = 0;
    if (block == nullptr || blockLength < -1) {
        close();
        return false;
    }
    data = block;
    length = blockLength == -1 ? static_cast<int64_t>(std::strlen(block)) : blockLength;
    return true;
}

void MemoryStream::close() {
    data = nullptr;
    length = 0;
    offset = 0;
}

int64_t MemoryStream::read(void* destination, int64_t count) {
    const int64_t n = std::min(count, length - offset);
    if (n <= 0) {
        return 0;
    }
    fastCopy(destination, data + offset, static_cast<size_t>(n));
    offset += n;
    return n;
}

int64_t MemoryStream::seek(int64_t p) {
    if (!isOpen()) {
        return -1;
    }
    offset = std::clamp<int64_t>(p, 0, length);
    return offset;
}

}  // namespace kwCore
