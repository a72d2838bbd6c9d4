#pragma once

#include <cstdarg>
#include <cstdint>

#include "thread/interlocked.h"

namespace kwCore {

// SharedString is the library's 8-bit string: a single pointer to the
// NUL-terminated characters of a heap block that is shared between handles by
// reference counting and copied only when a holder changes it (copy-on-write).
//
// The block is a 12-byte header (refCount, capacity, cachedLength) followed by
// the character area. The null handle is the empty text; a block holding only
// the NUL is the other form of it, and every operation treats the two alike.
// Counts and positions are signed 32-bit; out-of-range values are clamped.
//
// Handles sharing one block may be copied and destroyed on different threads;
// one SharedString object must not be used by two threads at once.
class SharedString {
  public:
    // BlockInfo is a snapshot of a block's header, for tests and diagnostics.
    struct BlockInfo {
        int32_t refCount;
        int32_t capacity;
        int32_t cachedLength;
    };

    // The largest room (characters plus NUL) a block can hold.
    static constexpr int32_t kMaxRoom = 0x7FFFFFF4;

    SharedString() noexcept = default;
    // A null pointer or an empty text gives the null handle.
    SharedString(const char* text);  // NOLINT(google-explicit-constructor)
    // A minimum block holding the one character.
    explicit SharedString(char c);
    SharedString(const SharedString& other) noexcept : chars(other.chars) {
        if (chars != nullptr) {
            interlockedIncrement(refCountOf(chars));
        }
    }
    SharedString(SharedString&& other) noexcept : chars(other.chars) { other.chars = nullptr; }
    ~SharedString() {
        if (chars != nullptr && interlockedDecrement(refCountOf(chars)) == 0) {
            freeBlock(chars);
        }
    }

    SharedString& operator=(const SharedString& other) noexcept;
    SharedString& operator=(SharedString&& other) noexcept;
    SharedString& operator=(const char* text) {
        assign(text);
        return *this;
    }

    // assign replaces the text; text may point into this string's own characters.
    void assign(const char* text);
    // reset releases the block and leaves the null handle.
    void reset() noexcept;

    bool isNull() const noexcept { return chars == nullptr; }
    int32_t getLength() const noexcept;
    bool isEmpty() const noexcept { return getLength() == 0; }
    // cStr is never null: the null handle maps to a static empty text.
    const char* cStr() const noexcept { return chars ? chars : ""; }
    // charAt returns NUL outside 0 <= i < length.
    char charAt(int32_t i) const noexcept;
    // compareTo compares bytes as signed 8-bit values: -1, 0 or +1.
    int compareTo(const SharedString& other) const noexcept;
    // equals compares with a NUL-terminated text byte for byte.
    bool equals(const char* text) const noexcept;

    // writeBuffer makes the block private with room for at least n bytes (and
    // at least length + 1), keeps the text, marks the length unmeasured and
    // returns the writable characters.
    char* writeBuffer(int32_t n);
    // makeUnique replaces a shared block by a private copy of the same capacity.
    void makeUnique();
    void append(const SharedString& other);
    void append(const char* text);
    void appendChar(char c);
    // remove deletes count characters from index, clamped to the text.
    void remove(int32_t index, int32_t count);
    void stripTrailingBackslashes();

    // mid returns count characters from start, clamped; null when nothing fits.
    SharedString mid(int32_t start, int32_t count) const;
    SharedString left(int32_t count) const { return mid(0, count); }

    // formatInto replaces the text by fmt formatted printf-style; results of
    // 524,288 characters or more are cut to their first 524,287.
    void formatInto(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void formatIntoV(const char* fmt, va_list args);
    // The blanks are " \t\n\v\f\r"; interior blanks stay.
    void trimRight();
    void trimLeft();
    void trim();

    // blockInfo reads the block's header; all zero for the null handle.
    BlockInfo blockInfo() const noexcept;

  private:
    struct Block;
    // Copying and destroying handles is the hot path: inline, one interlocked
    // operation each; only the last release leaves the header.
    static int32_t* refCountOf(char* characters) noexcept {
        return reinterpret_cast<int32_t*>(characters - 12);
    }
    static void freeBlock(char* characters) noexcept;
    Block* block() const noexcept;
    void adopt(Block* newBlock) noexcept;
    void setCachedLength(int32_t length) noexcept;

    char* chars = nullptr;
};

// compareText compares NUL-terminated texts as compareTo does; null is empty.
int compareText(const char* a, const char* b) noexcept;

}  // namespace kwCore
