#include "buffer/buffer.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

#include "runtime/compare.h"
#include "runtime/fast_copy.h"
#include "runtime/system_block.h"

namespace kwCore {

static_assert(static_cast<size_t>(BlockSize) == systemBlockSize,
              "a buffer block is one system block");

namespace {

// largestInlineCopy is the longest copy done here rather than by fastCopy:
// below it the call costs more than the copy.
constexpr int32_t largestInlineCopy = 32;

// copyPiece copies count bytes (at most one block) between a block and the
// caller's memory.
inline void copyPiece(char* destination, const char* source, int32_t count) noexcept {
    if (count > largestInlineCopy) {
        fastCopy(destination, source, static_cast<size_t>(count));
    } else if (count % 4 == 0) {
        for (int32_t i = 0; i < count; i += 4) {
            uint32_t word;
            std::memcpy(&word, source + i, 4);
            std::memcpy(destination + i, &word, 4);
        }
    } else {
        for (int32_t i = 0; i < count; ++i) {
            destination[i] = source[i];
        }
    }
}

}  // namespace

Buffer::~Buffer() {
    clear();
}

void* Buffer::allocateBlock() {
    return allocateSystemBlock();
}

void Buffer::releaseBlock(void* block) {
    releaseSystemBlock(block);
}

void Buffer::swap(Buffer& other) noexcept {
    blocks.swap(other.blocks);
    std::swap(size_, other.size_);
    std::swap(spare0, other.spare0);
    std::swap(spare1, other.spare1);
}

int32_t Buffer::append(const void* data, int32_t length) {
    // The size never passes INT32_MAX: the bytes beyond are not stored.
    length = std::min(length, INT32_MAX - size_);
    const char* source = static_cast<const char*>(data);
    int32_t stored = 0;
    while (length > 0) {
        const int32_t offset = size_ % BlockSize;
        if (size_ / BlockSize >= blocks.count()) {
            void* block = allocateBlock();
            if (block == nullptr) {
                break;
            }
            try {
                blocks.add(block);
            } catch (...) {
                releaseBlock(block);
                throw;
            }
        }
        const int32_t piece = std::min(BlockSize - offset, length);
        copyPiece(static_cast<char*>(blocks[blocks.count() - 1]) + offset, source, piece);
        size_ += piece;
        source += piece;
        stored += piece;
        length -= piece;
    }
    return stored;
}

int32_t Buffer::readAt(int32_t position, int32_t length, void* destination) const {
    if (position < 0 || position >= size_) {
        return 0;
    }
    if (length == -1 || length > size_ - position) {
        length = size_ - position;
    }
    char* target = static_cast<char*>(destination);
    int32_t copied = 0;
    while (length > 0) {
        const int32_t offset = position % BlockSize;
        const int32_t piece = std::min(BlockSize - offset, length);
        copyPiece(target, static_cast<const char*>(blocks[position / BlockSize]) + offset, piece);
        target += piece;
        position += piece;
        copied += piece;
        length -= piece;
    }
    return copied;
}

const char* Buffer::contiguousAt(int32_t position, int32_t& length) const {
    if (position < 0 || length <= 0 || position >= size_) {
        return nullptr;
    }
    const int32_t offset = position % BlockSize;
    length = std::min({length, size_ - position, BlockSize - offset});
    return static_cast<const char*>(blocks[position / BlockSize]) + offset;
}

int Buffer::compare(const Buffer& a, const Buffer& b) {
    if (a.size_ != b.size_) {
        return a.size_ < b.size_ ? -1 : 1;
    }
    // Both buffers have the same size and so the same block layout: the runs
    // at each position end together.
    for (int32_t position = 0; position < a.size_;) {
        int32_t length = BlockSize;
        const char* left = a.contiguousAt(position, length);
        const char* right = b.contiguousAt(position, length);
        if (left == nullptr || right == nullptr) {
            break;
        }
        if (const int order = compareBytes(left, right, static_cast<uint32_t>(length))) {
            return order;
        }
        position += length;
    }
    return 0;
}

void Buffer::clear() {
    for (int32_t i = 0; i < blocks.count(); ++i) {
        releaseBlock(blocks[i]);
    }
    blocks.setSize(0);
    size_ = 0;
}

PoolBuffer::~PoolBuffer() {
    clear();
}

void* PoolBuffer::allocateBlock() {
    return pool_ != nullptr ? pool_->allocateBlock() : Buffer::allocateBlock();
}

void PoolBuffer::releaseBlock(void* block) {
    if (block == nullptr) {
        return;
    }
    if (pool_ != nullptr) {
        pool_->releaseBlock(block);
    } else {
        Buffer::releaseBlock(block);
    }
}

void PoolBuffer::swap(PoolBuffer& other) noexcept {
    Buffer::swap(other);
    std::swap(pool_, other.pool_);
}

}  // namespace kwCore
