#pragma once

#include <cstdint>

#include "stream/stream.h"
#include "stream/stream_mode.h"

namespace kwCore {

// BufferedFileStream is a file stream that gathers written bytes in a block
// of capacity bytes and hands them to the system only as whole blocks, and
// in what remains on flush, close, a later open, a seek and destruction;
// many small writes become a few large ones. Reads are not buffered. Other
// processes may read the file while it is open, never write it.
//
// size, position and atEnd describe the file as the system sees it: bytes
// still in the block are not counted. A new stream is closed.
class BufferedFileStream : public Stream {
  public:
    // BufferedFileStream::kDefaultCapacity is the block size a stream gets
    // when none is given.
    static constexpr int32_t kDefaultCapacity = 64 * 1024;

    // BufferedFileStream makes a closed stream whose block will hold
    // capacity bytes; a capacity below 1 gives kDefaultCapacity.
    explicit BufferedFileStream(int32_t capacity = kDefaultCapacity) noexcept;
    // ~BufferedFileStream writes out pending bytes and closes the file.
    ~BufferedFileStream() override;

    bool canRead() override { return mode == StreamMode::Read; }
    bool canWrite() override { return mode == StreamMode::Write; }
    bool canSeek() override { return isOpen(); }
    bool canTell() override { return isOpen(); }
    bool hasSize() override { return isOpen(); }
    // name is the name the file was opened by, or null while closed.
    const char* name() override { return fileName; }
    // close writes out pending bytes (failures unreported), closes the file
    // and frees the block; a closed stream stays closed.
    void close() override;
    bool isOpen() override { return static_cast<int32_t>(mode) > 0; }
    // read reads straight from the file; -1 unless open for reading.
    int64_t read(void* destination, int64_t length) override;
    // write copies length bytes into the block, writing each block out as it
    // fills, and returns length; a length of 0
    // or below is returned as it is. -1 unless open for writing, and -1 when
    // the system takes less than a whole block (those bytes, and the rest of
    // the call's, are lost). Null data writes nothing and returns 0.
    int64_t write(const void* data, int64_t length) override;
    int64_t size() override;
    int64_t position() override;
    // seek writes out pending bytes where the file pointer stands, then moves
    // it; returns the new position, or -1 when closed, for a negative
    // position, or when the pending bytes did not all go out (they are then
    // dropped and the pointer stays).
    int64_t seek(int64_t position) override;
    // flush writes out pending bytes, then has the system write its cached
    // data to the device.
    void flush() override;
    // atEnd tells whether the file pointer stands at or past the end of the
    // file; a closed stream is not at its end.
    bool atEnd() override;

    // open writes out and closes any open file, then opens fileName: for
    // reading an existing file, for writing a file created or truncated, or
    // (append) for writing after the last byte of a file created when
    // missing. Files opened for writing are marked as not to be indexed.
    // Returns false, the stream closed, when the file does not open. Throws
    // std::bad_alloc when the block cannot be allocated.
    virtual bool open(const char* fileName, bool write, bool append);

    // handle is the platform layer's handle of the open file (opaque to
    // users), or kClosedFileHandle.
    intptr_t handle = kClosedFileHandle;
    // mode is Read or Write exactly while handle is open.
    StreamMode mode = StreamMode::Closed;
    // fileName is the owned copy of the open file's name; null while closed.
    char* fileName = nullptr;
    // outputBuffer is the owned block of capacity bytes; null while closed.
    unsigned char* outputBuffer = nullptr;
    // pending is how many bytes at the start of outputBuffer await writing;
    // 0 <= pending < capacity between calls.
    int32_t pending = 0;
    // capacity is the size of outputBuffer, fixed at construction.
    const int32_t capacity;

  private:
    // writePending hands the pending bytes to the system, empties the block
    // and returns whether the system took them all.
    bool writePending() noexcept;
};

}  // namespace kwCore
