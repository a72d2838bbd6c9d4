#pragma once

#include <cstdint>
#include <type_traits>

#include "platform/file.h"
#include "stream/stream.h"
#include "stream/stream_mode.h"

// The file streams' shared open and read logic, kept out of the installed
// headers: it speaks the platform layer's types.
namespace kwCore {

static_assert(std::is_same_v<platform::FileHandle, intptr_t> &&
                  platform::invalidFileHandle == kClosedFileHandle,
              "file streams keep the platform's file handle as it is");

// fileDisposition is how a file stream's open flags open the file: reading
// an existing file, writing a new or truncated one, or appending.
inline platform::FileDisposition fileDisposition(bool write, bool append) noexcept {
    if (!write) {
        return platform::FileDisposition::OpenForReading;
    }
    return append ? platform::FileDisposition::AppendForWriting
                  : platform::FileDisposition::CreateForWriting;
}

// openFileStream opens the file name for a closed file stream: for reading,
// writing or appending as fileDisposition gives, sharing share
// (platform::openFile). When the file opens it stores the handle, Read or
// Write in mode and a heap copy of name (freed with heapFree) in fileName,
// and returns true; otherwise, and for a null name, it changes nothing and
// returns false. Throws std::bad_alloc when the name cannot be copied.
bool openFileStream(const char* name, bool write, bool append, uint32_t share,
                    bool notContentIndexed, platform::FileHandle& handle, StreamMode& mode,
                    char*& fileName);

// readFileStream is a file stream's unbuffered read: -1 unless mode is Read,
// else the count the system delivers for the low 32 bits of length.
inline int64_t readFileStream(StreamMode mode, platform::FileHandle handle, void* destination,
                              int64_t length) noexcept {
    if (mode != StreamMode::Read) {
        return -1;
    }
    return platform::readFile(handle, destination, lowTransferLength(length));
}

}  // namespace kwCore
