#include "text/shared_string.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "runtime/fast_copy.h"
#include "thread/interlocked.h"

namespace kwCore {

// Block is the header in front of the characters; the handle points just past it.
struct SharedString::Block {
    int32_t refCount;
    int32_t capacity;
    int32_t cachedLength;

    char* characters() noexcept { return reinterpret_cast<char*>(this) + sizeof(Block); }
};

static_assert(sizeof(int32_t) * 3 == 12, "the block header is three 32-bit fields");

namespace {

constexpr int64_t kHeaderSize = 12;

// allocationSize applies the sizing rule: room for n bytes plus the header,
// rounded up to 16 bytes, never below 16.
size_t allocationSize(int64_t n) {
    if (n > SharedString::kMaxRoom) {
        throw std::bad_alloc();
    }
    if (n < 5) {
        return 16;
    }
    return static_cast<size_t>((n + kHeaderSize + 15) & ~int64_t{15});
}

int32_t loadLength(const int32_t& field) noexcept {
    return std::atomic_ref<const int32_t>(field).load(std::memory_order_relaxed);
}

// The length cache may be filled in on a block other threads read: every
// writer stores the same value, so the store is atomic but unordered.
void storeLength(int32_t& field, int32_t value) noexcept {
    std::atomic_ref<int32_t>(field).store(value, std::memory_order_relaxed);
}

}  // namespace

SharedString::Block* SharedString::block() const noexcept {
    return reinterpret_cast<Block*>(chars - kHeaderSize);
}

// newBlock allocates a private block with room for n bytes; the caller fills it.
static char* newBlock(int64_t n, int32_t cachedLength) {
    size_t size = allocationSize(n);
    auto* header = static_cast<int32_t*>(std::malloc(size));
    if (header == nullptr) {
        throw std::bad_alloc();
    }
    header[0] = 1;
    header[1] = static_cast<int32_t>(size - kHeaderSize);
    header[2] = cachedLength;
    return reinterpret_cast<char*>(header) + kHeaderSize;
}

void SharedString::freeBlock(char* characters) noexcept {
    std::free(characters - kHeaderSize);
}

// releaseBlock drops one reference and frees the block with the last one.
static void releaseBlock(char* characters) noexcept {
    if (characters != nullptr &&
        interlockedDecrement(reinterpret_cast<int32_t*>(characters - kHeaderSize)) == 0) {
        std::free(characters - kHeaderSize);
    }
}

// newText builds a fresh block holding the length bytes of text and a NUL.
static char* newText(const char* text, int32_t length) {
    char* characters = newBlock(int64_t{length} + 1, length);
    fastCopy(characters, text, static_cast<size_t>(length));
    characters[length] = '\0';
    return characters;
}

void SharedString::adopt(Block* newBlock) noexcept {
    char* old = chars;
    chars = newBlock->characters();
    releaseBlock(old);
}

void SharedString::setCachedLength(int32_t length) noexcept {
    storeLength(block()->cachedLength, length);
}

SharedString::SharedString(const char* text) {
    if (text != nullptr && text[0] != '\0') {
        chars = newText(text, static_cast<int32_t>(std::strlen(text)));
    }
}

SharedString::SharedString(char c) {
    chars = newBlock(2, 1);
    chars[0] = c;
    chars[1] = '\0';
}

SharedString& SharedString::operator=(const SharedString& other) noexcept {
    if (this != &other) {
        // Take the new reference before dropping the old one: both may be the same block.
        char* old = chars;
        chars = other.chars;
        if (chars != nullptr) {
            interlockedIncrement(&block()->refCount);
        }
        releaseBlock(old);
    }
    return *this;
}

SharedString& SharedString::operator=(SharedString&& other) noexcept {
    if (this != &other) {
        char* old = chars;
        chars = other.chars;
        other.chars = nullptr;
        releaseBlock(old);
    }
    return *this;
}

void SharedString::assign(const char* text) {
    if (text == chars) {
        return;
    }
    // The new block is built before the old one goes: text may point into it.
    char* fresh = nullptr;
    if (text != nullptr && text[0] != '\0') {
        fresh = newText(text, static_cast<int32_t>(std::strlen(text)));
    }
    char* old = chars;
    chars = fresh;
    releaseBlock(old);
}

void SharedString::reset() noexcept {
    char* old = chars;
    chars = nullptr;
    releaseBlock(old);
}

int32_t SharedString::getLength() const noexcept {
    if (chars == nullptr) {
        return 0;
    }
    int32_t length = loadLength(block()->cachedLength);
    if (length < 0) {
        length = static_cast<int32_t>(std::strlen(chars));
        storeLength(block()->cachedLength, length);
    }
    return length;
}

char SharedString::charAt(int32_t i) const noexcept {
    return i >= 0 && i < getLength() ? chars[i] : '\0';
}

int compareText(const char* a, const char* b) noexcept {
    if (a == b) {
        return 0;
    }
    a = a ? a : "";
    b = b ? b : "";
    for (;; ++a, ++b) {
        auto x = static_cast<signed char>(*a);
        auto y = static_cast<signed char>(*b);
        if (x != y) {
            // A text that ends first (NUL) is the shorter one; otherwise signed bytes decide.
            if (x == 0)
                return -1;
            if (y == 0)
                return 1;
            return x < y ? -1 : 1;
        }
        if (x == 0) {
            return 0;
        }
    }
}

int SharedString::compareTo(const SharedString& other) const noexcept {
    return compareText(chars, other.chars);
}

bool SharedString::equals(const char* text) const noexcept {
    return std::strcmp(cStr(), text) == 0;
}

char* SharedString::writeBuffer(int32_t n) {
    int32_t length = getLength();
    int64_t room = n < length + 1 ? int64_t{length} + 1 : n;
    if (chars == nullptr) {
        chars = newBlock(room, -1);
        chars[0] = '\0';
    } else if (std::atomic_ref<int32_t>(block()->refCount).load(std::memory_order_acquire) > 1) {
        char* fresh = newBlock(room, -1);
        fastCopy(fresh, chars, static_cast<size_t>(length) + 1);
        char* old = chars;
        chars = fresh;
        releaseBlock(old);
    } else if (block()->capacity >= room) {
        setCachedLength(-1);
    } else {
        size_t size = allocationSize(room);
        void* grown = std::realloc(block(), size);
        if (grown == nullptr) {
            throw std::bad_alloc();
        }
        auto* header = static_cast<Block*>(grown);
        header->capacity = static_cast<int32_t>(size - kHeaderSize);
        header->cachedLength = -1;
        chars = header->characters();
    }
    return chars;
}

void SharedString::makeUnique() {
    if (chars != nullptr &&
        std::atomic_ref<int32_t>(block()->refCount).load(std::memory_order_acquire) > 1) {
        writeBuffer(block()->capacity);
    }
}

// roomFor sums lengths for a change, failing like heap exhaustion past the largest block.
static int32_t roomFor(int32_t a, int32_t b) {
    int64_t room = int64_t{a} + b + 1;
    if (room > SharedString::kMaxRoom) {
        throw std::bad_alloc();
    }
    return static_cast<int32_t>(room);
}

void SharedString::append(const SharedString& other) {
    if (other.chars == nullptr) {
        return;
    }
    if (chars == nullptr) {
        *this = other;
        return;
    }
    int32_t a = getLength();
    int32_t c = other.getLength();
    // other may share this block, or be this very string: writeBuffer may
    // then move it, so the source is the moved block's own start. The c
    // characters copied never overlap their target; the NUL is set apart.
    bool self = other.chars == chars;
    char* target = writeBuffer(roomFor(a, c));
    fastCopy(target + a, self ? target : other.chars, static_cast<size_t>(c));
    target[a + c] = '\0';
    setCachedLength(a + c);
}

void SharedString::append(const char* text) {
    if (chars == nullptr) {
        assign(text);
        return;
    }
    int32_t a = getLength();
    int32_t b = static_cast<int32_t>(std::strlen(text));
    // A text inside this string's own characters is found again by its
    // offset once writeBuffer has moved or copied the block.
    bool inside = text >= chars && text <= chars + a;
    ptrdiff_t offset = text - chars;
    char* target = writeBuffer(roomFor(a, b));
    const char* source = inside ? target + offset : text;
    fastCopy(target + a, source, static_cast<size_t>(b));
    target[a + b] = '\0';
    setCachedLength(a + b);
}

void SharedString::appendChar(char c) {
    makeUnique();
    if (chars != nullptr) {
        int32_t length = loadLength(block()->cachedLength);
        if (length >= 0 && length + 1 < block()->capacity) {
            chars[length] = c;
            chars[length + 1] = '\0';
            setCachedLength(length + 1);
            return;
        }
    }
    int32_t length = getLength();
    char* target = writeBuffer(roomFor(length, 1));
    target[length] = c;
    target[length + 1] = '\0';
    setCachedLength(length + 1);
}

void SharedString::remove(int32_t index, int32_t count) {
    if (chars == nullptr || count <= 0) {
        return;
    }
    int32_t length = getLength();
    if (index < 0) {
        count += index;  // count > 0 and index < 0: cannot overflow
        index = 0;
    }
    if (int64_t{index} + count > INT32_MAX) {
        count = INT32_MAX - index;
    }
    if (index + count >= length) {
        count = length - index;
    }
    if (count <= 0) {
        return;
    }
    char* target = writeBuffer(0);
    std::memmove(target + index, target + index + count,
                 static_cast<size_t>(length - index - count));
    target[length - count] = '\0';
}

void SharedString::stripTrailingBackslashes() {
    if (chars == nullptr) {
        return;
    }
    int32_t length = getLength();
    int32_t last = length - 1;
    while (last >= 0 && chars[last] == '\\') {
        --last;
    }
    remove(last + 1, length);
}

SharedString SharedString::mid(int32_t start, int32_t count) const {
    SharedString result;
    if (chars == nullptr) {
        return result;
    }
    if (start < 0) {
        count = count < INT32_MIN - start ? INT32_MIN : count + start;
        start = 0;
    }
    int32_t length = getLength();
    if (count > length - start) {
        count = length - start;
    }
    if (count >= 0) {
        result.chars = newText(chars + start, count);
    }
    return result;
}

SharedString::BlockInfo SharedString::blockInfo() const noexcept {
    if (chars == nullptr) {
        return {0, 0, 0};
    }
    return {std::atomic_ref<int32_t>(block()->refCount).load(), block()->capacity,
            loadLength(block()->cachedLength)};
}

}  // namespace kwCore
