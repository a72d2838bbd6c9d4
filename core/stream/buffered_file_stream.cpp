#include "stream/buffered_file_stream.h"

#include "runtime/fast_copy.h"
#include "runtime/heap.h"
#include "stream/file_access.h"

namespace kwCore {

BufferedFileStream::BufferedFileStream(int32_t capacity) noexcept
    : capacity(capacity >= 1 ? capacity : kDefaultCapacity) {}

BufferedFileStream::~BufferedFileStream() {
    BufferedFileStream::close();
}

bool BufferedFileStream::open(const char* name, bool write, bool append) {
    close();
    outputBuffer = static_cast<unsigned char*>(heapAllocate(static_cast<size_t>(capacity)));
    pending = 0;
    // A file that does not open leaves the stream closed, without its block.
    if (!openFileStream(name, write, append, platform::fileShareRead, true, handle, mode,
                        fileName)) {
        close();
        return false;
    }
    return true;
}

bool BufferedFileStream::writePending() noexcept {
    const auto count = static_cast<uint32_t>(pending);
    pending = 0;
    return platform::writeFile(handle, outputBuffer, count) == count;
}

void BufferedFileStream::close() {
    if (handle != platform::invalidFileHandle) {
        if (pending > 0 && mode == StreamMode::Write) {
            writePending();
        }
        platform::closeFile(handle);
        handle = platform::invalidFileHandle;
    }
    mode = StreamMode::Closed;
    heapFree(fileName);
    fileName = nullptr;
    heapFree(outputBuffer);
    outputBuffer = nullptr;
    pending = 0;
}

int64_t BufferedFileStream::read(void* destination, int64_t length) {
    return readFileStream(mode, handle, destination, length);
}

int64_t BufferedFileStream::write(const void* data, int64_t length) {
    if (mode != StreamMode::Write) {
        return -1;
    }
    if (length <= 0) {
        return length;
    }
    if (data == nullptr) {
        return 0;
    }
    const auto* from = static_cast<const unsigned char*>(data);
    // The whole length passes through the block: the count returned is the
    // count taken.
    int64_t remaining = length;
    while (remaining > 0) {
        const int64_t room = capacity - pending;
        const int64_t n = remaining < room ? remaining : room;
        fastCopy(outputBuffer + pending, from, static_cast<size_t>(n));
        pending += static_cast<int32_t>(n);
        from += n;
        remaining -= n;
        if (pending >= capacity && !writePending()) {
            return -1;
        }
    }
    return length;
}

int64_t BufferedFileStream::size() {
    return isOpen() ? platform::fileSize(handle) : -1;
}

int64_t BufferedFileStream::position() {
    return isOpen() ? platform::filePosition(handle) : -1;
}

int64_t BufferedFileStream::seek(int64_t position) {
    if (!isOpen()) {
        return -1;
    }
    // Pending bytes belong where the file pointer stands now, not where it
    // is going.
    if (pending > 0 && mode == StreamMode::Write && !writePending()) {
        return -1;
    }
    return platform::seekFile(handle, position);
}

void BufferedFileStream::flush() {
    if (handle == platform::invalidFileHandle) {
        return;
    }
    if (pending > 0 && mode == StreamMode::Write) {
        writePending();
    }
    platform::flushFile(handle);
}

bool BufferedFileStream::atEnd() {
    return isOpen() && position() >= size();
}

}  // namespace kwCore
