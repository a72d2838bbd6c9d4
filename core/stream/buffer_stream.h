#pragma once

#include <cstdint>

#include "buffer/buffer.h"
#include "stream/stream.h"

namespace kwCore {

// BufferStream reads from or appends to a Buffer it does not own; the caller
// keeps the buffer alive while the stream is open, and the stream never
// frees, clears or swaps it. Opened for reading, it reads from start on,
// confined to positions below limit when limit is not -1. Opened for writing,
// it appends at the buffer's end, each call capped at limit + 1 bytes when
// limit is not -1. A new stream is closed.
class BufferStream : public Stream {
  public:
    BufferStream() noexcept = default;
    // ~BufferStream leaves the buffer untouched.
    ~BufferStream() override = default;

    bool canRead() override { return isReading(); }
    bool canWrite() override { return isWriting(); }
    bool canSeek() override { return isReading(); }
    bool canTell() override { return isReading(); }
    // name is "BufferStream", open or not.
    const char* name() override { return "BufferStream"; }
    // close detaches the buffer, which is left untouched.
    void close() override;
    bool isOpen() override { return buffer != nullptr; }
    // read copies up to the low 32 bits of length bytes (-1: all up to the
    // end) from the read position, never at or past limit, and advances the
    // position. Returns the count copied; -1 unless reading.
    int64_t read(void* destination, int64_t length) override;
    // write appends the low 32 bits of length bytes (capped at limit + 1
    // when there is a limit; a negative count appends nothing) and returns
    // how many were stored: fewer only when the buffer cannot grow. -1
    // unless writing.
    int64_t write(const void* data, int64_t length) override;
    // size is the buffer's size in either mode, whatever the window; -1
    // when closed.
    int64_t size() override { return buffer != nullptr ? buffer->size() : -1; }
    // position is the read position; -1 when writing or closed.
    int64_t position() override { return readPosition; }
    // seek moves the read position to the low 32 bits of p, kept between
    // start and the end (the buffer's size, or limit when that is smaller),
    // and returns it; -1 unless reading.
    int64_t seek(int64_t p) override;
    // atEnd is true when closed or writing, at or past limit, or at or past
    // the buffer's end.
    bool atEnd() override;

    // open attaches buffer for reading from start (a negative start counts as
    // 0) or, with write, for appending. limit is the window's bound, -1 for
    // none. A null buffer, or a limit below -1, leaves the stream closed and
    // returns false.
    virtual bool open(Buffer* buffer, bool write, int32_t start, int32_t limit);
    // open attaches the whole buffer: start 0, no limit.
    bool open(Buffer* target, bool write) { return open(target, write, 0, -1); }

    // buffer is the buffer read or written; null while closed.
    Buffer* buffer = nullptr;
    // readPosition is where the next read starts; -1 when writing or closed.
    int32_t readPosition = -1;
    // start is the lowest position reads may use.
    int32_t start = 0;
    // limit bounds the window; -1 for none.
    int32_t limit = -1;

  private:
    bool isReading() const noexcept { return buffer != nullptr && readPosition != -1; }
    bool isWriting() const noexcept { return buffer != nullptr && readPosition == -1; }
};

}  // namespace kwCore
