#pragma once

#include <cstdint>

#include "runtime/growable_array.h"
#include "text/shared_string.h"
#include "text/string_array.h"

namespace kwCore {

// StreamPair is one entry of a stream's pairs list: a name and a 32-bit value.
struct StreamPair {
    SharedString key;
    int32_t value = 0;
};

template <>
struct TriviallyRelocatable<StreamPair> : std::true_type {};

// StreamPairs is the list a stream may carry; the library itself adds no entries.
using StreamPairs = GrowableArray<StreamPair>;

// Stream is the library's byte stream: files, memory, buffers, the console
// and checksum sinks are read and written through it with 64-bit counts and
// positions. Every operation defaults to "not supported": queries answer
// false, counts and positions -1 (the interface's only error value), and
// atEnd true. A derived class overrides what its source can do and declares
// its own open. Streams are not synchronised: one thread at a time.
class Stream {
  public:
    Stream() noexcept = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // ~Stream releases pairs: every entry's string, the storage, the list.
    virtual ~Stream();

    virtual bool canRead() { return false; }
    virtual bool canWrite() { return false; }
    virtual bool canSeek() { return false; }
    virtual bool canTell() { return false; }
    virtual bool hasSize() { return false; }
    virtual bool isInteractive() { return false; }
    // name is the stream's name, or null when it has none.
    virtual const char* name() { return nullptr; }
    virtual void close() {}
    virtual bool isOpen() { return false; }
    // read copies up to length bytes into destination and returns the count.
    virtual int64_t read(void* destination, int64_t length);
    // write takes length bytes from data and returns the count taken.
    virtual int64_t write(const void* data, int64_t length);
    virtual int64_t size() { return -1; }
    // reservedOperation answers -1 on every stream of the library.
    virtual int64_t reservedOperation(int64_t argument);
    virtual int64_t position() { return -1; }
    // seek moves to position and returns where the stream now stands.
    virtual int64_t seek(int64_t position);
    virtual void flush() {}
    virtual bool atEnd() { return true; }

    // pairs is a list the stream owns, or null.
    StreamPairs* pairs = nullptr;
    // reserved is carried for callers; the library neither reads nor writes it.
    uint32_t reserved = 0;
};

// lowTransferLength is the part of a 64-bit length that reaches the system in
// one transfer: its low 32 bits as an unsigned count.
inline uint32_t lowTransferLength(int64_t length) noexcept {
    return static_cast<uint32_t>(static_cast<uint64_t>(length));
}

}  // namespace kwCore
