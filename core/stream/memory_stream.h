#pragma once

#include <cstdint>

#include "stream/stream.h"

namespace kwCore {

// MemoryStream reads a block of memory that the caller owns, such as a text.
// The block is never copied: it must outlive the stream's use of it. The
// stream is read-only; it can tell and seek within the block and knows its
// size. A new stream is closed.
class MemoryStream : public Stream {
  public:
    MemoryStream() noexcept = default;

    bool canRead() override { return isOpen(); }
    bool canSeek() override { return isOpen(); }
    bool canTell() override { return isOpen(); }
    bool hasSize() override { return isOpen(); }
    // name is "MemoryStream", open or not.
    const char* name() override { return "MemoryStream"; }
    // close detaches the block; the memory is untouched.
    void close() override;
    bool isOpen() override { return data != nullptr; }
    // read copies up to length bytes from the read offset and advances it;
    // 0 at the end of the block, when closed and for a length of 0 or less.
    int64_t read(void* destination, int64_t length) override;
    // size is the block's length; -1 when closed.
    int64_t size() override { return isOpen() ? length : -1; }
    // position is the read offset; -1 when closed.
    int64_t position() override { return isOpen() ? offset : -1; }
    // seek moves the read offset to p, kept within 0 to the block's length,
    // and returns it; -1 when closed.
    int64_t seek(int64_t p) override;
    // atEnd is true when closed or when the whole block has been read.
    bool atEnd() override { return offset >= length; }

    // open attaches length bytes at data and puts the read offset at 0. A
    // length of -1 takes data as a NUL-terminated text and measures it. A
    // null data pointer, or a length below -1, leaves the stream closed and
    // returns false.
    virtual bool open(const char* data, int32_t length);

    // data is the caller's block; null while closed.
    const char* data = nullptr;
    // length is the number of bytes in the block.
    int64_t length = 0;
    // offset is where the next read starts.
    int64_t offset = 0;
};

}  // namespace kwCore
