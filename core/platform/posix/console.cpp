#include "platform/console.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/file.h"

namespace kwCore::platform {

namespace {

// kChunk is the number of given bytes translated at a time, on the stack.
constexpr size_t kChunk = 4096;

// sourceBytesWithin counts the bytes of source whose translated form lies
// wholly within the first written output bytes (an LF takes two).
size_t sourceBytesWithin(const char* source, size_t written) {
    size_t count = 0;
    for (size_t used = 0;; ++count) {
        used += source[count] == '\n' ? 2 : 1;
        if (used > written) {
            return count;
        }
    }
}

// writeAll hands size bytes (at most a translated chunk) to the descriptor
// through the file layer, which retries interrupted calls and continues
// after short counts; returns how many the system took before an error.
size_t writeAll(int fd, const char* bytes, size_t size) {
    return writeFile(static_cast<FileHandle>(fd), bytes, static_cast<uint32_t>(size));
}

// StreamLock holds the standard-output stream's own lock, the one each
// fwrite takes, for one whole text.
class StreamLock {
  public:
    StreamLock() { flockfile(stdout); }
    ~StreamLock() { funlockfile(stdout); }
    StreamLock(const StreamLock&) = delete;
    StreamLock& operator=(const StreamLock&) = delete;
};

// writeLocked writes the size bytes to standard output, each LF as CR LF
// when translate is set. The stream's lock is held for the whole text, so
// texts of concurrent callers never interleave; what the stream still
// buffers goes first, then the bytes go straight to its descriptor, so that
// the count returned is what the system took. A text with LFs is translated
// in chunks on the stack, so any size costs no heap.
size_t writeLocked(const char* bytes, size_t size, bool translate) {
    if (size == 0) {
        return 0;
    }
    const StreamLock lock;
    std::fflush(stdout);
    const int fd = fileno(stdout);
    // Untranslated pieces are as large as the file layer's 32-bit count takes.
    const size_t piece = translate ? kChunk : size_t{1} << 30;
    size_t done = 0;
    while (done < size) {
        const char* chunk = bytes + done;
        const size_t n = std::min(size - done, piece);
        if (!translate || std::memchr(chunk, '\n', n) == nullptr) {
            const size_t written = writeAll(fd, chunk, n);
            done += written;
            if (written < n) {
                break;
            }
            continue;
        }
        char translated[2 * kChunk];
        char* out = translated;
        for (size_t i = 0; i < n; ++i) {
            if (chunk[i] == '\n') {
                *out++ = '\r';
            }
            *out++ = chunk[i];
        }
        const size_t translatedSize = static_cast<size_t>(out - translated);
        const size_t written = writeAll(fd, translated, translatedSize);
        if (written < translatedSize) {
            done += sourceBytesWithin(chunk, written);
            break;
        }
        done += n;
    }
    return done;
}

}  // namespace

// The bytes a text-mode stream writes: every LF preceded by a CR.
size_t writeStandardOutput(const void* data, size_t size) {
    return writeLocked(static_cast<const char*>(data), size, true);
}

size_t writeStandardOutputRaw(const void* data, size_t size) {
    return writeLocked(static_cast<const char*>(data), size, false);
}

// fread reports a signal that cuts its read short like an error; the read
// then goes on for the rest.
// Standard error is unbuffered; the bytes go straight to its descriptor.
size_t writeStandardError(const void* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    std::fflush(stderr);
    return writeAll(fileno(stderr), static_cast<const char*>(data), size);
}

size_t readStandardInput(void* destination, size_t size) {
    auto* at = static_cast<char*>(destination);
    size_t total = 0;
    while (total < size) {
        errno = 0;
        const size_t got = std::fread(at + total, 1, size - total, stdin);
        total += got;
        if (total < size && std::ferror(stdin) && errno == EINTR) {
            std::clearerr(stdin);
            continue;
        }
        break;
    }
    return total;
}

bool consoleAttached() {
    const int terminal = open("/dev/tty", O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0) {
        return false;
    }
    close(terminal);
    return true;
}

bool standardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

}  // namespace kwCore::platform
