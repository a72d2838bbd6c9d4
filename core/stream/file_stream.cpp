#include "stream/file_stream.h"

#include "runtime/heap.h"
#include "stream/file_access.h"

namespace kwCore {

namespace {

// shareBits turns a share-mode argument into the system's share bits:
// 1 read, 2 write, 3 both; anything else shares nothing.
uint32_t shareBits(int shareMode) {
    switch (shareMode) {
        case 1:
            return platform::fileShareRead;
        case 2:
            return platform::fileShareWrite;
        case 3:
            return platform::fileShareRead | platform::fileShareWrite;
        default:
            return 0;
    }
}

}  // namespace

FileStream::~FileStream() {
    FileStream::close();
}

bool FileStream::open(const char* name, bool write, bool append, int shareMode) {
    close();
    return openFileStream(name, write, append, shareBits(shareMode), false, handle, mode, fileName);
}

void FileStream::close() {
    if (handle != platform::invalidFileHandle) {
        platform::closeFile(handle);
        handle = platform::invalidFileHandle;
    }
    mode = StreamMode::Closed;
    heapFree(fileName);
    fileName = nullptr;
}

int64_t FileStream::read(void* destination, int64_t length) {
    return readFileStream(mode, handle, destination, length);
}

int64_t FileStream::write(const void* data, int64_t length) {
    if (mode != StreamMode::Write) {
        return -1;
    }
    return platform::writeFile(handle, data, lowTransferLength(length));
}

int64_t FileStream::size() {
    return isOpen() ? platform::fileSize(handle) : -1;
}

int64_t FileStream::position() {
    return isOpen() ? platform::filePosition(handle) : -1;
}

int64_t FileStream::seek(int64_t position) {
    return isOpen() ? platform::seekFile(handle, position) : -1;
}

void FileStream::flush() {
    if (handle != platform::invalidFileHandle) {
        platform::flushFile(handle);
    }
}

bool FileStream::atEnd() {
    if (static_cast<int32_t>(mode) <= 0) {
        return false;
    }
    return position() >= size();
}

}  // namespace kwCore
