#include "stream/buffer_stream.h"

#include <algorithm>

namespace kwCore {

namespace {

// transferCount is the low 32 bits of a stream length as a signed count.
int32_t transferCount(int64_t length) noexcept {
    return static_cast<int32_t>(lowTransferLength(length));
}

}  // namespace

bool BufferStream::open(Buffer* target, bool write, int32_t from, int32_t bound) {
    close();
    if (target == nullptr || bound < -1) {
        return false;
    }
    buffer = target;
    // A negative start would let seek reach -1, the writing mark.
    start = std::max(from, 0);
    limit = bound;
    readPosition = write ? -1 : start;
    return true;
}

void BufferStream::close() {
    buffer = nullptr;
    readPosition = -1;
    start = 0;
    limit = -1;
}

int64_t BufferStream::read(void* destination, int64_t length) {
    if (!isReading()) {
        return -1;
    }
    int32_t n = transferCount(length);
    if (limit != -1) {
        // A window already passed (start beyond limit) yields nothing, never
        // the -1 that reads to the end.
        n = n < 0 ? 0
                  : static_cast<int32_t>(
                        std::clamp<int64_t>(int64_t{limit} - readPosition, 0, int64_t{n}));
    }
    const int32_t got = buffer->readAt(readPosition, n, destination);
    readPosition += got;
    return got;
}

int64_t BufferStream::write(const void* data, int64_t length) {
    if (!isWriting()) {
        return -1;
    }
    int64_t n = std::max(transferCount(length), 0);
    if (limit != -1) {
        n = std::min(n, int64_t{limit} + 1);
    }
    return buffer->append(data, static_cast<int32_t>(n));
}

int64_t BufferStream::seek(int64_t p) {
    if (!isReading()) {
        return -1;
    }
    int32_t end = buffer->size();
    if (limit != -1 && end > limit) {
        end = limit;
    }
    const int32_t target = transferCount(p);
    readPosition = target < start ? start : std::min(target, end);
    return readPosition;
}

bool BufferStream::atEnd() {
    if (!isReading()) {
        return true;
    }
    if (limit != -1 && readPosition >= limit) {
        return true;
    }
    return readPosition >= buffer->size();
}

}  // namespace kwCore
