#pragma once

#include <cstdint>

#include "stream/stream.h"
#include "stream/stream_mode.h"

namespace kwCore {

// FileStream reads or writes a file by name with nothing held in memory:
// every read and write goes straight to the system. A new stream is closed.
// Only the low 32 bits of a transfer length reach the system. Failed
// transfers are not reported apart: they move 0 bytes, like a read at the
// end of the file.
class FileStream : public Stream {
  public:
    FileStream() noexcept = default;
    // ~FileStream closes the file.
    ~FileStream() override;

    bool canRead() override { return mode == StreamMode::Read; }
    bool canWrite() override { return mode == StreamMode::Write; }
    bool canSeek() override { return isOpen(); }
    bool canTell() override { return isOpen(); }
    bool hasSize() override { return isOpen(); }
    // name is the name the file was opened by, or null while closed.
    const char* name() override { return fileName; }
    // close closes the file; a closed stream stays closed.
    void close() override;
    bool isOpen() override { return mode != StreamMode::Closed; }
    // read reads at the file pointer; -1 unless open for reading.
    int64_t read(void* destination, int64_t length) override;
    // write writes at the file pointer; -1 unless open for writing.
    int64_t write(const void* data, int64_t length) override;
    // size is the file's size as the system sees it; -1 while closed.
    int64_t size() override;
    int64_t position() override;
    // seek moves the file pointer without a range check and returns where it
    // now stands (-1 for a negative position or a closed stream).
    int64_t seek(int64_t position) override;
    // flush has the system write its cached data to the device.
    void flush() override;
    // atEnd tells whether the file pointer stands at or past the end; a
    // closed FileStream is not at its end.
    bool atEnd() override;

    // open closes the stream, then opens fileName: for reading an existing
    // file, for writing a file created or truncated, or (append) for writing
    // after the last byte of a file created when missing. shareMode is what
    // other openers may do meanwhile: 1 read, 2 write, 3 both, any other
    // value neither (POSIX enforces no share modes). Returns false, the
    // stream closed, when the file does not open.
    virtual bool open(const char* fileName, bool write, bool append, int shareMode);

    // handle is the platform layer's handle of the open file (opaque to
    // users), or kClosedFileHandle.
    intptr_t handle = kClosedFileHandle;
    // mode is Read or Write exactly while handle is open.
    StreamMode mode = StreamMode::Closed;
    // fileName is the owned copy of the open file's name; null while closed.
    char* fileName = nullptr;
};

}  // namespace kwCore
