#pragma once

#include <cstdint>

#include "buffer/pool_buffer_pool_base.h"
#include "runtime/growable_array.h"

namespace kwCore {

// BlockSize is the size in bytes of every block a buffer keeps its bytes in.
inline constexpr int32_t BlockSize = 8192;

// Buffer is the library's growable byte buffer. Its bytes live in fixed
// blocks of BlockSize bytes that are added one at a time at the end, so bytes
// never move once written and a pointer into a block stays valid until the
// buffer is cleared. The byte at position p lives in block p / BlockSize at
// offset p % BlockSize. Sizes and positions are signed 32-bit.
//
// A plain Buffer takes its blocks straight from the system; derived classes
// choose their own source through allocateBlock and releaseBlock. A buffer is
// not synchronised: one thread at a time may use it.
class Buffer {
  public:
    Buffer() noexcept = default;
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    // ~Buffer gives every block back to the system and frees the block array.
    virtual ~Buffer();

    // allocateBlock returns a fresh system block, or nullptr when the system
    // has none to give.
    virtual void* allocateBlock();

    // releaseBlock gives block back to the system; nullptr is ignored.
    virtual void releaseBlock(void* block);

    // swap exchanges contents (blocks, size, spare0, spare1) with other in
    // constant time. Each object keeps its own block source, so each later
    // releases what it then holds through its own releaseBlock.
    virtual void swap(Buffer& other) noexcept;

    // size is the number of bytes held.
    int32_t size() const noexcept { return size_; }

    // blockCount is the number of blocks held: size / BlockSize rounded up.
    int32_t blockCount() const noexcept { return blocks.count(); }

    // append adds length bytes from data at the end and returns how many it
    // stored. It stores fewer only when no block can be had or when size would
    // pass INT32_MAX; what is stored stays. A length of 0 or less does nothing.
    // Throws std::bad_alloc when the block array cannot grow.
    int32_t append(const void* data, int32_t length);

    // readAt copies up to length bytes from position on into destination and
    // returns how many it copied; length -1 reads to the end. A position
    // outside 0 to size copies nothing and returns 0.
    int32_t readAt(int32_t position, int32_t length, void* destination) const;

    // contiguousAt returns a pointer to the byte at position and cuts length
    // down to the bytes readable there without crossing a block end or the
    // end of the buffer; nullptr when position is outside the bytes held or
    // length is 0 or less.
    const char* contiguousAt(int32_t position, int32_t& length) const;

    // compare orders two buffers: the shorter one first, whatever its bytes;
    // buffers of one size by their first differing byte, as unsigned values.
    // Returns -1, 0 or 1.
    static int compare(const Buffer& a, const Buffer& b);

    // clear gives every block back through releaseBlock and empties the
    // buffer, which stays usable.
    void clear();

  private:
    // blocks holds the block array and its count; size_ the bytes held.
    GrowableArray<void*> blocks;
    int32_t size_ = 0;

  public:
    // spare0 and spare1 are two words for the buffer's user; swap exchanges
    // them with the contents and nothing else here reads or sets them.
    uint32_t spare0 = 0;
    uint32_t spare1 = 0;
};

// PoolBuffer is a Buffer whose blocks come from, and go back to, a block
// pool, so that blocks are recycled between buffers. Without a pool it
// behaves exactly like Buffer. The pool is not owned and must outlive the
// buffer.
class PoolBuffer : public Buffer {
  public:
    explicit PoolBuffer(PoolBufferPoolBase* pool = nullptr) noexcept : pool_(pool) {}

    // ~PoolBuffer returns every block to the pool (or the system).
    ~PoolBuffer() override;

    // allocateBlock takes a block from the pool, or from the system without
    // one.
    void* allocateBlock() override;

    // releaseBlock returns block to the pool, or to the system without one;
    // nullptr is ignored.
    void releaseBlock(void* block) override;

    using Buffer::swap;

    // swap exchanges contents and pools with other, so blocks stay with the
    // pool they came from.
    virtual void swap(PoolBuffer& other) noexcept;

    // pool is the pool blocks come from; nullptr for the system.
    PoolBufferPoolBase* pool() const noexcept { return pool_; }

  private:
    PoolBufferPoolBase* pool_;
};

}  // namespace kwCore
